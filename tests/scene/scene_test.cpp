// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "gfx/cSprite.h"
#include "tests/scene/SceneFixture.h"

namespace {

using Scene = SceneFixture;

// The size of a built picture, as the program loads it.
struct PictureSize {
    Long width = 0;
    Long height = 0;
};
PictureSize SheetSize(const char* file) {
    const std::string path =
        std::string(GLIMMERDEL_PROGRAM_DIR) + "/vurezezideriru/glimmerdel/" + file;
    const HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageA(0, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP record{};
    GetObjectA(bitmap, sizeof record, &record);
    DeleteObject(bitmap);
    return {record.bmWidth, record.bmHeight};
}

TEST_F(Scene, SetUpPlacesEverythingWhereItBelongs) {
    ASSERT_FALSE(Run(0));
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_EQ(saver.ScreenWidth(), 1024);
    EXPECT_EQ(saver.ScreenHeight(), 600);
    cSprite& landscape = *saver.Landscape();
    EXPECT_EQ(landscape.X(), 0);
    EXPECT_EQ(landscape.Y(), 600 - landscape.Height()) << "standing on the bottom edge";
    ASSERT_EQ(frmSaver::kLightStrings, 9);
    for (int i = 0; i < frmSaver::kLightStrings; ++i) {
        const art::LightString& design = art::kLightStrings[i];
        cSprite& light = *saver.LightString(i);
        EXPECT_EQ(light.X(), landscape.X() + design.x) << design.file;
        EXPECT_EQ(light.Y(), landscape.Y() + design.y) << design.file;
        EXPECT_EQ(light.Cell(), design.startCell) << design.file;
        EXPECT_TRUE(light.Active());
        // One cell of its own sheet: the string shows the picture the manifest names.
        const PictureSize sheet = SheetSize(design.file);
        EXPECT_EQ(light.Width(), sheet.width / frmSaver::kLightCells) << design.file;
        EXPECT_EQ(light.Height(), sheet.height) << design.file;
    }
    cSprite& smoke = *saver.Smoke();
    EXPECT_EQ(smoke.X(), landscape.X() + art::kChimneyTopX);
    EXPECT_EQ(smoke.Y() + smoke.Height(), landscape.Y() + art::kChimneyTopY)
        << "rising from the chimney top";
    EXPECT_EQ(smoke.Cell(), 0);
    for (int i = 0; i < frmSaver::kSnowflakes; ++i) {
        cSprite& flake = *saver.Snowflake(i);
        EXPECT_TRUE(flake.Active());
        EXPECT_EQ(flake.Cell(), 1);
        EXPECT_GE(flake.X(), 0);
        EXPECT_LE(flake.X(), 1024);
        EXPECT_GE(flake.Y(), 0);
        EXPECT_LE(flake.Y(), 600);
        EXPECT_GE(saver.SnowDepth(i), 1);
        EXPECT_LE(saver.SnowDepth(i), 250);
    }
    EXPECT_EQ(Window(), Pixels(saver.StageDC(), 1024, 600)) << "the first full paint";
    EXPECT_LE(host.CursorCount(), 0);
}

TEST_F(Scene, EveryStringSweepsFromItsStartingCellInItsDirection) {
    WriteSettings("1", "1", "1", "0", "2", "4");  // a light speed of 0 steps every frame
    ASSERT_FALSE(Run(1));
    for (int i = 0; i < frmSaver::kLightStrings; ++i) {
        const art::LightString& design = art::kLightStrings[i];
        const Long expected = design.rising ? std::min<Long>(design.startCell + 1, 52)
                                            : std::max<Long>(design.startCell - 1, 1);
        EXPECT_EQ(saver.LightString(i)->Cell(), expected) << design.file;
    }
}

TEST_F(Scene, EveryFrameShowsExactlyTheStage) {
    ASSERT_FALSE(Run(0));
    const std::vector<std::uint32_t> staticScene = Pixels(saver.StageDC(), 1024, 600);
    saver.Unload();
    ASSERT_FALSE(Run(60));
    EXPECT_EQ(saver.FramesRun(), 60);
    EXPECT_EQ(Window(), Pixels(saver.StageDC(), 1024, 600))
        << "every changed rectangle reached the window";
    // Lifting every sprite off the stage in the frame's order leaves the static scene: no
    // saved background holds another sprite's pixels.
    for (int i = 0; i < frmSaver::kSnowflakes; ++i) {
        saver.Snowflake(i)->RestoreBackground(saver.StageDC());
    }
    for (int i = 0; i < frmSaver::kLightStrings; ++i) {
        saver.LightString(i)->RestoreBackground(saver.StageDC());
    }
    saver.Smoke()->RestoreBackground(saver.StageDC());
    EXPECT_EQ(Pixels(saver.StageDC(), 1024, 600), staticScene);
}

TEST_F(Scene, FlakesWrapOnlyPastTheEdgeAndTheLandingLine) {
    WriteSettings("0", "0", "1", "3", "2", "1");
    ASSERT_FALSE(Run(0));
    cSprite& flake = *saver.Snowflake(0);
    const Long landing = 600 - saver.SnowDepth(0);
    flake.SetX(1024 - 1);
    flake.SetY(landing - 1);
    saver.RunMoreFrames(1);
    EXPECT_EQ(flake.X(), 1024) << "X equal to the width stays";
    EXPECT_EQ(flake.Y(), landing) << "Y equal to the landing line stays";
    saver.RunMoreFrames(1);
    EXPECT_EQ(flake.X(), -flake.Width());
    EXPECT_EQ(flake.Y(), -flake.Height());
    saver.RunMoreFrames(1);
    EXPECT_EQ(flake.X(), 1 - flake.Width());
    EXPECT_EQ(flake.Y(), 1 - flake.Height());
    EXPECT_EQ(Window(), Pixels(saver.StageDC(), 1024, 600));
}

TEST_F(Scene, LightsStepTogetherAtTheirPace) {
    WriteSettings("1", "1", "0", "1", "0", "4");
    ASSERT_FALSE(Run(0));
    saver.RunMoreFrames(1);
    EXPECT_EQ(saver.LightString(0)->Cell(), 1) << "hold 1: no step on the first frame";
    EXPECT_EQ(saver.Smoke()->Cell(), 0);
    saver.RunMoreFrames(1);
    EXPECT_EQ(saver.LightString(0)->Cell(), 2);
    EXPECT_EQ(saver.LightString(8)->Cell(), 3) << "purple bottom falls from 4";
    EXPECT_EQ(saver.Smoke()->Cell(), 1);
}

TEST_F(Scene, NothingDrawnWhenEverythingIsOff) {
    WriteSettings("0", "0", "0", "3", "2", "junk: never read while the snow is off");
    ASSERT_FALSE(Run(0));
    const std::vector<std::uint32_t> first = Window();
    saver.Unload();
    ASSERT_FALSE(Run(100));
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_EQ(Window(), first) << "only the static picture";
    EXPECT_EQ(saver.Smoke()->Cell(), 33) << "the smoke still steps while switched off";
}

TEST_F(Scene, WithoutSnowThePictureDependsOnNothingRandom) {
    WriteSettings("1", "1", "0", "0", "0", "4");
    host.SetSeed(1);
    ASSERT_FALSE(Run(77));
    const std::vector<std::uint32_t> first = Window();
    saver.Unload();
    HeadlessSaver second(folder.Path());
    second.Host().SetScreenPixels(1024, 600);
    second.Host().SetSeed(999);
    ASSERT_EQ(second.Start(77), std::nullopt);
    EXPECT_EQ(std::vector<std::uint32_t>(second.Window()->Pixels(),
                                         second.Window()->Pixels() + 1024 * 600),
              first);
}

TEST_F(Scene, ScreenNarrowerAndLowerThanTheLandscape) {
    host.SetScreenPixels(320, 200);
    ASSERT_FALSE(Run(10));
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_LT(saver.Landscape()->Y(), 0) << "its top part is cut off";
    EXPECT_EQ(saver.LightString(0)->Y(), saver.Landscape()->Y() + 141);
}

TEST_F(Scene, SnowSpeedOneFallsOnePixelAFrame) {
    WriteSettings("0", "0", "1", "3", "2", "1");
    ASSERT_FALSE(Run(0));
    std::vector<Long> x0, y0;
    for (int i = 0; i < frmSaver::kSnowflakes; ++i) {
        x0.push_back(saver.Snowflake(i)->X());
        y0.push_back(saver.Snowflake(i)->Y());
    }
    saver.RunMoreFrames(1);
    for (int i = 0; i < frmSaver::kSnowflakes; ++i) {
        if (y0[i] + 1 > 600 - saver.SnowDepth(i))
            continue;  // recycled this frame
        EXPECT_EQ(saver.Snowflake(i)->X(), x0[i] + 1);
        EXPECT_EQ(saver.Snowflake(i)->Y(), y0[i] + 1);
    }
}

TEST_F(Scene, SnowStepsVaryUpToTheSpeed) {
    WriteSettings("0", "0", "1", "3", "2", "6");
    ASSERT_FALSE(Run(1));
    std::set<Long> steps;
    for (int i = 0; i < frmSaver::kSnowflakes; ++i)
        steps.insert(saver.Snowflake(i)->YDir());
    EXPECT_EQ(steps, (std::set<Long>{1, 2, 3, 4, 5, 6})) << "flakes do not fall in step";
}

}  // namespace
