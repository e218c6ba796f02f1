// The scene inside another program's window, as screen-saver daemons run it.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <thread>

#include "tests/e2e/XSession.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kRed = 0xFF0000;

// Light snow at the bottom of the scene, a dark night sky at the top.
bool LooksLikeTheScene(const XvfbServer::Picture& picture) {
    if (picture.width == 0)
        return false;
    auto brightness = [](std::uint32_t p) {
        return ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
    };
    long top = 0, bottom = 0, red = 0;
    for (int x = 0; x < picture.width; ++x) {
        top += brightness(picture.At(x, 2));
        bottom += brightness(picture.At(x, picture.height - 3));
    }
    for (std::uint32_t p : picture.pixels)
        red += p == kRed;
    top /= picture.width;
    bottom /= picture.width;
    return top < 200 && bottom > 500 && red == 0;
}

int Differences(const XvfbServer::Picture& a, const XvfbServer::Picture& b) {
    int differences = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        differences += a.pixels[i] != b.pixels[i];
    return differences;
}

// Polls a window's pixels until they show the scene.
bool WaitForScene(const XvfbServer& x, unsigned long window, std::chrono::milliseconds timeout) {
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < timeout) {
        if (LooksLikeTheScene(x.Capture(window)))
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

TEST(EmbeddedEndToEnd, DrawsInAGivenWindowFollowsItsResizesAndEndsOnSigterm) {
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.Running());
    ClientWindow window(x.Display(), 20, 20, 400, 300, kRed);
    ProgramRun program;
    program.Start({"--window-id", std::to_string(window.Id())}, x.Display());
    ASSERT_TRUE(WaitForScene(x, window.Id(), 5s)) << program.ErrorOutput();
    EXPECT_EQ(x.FindWindows("Form1", 0ms).size(), 0u) << "no window of its own";

    window.Resize(640, 480);
    window.Fill();  // what the daemon would do: the whole window shows its background again
    EXPECT_TRUE(WaitForScene(x, window.Id(), 3s)) << "the scene is built again at 640 x 480";
    const auto first = x.Capture(window.Id());
    std::this_thread::sleep_for(150ms);
    EXPECT_GT(Differences(first, x.Capture(window.Id())), 20) << "and animates";

    const auto start = std::chrono::steady_clock::now();
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitExit(2s), 0);
    EXPECT_LT(MillisecondsSince(start), 100);
}

TEST(EmbeddedEndToEnd, EndsWhenItsWindowIsDestroyedOrOnSigintAndSighup) {
    XvfbServer x(640, 480);
    ASSERT_TRUE(x.Running());
    {
        ClientWindow window(x.Display(), 0, 0, 480, 400, kRed);
        ProgramRun program;
        program.Start({"-window-id", std::to_string(window.Id())}, x.Display());
        ASSERT_TRUE(WaitForScene(x, window.Id(), 5s)) << program.ErrorOutput();
        window.Destroy();
        EXPECT_EQ(program.WaitExit(1s), 0);
    }
    for (int signal : {SIGINT, SIGHUP}) {
        ClientWindow window(x.Display(), 0, 0, 480, 400, kRed);
        ProgramRun program;
        program.Start({}, x.Display(), {"XSCREENSAVER_WINDOW=" + std::to_string(window.Id())});
        ASSERT_TRUE(WaitForScene(x, window.Id(), 5s)) << program.ErrorOutput();
        program.Signal(signal);
        EXPECT_EQ(program.WaitExit(1s), 0) << signal;
    }
}

TEST(EmbeddedEndToEnd, OptionsOverrideTheSettingsForTheRun) {
    XvfbServer x(640, 480);
    ASSERT_TRUE(x.Running());
    ClientWindow window(x.Display(), 0, 0, 640, 480, kRed);
    ProgramRun program;
    const std::string before = program.Folder().Read("vantroglimmerdel.ini");
    program.Start(
        {"--window-id", std::to_string(window.Id()), "--no-lights", "--no-smoke", "--no-snow"},
        x.Display());
    ASSERT_TRUE(WaitForScene(x, window.Id(), 5s)) << program.ErrorOutput();
    const auto first = x.Capture(window.Id());
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Differences(first, x.Capture(window.Id())), 0) << "only the still picture";
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitExit(1s), 0);
    EXPECT_EQ(program.Folder().Read("vantroglimmerdel.ini"), before) << "the file stays";
}

TEST(EmbeddedEndToEnd, BadCommandLinesEndWithStatusTwo) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--snow-speed", "99"}, {"--window-id", "x"}, {"--root", "--frobnicate"}}) {
        ProgramRun program;
        program.Start(arguments, ":0");
        EXPECT_EQ(program.WaitExit(2s), 2) << arguments[0];
        EXPECT_NE(program.ErrorOutput().find("glimmerdel:"), std::string::npos);
    }
    ProgramRun help;
    help.Start({"--help"}, ":0");
    EXPECT_EQ(help.WaitExit(2s), 0);
}

// An installed copy, in a folder of its own (made with DESTDIR), owned by someone else.
class InstalledCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x.Running());
        chmod(root.Path().c_str(), 0755);
        chmod(home.Path().c_str(), 0777);
        const std::string command = "DESTDIR='" + root.Path() + "' cmake --install '" +
                                    GLIMMERDEL_PROGRAM_DIR + "' --prefix /usr > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        fs::create_directories(home.File("runtime"));
        chmod(home.File("runtime").c_str(), 0700);
        if (geteuid() == 0) {
            ASSERT_EQ(chown(home.File("runtime").c_str(), 65534, 65534), 0);
        }
    }
    std::string Installed(const std::string& path) const { return root.Path() + "/usr/" + path; }
    // Opens the installed program's settings dialog as an unprivileged user, closes it with
    // Escape, and gives its exit status (nullopt when it did not end).
    std::optional<int> DialogRoundTrip(const std::vector<std::string>& environment) {
        const pid_t dialog =
            StartProcess(Unprivileged({Installed("bin/glimmerdel"), "/c"}), environment);
        const auto windows = x.FindWindows("Glimmerdel", 10s);
        EXPECT_EQ(windows.size(), 1u) << "one dialog";
        if (windows.empty()) {
            kill(dialog, SIGKILL);
            WaitProcess(dialog, 3s);
            return std::nullopt;
        }
        std::this_thread::sleep_for(300ms);
        x.Xdotool({"windowfocus", "--sync", std::to_string(windows[0])});
        x.Xdotool({"key", "Escape"});
        return WaitProcess(dialog, 3s);
    }
    std::vector<std::string> Environment() const {
        return {"DISPLAY=" + x.Display(), "HOME=" + home.Path(),
                "XDG_RUNTIME_DIR=" + home.File("runtime")};
    }

    XvfbServer x{800, 600};
    TempDir root;
    TempDir home;
};

TEST_F(InstalledCopy, RunsFromBinAndTheDialogWritesTheUsersOwnFile) {
    {
        const pid_t saver = StartProcess({Installed("bin/glimmerdel"), "/s"}, Environment());
        ASSERT_EQ(x.FindWindows("Form1", 10s).size(), 1u);
        std::this_thread::sleep_for(300ms);
        x.Xdotool({"key", "space"});
        EXPECT_EQ(WaitProcess(saver, 2s), 0);
    }
    const std::string delivered = root.Read("usr/lib/glimmerdel/vantroglimmerdel.ini");
    EXPECT_EQ(DialogRoundTrip(Environment()), 0);
    if (geteuid() == 0) {
        const std::string own = home.Read(".config/glimmerdel/vantroglimmerdel.ini");
        for (const char* key :
             {"lights=", "chimneysmoke=", "snowing=", "lightspeed=", "smokespeed=", "snowspeed="}) {
            EXPECT_NE(own.find(key), std::string::npos) << key;
        }
        EXPECT_EQ(root.Read("usr/lib/glimmerdel/vantroglimmerdel.ini"), delivered);
    }
    EXPECT_TRUE(fs::is_symlink(Installed("libexec/xscreensaver/glimmerdel")));
    EXPECT_TRUE(fs::exists(Installed("share/xscreensaver/config/glimmerdel.xml")));
    EXPECT_TRUE(fs::exists(Installed("share/man/man6/glimmerdel.6")));
    EXPECT_TRUE(fs::exists(Installed("share/applications/glimmerdel.desktop")));
}

// Neither the program folder nor a home folder to write in: the dialog still opens and closes
// cleanly, and the delivered file stays as it was.
TEST_F(InstalledCopy, TheDialogClosesCleanlyWhereNothingCanBeWritten) {
    const std::string delivered = root.Read("usr/lib/glimmerdel/vantroglimmerdel.ini");
    EXPECT_EQ(DialogRoundTrip({"DISPLAY=" + x.Display(), "HOME=/nonexistent",
                               "XDG_CONFIG_HOME=/nonexistent/.config",
                               "XDG_RUNTIME_DIR=" + home.File("runtime")}),
              0);
    if (geteuid() == 0) {
        EXPECT_EQ(root.Read("usr/lib/glimmerdel/vantroglimmerdel.ini"), delivered);
    }
}

TEST_F(InstalledCopy, RunsUnderTheRealXscreensaver) {
    home.Write(".xscreensaver",
               "mode:\t\tone\nselected:\t0\ntimeout:\t1:00:00\nlock:\t\tFalse\n"
               "splash:\t\tFalse\nfade:\t\tFalse\nunfade:\t\tFalse\n"
               "programs:\t\"Glimmerdel\" " +
                   Installed("libexec/xscreensaver/glimmerdel") + " --root \\n\\\n\n");
    chmod(home.File(".xscreensaver").c_str(), 0644);
    const std::string hack = Installed("libexec/xscreensaver/glimmerdel");
    const pid_t daemon = StartProcess(Unprivileged({"xscreensaver", "-no-splash"}), Environment());
    std::this_thread::sleep_for(1500ms);
    const pid_t activate =
        StartProcess(Unprivileged({"xscreensaver-command", "-activate"}), Environment());
    WaitProcess(activate, 5s);
    bool running = false;
    for (int i = 0; i < 100 && !running; ++i) {
        running = ProcessesRunning(hack + " --root") == 1;
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(running) << "xscreensaver started the hack";
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(LooksLikeTheScene(x.Capture())) << "the scene fills xscreensaver's window";

    const pid_t deactivate =
        StartProcess(Unprivileged({"xscreensaver-command", "-deactivate"}), Environment());
    WaitProcess(deactivate, 5s);
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(ProcessesRunning(hack), 0) << "no hack left a second later";
    kill(daemon, SIGTERM);
    WaitProcess(daemon, 3s);
}

}  // namespace
