// SPDX-License-Identifier: MIT
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

// Polls a window's pixels until they show the scene.
bool WaitForScene(const XvfbServer& x, unsigned long window) {
    return WaitUntil([&] { return LooksLikeTheScene(x.Capture(window), kRed); });
}

TEST(EmbeddedEndToEnd, DrawsInAGivenWindowFollowsItsResizesAndEndsOnSigterm) {
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.Running());
    ClientWindow window(x.Display(), 20, 20, 400, 300, kRed);
    ProgramRun program;
    program.Start({"--window-id", std::to_string(window.Id())}, x.Display());
    ASSERT_TRUE(WaitForScene(x, window.Id())) << program.ErrorOutput();
    EXPECT_EQ(x.FindWindows("Form1", 0ms).size(), 0u) << "no window of its own";

    window.Resize(640, 480);
    window.Fill();  // what the daemon would do: the whole window shows its background again
    EXPECT_TRUE(WaitForScene(x, window.Id())) << "the scene is built again at 640 x 480";
    EXPECT_GT(x.WaitForChange(window.Id(), 20), 0) << "and animates";

    // How quickly it ends is measured by `make bench`; here it ends, and by itself.
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitExit(kPatience), 0);
}

TEST(EmbeddedEndToEnd, EndsWhenItsWindowIsDestroyedOrOnSigintAndSighup) {
    XvfbServer x(640, 480);
    ASSERT_TRUE(x.Running());
    {
        ClientWindow window(x.Display(), 0, 0, 480, 400, kRed);
        ProgramRun program;
        program.Start({"-window-id", std::to_string(window.Id())}, x.Display());
        ASSERT_TRUE(WaitForScene(x, window.Id())) << program.ErrorOutput();
        window.Destroy();
        EXPECT_EQ(program.WaitExit(kPatience), 0);
    }
    for (int signal : {SIGINT, SIGHUP}) {
        ClientWindow window(x.Display(), 0, 0, 480, 400, kRed);
        ProgramRun program;
        program.Start({}, x.Display(), {"XSCREENSAVER_WINDOW=" + std::to_string(window.Id())});
        ASSERT_TRUE(WaitForScene(x, window.Id())) << program.ErrorOutput();
        program.Signal(signal);
        EXPECT_EQ(program.WaitExit(kPatience), 0) << signal;
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
    ASSERT_TRUE(WaitForScene(x, window.Id())) << program.ErrorOutput();
    // Nothing may move: watch for a while (on a busy machine fewer frames pass, which makes the
    // check weaker, never wrong).
    EXPECT_EQ(x.WaitForChange(window.Id(), 0, 500ms), 0) << "only the still picture";
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitExit(kPatience), 0);
    EXPECT_EQ(program.Folder().Read("vantroglimmerdel.ini"), before) << "the file stays";
}

TEST(EmbeddedEndToEnd, BadCommandLinesEndWithStatusTwo) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--snow-speed", "99"}, {"--window-id", "x"}, {"--root", "--frobnicate"}}) {
        ProgramRun program;
        program.Start(arguments, ":0");
        EXPECT_EQ(program.WaitExit(kPatience), 2) << arguments[0];
        EXPECT_NE(program.ErrorOutput().find("glimmerdel:"), std::string::npos);
    }
    ProgramRun help;
    help.Start({"--help"}, ":0");
    EXPECT_EQ(help.WaitExit(kPatience), 0);
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
        const auto windows = x.FindWindows("Glimmerdel", kPatience);
        EXPECT_EQ(windows.size(), 1u) << "one dialog";
        if (windows.empty() || !x.WaitViewable(windows[0])) {
            kill(dialog, SIGKILL);
            WaitProcess(dialog, kPatience);
            return std::nullopt;
        }
        x.Xdotool({"windowfocus", "--sync", std::to_string(windows[0])});
        x.Xdotool({"key", "Escape"});
        return WaitProcess(dialog, kPatience);
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
        ASSERT_EQ(x.FindWindows("Form1", kPatience).size(), 1u);
        // Once the picture moves, the frame loop runs and the saver holds the keyboard.
        EXPECT_GT(x.WaitForChange(0, 20), 0) << "the scene runs";
        x.Xdotool({"key", "space"});
        EXPECT_EQ(WaitProcess(saver, kPatience), 0);
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
    // The daemon answers its commands once it runs: ask until it does.
    auto command = [&](const char* what) {
        const pid_t client =
            StartProcess(Unprivileged({"xscreensaver-command", what}), Environment());
        return WaitProcess(client, kPatience) == 0;
    };
    ASSERT_TRUE(WaitUntil([&] { return command("-time"); })) << "xscreensaver answers";
    ASSERT_TRUE(command("-activate"));
    EXPECT_TRUE(WaitUntil([&] { return ProcessesRunning(hack + " --root") == 1; }))
        << "xscreensaver started the hack";
    EXPECT_TRUE(WaitUntil([&] { return LooksLikeTheScene(x.Capture(), kRed); }))
        << "the scene fills xscreensaver's window";

    ASSERT_TRUE(command("-deactivate"));
    EXPECT_TRUE(WaitUntil([&] { return ProcessesRunning(hack) == 0; })) << "the hack has ended";
    kill(daemon, SIGTERM);
    WaitProcess(daemon, kPatience);
}

}  // namespace
