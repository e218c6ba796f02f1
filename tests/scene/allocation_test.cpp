// The frame loop allocates nothing: every object it uses is made at set-up.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/scene/SceneFixture.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using FrameAllocations = SceneFixture;

TEST_F(FrameAllocations, FramesAllocateNothing) {
    ASSERT_FALSE(Run(2));  // the first frames convert the snow speed once
    const long before = g_allocations.load();
    saver.RunMoreFrames(500);
    EXPECT_EQ(saver.FramesRun(), 502);
    EXPECT_EQ(g_allocations.load() - before, 0);
}

}  // namespace
