// SPDX-License-Identifier: MIT
// The frame with several monitors and on a high-density screen, headless: the saver's own code
// on a virtual screen and clock.
//
// MonitorsFrame/N/cold: one frame of the loop that drives a scene on each of N monitors of
// 1920 x 1080 (each frame timed; median and 99th percentile).
// DoubledFrame/cold: one frame of a 3840 x 2160 monitor shown at scale 2: the scene composed at
// 1920 x 1080, every changed rectangle doubled on its way to the window's 3840 x 2160 pixels;
// PlainFrame/cold: the same monitor at scale 1, for comparison.
// cold = 1: the caches are emptied before every frame, as the 20 ms between two frames of the
// real saver tend to leave them (several monitors' pixels do not fit the caches together).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "bench/CacheEvictor.h"
#include "bench/percentile.h"
#include "platform/ScaledWindowBacking.h"
#include "platform/gdi.h"
#include "tools/harness/HeadlessSaver.h"
#include "tools/harness/SceneFolder.h"

namespace {

// The saver on the given monitors, past its first 200 frames; optionally the first monitor's
// window shown at a scale.
class RunningSaver {
  public:
    RunningSaver(const std::vector<std::pair<int, int>>& monitors, int scale)
        : m_run(m_folder.Path()) {
        m_run.Host().SetMonitors(monitors);
        m_run.Start(0);
        if (scale > 1) {
            // The window of the monitor: scale times the composed size.
            auto device = std::make_shared<HeadlessBacking>(monitors[0].first * scale,
                                                            monitors[0].second * scale);
            gdi::ReplaceWindowBacking(m_run.Saver().hWnd(),
                                      std::make_shared<ScaledWindowBacking>(device, scale));
        }
        m_run.RunFrames(200);
        m_installed = m_run.Install();
    }
    double Frame() {
        const auto start = std::chrono::steady_clock::now();
        m_run.Saver().RunMoreFrames(1);
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count();
    }

  private:
    SceneFolder m_folder;
    HeadlessSaver m_run;
    std::unique_ptr<ScopedInstall> m_installed;
};

void Report(benchmark::State& state, const std::vector<double>& frames, const std::string& label) {
    state.counters["median_us"] = Percentile(frames, 0.5);
    state.counters["p99_us"] = Percentile(frames, 0.99);
    state.SetLabel(label);
}

void TimeFrames(benchmark::State& state, RunningSaver& saver, bool cold, const std::string& label) {
    CacheEvictor caches;
    std::vector<double> frames;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            caches.Evict();
            state.ResumeTiming();
        }
        frames.push_back(saver.Frame());
    }
    Report(state, frames, label + (cold ? ", caches emptied before each frame" : ""));
}

void MonitorsFrame(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    RunningSaver saver(std::vector<std::pair<int, int>>(count, {1920, 1080}), 1);
    TimeFrames(state, saver, state.range(1) != 0, std::to_string(count) + " x 1920 x 1080");
}

void DoubledFrame(benchmark::State& state) {
    RunningSaver saver({{1920, 1080}}, 2);
    TimeFrames(state, saver, state.range(0) != 0, "3840 x 2160 at scale 2");
}

void PlainFrame(benchmark::State& state) {
    RunningSaver saver({{3840, 2160}}, 1);
    TimeFrames(state, saver, state.range(0) != 0, "3840 x 2160 at scale 1");
}

BENCHMARK(MonitorsFrame)
    ->ArgsProduct({{1, 2, 3}, {0}})
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(MonitorsFrame)
    ->ArgsProduct({{1, 2, 3}, {1}})
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(DoubledFrame)->Arg(0)->Iterations(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlainFrame)->Arg(0)->Iterations(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(DoubledFrame)->Arg(1)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlainFrame)->Arg(1)->Iterations(300)->Unit(benchmark::kMicrosecond);

}  // namespace
