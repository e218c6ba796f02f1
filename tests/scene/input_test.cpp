// SPDX-License-Identifier: MIT
// The saver's input handlers: any key or button ends it; sustained mouse movement ends it.

#include <gtest/gtest.h>

#include "tests/scene/SceneFixture.h"

namespace {

class SaverInput : public SceneFixture {
  protected:
    SaverInput() {
        g_moveCount = 0;
        g_moveWindowStart = 0;
    }
    void Move(float x, float y) { saver.MouseMove(0, 0, x, y); }
};

TEST_F(SaverInput, FirstMoveOnlyRecords) {
    Move(15000, 9000);
    EXPECT_EQ(g_moveCount, 0);
    Move(15015, 9000);
    EXPECT_EQ(g_moveCount, 1) << "a one-pixel move counts";
}

TEST_F(SaverInput, MovesOfThreeTwipsOrLessDoNotCount) {
    Move(1500, 1500);
    Move(1503, 1503);
    EXPECT_EQ(g_moveCount, 0);
    Move(1506.5f, 1503);
    EXPECT_EQ(g_moveCount, 1) << "3.5 twips count";
    Move(1509, 1500);
    EXPECT_EQ(g_moveCount, 1) << "the recorded position was rounded to 1506 (halves to even)";
}

TEST_F(SaverInput, NothingCountsWhileTheRecordedPositionTouchesTheEdge) {
    Move(0, 3000);
    Move(3000, 3000);
    EXPECT_EQ(g_moveCount, 0) << "recorded x was 0";
    Move(3000, 0);
    EXPECT_EQ(g_moveCount, 1) << "a move onto the edge counts";
    Move(6000, 6000);
    EXPECT_EQ(g_moveCount, 1) << "recorded y was 0";
    Move(6015, 6000);
    EXPECT_EQ(g_moveCount, 2);
}

TEST_F(SaverInput, PositionsBeyondSixteenBitsAreRecorded) {
    Move(57000, 40000);  // pixel column 3800 at 15 twips per pixel
    Move(57015, 40000);
    EXPECT_EQ(g_moveCount, 1);
    Move(57016, 40001);
    EXPECT_EQ(g_moveCount, 1);
}

TEST_F(SaverInput, FourCountedMovesThenAMinuteThenOneEnds) {
    host.SetTimeOfDay(100);
    Move(1500, 1500);
    for (int i = 1; i <= 4; ++i)
        Move(1500.f + 15 * i, 1500);
    EXPECT_EQ(g_moveCount, 4);
    host.SetTimeOfDay(160);
    EXPECT_THROW(Move(2000, 2000), ProgramEnded);
}

TEST_F(SaverInput, AnyKeyOrButtonEnds) {
    ASSERT_FALSE(Run(1));
    for (Integer key : {16, 17, 18, 65, 27}) {  // a lone Shift, Ctrl or Alt too
        HeadlessHost fresh;
        fresh.SetAppPath(folder.Path());
        const ScopedInstall installed(fresh, &saver);
        EXPECT_THROW(saver.KeyDown(key, 0), ProgramEnded) << key;
        EXPECT_EQ(fresh.EndStatus(), 0);
    }
    for (Integer button : {1, 2, 4}) {
        EXPECT_THROW(saver.MouseDown(button, 0, 100, 100), ProgramEnded) << button;
    }
}

TEST_F(SaverInput, KeysReachTheRunningLoop) {
    int passes = 0;
    host.OnEvents([&] {
        if (++passes == 30)
            host.QueueKeyDown(saver, 32);
    });
    EXPECT_TRUE(Run(1000));
    EXPECT_LT(saver.FramesRun(), 30) << "the key ended the run within a frame";
    EXPECT_FALSE(saver.Loaded());
}

}  // namespace
