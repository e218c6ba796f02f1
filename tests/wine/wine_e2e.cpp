// SPDX-License-Identifier: MIT
// The Windows build end to end under Wine on Xvfb: the screen saver file in every mode, from a
// private copy of the Windows program folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <thread>

#include "art/embedded_pictures.h"
#include "tests/e2e/DialogLayout.h"
#include "tests/wine/WineFixture.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

TEST_F(Wine, TheStillSceneFillsTheScreenExactlyAsTheSnapshotAndAKeyEndsIt) {
    folder.Write("vantroglimmerdel.ini", SettingsFile({"0", "0", "0", "3", "2", "4"}));
    const XvfbServer::Picture expected = Snapshot(1024, 768);
    ASSERT_EQ(expected.width, 1024);
    Start({"/s"});
    const unsigned long window = Window("Form1");
    ASSERT_NE(window, 0u) << folder.Read("stderr.txt");
    const auto geometry = s_x->WindowGeometry(window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 0);
    EXPECT_EQ(geometry->width, 1024);
    EXPECT_EQ(geometry->height, 768);
    int differences = -1;
    EXPECT_TRUE(WaitFor(
        [&] {
            differences = ScreenDifferences(s_x->Capture(), expected);
            return differences == 0;
        },
        60s))
        << differences << " pixels differ from the snapshot tool's picture";
    Key(window, {"space"});
    EXPECT_EQ(WaitExit(60s), 0);
}

TEST_F(Wine, WithTheEffectsOnTheSceneAnimatesAndAButtonEndsIt) {
    folder.Write("vantroglimmerdel.ini", SettingsFile({"1", "1", "1", "3", "2", "4"}));
    Start({"/S"});
    const unsigned long window = Window("Form1");
    ASSERT_NE(window, 0u) << folder.Read("stderr.txt");
    const XvfbServer::Picture first = s_x->Capture();
    EXPECT_TRUE(WaitFor([&] { return ScreenDifferences(s_x->Capture(), first) > 0; }, 30s))
        << "the picture never changed";
    s_x->Xdotool({"mousemove", "500", "400", "click", "1"});
    EXPECT_EQ(WaitExit(60s), 0);
}

TEST_F(Wine, AMissingSkyShowsTheMessageAndReturnEndsTheProgram) {
    fs::remove(folder.File("vurezezideriru/glimmerdel/fwbackground.bmp"));
    Start({"/s"});
    const unsigned long box = Window("Glimmerdel");
    ASSERT_NE(box, 0u) << "no message box";
    EXPECT_FALSE(WaitExit(1s)) << "the program waits for the message to be read";
    Key(box, {"Return"});
    EXPECT_EQ(WaitExit(60s), 0);
}

TEST_F(Wine, DamagedPicturesAndJunkSettingsGetTheDesignedReactions) {
    {
        // Junk in the settings file: values that are no numbers stop the set-up with the one
        // message, and Return ends the program.
        std::string junk =
            "\x01\x02[controls]\nlights=\xff\xfe\nsnowspeed=" + std::string(5000, 'x');
        folder.Write("vantroglimmerdel.ini", junk);
        Start({"/s"});
        const unsigned long box = Window("Glimmerdel");
        ASSERT_NE(box, 0u) << "no message box";
        Key(box, {"Return"});
        EXPECT_EQ(WaitExit(60s), 0);
    }
    {
        // A landscape cut short: the system decides how much of it to draw (Wine draws what
        // the file holds; the Linux stand-in refuses the whole file); the saver runs and a key
        // ends it.
        const std::string landscape = folder.File("vurezezideriru/glimmerdel/landscape.bmp");
        fs::resize_file(landscape, 100);
        folder.Write("vantroglimmerdel.ini", SettingsFile({"1", "1", "1", "3", "2", "4"}));
        Start({"/s"});
        const unsigned long window = Window("Form1");
        ASSERT_NE(window, 0u);
        Key(window, {"space"});
        EXPECT_EQ(WaitExit(60s), 0);
    }
}

TEST_F(Wine, TheDialogWritesTheSixKeysAsOnLinuxForTheSameClicks) {
    folder.Write("vantroglimmerdel.ini", SettingsFile(kChangesFrom));
    Start({"/c"});
    const unsigned long window = Window("Glimmerdel");
    ASSERT_NE(window, 0u);
    const auto geometry = s_x->WindowGeometry(window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 235);
    EXPECT_EQ(geometry->height, 324);
    std::this_thread::sleep_for(500ms);
    // The same changes as the Linux dialog's test.
    MakeTheChanges([&](Point at, int times) { Click(window, at, times); });
    EXPECT_EQ(ControlsIn(Settings()), kChangesFrom) << "nothing is saved before the dialog closes";
    Click(window, kClose);
    EXPECT_EQ(WaitExit(60s), 0);
    EXPECT_EQ(ControlsIn(Settings()), kChangesTo);
}

TEST_F(Wine, TheKeyboardStartsOnCloseAndFollowsTheTabOrder) {
    folder.Write("vantroglimmerdel.ini", SettingsFile({"0", "0", "0", "5", "5", "5"}));
    Start({"/c:4711"});
    const unsigned long window = Window("Glimmerdel");
    ASSERT_NE(window, 0u);
    std::this_thread::sleep_for(500ms);
    // Close, the two picture buttons, then the lights box and its scroll bar; Escape closes.
    Key(window, {"Tab", "Tab", "Tab", "space", "Tab", "Right", "Right", "Escape"});
    EXPECT_EQ(WaitExit(60s), 0);
    EXPECT_EQ(ControlsIn(Settings()), (Controls{"1", "0", "0", "3", "5", "5"}));
}

TEST_F(Wine, ThePreviewEndsAtOnceAndTouchesNothingOutsideItsCorner) {
    const std::string helper = WindowsDir() + "/tests/wine_helper.exe";
    const pid_t host =
        StartProcess({"wine", helper, "host", folder.File("handle.txt"), folder.File("stop.txt")},
                     Environment());
    ASSERT_TRUE(WaitFor([&] { return fs::exists(folder.File("handle.txt")); }, 120s));
    const unsigned long hostWindow = Window("Preview host");
    ASSERT_NE(hostWindow, 0u);
    std::this_thread::sleep_for(500ms);
    const XvfbServer::Picture before = s_x->Capture();
    std::string handle = folder.Read("handle.txt");
    handle.erase(handle.find_last_not_of("\r\n") + 1);
    Start({"/p", handle});
    EXPECT_EQ(WaitExit(60s), 0);
    const XvfbServer::Picture after = s_x->Capture();
    // The host window stands at (100, 100): its top-left 151 x 119 pixels are the preview's.
    int changed = 0;
    for (int y = 0; y < after.height; ++y) {
        for (int x = 0; x < after.width; ++x) {
            const bool corner = x >= 100 && x < 100 + kPreviewPicture.width && y >= 100 &&
                                y < 100 + kPreviewPicture.height;
            changed += !corner && after.At(x, y) != before.At(x, y);
        }
    }
    EXPECT_EQ(changed, 0);
    // No handle, a handle of no window: nothing painted, the end all the same.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"/p", "0"}, std::vector<std::string>{"/p", "123456789"},
          std::vector<std::string>{"/P"}}) {
        Start(arguments);
        EXPECT_EQ(WaitExit(60s), 0) << arguments.back();
    }
    folder.Write("stop.txt", "stop");
    EXPECT_EQ(WaitProcess(host, 60s), 0);
}

TEST_F(Wine, ThePasswordChangeEndsAtOnce) {
    Start({"/a", "4711"});
    EXPECT_EQ(WaitExit(60s), 0);
}

TEST_F(Wine, TheFourthRunStartsTheCompanionProgram) {
    // The companion's stand-in notes that it was started.
    fs::copy_file(WindowsDir() + "/tests/wine_helper.exe", folder.File("GlimmerdelEmail.exe"),
                  fs::copy_options::overwrite_existing);
    folder.Write("vantroglimmerdel.ini",
                 SettingsFile({"0", "0", "0", "3", "2", "4"},
                              "appdisplay=1\r\nappcurrent=2\r\nappalert=3\r\n"));
    Start({"/s"});
    unsigned long window = Window("Form1");
    ASSERT_NE(window, 0u);
    Key(window, {"space"});
    ASSERT_EQ(WaitExit(60s), 0);
    EXPECT_FALSE(fs::exists(folder.File("email-started"))) << "the third run only counts";
    Start({"/s"});
    window = Window("Form1");
    ASSERT_NE(window, 0u);
    Key(window, {"space"});
    ASSERT_EQ(WaitExit(60s), 0);
    EXPECT_TRUE(WaitFor([&] { return fs::exists(folder.File("email-started")); }, 60s))
        << "the companion program was not started";
    EXPECT_NE(Settings().find("appdisplay=0"), std::string::npos) << "the prompt is disarmed";
}

TEST_F(Wine, TheInstallerPutsTheSaverInTheSystemFolderAndTheUninstallerTakesItAway) {
    const fs::path drive = fs::path(WinePrefix::Shared().Path()) / "drive_c";
    const fs::path installed = drive / "Program Files" / "Glimmerdel";
    const fs::path listed = drive / "windows" / "system32" / "glimmerdel.scr";
    const std::string setup = WindowsDir() + "/Glimmerdel-" + GLIMMERDEL_VERSION + "-setup.exe";
    const std::string uninstaller = "C:\\Program Files\\Glimmerdel\\uninstall.exe";
    ASSERT_EQ(WaitProcess(StartProcess({"wine", setup, "/S"}, Environment()), 300s), 0);
    for (const char* file : {"glimmerdel.scr", "GlimmerdelEmail.exe", "vantroglimmerdel.ini",
                             "uninstall.exe", "vurezezideriru/glimmerdel/fwbackground.bmp"}) {
        EXPECT_TRUE(fs::exists(installed / file)) << file;
    }
    ASSERT_TRUE(fs::exists(listed)) << "the display settings list screen savers from there";

    // The copy in the system folder finds the program folder: the scene runs, no message.
    m_pid = StartProcess({"wine", "C:\\windows\\system32\\glimmerdel.scr", "/s"}, Environment());
    m_status.reset();
    const unsigned long window = Window("Form1");
    ASSERT_NE(window, 0u);
    Key(window, {"space"});
    EXPECT_EQ(WaitExit(60s), 0);

    // A user's own settings file stays when the program goes.
    fs::path own;
    for (const auto& user : fs::directory_iterator(drive / "users")) {
        if (fs::is_directory(user.path() / "AppData" / "Roaming") &&
            user.path().filename() != "Public") {
            own = user.path() / "AppData" / "Roaming" / "Glimmerdel" / "vantroglimmerdel.ini";
        }
    }
    ASSERT_FALSE(own.empty()) << "no user folder in the prefix";
    fs::create_directories(own.parent_path());
    std::ofstream(own) << "[controls]\nlights=0\n";
    // The user chose the saver in the display settings, which wrote its file's short name (here
    // in capitals): the uninstaller clears that setting, which would name a file that is gone.
    ASSERT_EQ(
        RunHelper({"short", "C:\\windows\\system32\\glimmerdel.scr", folder.File("short.txt")}), 0);
    std::string chosen = folder.Read("short.txt");
    std::transform(chosen.begin(), chosen.end(), chosen.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::vector<std::string> setting{"HKCU\\Control Panel\\Desktop", "/v", "SCRNSAVE.EXE"};
    std::vector<std::string> add{"wine", "reg", "add"};
    add.insert(add.end(), setting.begin(), setting.end());
    add.insert(add.end(), {"/d", chosen, "/f"});
    ASSERT_EQ(WinePrefix::Shared().Run(add), 0);
    EXPECT_EQ(WaitProcess(StartProcess({"wine", uninstaller, "/S"}, Environment()), 300s), 0);
    // The uninstaller runs on from a copy of itself.
    EXPECT_TRUE(WaitFor([&] { return !fs::exists(installed) && !fs::exists(listed); }, 120s))
        << "left behind: " << (fs::exists(listed) ? listed.string() : installed.string());
    EXPECT_TRUE(fs::exists(own));
    std::vector<std::string> query{"wine", "reg", "query"};
    query.insert(query.end(), setting.begin(), setting.end());
    EXPECT_EQ(WinePrefix::Shared().Run(query), 1) << chosen << " is still the chosen saver";

    // Installed again, with another screen saver chosen: that choice outlives the uninstaller.
    ASSERT_EQ(WaitProcess(StartProcess({"wine", setup, "/S"}, Environment()), 300s), 0);
    add.at(add.size() - 2) = "C:\\windows\\system32\\other.scr";
    ASSERT_EQ(WinePrefix::Shared().Run(add), 0);
    ASSERT_EQ(WaitProcess(StartProcess({"wine", uninstaller, "/S"}, Environment()), 300s), 0);
    EXPECT_TRUE(WaitFor([&] { return !fs::exists(listed); }, 120s));
    EXPECT_EQ(WinePrefix::Shared().Run(query), 0) << "another saver's setting was cleared";
}

}  // namespace
