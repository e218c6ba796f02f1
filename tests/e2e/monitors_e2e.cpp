// SPDX-License-Identifier: MIT
// The saver on every monitor (Xorg with the dummy driver: monitors side by side and in an L,
// added and removed while it runs) and on a high-density screen (Xvfb at 3840 x 2160).

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "platform/gdi.h"
#include "tests/e2e/XSession.h"
#include "tests/e2e/XorgDummyServer.h"

using namespace std::chrono_literals;
using Picture = XvfbServer::Picture;
using Monitor = XorgDummyServer::Monitor;

namespace {

constexpr std::uint32_t kDesktop = 0xFF0000;  // the root window's colour, red
constexpr std::uint32_t kTransparent = 0x00FF00;
// The options run the saver too (no classic switch): only the still picture.
const std::vector<std::string> kStill = {"--no-snow", "--no-lights", "--no-smoke"};

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// A picture of the data folder, read the way the program reads it.
Bitmap LoadPicture(const std::string& path) {
    Bitmap bitmap;
    const auto handle =
        reinterpret_cast<HBITMAP>(LoadImageA(0, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP record{};
    if (handle == 0 || GetObjectA(handle, sizeof record, &record) == 0)
        return bitmap;
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ previous = SelectObject(dc, handle);
    bitmap.width = record.bmWidth;
    bitmap.height = record.bmHeight;
    bitmap.pixels.resize(static_cast<size_t>(bitmap.width) * bitmap.height);
    gdi::ReadPixels(dc, 0, 0, bitmap.width, bitmap.height, bitmap.pixels.data());
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(handle);
    return bitmap;
}

// Opaque landscape pixels that the capture does not show with the landscape's bottom-left
// corner at the bottom-left of the monitor, each pixel a scale x scale block.
long LandscapeMismatches(const Picture& screen, const Bitmap& landscape, const Monitor& monitor,
                         int scale) {
    const int top = monitor.y + monitor.height - landscape.height * scale;
    long mismatches = 0;
    for (int y = 0; y < landscape.height; ++y) {
        for (int x = 0; x < landscape.width; ++x) {
            const std::uint32_t colour =
                landscape.pixels[static_cast<size_t>(y) * landscape.width + x];
            if (colour == kTransparent)
                continue;
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    const int sx = monitor.x + x * scale + dx;
                    const int sy = top + y * scale + dy;
                    if (sx >= monitor.x + monitor.width || sy < monitor.y)
                        continue;  // cut off by a monitor smaller than the landscape
                    mismatches += screen.At(sx, sy) != colour;
                }
            }
        }
    }
    return mismatches;
}

long Count(const Picture& screen, const Monitor& m, std::uint32_t colour) {
    long count = 0;
    for (int y = m.y; y < m.y + m.height; ++y) {
        for (int x = m.x; x < m.x + m.width; ++x)
            count += screen.At(x, y) == colour;
    }
    return count;
}

long Differences(const Picture& a, const Picture& b, const Monitor& m) {
    long count = 0;
    for (int y = m.y; y < m.y + m.height; ++y) {
        for (int x = m.x; x < m.x + m.width; ++x)
            count += a.At(x, y) != b.At(x, y);
    }
    return count;
}

// The sky at the top of the monitor is dark.
bool SkyAtTheTop(const Picture& screen, const Monitor& m) {
    long brightness = 0;
    for (int x = m.x; x < m.x + m.width; ++x) {
        const std::uint32_t p = screen.At(x, m.y + 2);
        brightness += ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
    }
    return brightness / m.width < 200;
}

// Each monitor shows a complete scene of its own: the landscape at its bottom-left, the sky
// above, nothing of the desktop.
void ExpectSceneOnEveryMonitor(const Picture& screen, const std::vector<Monitor>& monitors,
                               const Bitmap& landscape) {
    for (const Monitor& m : monitors) {
        const std::string where = std::to_string(m.width) + "x" + std::to_string(m.height) + "+" +
                                  std::to_string(m.x) + "+" + std::to_string(m.y);
        EXPECT_EQ(LandscapeMismatches(screen, landscape, m, 1), 0) << where;
        EXPECT_TRUE(SkyAtTheTop(screen, m)) << where;
        EXPECT_EQ(Count(screen, m, kDesktop), 0) << "the desktop shows on " << where;
    }
}

class MonitorsEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "Xorg with the dummy driver needs root";
        ASSERT_TRUE(x.Running()) << "Xorg with the dummy driver did not start";
        landscape = LoadPicture(std::string(GLIMMERDEL_PROGRAM_DIR) +
                                "/vurezezideriru/glimmerdel/landscape.bmp");
        ASSERT_GT(landscape.width, 0);
    }
    // Starts the saver and waits until it shows a window on each monitor.
    void Start(const std::vector<std::string>& arguments, size_t monitors) {
        x.Run({"xsetroot", "-solid", "red"});
        x.Run({"xdotool", "mousemove", "0", "0"});
        program.Start(arguments, x.Display());
        ASSERT_EQ(x.FindWindows("Form1", monitors, kPatience).size(), monitors)
            << program.ErrorOutput();
    }
    // Waits until the screen shows the still scene on every monitor (windows map and paint).
    Picture WaitForStill(const std::vector<Monitor>& monitors) {
        Picture screen;
        WaitUntil([&] {
            screen = x.Capture();
            return std::all_of(monitors.begin(), monitors.end(), [&](const Monitor& m) {
                return LandscapeMismatches(screen, landscape, m, 1) == 0 &&
                       Count(screen, m, kDesktop) == 0;
            });
        });
        return screen;
    }

    XorgDummyServer x;
    Bitmap landscape;
    ProgramRun program;
};

TEST_F(MonitorsEndToEnd, TwoMonitorsOfDifferentSizesSideBySideEachShowTheirOwnScene) {
    const std::vector<Monitor> monitors{{0, 0, 1280, 720}, {1280, 0, 1024, 768}};
    ASSERT_TRUE(x.Arrange(monitors));
    Start(kStill, 2);
    const Picture still = WaitForStill(monitors);
    ExpectSceneOnEveryMonitor(still, monitors, landscape);
    ASSERT_EQ(program.Running(), true);
    program.Signal(SIGTERM);
    program.WaitExit(kPatience);

    // With every effect on: both scenes animate, the pointer is hidden on both, a key ends it.
    ProgramRun animated;
    x.Run({"xdotool", "mousemove", "0", "0"});
    animated.Start({"/s"}, x.Display());
    ASSERT_EQ(x.FindWindows("Form1", 2, kPatience).size(), 2u) << animated.ErrorOutput();
    // Both painted (the sky over the whole of each), then both moving.
    Picture first;
    EXPECT_TRUE(WaitUntil([&] {
        first = x.Capture();
        return std::all_of(monitors.begin(), monitors.end(), [&](const Monitor& m) {
            return Count(first, m, kDesktop) == 0 && SkyAtTheTop(first, m);
        });
    }));
    Picture second;
    WaitUntil([&] {
        second = x.Capture();
        return std::all_of(monitors.begin(), monitors.end(),
                           [&](const Monitor& m) { return Differences(first, second, m) > 20; });
    });
    for (const Monitor& m : monitors)
        EXPECT_GT(Differences(first, second, m), 20) << "the scene at " << m.x << " animates";
    if (const char* folder = std::getenv("GLIMMERDEL_SCREENSHOTS"))
        XorgDummyServer::SaveJpeg(second, monitors, std::string(folder) + "/two-monitors.jpg");
    // The first move onto each monitor's scene only records the position.
    EXPECT_TRUE(x.PointerHidden()) << "over the first monitor";
    x.Run({"xdotool", "mousemove", "1600", "400"});
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(x.PointerHidden()) << "over the second monitor";
    ASSERT_TRUE(animated.Running());
    x.Run({"xdotool", "key", "a"});
    EXPECT_EQ(animated.WaitExit(kPatience), 0);
}

TEST_F(MonitorsEndToEnd, ThreeMonitorsInAnLAndMonitorsComingAndGoingWhileItRuns) {
    const std::vector<Monitor> three{{0, 0, 1280, 720}, {1280, 0, 1024, 768}, {0, 720, 800, 600}};
    ASSERT_TRUE(x.Arrange(three));
    Start(kStill, 3);
    ExpectSceneOnEveryMonitor(WaitForStill(three), three, landscape);

    // One monitor goes: the scenes are built again for the two that are left.
    const std::vector<Monitor> two{{0, 0, 1280, 720}, {1280, 0, 1024, 768}};
    ASSERT_TRUE(x.Arrange(two));
    ASSERT_EQ(x.FindWindows("Form1", 2, kPatience).size(), 2u);
    ExpectSceneOnEveryMonitor(WaitForStill(two), two, landscape);
    // A larger one comes, below the second.
    const std::vector<Monitor> again{
        {0, 0, 1280, 720}, {1280, 0, 1024, 768}, {1280, 768, 1920, 1080}};
    ASSERT_TRUE(x.Arrange(again));
    ASSERT_EQ(x.FindWindows("Form1", 3, kPatience).size(), 3u);
    ExpectSceneOnEveryMonitor(WaitForStill(again), again, landscape);
    EXPECT_TRUE(program.Running()) << program.ErrorOutput();
    x.Run({"xdotool", "key", "Escape"});
    EXPECT_EQ(program.WaitExit(kPatience), 0);
}

// Xvfb does this one: a single screen of 3840 x 2160.
TEST(HighDensityEndToEnd, A3840By2160ScreenShowsTheSceneDoubledUnlessScaleOneIsGiven) {
    XvfbServer x(3840, 2160);
    ASSERT_TRUE(x.Running());
    const Bitmap landscape = LoadPicture(std::string(GLIMMERDEL_PROGRAM_DIR) +
                                         "/vurezezideriru/glimmerdel/landscape.bmp");
    ASSERT_GT(landscape.width, 0);
    const Monitor screen{0, 0, 3840, 2160};
    for (const int scale : {2, 1}) {
        x.Xdotool({"mousemove", "0", "0"});
        ProgramRun program;
        std::vector<std::string> arguments = kStill;
        if (scale == 1)
            arguments.insert(arguments.end(), {"--scale", "1"});
        program.Start(arguments, x.Display());
        ASSERT_EQ(x.FindWindows("Form1", kPatience).size(), 1u) << program.ErrorOutput();
        Picture picture;
        WaitUntil([&] {
            picture = x.Capture();
            return LandscapeMismatches(picture, landscape, screen, scale) == 0;
        });
        EXPECT_EQ(LandscapeMismatches(picture, landscape, screen, scale), 0) << scale;
        long unevenBlocks = 0;
        for (int y = 0; y + 1 < picture.height; y += 2) {
            for (int x0 = 0; x0 + 1 < picture.width; x0 += 2) {
                const std::uint32_t p = picture.At(x0, y);
                unevenBlocks += picture.At(x0 + 1, y) != p || picture.At(x0, y + 1) != p ||
                                picture.At(x0 + 1, y + 1) != p;
            }
        }
        if (scale == 2) {
            EXPECT_EQ(unevenBlocks, 0) << "every aligned 2 x 2 block is one colour";
            EXPECT_GE(landscape.width * 2, 1600) << "the landscape reaches 1600 pixels wide";
        } else {
            EXPECT_GT(unevenBlocks, 1000) << "--scale 1: every pixel its own";
            EXPECT_LT(landscape.width, 1600);
        }
        x.Xdotool({"key", "a"});
        EXPECT_EQ(program.WaitExit(kPatience), 0);
    }
}

}  // namespace
