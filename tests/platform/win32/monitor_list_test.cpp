// SPDX-License-Identifier: MIT
// The saver's monitors from what EnumDisplayMonitors reports, and the dialog pictures' scale.

#include "platform/win32/Win32MonitorList.h"

#include <gtest/gtest.h>

#include "platform/ImageData.h"
#include "platform/win32/Win32ControlPeers.h"

namespace {

using Found = Win32MonitorList::Found;

MonitorArea Area(int x, int y, int width, int height, int scale) {
    MonitorArea area;
    area.x = x;
    area.y = y;
    area.width = width;
    area.height = height;
    area.scale = scale;
    return area;
}

TEST(Win32MonitorList, ThePrimaryComesFirstAndMonitorsLeftOfItKeepTheirPlace) {
    // The primary on the right: the one to its left has negative coordinates; a 4K one above.
    const std::vector<Found> found{
        {{-1280, 0, 0, 1024}, false}, {{0, 0, 1920, 1080}, true}, {{0, -2160, 3840, 0}, false}};
    const auto monitors = Win32MonitorList::FromFound(found, {-1280, -2160, 3840, 1080}, {});
    ASSERT_EQ(monitors.size(), 3u);
    EXPECT_EQ(monitors[0], Area(0, 0, 1920, 1080, 1)) << "the frame loop's own scene";
    EXPECT_EQ(monitors[1], Area(-1280, 0, 1280, 1024, 1));
    EXPECT_EQ(monitors[2], Area(0, -2160, 3840, 2160, 2)) << "composed at half size, doubled";
    EXPECT_EQ(monitors[2].ComposedWidth(), 1920);
}

TEST(Win32MonitorList, MirrorsShareASceneAndNonsenseNeverLeavesTheSaverWithout) {
    // Two monitors showing the same picture, and an empty one.
    const std::vector<Found> found{
        {{0, 0, 2560, 1440}, true}, {{0, 0, 2560, 1440}, false}, {{2560, 0, 2560, 0}, false}};
    const auto mirrored = Win32MonitorList::FromFound(found, {0, 0, 2560, 1440}, {});
    ASSERT_EQ(mirrored.size(), 1u);
    EXPECT_EQ(mirrored[0], Area(0, 0, 2560, 1440, 1)) << "1440 lines at 150 % stay at scale 1";

    // Nothing reported, or only rectangles turned inside out: the whole virtual screen.
    const auto none = Win32MonitorList::FromFound({}, {-800, 0, 1024, 600}, {});
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0], Area(-800, 0, 1824, 600, 1));
    const auto inverted =
        Win32MonitorList::FromFound({{{500, 500, 0, 0}, true}}, {0, 0, 640, 480}, 2);
    ASSERT_EQ(inverted.size(), 1u);
    EXPECT_EQ(inverted[0], Area(0, 0, 640, 480, 2));
}

TEST(Win32MonitorList, TheSystemsOwnListAndLayoutAgree) {
    const auto monitors = Win32MonitorList::Query({});
    ASSERT_FALSE(monitors.empty());
    EXPECT_EQ(monitors[0].x, 0) << "the primary monitor's corner is the origin";
    EXPECT_EQ(monitors[0].y, 0);
    const Win32MonitorList::Layout layout = Win32MonitorList::CurrentLayout();
    EXPECT_GE(layout.count, static_cast<int>(monitors.size()));
    EXPECT_TRUE(layout == Win32MonitorList::CurrentLayout());
    Win32MonitorList::Layout moved = layout;
    moved.areas[0].left += 1;
    EXPECT_FALSE(moved == layout);
}

TEST(DialogPictures, AreShownAtTheDensityOver96RoundedDownAndCutToTheirPlace) {
    EXPECT_EQ(win32_controls::PictureScale(96), 1);
    EXPECT_EQ(win32_controls::PictureScale(144), 1) << "150 %";
    EXPECT_EQ(win32_controls::PictureScale(191), 1);
    EXPECT_EQ(win32_controls::PictureScale(192), 2) << "200 %";
    EXPECT_EQ(win32_controls::PictureScale(288), 3);
    EXPECT_EQ(win32_controls::PictureScale(0), 1) << "an unknown density";

    const std::uint32_t pixels[] = {1, 2, 3, 4, 5, 6};  // 3 x 2
    const ImageData picture{3, 2, pixels};
    const auto doubled = win32_controls::ScalePicture(picture, 2, 100, 100);
    ASSERT_EQ(doubled.width, 6);
    ASSERT_EQ(doubled.height, 4);
    const std::vector<std::uint32_t> blocks{1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3,
                                            4, 4, 5, 5, 6, 6, 4, 4, 5, 5, 6, 6};
    EXPECT_EQ(doubled.pixels, blocks) << "nearest neighbour: every pixel a 2 x 2 block";
    // A place smaller than the doubled picture: what does not fit goes evenly from both sides.
    const auto cut = win32_controls::ScalePicture(picture, 2, 4, 3);
    ASSERT_EQ(cut.width, 4);
    ASSERT_EQ(cut.height, 3);
    EXPECT_EQ(cut.pixels, (std::vector<std::uint32_t>{1, 2, 2, 3, 1, 2, 2, 3, 4, 5, 5, 6}));
    EXPECT_TRUE(win32_controls::ScalePicture(ImageData{}, 2, 10, 10).pixels.empty());
}

}  // namespace
