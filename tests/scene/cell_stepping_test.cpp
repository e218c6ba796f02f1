// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "gfx/cSprite.h"
#include "scene/frmSaver.h"
#include "tests/support/HostFixture.h"

namespace {

using CellStepping = HostFixture;

// Cells shown after each of n frames of the bouncing sweep.
std::vector<Long> Bounce(Long cell, bool up, Integer hold, int frames) {
    cSprite sprite;
    sprite.SetCell(cell);
    Integer count = 1;
    Boolean rising = ToBoolean(up);
    std::vector<Long> shown;
    for (int i = 0; i < frames; ++i) {
        frmSaver::BounceCell(sprite, hold, count, rising, 52);
        shown.push_back(sprite.Cell());
    }
    return shown;
}

std::vector<Long> Cycle(Integer hold, int frames) {
    cSprite sprite;
    Integer count = 0;
    std::vector<Long> shown;
    for (int i = 0; i < frames; ++i) {
        frmSaver::CycleCell(sprite, hold, count, 135);
        shown.push_back(sprite.Cell());
    }
    return shown;
}

TEST_F(CellStepping, RedSweepsUpAndDownShowingTheEndsTwice) {
    const std::vector<Long> shown = Bounce(1, true, 0, 106);
    std::vector<Long> expected;
    for (Long c = 2; c <= 52; ++c)
        expected.push_back(c);
    for (Long c = 52; c >= 1; --c)
        expected.push_back(c);
    expected.push_back(1);
    expected.push_back(2);
    expected.push_back(3);
    EXPECT_EQ(shown, expected);
}

TEST_F(CellStepping, PurpleBottomFallsFromFour) {
    EXPECT_EQ(Bounce(4, false, 0, 6), (std::vector<Long>{3, 2, 1, 1, 2, 3}));
}

TEST_F(CellStepping, HoldCountsSpaceTheSteps) {
    EXPECT_EQ(Bounce(1, true, 1, 6), (std::vector<Long>{1, 2, 2, 3, 3, 4}))
        << "hold 1: the first step on the second frame";
    EXPECT_EQ(Bounce(1, true, 3, 8), (std::vector<Long>{1, 1, 1, 2, 2, 2, 2, 3}));
    EXPECT_EQ(Bounce(10, true, -5, 3), (std::vector<Long>{11, 12, 13}))
        << "a hold count below 0 steps every frame";
}

TEST_F(CellStepping, LargestHoldCountRunsSlowlyWithoutOverflow) {
    cSprite sprite;
    sprite.SetCell(1);
    Integer hold = 32767;
    Integer count = 1;
    Boolean up = kTrue;
    int steps = 0;
    for (int i = 0; i < 3 * 32768; ++i) {
        const Long before = sprite.Cell();
        frmSaver::BounceCell(sprite, hold, count, up, 52);
        steps += sprite.Cell() != before;
        ASSERT_GE(count, 1);
    }
    EXPECT_EQ(steps, 3);
    Integer smokeCount = 0;
    for (int i = 0; i < 3 * 32768; ++i)
        frmSaver::CycleCell(sprite, hold, smokeCount, 135);
    EXPECT_GE(smokeCount, 1);
}

TEST_F(CellStepping, SmokeStartsAtNothingThenLoops) {
    EXPECT_EQ(Cycle(1, 6), (std::vector<Long>{0, 0, 1, 1, 2, 2}))
        << "hold 1: cell 1 on frame 3, cell 2 on frame 5";
    const std::vector<Long> fast = Cycle(0, 140);
    EXPECT_EQ(fast[0], 0);
    EXPECT_EQ(fast[1], 1);
    EXPECT_EQ(fast[135], 135);
    EXPECT_EQ(fast[136], 1) << "cell 135 is followed by cell 1";
}

TEST_F(CellStepping, RandomBetweenStaysInRangeAndKeepsDrawing) {
    frmSaver saver;
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(saver.RandomBetween(1, 1), 1);
        const Integer depth = saver.RandomBetween(1, 250);
        EXPECT_GE(depth, 1);
        EXPECT_LE(depth, 250);
        EXPECT_EQ(saver.RandomBetween(1, 0), 1) << "a snow speed of 0 gives steps of 1";
    }
    // Many draws within one tick of the clock (the virtual clock stands still) still differ:
    // 50 draws from 1 to 20 show about 18 different values, and fewer than 8 almost never.
    std::set<Integer> values;
    for (int i = 0; i < 50; ++i)
        values.insert(saver.RandomBetween(1, 20));
    EXPECT_GE(values.size(), 8u);
}

}  // namespace
