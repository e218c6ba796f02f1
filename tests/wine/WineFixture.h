// SPDX-License-Identifier: MIT
#pragma once
// The Windows build end to end under Wine: one Wine prefix for the whole test program (made
// once: it takes the longest), the display its programs run on, and a private copy of the
// Windows program folder for each test.
//
// Wine's desktop process reads the monitors and the density of the display it starts on, and
// every program of the prefix sees those: a suite on another display ends what runs in the
// prefix first, so that the desktop process starts again there.
//
// The Windows program folder comes from GLIMMERDEL_WINDOWS_DIR (`make windows-test` sets it).

#include <gtest/gtest.h>

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/DialogLayout.h"
#include "tests/e2e/XSession.h"
#include "tools/harness/TempDir.h"

// Polls a condition every 50 ms until it holds or the limit passes.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
    const auto start = std::chrono::steady_clock::now();
    while (!condition()) {
        if (std::chrono::steady_clock::now() - start > limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// A picture in the binary PPM form the snapshot tool writes.
XvfbServer::Picture ReadPpm(const std::string& path);
// Pixels that differ between two pictures of one size; -1 for pictures of different sizes.
int ScreenDifferences(const XvfbServer::Picture& a, const XvfbServer::Picture& b);
// The settings file with these six "controls" values and the "applic" section's lines.
std::string SettingsFile(const std::vector<std::string>& controls,
                         const std::string& applic = "appdisplay=0\n");

// The prefix shared by every suite, and the display it is on.
class WinePrefix {
  public:
    static WinePrefix& Shared();
    // Runs the prefix's programs on this display from now on; makes the prefix the first time.
    // False when the prefix could not be made.
    bool Use(const std::string& display);
    const std::string& Display() const { return m_display; }
    std::string Path() const { return m_folder.Path(); }
    std::filesystem::path Drive() const { return std::filesystem::path(Path()) / "drive_c"; }
    // What a program of the prefix needs in its environment: the prefix, the display, no
    // debugging output, no offers to install engines, and a Western ANSI code page (the Unix
    // locale decides it).
    std::vector<std::string> Environment() const;
    // Runs a Wine program (wine, wineserver, wineboot, ...) to its end; its status.
    std::optional<int> Run(const std::vector<std::string>& argv,
                           std::chrono::milliseconds limit = std::chrono::seconds(120)) const;
    // Ends every program of the prefix (the desktop process too).
    void EndAll();
    // The density the prefix's programs start with (the desktop's LogPixels).
    bool SetDotsPerInch(int dotsPerInch);

  private:
    WinePrefix() = default;
    TempDir m_folder;
    std::string m_display;
    bool m_booted = false;
    bool m_bootFailed = false;
};

// One test: a private copy of the Windows program folder, and the saver started from it.
class WineTest : public ::testing::Test {
  protected:
    // The folder of the Windows build, "" when none was named.
    static std::string WindowsDir();
    static std::string Helper() { return WindowsDir() + "/tests/wine_helper.exe"; }
    static std::vector<std::string> Environment() { return WinePrefix::Shared().Environment(); }

    void SetUp() override;
    void TearDown() override;

    // Copies the Windows program folder (the program, its companion, the settings file and the
    // data folder) into a folder.
    static void CopyProgramFolder(const std::filesystem::path& to);
    // Starts glimmerdel.scr from the test's program folder (or from another given folder).
    void Start(const std::vector<std::string>& arguments, const std::string& programFolder = "");
    std::optional<int> WaitExit(std::chrono::milliseconds limit);
    // Starts the helper program with these arguments; its process.
    pid_t StartHelper(const std::vector<std::string>& arguments) const;
    // Runs the helper program to its end; its status.
    std::optional<int> RunHelper(const std::vector<std::string>& arguments) const {
        return WaitProcess(StartHelper(arguments), std::chrono::seconds(120));
    }
    // The Linux snapshot tool's still of the test folder's scene at a size.
    XvfbServer::Picture Snapshot(int width, int height);

    TempDir folder;
    pid_t m_pid = -1;
    std::optional<int> m_status;
    std::string m_programFolder;
};

// The tests on one screen of 1024 x 768 (Xvfb), shared by the suite's tests in every file.
class Wine : public WineTest {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    // The first top-level window of that name, once it is shown.
    unsigned long Window(const std::string& name);
    void Key(unsigned long window, const std::vector<std::string>& keys);
    void Click(unsigned long window, Point at, int times = 1);
    std::string Settings() const { return folder.Read("vantroglimmerdel.ini"); }

    static inline std::unique_ptr<XvfbServer> s_x;
};
