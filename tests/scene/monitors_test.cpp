// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "gfx/cSprite.h"
#include "tests/scene/SceneFixture.h"

namespace {

using SceneOnMonitors = SceneFixture;

// What a form's window shows.
std::vector<std::uint32_t> WindowPixels(HeadlessHost& host, frmSaver& form) {
    HeadlessBacking* backing = host.BackingOf(form);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < backing->Height(); ++y) {
        for (int x = 0; x < backing->Width(); ++x)
            pixels.push_back(backing->Pixel(x, y));
    }
    return pixels;
}

TEST_F(SceneOnMonitors, EveryMonitorGetsASceneOfItsOwnSizeDrivenByOneFrameLoop) {
    host.SetMonitors({{1280, 720}, {800, 1200}, {640, 480}});
    ASSERT_FALSE(Run(25));
    ASSERT_EQ(saver.Companions().size(), 2u);
    EXPECT_EQ(saver.ScreenWidth(), 1280) << "the first monitor's scene is the loop's own";
    EXPECT_EQ(saver.ScreenHeight(), 720);
    const std::pair<int, int> sizes[] = {{800, 1200}, {640, 480}};
    for (size_t i = 0; i < 2; ++i) {
        frmSaver& other = *saver.Companions()[i];
        EXPECT_EQ(other.ScreenWidth(), sizes[i].first) << i;
        EXPECT_EQ(other.ScreenHeight(), sizes[i].second) << i;
        EXPECT_EQ(other.Landscape()->Y(), sizes[i].second - other.Landscape()->Height())
            << "its landscape on its own bottom edge";
        EXPECT_EQ(other.FramesRun(), 25) << "stepped in every frame of the one loop";
        EXPECT_EQ(WindowPixels(host, other),
                  Pixels(other.StageDC(), sizes[i].first, sizes[i].second))
            << "every changed rectangle reached its own window";
        EXPECT_TRUE(other.Visible());
    }
    // One loop: 25 frames of 20 ms on the virtual clock, not three times as many.
    EXPECT_EQ(host.GetTickCount(), 25u * 20u);
    EXPECT_NE(saver.Snowflake(0)->X(), saver.Companions()[0]->Snowflake(0)->X())
        << "snowflakes of their own";
    EXPECT_EQ(saver.Smoke()->Cell(), saver.Companions()[1]->Smoke()->Cell())
        << "the same settings step the same cells";
}

TEST_F(SceneOnMonitors, InputOnAnyMonitorEndsTheSaver) {
    host.SetMonitors({{1024, 600}, {800, 600}});
    ASSERT_FALSE(Run(2));
    frmSaver& other = *saver.Companions()[0];
    host.QueueKeyDown(other, 65);
    try {
        saver.RunMoreFrames(1);
        FAIL() << "a key on the second monitor ends the saver";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.status, 0);
    }
}

TEST_F(SceneOnMonitors, OneMonitorMeansNoOtherScenes) {
    ASSERT_FALSE(Run(1));
    EXPECT_TRUE(saver.Companions().empty());
}

}  // namespace
