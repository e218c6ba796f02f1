// SPDX-License-Identifier: MIT
// The frame loop allocates nothing: every object it uses is made at set-up.

#include <gtest/gtest.h>

#include "tests/scene/SceneFixture.h"
#include "tests/support/AllocationCounter.h"

namespace {

using FrameAllocations = SceneFixture;

TEST_F(FrameAllocations, FramesAllocateNothing) {
    ASSERT_FALSE(Run(2));  // the first frames convert the snow speed once
    const AllocationCounter allocations;
    saver.RunMoreFrames(500);
    EXPECT_EQ(saver.FramesRun(), 502);
    EXPECT_EQ(allocations.Count(), 0);
}

}  // namespace
