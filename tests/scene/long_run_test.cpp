// SPDX-License-Identifier: MIT
// The saver left running: many frames on the virtual clock, across both wraps of the 32-bit
// tick count (the signed one at 2^31 and the unsigned one at 2^32). Memory stays flat, no wait
// outlasts a frame period, and the picture stays right.
//
// CI runs 10 000 frames; GLIMMERDEL_LONG_RUN_FRAMES=1000000 (`make long-run`) runs the million
// and prints the figures.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/cSprite.h"
#include "tests/scene/SceneFixture.h"

namespace {

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

long FramesToRun() {
    const char* given = std::getenv("GLIMMERDEL_LONG_RUN_FRAMES");
    const long frames = given != nullptr ? std::atol(given) : 0;
    return frames > 0 ? frames : 10000;
}

class LongRun : public SceneFixture {
  protected:
    // Lifts every active sprite off the stage, as the first pass of a frame does.
    void RestoreEverySprite() {
        const HDC stage = saver.StageDC();
        for (int i = 0; i < frmSaver::kSnowflakes; ++i) {
            if (saver.Snowflake(i)->Active())
                saver.Snowflake(i)->RestoreBackground(stage);
        }
        for (int i = 0; i < frmSaver::kLightStrings; ++i) {
            if (saver.LightString(i)->Active())
                saver.LightString(i)->RestoreBackground(stage);
        }
        if (saver.Smoke()->Active())
            saver.Smoke()->RestoreBackground(stage);
    }
    std::vector<std::uint32_t> Stage() { return Pixels(saver.StageDC(), 1024, 600); }
    // The window shows the stage, compared a row at a time (nothing large is allocated while
    // memory is being watched).
    bool WindowShowsStage() {
        HeadlessBacking* window = host.BackingOf(saver);
        std::uint32_t row[1024];
        for (int y = 0; y < 600; ++y) {
            if (!gdi::ReadPixels(saver.StageDC(), 0, y, 1024, 1, row))
                return false;
            for (int x = 0; x < 1024; ++x) {
                if (window->Pixel(x, y) != row[x])
                    return false;
            }
        }
        return true;
    }
};

TEST_F(LongRun, FramesAcrossTheTickWrapsKeepMemoryTimingAndPicture) {
    const long frames = FramesToRun();
    const long half = frames / 2;
    const std::uint32_t periodMs = 20;
    // Each half starts a quarter of the run before a wrap, so that it crosses the wrap midway.
    const std::uint32_t beforeSignedWrap =
        0x80000000u - static_cast<std::uint32_t>(half / 2) * periodMs;
    const std::uint32_t beforeWrap = 0u - static_cast<std::uint32_t>(half / 2) * periodMs;

    host.SetTickCount(beforeSignedWrap);
    // A wait that missed its deadline would pump events for weeks of virtual time: stop there.
    host.OnEvents([&] {
        if (host.EventPasses() > 8 * (saver.FramesRun() + 1))
            throw ProgramEnded{-1};
    });
    const auto start = std::chrono::steady_clock::now();
    ASSERT_FALSE(Run(1));
    RestoreEverySprite();
    const std::vector<std::uint32_t> staticScene = Stage();
    const long firstFrameBytes = ResidentBytes();
    long highest = firstFrameBytes;

    long done = 1;
    auto runUntil = [&](long target) {
        while (done < target) {
            const long chunk = std::min<long>(5000, target - done);
            saver.RunMoreFrames(chunk);
            done += chunk;
            highest = std::max(highest, ResidentBytes());
        }
    };
    runUntil(half);
    EXPECT_TRUE(WindowShowsStage()) << "past 2^31";
    const std::uint32_t afterFirstHalf = host.GetTickCount();
    host.SetTickCount(beforeWrap);
    runUntil(frames);
    const std::uint32_t atEnd = host.GetTickCount();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long lastBytes = ResidentBytes();

    EXPECT_TRUE(host.MessageBoxes().empty()) << "the saver ran without an error";
    EXPECT_EQ(saver.FramesRun(), frames);
    EXPECT_GT(afterFirstHalf, 0x80000000u) << "the first half crossed 2^31";
    EXPECT_LT(atEnd, beforeWrap) << "the second half crossed 2^32";
    EXPECT_LE(host.LongestWaitMs(), periodMs) << "no wait outlasts a frame period";
    EXPECT_LE(highest - firstFrameBytes, 1 << 20) << "resident memory grew";

    EXPECT_TRUE(WindowShowsStage()) << "past 2^32";
    RestoreEverySprite();
    EXPECT_TRUE(Stage() == staticScene) << "lifting every sprite leaves the static scene";

    std::printf(
        "[ figures  ] %ld frames in %.1f s (%.1f us a frame), %.2f event passes a frame, longest "
        "wait %lld ms; resident memory %ld KiB after the first frame, %ld KiB at the end, %ld KiB "
        "at most\n",
        frames, seconds, seconds * 1e6 / static_cast<double>(frames),
        static_cast<double>(host.EventPasses()) / static_cast<double>(frames), host.LongestWaitMs(),
        firstFrameBytes / 1024, lastBytes / 1024, highest / 1024);
}

}  // namespace
