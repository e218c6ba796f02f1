// SPDX-License-Identifier: MIT
// The Windows build end to end under Wine: every way out of the saver gives the desktop back
// (the helper program stands in for the taskbar, closes the saver's window, takes the
// foreground, ends the session) and leaves nothing to block the next run; and a program folder
// named outside the system's code page.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "tests/e2e/DialogLayout.h"
#include "tests/wine/WineFixture.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// The helper program standing in for the taskbar, for as long as it lives.
class TaskbarStandIn {
  public:
    TaskbarStandIn(const TempDir& folder, pid_t pid) : m_folder(folder), m_pid(pid) {}
    ~TaskbarStandIn() {
        m_folder.Write("taskbar-stop.txt", "stop");
        WaitProcess(m_pid, 30s);
    }
    TaskbarStandIn(const TaskbarStandIn&) = delete;
    TaskbarStandIn& operator=(const TaskbarStandIn&) = delete;
    // "shown N" or "hidden N", N the times it was hidden.
    std::string State() const {
        std::ifstream in(m_folder.File("taskbar.txt"));
        std::string state;
        std::getline(in, state);
        return state;
    }
    bool WaitFor(const std::string& state) const {
        return ::WaitFor([&] { return State() == state; }, kPatience);
    }

  private:
    const TempDir& m_folder;
    pid_t m_pid;
};

// A value of the settings file's text ("" when it has none).
std::string Value(const std::string& text, const std::string& key) {
    const size_t at = text.find(key + "=");
    if (at == std::string::npos)
        return "";
    const size_t end = text.find_first_of("\r\n", at);
    return text.substr(at + key.size() + 1,
                       end == std::string::npos ? end : end - at - key.size() - 1);
}

TEST_F(Wine, EveryWayOutShowsTheTaskbarAgainAndTheNextRunStartsNormally) {
    const TaskbarStandIn taskbar(folder, StartHelper({"taskbar", folder.File("taskbar.txt"),
                                                      folder.File("taskbar-stop.txt")}));
    ASSERT_TRUE(taskbar.WaitFor("shown 0")) << taskbar.State();
    pid_t foreground = -1;
    struct Way {
        const char* name;
        bool promptStep;
        std::function<void(unsigned long window)> take;
    };
    const std::vector<Way> ways{
        {"a key", true, [&](unsigned long window) { Key(window, {"space"}); }},
        {"a button", true,
         [&](unsigned long) {
             s_x->Xdotool({"mousemove", "500", "300", "click", "3"});
         }},
        {"the fifth counted move", true,
         [&](unsigned long) {
             // Moves in a steady stream, until five of them came within two seconds.
             for (int i = 0; i < 200 && !WaitExit(50ms); ++i)
                 s_x->Xdotool({"mousemove", std::to_string(200 + 20 * (i % 10)), "300"});
         }},
        {"WM_CLOSE", true,
         [&](unsigned long) {
             EXPECT_EQ(RunHelper({"close", "Form1"}), 0);
         }},
        {"another program in the foreground", true,
         [&](unsigned long) {
             foreground = StartHelper({"foreground", folder.File("foreground-stop.txt")});
         }},
        {"the end of the session", false,
         [&](unsigned long) {
             RunHelper({"endsession", "Form1"});
         }},
    };
    int hides = 0;
    int counted = 0;
    for (const Way& way : ways) {
        folder.Write("vantroglimmerdel.ini",
                     SettingsFile({"0", "0", "0", "3", "2", "4"},
                                  "appdisplay=1\r\nappcurrent=" + std::to_string(counted) +
                                      "\r\nappalert=99\r\n"));
        s_x->Xdotool({"mousemove", "0", "0"});
        Start({"/s"});
        const unsigned long window = Window("Form1");
        ASSERT_NE(window, 0u) << way.name << ": the run did not start";
        ASSERT_TRUE(taskbar.WaitFor("hidden " + std::to_string(++hides)))
            << way.name << ": " << taskbar.State();
        way.take(window);
        EXPECT_EQ(WaitExit(kPatience), 0) << way.name;
        EXPECT_TRUE(taskbar.WaitFor("shown " + std::to_string(hides)))
            << way.name << ": " << taskbar.State();
        if (way.promptStep)
            ++counted;
        EXPECT_EQ(Value(Settings(), "appcurrent"), std::to_string(counted))
            << way.name << (way.promptStep ? " takes" : " skips") << " the e-mail prompt step";
    }
    folder.Write("foreground-stop.txt", "stop");
    EXPECT_EQ(WaitProcess(foreground, 60s), 0);

    // An error in the frame loop (a snow speed that is no number) after the taskbar was hidden:
    // the message, then the desktop back.
    folder.Write("vantroglimmerdel.ini", SettingsFile({"0", "0", "1", "3", "2", "fast"}));
    Start({"/s"});
    const unsigned long box = Window("Glimmerdel");
    ASSERT_NE(box, 0u) << "no message box";
    EXPECT_EQ(taskbar.State(), "hidden " + std::to_string(++hides));
    Key(box, {"Return"});
    EXPECT_EQ(WaitExit(kPatience), 0);
    EXPECT_TRUE(taskbar.WaitFor("shown " + std::to_string(hides))) << taskbar.State();
}

TEST_F(Wine, AProgramFolderNamedOutsideTheCodePageShowsTheSceneAndKeepsItsSettings) {
    // The system's code page is a Western one: Cyrillic letters have no place in it.
    ASSERT_EQ(WaitProcess(StartHelper({"codepage", folder.File("codepage.txt")}), 120s), 0);
    ASSERT_EQ(folder.Read("codepage.txt"), "1252");
    const fs::path snow = WinePrefix::Shared().Drive() / "Снег";
    const fs::path program = snow / "Glimmerdel";
    fs::remove_all(snow);
    CopyProgramFolder(program);
    const std::string still = SettingsFile({"0", "0", "0", "3", "2", "4"});
    folder.Write("vantroglimmerdel.ini", still);
    std::ofstream(program / "vantroglimmerdel.ini", std::ios::binary) << still;
    const XvfbServer::Picture expected = Snapshot(1024, 768);
    ASSERT_EQ(expected.width, 1024);

    Start({"/s"}, program.string());
    const unsigned long window = Window("Form1");
    ASSERT_NE(window, 0u) << folder.Read("stderr.txt");
    int differences = -1;
    EXPECT_TRUE(WaitFor(
        [&] {
            differences = ScreenDifferences(s_x->Capture(), expected);
            return differences == 0;
        },
        kPatience))
        << differences << " pixels differ from the scene (the missing-files message?)";
    Key(window, {"space"});
    EXPECT_EQ(WaitExit(kPatience), 0);

    // The dialog reads and writes the settings file there.
    std::ofstream(program / "vantroglimmerdel.ini", std::ios::binary) << SettingsFile(kChangesFrom);
    Start({"/c"}, program.string());
    const unsigned long dialog = Window("Glimmerdel");
    ASSERT_NE(dialog, 0u);
    std::this_thread::sleep_for(500ms);
    MakeTheChanges([&](Point at, int times) { Click(dialog, at, times); });
    Click(dialog, kClose);
    EXPECT_EQ(WaitExit(kPatience), 0);
    std::ifstream in(program / "vantroglimmerdel.ini", std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(ControlsIn(saved), kChangesTo);
    fs::remove_all(snow);
}

}  // namespace
