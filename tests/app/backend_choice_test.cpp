// SPDX-License-Identifier: MIT
// Which backend runs what: the saver natively on Wayland when a compositor is named, the X11
// modes on X11 whatever is set, the forcing variable, --background and its clashes.

#include <gtest/gtest.h>

#include "app/BackendChoice.h"
#include "app/LinuxOptions.h"

namespace {

struct Run {
    std::vector<std::string> arguments;
    BackendEnvironment environment;
    const char* screensaverWindow = nullptr;
};

BackendChoice Choose(Run run) {
    const LinuxOptions options = ParseLinuxOptions(run.arguments, run.screensaverWindow);
    EXPECT_TRUE(options.error.empty()) << options.error;
    return ChooseBackend(run.arguments, options, run.environment);
}

const BackendEnvironment kWaylandDesktop{nullptr, "wayland-1", nullptr, ":0"};
const BackendEnvironment kWaylandOnly{nullptr, "wayland-1", nullptr, nullptr};
const BackendEnvironment kX11Desktop{nullptr, nullptr, nullptr, ":0"};

TEST(BackendChoice, TheSaverRunsNativelyWhereACompositorIsNamed) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {}, {"/s"}, {"/S"}, {"--no-snow", "--scale", "2"}, {"/x"}}) {
        EXPECT_EQ(Choose({arguments, kWaylandDesktop}).backend, Backend::Wayland);
        EXPECT_EQ(Choose({arguments, kX11Desktop}).backend, Backend::X11);
    }
    // A connection handed over by a locker names the compositor as well.
    EXPECT_EQ(Choose({{}, {nullptr, nullptr, "5", nullptr}}).backend, Backend::Wayland);
    EXPECT_EQ(Choose({{}, {nullptr, "", "", ":0"}}).backend, Backend::X11) << "empty is unset";
}

TEST(BackendChoice, XWindowsDialogsAndTheWindowModeStayOnX11) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"/c"},
                                                                       {" /C:4711"},
                                                                       {"/p", "123"},
                                                                       {"/a", "1"},
                                                                       {"--root"},
                                                                       {"--window-id", "0x42"},
                                                                       {"--window", "800x600"}}) {
        for (const char* forced : {static_cast<const char*>(nullptr), "wayland"}) {
            BackendEnvironment environment = kWaylandDesktop;
            environment.forced = forced;
            const BackendChoice choice = Choose({arguments, environment});
            EXPECT_EQ(choice.backend, Backend::X11) << arguments[0];
            EXPECT_TRUE(choice.error.empty() && choice.noXServer.empty()) << arguments[0];
        }
    }
    // Started by a daemon that names its X window.
    EXPECT_EQ(Choose({{}, kWaylandDesktop, "0x1234"}).backend, Backend::X11);
    // Without an X server these cannot start, and say so.
    const BackendChoice dialog = Choose({{"/c"}, kWaylandOnly});
    EXPECT_NE(dialog.noXServer.find("the settings dialog"), std::string::npos) << dialog.noXServer;
    EXPECT_NE(Choose({{"--window"}, kWaylandOnly}).noXServer.find("--window"), std::string::npos);
    EXPECT_TRUE(Choose({{"/c"}, kX11Desktop}).noXServer.empty());
    EXPECT_TRUE(Choose({{}, kWaylandOnly}).noXServer.empty()) << "the saver needs no X server";
}

TEST(BackendChoice, TheVariableForcesTheSaversBackendAndRejectsOtherValues) {
    EXPECT_EQ(Choose({{}, {"x11", "wayland-1", nullptr, ":0"}}).backend, Backend::X11);
    EXPECT_EQ(Choose({{}, {"X11", "wayland-1", nullptr, ":0"}}).backend, Backend::X11);
    EXPECT_EQ(Choose({{}, {"wayland", nullptr, nullptr, ":0"}}).backend, Backend::Wayland);
    EXPECT_EQ(Choose({{"--snow"}, {"Wayland", nullptr, nullptr, nullptr}}).backend,
              Backend::Wayland);
    for (const char* bad : {"x", "gtk", "wayland ", "x11,wayland"}) {
        const BackendChoice choice = Choose({{}, {bad, "wayland-1", nullptr, ":0"}});
        EXPECT_NE(choice.error.find(std::string("\"") + bad + "\""), std::string::npos)
            << choice.error;
    }
}

TEST(BackendChoice, BackgroundIsWaylandsAndClashesWithTheX11Modes) {
    EXPECT_EQ(Choose({{"--background"}, kX11Desktop}).backend, Backend::Wayland);
    EXPECT_EQ(Choose({{"--no-snow", "-background"}, {}}).backend, Backend::Wayland);
    const LinuxOptions withSpeed =
        ParseLinuxOptions({"--background", "--snow-speed", "8"}, nullptr);
    EXPECT_TRUE(withSpeed.background);
    EXPECT_EQ(withSpeed.overrides.size(), 1u) << "the other options as they were";
    for (const auto& clash : std::vector<std::vector<std::string>>{{"--background", "--root"},
                                                                   {"--window", "--background"}}) {
        EXPECT_FALSE(Choose({clash, kWaylandDesktop}).error.empty()) << clash[0] << clash[1];
    }
    // After a classic switch the rest of the line is the switch's own, as always.
    EXPECT_EQ(Choose({{"/c", "--background"}, kWaylandDesktop}).backend, Backend::X11);
    EXPECT_FALSE(Choose({{"--background"}, {"x11", "wayland-1", nullptr, ":0"}}).error.empty());
    EXPECT_NE(ParseLinuxOptions({"--background=yes"}, nullptr).error.find("takes no value"),
              std::string::npos);
}

}  // namespace
