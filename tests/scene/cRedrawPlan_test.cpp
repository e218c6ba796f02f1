// SPDX-License-Identifier: MIT
// The redraw plan: which sprites a frame may leave as they stand.

#include "scene/cRedrawPlan.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Placement = cRedrawPlan::Placement;

Placement At(Long x, Long y, Long width, Long height, Long cell = 1) {
    return Placement{true, x, y, width, height, cell};
}

std::vector<bool> Redrawn(const cRedrawPlan& plan) {
    std::vector<bool> redrawn;
    for (std::size_t i = 0; i < plan.Count(); ++i)
        redrawn.push_back(plan.MustRedraw(i));
    return redrawn;
}

// Plans and commits one frame; what the frame redraws.
std::vector<bool> Frame(cRedrawPlan& plan, const std::vector<Placement>& next) {
    plan.Plan(next);
    std::vector<bool> redrawn = Redrawn(plan);
    plan.Commit(next);
    return redrawn;
}

TEST(RedrawPlan, DrawsEveryActiveSpriteFirstAndThenOnlyWhatChanged) {
    cRedrawPlan plan(4);
    Placement off = At(500, 500, 10, 10);
    off.active = false;
    std::vector<Placement> frame = {At(0, 0, 10, 10), At(100, 0, 10, 10, 5), At(200, 0, 10, 10),
                                    off};
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{false, false, false, false}));

    frame[0].y = 1;     // moved
    frame[1].cell = 6;  // stepped its cell
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{false, false, false, false}));

    // After a frame that broke off, everything is drawn again.
    plan.Forget();
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{true, true, true, false}));
}

TEST(RedrawPlan, RedrawsAStandingSpriteThatAMovingOneTouchesNowOrTouchedBefore) {
    cRedrawPlan plan(2);
    // A flake above a light string, then moving into it, then out again below.
    std::vector<Placement> frame = {At(50, 0, 7, 7), At(40, 20, 30, 10)};
    Frame(plan, frame);
    frame[0].y = 13;  // its bottom edge meets the string's top edge: no pixel in common
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{true, false}));
    frame[0].y = 14;  // one row inside
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{true, true}));
    frame[0].y = 40;  // gone below, but lifted from inside the string
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{true, true}));
    frame[0].y = 50;
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{true, false}));
}

TEST(RedrawPlan, ARedrawnSpriteDrawsTheStandingOnesOverlappingItIntoTheRedraw) {
    cRedrawPlan plan(5);
    // A chain of standing strings, each overlapping the next, and one standing far away.
    std::vector<Placement> frame = {At(0, 0, 7, 7), At(20, 0, 30, 10), At(45, 5, 30, 10),
                                    At(70, 12, 30, 10), At(400, 400, 30, 10)};
    Frame(plan, frame);
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{false, false, false, false, false}));

    // A flake moving into the first string reaches the whole chain, not the far one.
    frame[0].x = 15;
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{true, true, true, true, false}));

    // A string that steps its cell takes its neighbours along; the flake, standing clear of
    // all of them, stays.
    frame[0] = At(0, 100, 7, 7);
    Frame(plan, frame);
    Frame(plan, frame);
    frame[3].cell = 2;
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{false, true, true, true, false}));
}

TEST(RedrawPlan, SpritesOfNoSizeOrFarOffTheScreenNeverOverflowOrTouch) {
    cRedrawPlan plan(3);
    std::vector<Placement> frame = {At(2147483640, 2147483640, 100, 100), At(10, 10, 0, 0),
                                    At(-2147483647 - 1, 0, 2147483647, 10)};
    Frame(plan, frame);
    frame[0].x = 2147483647;
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{true, false, false}));
    frame[2].width = 2147483647;
    frame[2].x = 0;  // reaches across the empty sprite, which has no pixel to touch
    EXPECT_EQ(Frame(plan, frame), (std::vector<bool>{false, false, true}));
}

}  // namespace
