// SPDX-License-Identifier: MIT
// The Windows build end to end under Wine on every monitor: a high-density screen (Xvfb at
// 3840 x 2160, the prefix at 192 dots per inch), and monitors side by side, in an L, one
// switched off while it runs and the primary on the right (Xorg with the dummy driver, whose
// monitors Wine reads from RandR).

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "art/embedded_pictures.h"
#include "tests/e2e/XorgDummyServer.h"
#include "tests/wine/WineFixture.h"

using namespace std::chrono_literals;
using Picture = XvfbServer::Picture;
using Monitor = XorgDummyServer::Monitor;

namespace {

const std::vector<std::string> kStill{"0", "0", "0", "3", "2", "4"};

// Pixels of the screen that do not show the picture at this place, each of its pixels a
// scale x scale block.
long Mismatches(const Picture& screen, const Picture& picture, int left, int top, int scale) {
    if (picture.width <= 0 || screen.width < left + picture.width * scale ||
        screen.height < top + picture.height * scale) {
        return -1;
    }
    long mismatches = 0;
    for (int y = 0; y < picture.height * scale; ++y) {
        for (int x = 0; x < picture.width * scale; ++x)
            mismatches += screen.At(left + x, top + y) != picture.At(x / scale, y / scale);
    }
    return mismatches;
}

class WineHighDensity : public WineTest {
  protected:
    static void SetUpTestSuite() {
        s_x = std::make_unique<XvfbServer>(3840, 2160);
        if (s_x->Running() && WinePrefix::Shared().Use(s_x->Display()))
            s_dense = WinePrefix::Shared().SetDotsPerInch(192);
    }
    static void TearDownTestSuite() {
        if (s_dense)
            WinePrefix::Shared().SetDotsPerInch(96);
        WinePrefix::Shared().EndAll();
        s_x.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(s_x->Running()) << "Xvfb could not be started";
        ASSERT_TRUE(s_dense) << "the prefix's density could not be set";
        WineTest::SetUp();
        s_x->Xdotool({"mousemove", "0", "0"});
    }
    unsigned long Window(const std::string& name) {
        const auto windows = s_x->FindWindows(name, 120s);
        return windows.empty() ? 0 : windows[0];
    }

    static inline std::unique_ptr<XvfbServer> s_x;
    static inline bool s_dense = false;
};

TEST_F(WineHighDensity, TheSceneIsComposedAtHalfSizeAndEveryPixelShownAsACrispBlock) {
    folder.Write("vantroglimmerdel.ini", SettingsFile(kStill));
    // The same rule as on Linux: above 2560 x 1600 the scene is composed at half the size.
    const Picture expected = Snapshot(1920, 1080);
    ASSERT_EQ(expected.width, 1920);
    Start({"/s"});
    const unsigned long window = Window("Form1");
    ASSERT_NE(window, 0u) << folder.Read("stderr.txt");
    Picture screen;
    long mismatches = -1;
    EXPECT_TRUE(WaitFor(
        [&] {
            screen = s_x->Capture();
            mismatches = Mismatches(screen, expected, 0, 0, 2);
            return mismatches == 0;
        },
        kPatience))
        << mismatches << " pixels differ from the snapshot doubled";
    long unevenBlocks = 0;
    for (int y = 0; y + 1 < screen.height; y += 2) {
        for (int x = 0; x + 1 < screen.width; x += 2) {
            const std::uint32_t p = screen.At(x, y);
            unevenBlocks += screen.At(x + 1, y) != p || screen.At(x, y + 1) != p ||
                            screen.At(x + 1, y + 1) != p;
        }
    }
    EXPECT_EQ(unevenBlocks, 0) << "every aligned 2 x 2 block is one colour";
    s_x->Xdotool({"windowfocus", std::to_string(window), "key", "a"});
    EXPECT_EQ(WaitExit(kPatience), 0);
}

TEST_F(WineHighDensity, TheDialogsPicturesAreShownAtTwiceTheirSize) {
    Start({"/c"});
    const unsigned long window = Window("Glimmerdel");
    ASSERT_NE(window, 0u) << folder.Read("stderr.txt");
    ASSERT_TRUE(s_x->WaitViewable(window));
    // At 192 dots per inch a pixel is 8 twips: the banner's place is 440 x 266 pixels, the
    // doubled banner 470 x 284, cut evenly to the place.
    Picture banner{kBannerPicture.width, kBannerPicture.height,
                   std::vector<std::uint32_t>(
                       kBannerPicture.pixels,
                       kBannerPicture.pixels + kBannerPicture.width * kBannerPicture.height)};
    const int placeWidth = 3525 / 8;
    const int placeHeight = 2130 / 8;
    const int cutLeft = (banner.width * 2 - placeWidth) / 2;
    const int cutTop = (banner.height * 2 - placeHeight) / 2;
    long mismatches = -1;
    EXPECT_TRUE(WaitFor(
        [&] {
            const Picture shown = s_x->Capture(window);
            if (shown.width < placeWidth || shown.height < placeHeight)
                return false;
            mismatches = 0;
            for (int y = 0; y < placeHeight; ++y) {
                for (int x = 0; x < placeWidth; ++x) {
                    mismatches += shown.At(x, y) != banner.At((cutLeft + x) / 2, (cutTop + y) / 2);
                }
            }
            return mismatches == 0;
        },
        kPatience))
        << mismatches << " pixels of the banner differ from it doubled";
    s_x->Xdotool({"windowfocus", std::to_string(window), "key", "Escape"});
    EXPECT_EQ(WaitExit(kPatience), 0);
}

class WineMonitors : public WineTest {
  protected:
    static void SetUpTestSuite() {
        if (geteuid() != 0)
            return;
        s_x = std::make_unique<XorgDummyServer>();
        if (s_x->Running())
            WinePrefix::Shared().Use(s_x->Display());
    }
    static void TearDownTestSuite() {
        WinePrefix::Shared().EndAll();
        s_x.reset();
    }
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "Xorg with the dummy driver needs root";
        // As root (in CI) a server that does not start is a failure, not a reason to skip.
        ASSERT_TRUE(s_x && s_x->Running()) << "Xorg with the dummy driver did not start";
        ASSERT_TRUE(WinePrefix::Shared().Use(s_x->Display())) << "no Wine prefix";
        WineTest::SetUp();
    }
    // Arranges the monitors (the first is the primary one) and makes the desktop red, so that
    // any of it that shows is seen.
    void Arrange(const std::vector<Monitor>& monitors) {
        ASSERT_TRUE(s_x->Arrange(monitors));
        s_x->Run({"xrandr", "--output", "DUMMY0", "--primary"});
        s_x->Run({"xsetroot", "-solid", "red"});
    }
    // Starts the saver and waits for a window on each monitor.
    void StartOn(size_t monitors, const std::vector<std::string>& controls) {
        folder.Write("vantroglimmerdel.ini", SettingsFile(controls));
        s_x->Run({"xdotool", "mousemove", "0", "0"});
        Start({"/s"});
        ASSERT_EQ(s_x->FindWindows("Form1", monitors, 120s).size(), monitors)
            << folder.Read("stderr.txt");
    }
    // Waits until every monitor shows, pixel for pixel, the snapshot tool's still of its size.
    void ExpectStillOnEvery(const std::vector<Monitor>& monitors) {
        std::vector<Picture> expected;
        for (const Monitor& m : monitors) {
            expected.push_back(Snapshot(m.width, m.height));
            ASSERT_EQ(expected.back().width, m.width);
        }
        Picture screen;
        const auto mismatches = [&](size_t i) {
            return Mismatches(screen, expected[i], monitors[i].x, monitors[i].y, 1);
        };
        WaitFor(
            [&] {
                screen = s_x->Capture();
                for (size_t i = 0; i < monitors.size(); ++i) {
                    if (mismatches(i) != 0)
                        return false;
                }
                return true;
            },
            kPatience);
        for (size_t i = 0; i < monitors.size(); ++i) {
            EXPECT_EQ(mismatches(i), 0)
                << "the monitor at " << monitors[i].x << "," << monitors[i].y << " ("
                << monitors[i].width << " x " << monitors[i].height << ")";
        }
    }
    static inline std::unique_ptr<XorgDummyServer> s_x;
};

TEST_F(WineMonitors, TwoMonitorsSideBySideAndThreeInAnLEachShowTheirOwnScene) {
    const std::vector<Monitor> two{{0, 0, 1280, 720}, {1280, 0, 1024, 768}};
    ASSERT_NO_FATAL_FAILURE(Arrange(two));
    ASSERT_NO_FATAL_FAILURE(StartOn(2, kStill));
    ASSERT_NO_FATAL_FAILURE(ExpectStillOnEvery(two));
    s_x->Run({"xdotool", "key", "space"});
    EXPECT_EQ(WaitExit(kPatience), 0);

    // Animated: the pointer hidden on the second monitor too, and moves there count.
    ASSERT_NO_FATAL_FAILURE(StartOn(2, {"1", "1", "1", "3", "2", "4"}));
    s_x->Run({"xdotool", "mousemove", "1600", "400"});
    EXPECT_TRUE(WaitUntil([] { return s_x->PointerHidden(); })) << "over the second monitor";
    if (const char* shots = std::getenv("GLIMMERDEL_SCREENSHOTS"))
        XorgDummyServer::SaveJpeg(s_x->Capture(), two,
                                  std::string(shots) + "/two-monitors-windows.jpg");
    for (int i = 0; i < 200 && !WaitExit(50ms); ++i)
        s_x->Run({"xdotool", "mousemove", std::to_string(1500 + 20 * (i % 10)), "400"});
    EXPECT_EQ(WaitExit(kPatience), 0) << "moves on the second monitor end the saver";

    const std::vector<Monitor> three{{0, 0, 1280, 720}, {1280, 0, 1024, 768}, {0, 720, 800, 600}};
    ASSERT_NO_FATAL_FAILURE(Arrange(three));
    ASSERT_NO_FATAL_FAILURE(StartOn(3, kStill));
    ASSERT_NO_FATAL_FAILURE(ExpectStillOnEvery(three));
    s_x->Run({"xdotool", "key", "Escape"});
    EXPECT_EQ(WaitExit(kPatience), 0);
}

TEST_F(WineMonitors, AMonitorSwitchedOffWhileItRunsAndThePrimaryOnTheRight) {
    const std::vector<Monitor> two{{0, 0, 1280, 720}, {1280, 0, 1024, 768}};
    ASSERT_NO_FATAL_FAILURE(Arrange(two));
    ASSERT_NO_FATAL_FAILURE(StartOn(2, kStill));
    ASSERT_NO_FATAL_FAILURE(ExpectStillOnEvery(two));
    // The second goes: the scenes are built again for the one that is left.
    const std::vector<Monitor> one{{0, 0, 1280, 720}};
    ASSERT_NO_FATAL_FAILURE(Arrange(one));
    EXPECT_EQ(s_x->FindWindows("Form1", 1, kPatience).size(), 1u);
    ASSERT_NO_FATAL_FAILURE(ExpectStillOnEvery(one));
    EXPECT_FALSE(WaitExit(0ms)) << "it runs on: " << folder.Read("stderr.txt");
    s_x->Run({"xdotool", "key", "space"});
    EXPECT_EQ(WaitExit(kPatience), 0);

    // The primary monitor on the right: the other one lies at negative coordinates for the
    // program, and is covered all the same.
    const std::vector<Monitor> right{{1024, 0, 1280, 720}, {0, 0, 1024, 768}};
    ASSERT_NO_FATAL_FAILURE(Arrange(right));
    ASSERT_NO_FATAL_FAILURE(StartOn(2, kStill));
    ASSERT_NO_FATAL_FAILURE(ExpectStillOnEvery(right));
    s_x->Run({"xdotool", "key", "space"});
    EXPECT_EQ(WaitExit(kPatience), 0);
}

}  // namespace
