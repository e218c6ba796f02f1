// SPDX-License-Identifier: MIT
// Modes that end on their own.

#include <gtest/gtest.h>

#include "tests/e2e/XSession.h"

using namespace std::chrono_literals;

namespace {

TEST(ModesEndToEnd, PasswordChangeEndsCleanly) {
    XvfbServer x;
    ASSERT_TRUE(x.Running());
    for (const char* arg : {"/a", "/A:4711"}) {
        ProgramRun program;
        program.Start({arg, "4711"}, x.Display());
        EXPECT_EQ(program.WaitExit(kPatience), 0) << arg << ": " << program.ErrorOutput();
    }
}

TEST(ModesEndToEnd, PasswordChangeNeedsNoDisplay) {
    ProgramRun program;
    program.Start({"/a", "4711"}, ":9999");
    EXPECT_EQ(program.WaitExit(kPatience), 0) << program.ErrorOutput();
}

}  // namespace
