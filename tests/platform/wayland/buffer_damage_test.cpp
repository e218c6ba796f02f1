// SPDX-License-Identifier: MIT
// The bookkeeping of a surface shown from two buffers, against a fake compositor: whatever the
// order of changes, flushes, releases and frame callbacks, every committed buffer shows exactly
// the window's pixels, its damage covers every pixel that differs from the buffer shown before,
// a held buffer is never written, and nothing is sent while a frame callback is out.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/wayland/BufferDamage.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

using Pixels = std::vector<std::uint32_t>;

// The window's pixels, two buffers, and what the compositor was sent.
class FakeSurface : public BufferDamage::Target {
  public:
    FakeSurface() : window(kWidth * kHeight, 0), buffers(2, Pixels(kWidth * kHeight, 0xDEAD)) {}

    void CopyToBuffer(int buffer, const Rect& area) override {
        EXPECT_FALSE(damage->BufferHeld(buffer)) << "a buffer the compositor holds was written";
        ++copies;
        copiedArea += area.Area();
        for (int y = area.y; y < area.y + area.height; ++y) {
            for (int x = area.x; x < area.x + area.width; ++x)
                buffers[buffer][y * kWidth + x] = window[y * kWidth + x];
        }
    }
    void DamageBuffer(const Rect& area) override {
        EXPECT_TRUE(Rect::OfSize(kWidth, kHeight).Contains(area)) << "damage outside the buffer";
        pendingDamage.push_back(area);
    }
    void CommitBuffer(int buffer) override {
        // Every pixel in which the new buffer differs from the one shown so far is damaged.
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (shown[y * kWidth + x] == buffers[buffer][y * kWidth + x])
                    continue;
                bool damaged = false;
                for (const Rect& r : pendingDamage)
                    damaged = damaged || r.Contains(Rect{x, y, 1, 1});
                EXPECT_TRUE(damaged) << "pixel " << x << "," << y << " changed undamaged";
            }
        }
        EXPECT_EQ(buffers[buffer], window) << "the committed buffer is not the window";
        shown = buffers[buffer];
        pendingDamage.clear();
        ++commits;
        lastCommitted = buffer;
    }

    // Draws a rectangle into the window's pixels and records it.
    void Draw(const Rect& area, std::uint32_t colour) {
        const Rect clipped = area.ClipTo(kWidth, kHeight);
        for (int y = clipped.y; y < clipped.y + clipped.height; ++y) {
            for (int x = clipped.x; x < clipped.x + clipped.width; ++x)
                window[y * kWidth + x] = colour;
        }
        damage->Add(area);
    }

    Pixels window;
    std::vector<Pixels> buffers;
    Pixels shown = Pixels(kWidth * kHeight, 0);
    std::vector<Rect> pendingDamage;
    BufferDamage* damage = nullptr;
    int copies = 0;
    long long copiedArea = 0;
    int commits = 0;
    int lastCommitted = -1;
};

class BufferDamageTest : public ::testing::Test {
  protected:
    void SetUp() override { surface.damage = &damage; }
    BufferDamage damage{kWidth, kHeight};
    FakeSurface surface;
};

TEST_F(BufferDamageTest, TheFirstCommitBringsTheWholeSurfaceAndNothingChangedSendsNothing) {
    surface.Draw(Rect{0, 0, kWidth, kHeight}, 0x102030);
    ASSERT_TRUE(damage.Flush(surface, 0));
    EXPECT_EQ(surface.commits, 1);
    EXPECT_EQ(surface.copiedArea, kWidth * kHeight) << "one copy of the whole surface";
    damage.FrameShown();
    EXPECT_FALSE(damage.Flush(surface, 20)) << "nothing changed: no commit";
    EXPECT_EQ(surface.commits, 1);
}

TEST_F(BufferDamageTest, AnOutstandingFrameCallbackHoldsEverythingBackAndTheDamageWaits) {
    surface.Draw(Rect{0, 0, kWidth, kHeight}, 1);
    ASSERT_TRUE(damage.Flush(surface, 0));
    damage.BufferReleased(1);  // never committed: changes nothing
    const int copies = surface.copies;
    // Three frames while the output does not show us: no copy, no commit.
    surface.Draw(Rect{1, 1, 4, 4}, 2);
    EXPECT_FALSE(damage.Flush(surface, 20));
    surface.Draw(Rect{30, 20, 5, 5}, 3);
    EXPECT_FALSE(damage.Flush(surface, 40));
    surface.Draw(Rect{60, 44, 10, 10}, 4);  // partly outside: clipped
    EXPECT_FALSE(damage.Flush(surface, 60));
    EXPECT_EQ(surface.copies, copies);
    EXPECT_EQ(surface.commits, 1);
    // The callback comes back: one commit with all three frames' changes.
    damage.FrameShown();
    ASSERT_TRUE(damage.Flush(surface, 80));
    EXPECT_EQ(surface.commits, 2);
    EXPECT_NE(surface.lastCommitted, 0) << "the buffer the compositor holds was not reused";
}

TEST_F(BufferDamageTest, BothBuffersHeldMeansNoCommitUntilOneIsReleased) {
    surface.Draw(Rect{0, 0, kWidth, kHeight}, 1);
    ASSERT_TRUE(damage.Flush(surface, 0));
    damage.FrameShown();
    surface.Draw(Rect{2, 2, 3, 3}, 2);
    ASSERT_TRUE(damage.Flush(surface, 20));
    damage.FrameShown();
    surface.Draw(Rect{8, 8, 3, 3}, 3);
    EXPECT_FALSE(damage.Flush(surface, 40)) << "both buffers are the compositor's";
    damage.BufferReleased(0);
    ASSERT_TRUE(damage.Flush(surface, 60));
    EXPECT_EQ(surface.lastCommitted, 0);
    // The released buffer missed the second frame too: it was brought up to date (the fake
    // checks that the committed buffer is the window).
    EXPECT_EQ(surface.commits, 3);
}

TEST_F(BufferDamageTest, RandomFramesAlwaysCommitTheWindowAndCopyLittle) {
    std::mt19937 random(2024);
    auto upTo = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    surface.Draw(Rect{0, 0, kWidth, kHeight}, 7);
    std::uint32_t now = 0;
    for (int frame = 0; frame < 3000; ++frame) {
        // Up to ten small sprites a frame, now and then one far outside.
        const int sprites = upTo(11);
        for (int i = 0; i < sprites; ++i) {
            surface.Draw(
                Rect{upTo(kWidth + 8) - 4, upTo(kHeight + 8) - 4, 1 + upTo(6), 1 + upTo(6)},
                static_cast<std::uint32_t>(random()));
        }
        if (upTo(50) == 0)
            damage.Add(Rect{-100000, -100000, 5, 5});
        // The compositor lets go of the shown buffer's partner, sends callbacks, or falls
        // behind, in any order.
        const int last = surface.lastCommitted < 0 ? 0 : surface.lastCommitted;
        if (upTo(3) != 0)
            damage.BufferReleased(1 - last);
        if (upTo(10) == 0)
            damage.BufferReleased(last);  // a compositor that copied the buffer at once
        if (upTo(4) != 0)
            damage.FrameShown();
        damage.Flush(surface, now += 20);
    }
    damage.FrameShown();
    damage.BufferReleased(0);
    damage.BufferReleased(1);
    damage.Flush(surface, now += 20);
    EXPECT_EQ(surface.shown, surface.window);
    EXPECT_GT(surface.commits, 1000);
    // Small changes cost small copies: far less than a whole surface a commit.
    EXPECT_LT(surface.copiedArea, static_cast<long long>(surface.commits) * kWidth * kHeight / 4);
}

TEST_F(BufferDamageTest, AFullListBecomesItsBoundsAndStaysCorrect) {
    surface.Draw(Rect{0, 0, kWidth, kHeight}, 1);
    ASSERT_TRUE(damage.Flush(surface, 0));
    damage.FrameShown();
    damage.BufferReleased(0);
    // More rectangles than a list holds, while the callback is out.
    for (std::size_t i = 0; i < BufferDamage::kMostRectangles * 3; ++i) {
        surface.Draw(
            Rect{static_cast<int>(i % kWidth), static_cast<int>(i / kWidth % kHeight), 1, 1},
            static_cast<std::uint32_t>(i));
    }
    ASSERT_TRUE(damage.Flush(surface, 20));
    EXPECT_EQ(surface.shown, surface.window);
}

TEST(BufferDamageUnseen, CountsFromTheLastCommitAcrossTheWrapOfTheClock) {
    struct Nothing : BufferDamage::Target {
        void CopyToBuffer(int, const Rect&) override {}
        void DamageBuffer(const Rect&) override {}
        void CommitBuffer(int) override {}
    } target;
    BufferDamage damage(4, 4);
    EXPECT_FALSE(damage.UnseenFor(5000, 1000)) << "nothing committed: nothing out";
    const std::uint32_t start = 0xFFFFFF00u;  // 256 ms before the tick count wraps
    damage.Add(Rect{0, 0, 4, 4});
    ASSERT_TRUE(damage.Flush(target, start));
    EXPECT_FALSE(damage.UnseenFor(start + 999, 1000));
    EXPECT_TRUE(damage.UnseenFor(start + 1000, 1000)) << "past the wrap";
    damage.FrameShown();
    EXPECT_FALSE(damage.UnseenFor(start + 5000, 1000)) << "the callback came back";
}

}  // namespace
