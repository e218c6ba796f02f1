// SPDX-License-Identifier: MIT
// The installed Debian package, run by the real xscreensaver. scripts/package-test.sh installs
// the package and runs this with GLIMMERDEL_INSTALLED_PACKAGE=1; otherwise it is skipped.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/e2e/XSession.h"

namespace fs = std::filesystem;

namespace {

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
    // The daemon answers its commands once it runs: ask until it does.
    auto command = [&](const char* what) {
        const pid_t client =
            StartProcess(Unprivileged({"xscreensaver-command", what}), environment);
        return WaitProcess(client, kPatience) == 0;
    };
    ASSERT_TRUE(WaitUntil([&] { return command("-time"); })) << "xscreensaver answers";
    ASSERT_TRUE(command("-activate"));
    EXPECT_TRUE(WaitUntil([&] { return ProcessesRunning("glimmerdel --root") == 1; }))
        << "xscreensaver started the installed hack";
    EXPECT_TRUE(WaitUntil([&] { return LooksLikeTheScene(x.Capture()); }))
        << "the scene fills xscreensaver's window";

    ASSERT_TRUE(command("-deactivate"));
    EXPECT_TRUE(WaitUntil([&] { return ProcessesRunning("glimmerdel --root") == 0; }))
        << "the hack ends with the saver";
    kill(daemon, SIGTERM);
    WaitProcess(daemon, kPatience);
}

}  // namespace
