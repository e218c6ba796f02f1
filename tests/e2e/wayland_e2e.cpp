// SPDX-License-Identifier: MIT
// The saver on Wayland, end to end, under headless sway (layer shell, virtual keyboard and
// pointer, grim's captures of each output) and headless weston (no layer shell, no seat): each
// output shows, pixel for pixel, the snapshot tool's still scene of its size; outputs that come
// and go; the pointer, keys and counted moves; the background behind a locker's connection;
// the missing-files message without an X server.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>

#include "art/scene_manifest.h"
#include "tests/e2e/WaylandSession.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A compositor that did not start fails the test where every package is installed (as root,
// in CI), and skips it elsewhere.
#define REQUIRE_SESSION(session)                                                            \
    do {                                                                                    \
        if (!(session).Running()) {                                                         \
            if (WaylandSession::MustStart())                                                \
                FAIL() << "the compositor did not start:\n" << (session).Log();             \
            GTEST_SKIP() << "no headless compositor here (as root every package is there)"; \
        }                                                                                   \
    } while (false)

// Waits until the output shows exactly the picture; the differing pixels of the last capture
// (-1: not even the size).
long WaitForPicture(const WaylandSession& session, const std::string& output,
                    const Picture& expected, bool withPointer = false) {
    long differences = -1;
    WaitUntil([&] {
        differences = PixelDifferences(session.Capture(output, withPointer), expected);
        return differences == 0;
    });
    return differences;
}

TEST(WaylandSway, EveryOutputShowsItsSceneInBufferPixelsThePointerStaysHiddenAndAKeyEndsIt) {
    // A high-density output (1280 x 720 logical pixels at scale 2) and a plain one beside it.
    WaylandSession sway(WaylandSession::Compositor::Sway,
                        "output HEADLESS-1 mode 2560x1440 position 0 0 scale 2\n");
    REQUIRE_SESSION(sway);
    ASSERT_TRUE(sway.Sway("create_output"));
    ASSERT_TRUE(sway.Sway("output HEADLESS-2 mode 1024x768 position 1280 0"));
    WaylandSaver saver;
    saver.SwitchEffectsOff();
    // The dense output's scene is composed at its 2560 x 1440 buffer pixels, not doubled.
    const Picture dense = saver.Snapshot(2560, 1440);
    const Picture plain = saver.Snapshot(1024, 768);
    ASSERT_EQ(dense.width, 2560);
    ASSERT_EQ(plain.width, 1024);

    saver.Start(sway, {"/s"});
    EXPECT_EQ(WaitForPicture(sway, "HEADLESS-1", dense), 0) << saver.ErrorOutput();
    EXPECT_EQ(WaitForPicture(sway, "HEADLESS-2", plain), 0) << saver.ErrorOutput();

    // The pointer comes onto the dense output (one move: it only records where it is) and is
    // not drawn there.
    const pid_t pointer = sway.HoldPointer({"at", "640", "360", "2304", "768"});
    ASSERT_GT(pointer, 0);
    EXPECT_EQ(WaitForPicture(sway, "HEADLESS-1", dense, true), 0) << "the pointer shows";
    EXPECT_TRUE(saver.Running()) << "one move ended it";
    kill(pointer, SIGKILL);
    waitpid(pointer, nullptr, 0);

    // The plain output turns dense while it runs: its scene is built again for the same buffer
    // pixels (an old buffer would show a quarter of the scene, enlarged).
    ASSERT_TRUE(sway.Sway("output HEADLESS-2 scale 2"));
    EXPECT_EQ(WaitForPicture(sway, "HEADLESS-2", plain), 0) << saver.ErrorOutput();
    EXPECT_TRUE(saver.Running());

    ASSERT_TRUE(sway.Key("space"));
    EXPECT_EQ(saver.WaitExit(kPatience), 0) << saver.ErrorOutput();
}

TEST(WaylandSway, TheSceneAnimatesAndTheCountedMovesEndIt) {
    WaylandSession sway(WaylandSession::Compositor::Sway);
    REQUIRE_SESSION(sway);
    WaylandSaver saver;
    saver.Start(sway, {"/s"});
    Picture first;
    ASSERT_TRUE(WaitUntil([&] {
        first = sway.Capture("HEADLESS-1");
        return LooksLikeTheScene(first);
    })) << saver.ErrorOutput();
    EXPECT_TRUE(WaitUntil([&] { return Differences(first, sway.Capture("HEADLESS-1")) > 20; }))
        << "the snow, the lights and the smoke do not move";

    // Onto the output, then moves of ten pixels: the fifth counted one ends it.
    std::vector<std::string> steps{"at", "100", "100", "1280", "720"};
    for (int move = 0; move < 6; ++move)
        steps.insert(steps.end(), {"wait", "50", "by", "10", "0"});
    ASSERT_TRUE(sway.Pointer(steps));
    EXPECT_EQ(saver.WaitExit(kPatience), 0) << saver.ErrorOutput();
}

TEST(WaylandSway, AnOutputThatSendsNoFrameCallbacksLetsItSleepAndSeenAgainTheSceneGoesOn) {
    // Neither headless sway nor a sway inside sway switches an output off (`output NAME dpms
    // off` fails to commit there), so the output stops being seen the other way a compositor
    // stops its frame callbacks: the output of a sway inside sway is a window of the outer one,
    // which sends it no frames while it is on a workspace nobody looks at, and so the inner one
    // draws that output no more.
    WaylandSession outer(WaylandSession::Compositor::Sway);
    REQUIRE_SESSION(outer);
    WaylandSession sway(outer, 1);
    REQUIRE_SESSION(sway);
    WaylandSaver saver;
    saver.Start(sway, {"/s"});
    Picture first;
    ASSERT_TRUE(WaitUntil([&] {
        first = sway.Capture("WL-1");
        return LooksLikeTheScene(first);
    })) << saver.ErrorOutput();
    ASSERT_TRUE(WaitUntil([&] { return Differences(first, sway.Capture("WL-1")) > 20; }));
    UseOverTenSeconds(saver.Pid(), "shown");

    ASSERT_TRUE(outer.Sway("[title=\"wlroots - WL-1\"] move to workspace 9"));
    std::this_thread::sleep_for(1s);
    EXPECT_LT(UseOverTenSeconds(saver.Pid(), "output off").wakeUps, 100);
    EXPECT_TRUE(saver.Running()) << saver.ErrorOutput();

    ASSERT_TRUE(outer.Sway("workspace 9"));
    const Picture before = sway.Capture("WL-1");
    EXPECT_TRUE(WaitUntil([&] { return Differences(before, sway.Capture("WL-1")) > 20; }))
        << "seen again, the scene moves";
    ASSERT_TRUE(sway.Key("space"));
    EXPECT_EQ(saver.WaitExit(kPatience), 0) << saver.ErrorOutput();
}

TEST(WaylandSway, OutputsAddedGetTheirScenesAndOutputsTakenAwayEvenAllOfThemLeaveItRunning) {
    // A sway inside sway: its outputs are windows of the outer one, and closing a window takes
    // the output away.
    WaylandSession outer(WaylandSession::Compositor::Sway);
    REQUIRE_SESSION(outer);
    WaylandSession sway(outer, 2, "output WL-2 mode 1024x768\n");
    REQUIRE_SESSION(sway);
    WaylandSaver saver;
    saver.SwitchEffectsOff();
    const Picture wide = saver.Snapshot(1280, 720);
    const Picture narrow = saver.Snapshot(1024, 768);
    saver.Start(sway, {"/s"});
    EXPECT_EQ(WaitForPicture(sway, "WL-1", wide), 0) << saver.ErrorOutput();
    EXPECT_EQ(WaitForPicture(sway, "WL-2", narrow), 0) << saver.ErrorOutput();

    ASSERT_TRUE(sway.Sway("create_output"));
    EXPECT_EQ(WaitForPicture(sway, "WL-3", wide), 0) << "the new output has no scene";

    ASSERT_TRUE(outer.Sway("[title=\"wlroots - WL-2\"] kill"));
    ASSERT_TRUE(WaitUntil([&] {
        const std::vector<std::string> outputs = sway.Outputs();
        return std::find(outputs.begin(), outputs.end(), "WL-2") == outputs.end();
    }));
    EXPECT_EQ(WaitForPicture(sway, "WL-1", wide), 0);
    EXPECT_EQ(WaitForPicture(sway, "WL-3", wide), 0);
    EXPECT_TRUE(saver.Running()) << saver.ErrorOutput();

    // No output at all for a while: it waits, and the next output gets its scene.
    ASSERT_TRUE(outer.Sway("[app_id=\"wlroots\"] kill"));
    ASSERT_TRUE(WaitUntil([&] { return sway.Outputs().empty(); }));
    EXPECT_TRUE(saver.Running()) << saver.ErrorOutput();
    ASSERT_TRUE(sway.Sway("create_output"));
    EXPECT_EQ(WaitForPicture(sway, "WL-4", wide), 0) << saver.ErrorOutput();

    saver.Signal(SIGTERM);
    EXPECT_EQ(saver.WaitExit(kPatience), 0);
}

TEST(WaylandSway, BehindALockersConnectionItIsTheBackgroundUnderAWindowAndEndsWithTheCompositor) {
    WaylandSession sway(WaylandSession::Compositor::Sway);
    REQUIRE_SESSION(sway);
    WaylandSaver saver;
    saver.SwitchEffectsOff();
    const Picture expected = saver.Snapshot(1280, 720);
    constexpr int kWindowWidth = 320;
    constexpr int kWindowHeight = 240;
    constexpr std::uint32_t kWindowColour = 0xC03020;
    sway.Start({GLIMMERDEL_WAYLAND_TEST_CLIENT, "window", std::to_string(kWindowWidth),
                std::to_string(kWindowHeight), "C03020"});

    // The connection a locker would make and hand over.
    const int connection = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(connection, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = sway.SocketPath();
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::copy(path.begin(), path.end(), address.sun_path);
    ASSERT_EQ(connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    saver.Start(sway, {"--background"},
                {"WAYLAND_SOCKET=" + std::to_string(connection), "WAYLAND_DISPLAY="});
    close(connection);

    // The window on top at the top left, the scene everywhere else.
    long wrong = -1;
    WaitUntil([&] {
        const Picture screen = sway.Capture("HEADLESS-1");
        if (screen.width != expected.width || screen.height != expected.height)
            return false;
        wrong = 0;
        for (int y = 0; y < screen.height; ++y) {
            for (int x = 0; x < screen.width; ++x) {
                const bool window = x < kWindowWidth && y < kWindowHeight;
                wrong += screen.At(x, y) != (window ? kWindowColour : expected.At(x, y));
            }
        }
        return wrong == 0;
    });
    EXPECT_EQ(wrong, 0) << saver.ErrorOutput();

    sway.Kill();
    EXPECT_EQ(saver.WaitExit(kPatience), 0) << saver.ErrorOutput();
}

TEST(WaylandSway, AMissingPictureShowsTheMessageOnTheOutputAndReturnEndsIt) {
    WaylandSession sway(WaylandSession::Compositor::Sway);
    REQUIRE_SESSION(sway);
    WaylandSaver saver;
    fs::remove(saver.DataFile(art::kSkyPicture));
    saver.Start(sway, {"/s"});
    // A small box in the middle (its face light grey), the desktop around it.
    constexpr std::uint32_t kFace = 0xECECEC;
    long face = 0;
    EXPECT_TRUE(WaitUntil([&] {
        const Picture screen = sway.Capture("HEADLESS-1");
        face = std::count(screen.pixels.begin(), screen.pixels.end(), kFace);
        return screen.width == 1280 && face > 30000 && face < 1280 * 720 / 4 &&
               screen.At(0, 0) != kFace && screen.At(1279, 719) != kFace;
    })) << face
        << " pixels of the box's face\n"
        << saver.ErrorOutput();
    EXPECT_NE(saver.ErrorOutput().find("One or more files are missing from application"),
              std::string::npos)
        << saver.ErrorOutput();
    EXPECT_TRUE(saver.Running());

    ASSERT_TRUE(sway.Key("Return"));
    EXPECT_EQ(saver.WaitExit(kPatience), 0) << saver.ErrorOutput();
}

TEST(WaylandWeston, WithoutLayerShellAFullscreenWindowCoversTheOutputAndSigtermEndsIt) {
    WaylandSession weston(WaylandSession::Compositor::Weston, "", 1024, 640);
    REQUIRE_SESSION(weston);
    WaylandSaver saver;
    saver.SwitchEffectsOff();
    const Picture expected = saver.Snapshot(1024, 640);
    saver.Start(weston, {"/s"});
    long differences = -1;
    EXPECT_TRUE(WaitUntil([&] {
        differences = PixelDifferences(weston.Screenshot(), expected);
        return differences == 0;
    })) << differences
        << " pixels differ\n"
        << saver.ErrorOutput();
    EXPECT_TRUE(saver.Running()) << "no seat: nothing ends it but a signal";

    saver.Signal(SIGTERM);
    EXPECT_EQ(saver.WaitExit(kPatience), 0) << saver.ErrorOutput();
}

// The connection a locker hands over, with the test at its other end in the compositor's place:
// the saver asks for the globals, and the test answers with a protocol error, or closes it.
TEST(WaylandConnection, AProtocolErrorEndsItWithOneAndAMessageAClosedConnectionWithZero) {
    for (const bool error : {true, false}) {
        // The saver inherits its end only: with the test's end open in it too, a close by the
        // test would not end the connection.
        int ends[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        ASSERT_EQ(fcntl(ends[0], F_SETFD, 0), 0);
        WaylandSaver saver;
        saver.StartAlone({"/s"}, {"WAYLAND_SOCKET=" + std::to_string(ends[0]), "DISPLAY=",
                                  "XDG_RUNTIME_DIR=" + fs::temp_directory_path().string()});
        close(ends[0]);
        // Its first requests (the registry and a sync).
        char requests[64];
        ASSERT_GT(read(ends[1], requests, sizeof requests), 0) << saver.ErrorOutput();
        if (error) {
            // wl_display.error(wl_display@1, code 7, "no globals here").
            const std::string text = "no globals here";
            std::vector<std::uint32_t> event{1, 0, 1, 7,
                                             static_cast<std::uint32_t>(text.size() + 1)};
            const size_t words = (text.size() + 1 + 3) / 4;
            event.resize(event.size() + words, 0);
            std::copy(text.begin(), text.end(), reinterpret_cast<char*>(&event[5]));
            event[1] = static_cast<std::uint32_t>(event.size() * 4) << 16;  // size, opcode 0
            ASSERT_EQ(write(ends[1], event.data(), event.size() * 4),
                      static_cast<ssize_t>(event.size() * 4));
        }
        close(ends[1]);
        EXPECT_EQ(saver.WaitExit(kPatience), error ? 1 : 0) << saver.ErrorOutput();
        if (error) {
            EXPECT_NE(saver.ErrorOutput().find("protocol error 7 on wl_display@1"),
                      std::string::npos)
                << saver.ErrorOutput();
        }
    }
}

}  // namespace
