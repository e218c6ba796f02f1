// SPDX-License-Identifier: MIT
#include "tests/wine/WineFixture.h"

#include "tools/harness/settings_text.h"

#include <signal.h>

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

XvfbServer::Picture ReadPpm(const std::string& path) {
    XvfbServer::Picture picture;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    in >> magic >> picture.width >> picture.height >> maximum;
    in.get();
    if (magic != "P6" || maximum != 255 || picture.width <= 0 || picture.height <= 0)
        return {};
    std::vector<unsigned char> rgb(static_cast<size_t>(picture.width) * picture.height * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    for (size_t i = 0; i < rgb.size(); i += 3)
        picture.pixels.push_back(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
    return picture;
}

int ScreenDifferences(const XvfbServer::Picture& a, const XvfbServer::Picture& b) {
    if (a.width != b.width || a.height != b.height)
        return -1;
    return Differences(a, b);
}

std::string SettingsFile(const std::vector<std::string>& c, const std::string& applic) {
    return SettingsFileText(c, applic, "\r\n");
}

namespace {

// The prefix goes when the test program ends, and every program in it first.
class PrefixCleanUp : public ::testing::Environment {
  public:
    void TearDown() override { WinePrefix::Shared().EndAll(); }
};
const auto* const g_cleanUp = ::testing::AddGlobalTestEnvironment(new PrefixCleanUp);

}  // namespace

WinePrefix& WinePrefix::Shared() {
    static WinePrefix prefix;
    return prefix;
}

std::vector<std::string> WinePrefix::Environment() const {
    return {"WINEPREFIX=" + Path(), "WINEDEBUG=-all", "DISPLAY=" + m_display,
            "WINEDLLOVERRIDES=mscoree,mshtml=", "LC_ALL=C.UTF-8"};
}

std::optional<int> WinePrefix::Run(const std::vector<std::string>& argv,
                                   std::chrono::milliseconds limit) const {
    return WaitProcess(StartProcess(argv, Environment()), limit);
}

bool WinePrefix::Use(const std::string& display) {
    if (m_bootFailed)
        return false;
    if (m_booted && display == m_display)
        return true;
    if (m_booted)
        EndAll();
    m_display = display;
    if (!m_booted) {
        // A new prefix: about 15 s on a quiet machine, much longer on a busy one.
        m_booted = Run({"wineboot", "-i"}, 600s) == 0;
        m_bootFailed = !m_booted;
    }
    return m_booted;
}

void WinePrefix::EndAll() {
    if (m_booted)
        Run({"wineserver", "-k"}, 60s);
}

bool WinePrefix::SetDotsPerInch(int dotsPerInch) {
    return Run({"wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                "REG_DWORD", "/d", std::to_string(dotsPerInch), "/f"}) == 0;
}

std::string WineTest::WindowsDir() {
    const char* windows = std::getenv("GLIMMERDEL_WINDOWS_DIR");
    return windows != nullptr ? windows : "";
}

void WineTest::CopyProgramFolder(const fs::path& to) {
    const fs::path from(WindowsDir());
    fs::create_directories(to);
    for (const char* file : {"glimmerdel.scr", "GlimmerdelEmail.exe", "vantroglimmerdel.ini"})
        fs::copy_file(from / file, to / file, fs::copy_options::overwrite_existing);
    fs::create_directories(to / "vurezezideriru");
    fs::copy(from / "vurezezideriru", to / "vurezezideriru",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void WineTest::SetUp() {
    ASSERT_FALSE(WindowsDir().empty()) << "GLIMMERDEL_WINDOWS_DIR names no Windows build";
    ASSERT_FALSE(WinePrefix::Shared().Display().empty()) << "the suite started no display";
    CopyProgramFolder(folder.Path());
}

void WineTest::TearDown() {
    if (m_pid > 0 && !m_status) {
        kill(m_pid, SIGKILL);
        WaitProcess(m_pid, 30s);
        // Whatever it started goes too, so that the next test starts afresh.
        WinePrefix::Shared().EndAll();
    }
}

void WineTest::Start(const std::vector<std::string>& arguments, const std::string& programFolder) {
    m_programFolder = programFolder.empty() ? folder.Path() : programFolder;
    std::vector<std::string> argv{"wine", (fs::path(m_programFolder) / "glimmerdel.scr").string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    m_status.reset();
    m_pid = StartProcess(argv, Environment(), folder.File("stderr.txt"));
}

std::optional<int> WineTest::WaitExit(std::chrono::milliseconds limit) {
    if (!m_status)
        m_status = WaitProcess(m_pid, limit);
    return m_status;
}

pid_t WineTest::StartHelper(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv{"wine", Helper()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return StartProcess(argv, Environment());
}

XvfbServer::Picture WineTest::Snapshot(int width, int height) {
    const std::string out =
        folder.File("expected-" + std::to_string(width) + "x" + std::to_string(height) + ".ppm");
    const pid_t tool =
        StartProcess({std::string(GLIMMERDEL_PROGRAM_DIR) + "/glimmerdel-snapshot", "--folder",
                      folder.Path(), "--size", std::to_string(width) + "x" + std::to_string(height),
                      "--frames", "0", "--out", out},
                     {});
    if (WaitProcess(tool, 120s) != 0)
        return {};
    return ReadPpm(out);
}

void Wine::SetUpTestSuite() {
    s_x = std::make_unique<XvfbServer>(1024, 768);
    if (s_x->Running())
        WinePrefix::Shared().Use(s_x->Display());
}

void Wine::TearDownTestSuite() {
    WinePrefix::Shared().EndAll();
    s_x.reset();
}

void Wine::SetUp() {
    ASSERT_TRUE(s_x->Running()) << "Xvfb could not be started";
    ASSERT_TRUE(WinePrefix::Shared().Use(s_x->Display())) << "the Wine prefix could not be made";
    WineTest::SetUp();
    s_x->Xdotool({"mousemove", "0", "0"});
}

unsigned long Wine::Window(const std::string& name) {
    const auto windows = s_x->FindWindows(name, 120s);
    if (windows.empty())
        return 0;
    WaitFor(
        [&] {
            const auto geometry = s_x->WindowGeometry(windows[0]);
            return geometry && geometry->viewable;
        },
        60s);
    return windows[0];
}

void Wine::Key(unsigned long window, const std::vector<std::string>& keys) {
    // Without a window manager, the test gives the window the keyboard.
    s_x->Xdotool({"windowfocus", std::to_string(window)});
    std::vector<std::string> arguments{"key", "--delay", "80"};
    arguments.insert(arguments.end(), keys.begin(), keys.end());
    s_x->Xdotool(arguments);
}

void Wine::Click(unsigned long window, Point at, int times) {
    s_x->ClickInWindow(window, at.x, at.y, times, 150ms);
}
