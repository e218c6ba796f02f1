// SPDX-License-Identifier: MIT
#include "platform/monitors.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/MonitorSelection.h"
#include "platform/ScaledWindowBacking.h"
#include "platform/headless/HeadlessBacking.h"

namespace {

MonitorArea Area(int x, int y, int width, int height, int scale = 1) {
    MonitorArea area;
    area.x = x;
    area.y = y;
    area.width = width;
    area.height = height;
    area.scale = scale;
    return area;
}

TEST(Monitors, HighDensityMonitorsAreDoubledUnlessAScaleIsGiven) {
    EXPECT_EQ(ChooseScale(2560, 1600, std::nullopt), 1) << "the largest plain monitor";
    EXPECT_EQ(ChooseScale(2561, 1440, std::nullopt), 2);
    EXPECT_EQ(ChooseScale(1200, 1920, std::nullopt), 2) << "a portrait monitor";
    EXPECT_EQ(ChooseScale(3840, 2160, std::nullopt), 2);
    EXPECT_EQ(ChooseScale(3840, 2160, 1), 1) << "--scale 1 switches it off";
    EXPECT_EQ(ChooseScale(1280, 720, 3), 3);
    EXPECT_EQ(ChooseScale(1280, 720, 9), 4);
    EXPECT_EQ(Area(0, 0, 3840, 2160, 2).ComposedWidth(), 1920);
    EXPECT_EQ(Area(0, 0, 3841, 2161, 2).ComposedHeight(), 1081) << "rounded up: no bare edge";
}

TEST(Monitors, UsableMonitorsAreClippedDedupedAndNeverNone) {
    // Two side by side, a mirror of the first, an empty one and one off the screen.
    const auto usable =
        UsableMonitors({Area(0, 0, 1280, 720), Area(1280, 0, 3840, 2160), Area(0, 0, 1280, 720),
                        Area(10, 10, 0, 500), Area(9000, 0, 800, 600)},
                       5120, 2160, std::nullopt);
    ASSERT_EQ(usable.size(), 2u);
    EXPECT_EQ(usable[0], Area(0, 0, 1280, 720, 1));
    EXPECT_EQ(usable[1], Area(1280, 0, 3840, 2160, 2));

    const auto clipped = UsableMonitors({Area(-100, -50, 1000, 800)}, 800, 600, 1);
    ASSERT_EQ(clipped.size(), 1u);
    EXPECT_EQ(clipped[0], Area(0, 0, 800, 600, 1));

    const auto whole = UsableMonitors({}, 1920, 1080, std::nullopt);
    ASSERT_EQ(whole.size(), 1u) << "nothing reported: the whole screen";
    EXPECT_EQ(whole[0], Area(0, 0, 1920, 1080, 1));
    const auto huge = UsableMonitors({Area(2147483000, 0, 2147483000, 100)}, 640, 480, 2);
    ASSERT_EQ(huge.size(), 1u) << "nonsense from a driver neither overflows nor counts";
    EXPECT_EQ(huge[0], Area(0, 0, 640, 480, 2));
}

TEST(Monitors, AScreenThatStartsLeftOfAndAboveZeroKeepsTheMonitorsThere) {
    // The primary monitor at 0, 0, one to its left and one above it (Windows' coordinates).
    const auto usable = UsableMonitors(
        {Area(0, 0, 1920, 1080), Area(-1280, 0, 1280, 1024), Area(0, -2160, 3840, 2160)},
        Area(-1280, -2160, 5120, 3240), std::nullopt);
    ASSERT_EQ(usable.size(), 3u);
    EXPECT_EQ(usable[1], Area(-1280, 0, 1280, 1024, 1));
    EXPECT_EQ(usable[2], Area(0, -2160, 3840, 2160, 2));
    // Still clipped to that screen, and the whole of it when nothing is left.
    const auto clipped =
        UsableMonitors({Area(-2000, 0, 1000, 600)}, Area(-1500, 0, 2500, 600), std::nullopt);
    ASSERT_EQ(clipped.size(), 1u);
    EXPECT_EQ(clipped[0], Area(-1500, 0, 500, 600, 1));
    const auto whole = UsableMonitors({}, Area(-800, 0, 1600, 600), std::nullopt);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0], Area(-800, 0, 1600, 600, 1));
}

TEST(ScaledWindowBacking, EachPresentedPixelBecomesASquareBlockOnTheDevice) {
    auto device = std::make_shared<HeadlessBacking>(9, 7, 0xABCDEF);
    ScaledWindowBacking scaled(device, 2);
    ASSERT_EQ(scaled.Width(), 5);
    ASSERT_EQ(scaled.Height(), 4);
    for (int y = 0; y < scaled.Height(); ++y) {
        for (int x = 0; x < scaled.Width(); ++x)
            scaled.Pixels()[y * scaled.Stride() + x] = static_cast<std::uint32_t>(y * 16 + x);
    }
    scaled.Present(1, 1, 2, 1);
    EXPECT_EQ(device->PresentCount(), 1);
    EXPECT_EQ(device->PresentedArea(), 4 * 2);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 4;
            const std::uint32_t expected =
                inside ? static_cast<std::uint32_t>((y / 2) * 16 + x / 2) : 0xABCDEF;
            EXPECT_EQ(device->Pixel(x, y), expected) << x << "," << y;
        }
    }
    // The last composed column and row reach past the device: cut, never written outside.
    scaled.Present(0, 0, 5, 4);
    EXPECT_EQ(device->PresentedArea(), 8 + 9 * 7);
    EXPECT_EQ(device->Pixel(8, 6), static_cast<std::uint32_t>(3 * 16 + 4));
    scaled.Present(4, 3, 9, 9);
    scaled.Present(-3, -3, 2, 2);
    EXPECT_EQ(device->PresentCount(), 3) << "a rectangle outside the device pushes nothing";
}

}  // namespace

namespace {

TEST(MonitorSelection, AChangeOfTheMonitorsSelectsTheFirstAndOnlyAChangeCounts) {
    MonitorSelection monitors;
    EXPECT_TRUE(monitors.Empty());
    EXPECT_THROW(monitors.Selected(), std::out_of_range);
    const std::vector<MonitorArea> two{{0, 0, 1920, 1080, 1}, {1920, 0, 1280, 1024, 1}};
    EXPECT_TRUE(monitors.Replace(two));
    monitors.Select(1);
    EXPECT_EQ(monitors.Selected().width, 1280);
    monitors.Select(2);
    monitors.Select(-1);
    EXPECT_EQ(monitors.SelectedIndex(), 1) << "an index outside the list changes nothing";
    EXPECT_FALSE(monitors.Replace(two)) << "the same monitors again";
    EXPECT_EQ(monitors.SelectedIndex(), 1);
    EXPECT_TRUE(monitors.Replace({two[1]}));
    EXPECT_EQ(monitors.SelectedIndex(), 0);
    EXPECT_EQ(monitors.Count(), 1);
}

}  // namespace
