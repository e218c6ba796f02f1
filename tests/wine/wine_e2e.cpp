// The Windows build end to end under Wine on Xvfb: the screen saver file in every mode, from a
// private copy of the Windows program folder, with a Wine prefix of its own.
//
// The Windows program folder comes from GLIMMERDEL_WINDOWS_DIR (`make windows-test` sets it).

#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "art/embedded_pictures.h"
#include "tests/e2e/DialogLayout.h"
#include "tests/e2e/XSession.h"
#include "tools/harness/settings_text.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A settings file with the system's line breaks.
std::string SettingsFile(const Controls& c, const std::string& applic = "appdisplay=0\n") {
    return SettingsFileText(c, applic, "\r\n");
}

// A picture in the binary PPM form the snapshot tool writes.
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

// Pixels that differ between two pictures of one size; -1 for pictures of different sizes.
int ScreenDifferences(const XvfbServer::Picture& a, const XvfbServer::Picture& b) {
    if (a.width != b.width || a.height != b.height)
        return -1;
    return Differences(a, b);
}

// Polls a condition every 50 ms until it holds or the limit passes.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
    const auto start = std::chrono::steady_clock::now();
    while (!condition()) {
        if (std::chrono::steady_clock::now() - start > limit)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

class Wine : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const char* windows = std::getenv("GLIMMERDEL_WINDOWS_DIR");
        s_windowsDir = windows != nullptr ? windows : "";
        s_x = std::make_unique<XvfbServer>(1024, 768);
        s_prefix = std::make_unique<TempDir>();
        if (!s_x->Running() || s_windowsDir.empty())
            return;
        // A new prefix: about 15 s on a quiet machine, much longer on a busy one.
        const pid_t boot = StartProcess({"wineboot", "-i"}, Environment());
        s_booted = WaitProcess(boot, 600s) == 0;
    }
    static void TearDownTestSuite() {
        if (s_x && s_x->Running())
            WaitProcess(StartProcess({"wineserver", "-k"}, Environment()), 60s);
        s_x.reset();
        s_prefix.reset();
    }
    static std::vector<std::string> Environment() {
        return {"WINEPREFIX=" + s_prefix->Path(), "WINEDEBUG=-all", "DISPLAY=" + s_x->Display(),
                // No offer to install the .NET and HTML engines into the new prefix.
                "WINEDLLOVERRIDES=mscoree,mshtml="};
    }

    void SetUp() override {
        ASSERT_FALSE(s_windowsDir.empty()) << "GLIMMERDEL_WINDOWS_DIR names no Windows build";
        ASSERT_TRUE(s_x->Running()) << "Xvfb could not be started";
        ASSERT_TRUE(s_booted) << "the Wine prefix could not be made";
        const fs::path from(s_windowsDir);
        for (const char* file : {"glimmerdel.scr", "GlimmerdelEmail.exe", "vantroglimmerdel.ini"})
            fs::copy_file(from / file, fs::path(folder.Path()) / file);
        fs::create_directories(fs::path(folder.Path()) / "vurezezideriru");
        fs::copy(from / "vurezezideriru", fs::path(folder.Path()) / "vurezezideriru",
                 fs::copy_options::recursive);
        s_x->Xdotool({"mousemove", "0", "0"});
    }
    void TearDown() override {
        if (m_pid > 0 && !m_status) {
            kill(m_pid, SIGKILL);
            WaitProcess(m_pid, 30s);
            // Whatever it started goes too, so that the next test starts afresh.
            WaitProcess(StartProcess({"wineserver", "-k"}, Environment()), 60s);
        }
    }

    void Start(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{"wine", folder.File("glimmerdel.scr")};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        m_status.reset();
        m_pid = StartProcess(argv, Environment(), folder.File("stderr.txt"));
    }
    std::optional<int> WaitExit(std::chrono::milliseconds limit) {
        if (!m_status)
            m_status = WaitProcess(m_pid, limit);
        return m_status;
    }
    std::string Settings() const { return folder.Read("vantroglimmerdel.ini"); }
    // The first top-level window of that name, once it is shown.
    unsigned long Window(const std::string& name) {
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
    void Key(unsigned long window, const std::vector<std::string>& keys) {
        // Without a window manager, the test gives the window the keyboard.
        s_x->Xdotool({"windowfocus", std::to_string(window)});
        std::vector<std::string> arguments{"key", "--delay", "80"};
        arguments.insert(arguments.end(), keys.begin(), keys.end());
        s_x->Xdotool(arguments);
    }
    void Click(unsigned long window, Point at, int times = 1) {
        s_x->ClickInWindow(window, at.x, at.y, times, 150ms);
    }
    // The Linux snapshot tool's picture of this program folder's scene on the whole screen.
    XvfbServer::Picture Snapshot() {
        const std::string out = folder.File("expected.ppm");
        const pid_t tool =
            StartProcess({std::string(GLIMMERDEL_PROGRAM_DIR) + "/glimmerdel-snapshot", "--folder",
                          folder.Path(), "--size", "1024x768", "--frames", "0", "--out", out},
                         {});
        if (WaitProcess(tool, 120s) != 0)
            return {};
        return ReadPpm(out);
    }

    static inline std::unique_ptr<XvfbServer> s_x;
    static inline std::unique_ptr<TempDir> s_prefix;
    static inline std::string s_windowsDir;
    static inline bool s_booted = false;

    TempDir folder;
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

TEST_F(Wine, TheStillSceneFillsTheScreenExactlyAsTheSnapshotAndAKeyEndsIt) {
    folder.Write("vantroglimmerdel.ini", SettingsFile({"0", "0", "0", "3", "2", "4"}));
    const XvfbServer::Picture expected = Snapshot();
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
    const std::string helper = std::string(s_windowsDir) + "/tests/wine_helper.exe";
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
    fs::copy_file(std::string(s_windowsDir) + "/tests/wine_helper.exe",
                  folder.File("GlimmerdelEmail.exe"), fs::copy_options::overwrite_existing);
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
    const fs::path drive = fs::path(s_prefix->Path()) / "drive_c";
    const fs::path installed = drive / "Program Files" / "Glimmerdel";
    const fs::path listed = drive / "windows" / "system32" / "glimmerdel.scr";
    const pid_t setup = StartProcess(
        {"wine", std::string(s_windowsDir) + "/Glimmerdel-" + GLIMMERDEL_VERSION + "-setup.exe",
         "/S"},
        Environment());
    ASSERT_EQ(WaitProcess(setup, 300s), 0);
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
    const pid_t uninstall =
        StartProcess({"wine", "C:\\Program Files\\Glimmerdel\\uninstall.exe", "/S"}, Environment());
    EXPECT_EQ(WaitProcess(uninstall, 300s), 0);
    // The uninstaller runs on from a copy of itself.
    EXPECT_TRUE(WaitFor([&] { return !fs::exists(installed) && !fs::exists(listed); }, 120s))
        << "left behind: " << (fs::exists(listed) ? listed.string() : installed.string());
    EXPECT_TRUE(fs::exists(own));
}

}  // namespace
