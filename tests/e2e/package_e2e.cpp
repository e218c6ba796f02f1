// The installed Debian package, run by the real xscreensaver. scripts/package-test.sh installs
// the package and runs this with GLIMMERDEL_INSTALLED_PACKAGE=1; otherwise it is skipped.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/e2e/XSession.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A dark sky at the top, light snow at the bottom.
bool LooksLikeTheScene(const XvfbServer::Picture& picture) {
    if (picture.width == 0)
        return false;
    auto brightness = [](std::uint32_t p) {
        return ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
    };
    long top = 0, bottom = 0;
    for (int x = 0; x < picture.width; ++x) {
        top += brightness(picture.At(x, 2));
        bottom += brightness(picture.At(x, picture.height - 3));
    }
    return top / picture.width < 200 && bottom / picture.width > 500;
}

TEST(InstalledPackage, TheHackInXscreensaversFolderRunsUnderTheRealXscreensaver) {
    if (std::getenv("GLIMMERDEL_INSTALLED_PACKAGE") == nullptr)
        GTEST_SKIP() << "run by scripts/package-test.sh with the package installed";
    for (const char* path : {"/usr/bin/glimmerdel", "/usr/libexec/xscreensaver/glimmerdel",
                             "/usr/share/xscreensaver/config/glimmerdel.xml",
                             "/usr/lib/glimmerdel/vurezezideriru/glimmerdel/landscape.bmp"}) {
        EXPECT_TRUE(fs::exists(path)) << path;
    }
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.Running());
    TempDir home;
    chmod(home.Path().c_str(), 0777);
    fs::create_directories(home.File("runtime"));
    chmod(home.File("runtime").c_str(), 0700);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(home.File("runtime").c_str(), 65534, 65534), 0);
    }
    // By name: xscreensaver finds its hacks in its own folder.
    home.Write(".xscreensaver",
               "mode:\t\tone\nselected:\t0\ntimeout:\t1:00:00\nlock:\t\tFalse\n"
               "splash:\t\tFalse\nfade:\t\tFalse\nunfade:\t\tFalse\n"
               "programs:\t\"Glimmerdel\" glimmerdel --root \\n\\\n\n");
    chmod(home.File(".xscreensaver").c_str(), 0644);
    const std::vector<std::string> environment{"DISPLAY=" + x.Display(), "HOME=" + home.Path(),
                                               "XDG_RUNTIME_DIR=" + home.File("runtime")};
    const pid_t daemon = StartProcess(Unprivileged({"xscreensaver", "-no-splash"}), environment);
    std::this_thread::sleep_for(1500ms);
    const pid_t activate =
        StartProcess(Unprivileged({"xscreensaver-command", "-activate"}), environment);
    WaitProcess(activate, 5s);
    bool running = false;
    for (int i = 0; i < 200 && !running; ++i) {
        running = ProcessesRunning("glimmerdel --root") == 1;
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(running) << "xscreensaver started the installed hack";
    bool scene = false;
    for (int i = 0; i < 50 && !scene; ++i) {
        scene = LooksLikeTheScene(x.Capture());
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(scene) << "the scene fills xscreensaver's window";

    const pid_t deactivate =
        StartProcess(Unprivileged({"xscreensaver-command", "-deactivate"}), environment);
    WaitProcess(deactivate, 5s);
    for (int i = 0; i < 100 && ProcessesRunning("glimmerdel --root") > 0; ++i)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ProcessesRunning("glimmerdel --root"), 0) << "the hack ends with the saver";
    kill(daemon, SIGTERM);
    WaitProcess(daemon, 3s);
}

}  // namespace
