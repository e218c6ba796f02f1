// SPDX-License-Identifier: MIT
// The saver's frame and set-up, headless: the saver's own code on a virtual screen and clock.
//
// FrameStep: one frame (restore, move, store, draw and present the sprites, pump events, wait
// for the virtual deadline), each frame timed on its own; median and 99th percentile. The
// saver's planned step, and the straight step (every sprite redrawn on every frame) beside it.
// SetUp: from the start of the form's load to the first full paint (pictures loaded, masks
// built, the static scene composed and copied to the window).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench/CacheEvictor.h"
#include "bench/percentile.h"
#include "tools/harness/HeadlessSaver.h"
#include "tools/harness/SceneFolder.h"

namespace {

double ThreadMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// The settings file's values with every effect on or off (the delivered speeds).
std::vector<std::string> Effects(bool on) {
    const std::string s = on ? "1" : "0";
    return {s, s, s, "3", "2", "4"};
}

// The saver loaded on a virtual screen, past the first steps of every element, its host
// installed while the benchmark runs.
class RunningSaver {
  public:
    RunningSaver(int width, int height, bool on, frmSaver::FrameStep step)
        : m_folder(Effects(on)), m_run(m_folder.Path()) {
        m_run.Host().SetScreenPixels(width, height);
        m_run.Saver().SetFrameStep(step);
        m_run.Start(200);
        m_installed = m_run.Install();
    }
    // One frame, timed, in microseconds: by the clock, and by the processor time of the thread
    // (which leaves out the time the thread waited for a processor on a busy machine).
    struct Times {
        double wall;
        double cpu;
    };
    Times Frame() {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadMicroseconds();
        m_run.Saver().RunMoreFrames(1);
        const double cpu = ThreadMicroseconds() - cpuStart;
        return Times{
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count(),
            cpu};
    }

  private:
    SceneFolder m_folder;
    HeadlessSaver m_run;
    std::unique_ptr<ScopedInstall> m_installed;
};

// The counters come out in the order of their names: the clock's median and 99th percentile
// are the last two columns of the CSV report.
void Report(benchmark::State& state, const std::vector<RunningSaver::Times>& frames,
            const char* label) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const RunningSaver::Times& frame : frames) {
        wall.push_back(frame.wall);
        cpu.push_back(frame.cpu);
    }
    state.counters["cpu_median_us"] = Percentile(cpu, 0.5);
    state.counters["cpu_p99_us"] = Percentile(cpu, 0.99);
    state.counters["median_us"] = Percentile(wall, 0.5);
    state.counters["p99_us"] = Percentile(wall, 0.99);
    state.SetLabel(label);
}

// The frame step of a benchmark's last argument: 1 planned, 0 straight.
frmSaver::FrameStep StepOf(const benchmark::State& state, int argument) {
    return state.range(argument) != 0 ? frmSaver::FrameStep::Planned
                                      : frmSaver::FrameStep::Straight;
}

void FrameStep(benchmark::State& state) {
    const bool on = state.range(2) != 0;
    RunningSaver saver(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), on,
                       StepOf(state, 3));
    std::vector<RunningSaver::Times> frames;
    for (auto _ : state)
        frames.push_back(saver.Frame());
    Report(state, frames, on ? "all effects on" : "all effects off");
}

// As FrameStep, with the caches emptied before every frame.
void FrameStepCold(benchmark::State& state) {
    RunningSaver saver(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), true,
                       StepOf(state, 2));
    CacheEvictor caches;
    std::vector<RunningSaver::Times> frames;
    for (auto _ : state) {
        state.PauseTiming();
        caches.Evict();
        state.ResumeTiming();
        frames.push_back(saver.Frame());
    }
    Report(state, frames, "all effects on, caches emptied before each frame");
}

// As FrameStep, with the 20 ms the real saver sleeps between two frames really slept: what the
// machine leaves in the caches and in the processor's state after such a pause, nothing made up.
void FrameStepPaced(benchmark::State& state) {
    RunningSaver saver(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), true,
                       StepOf(state, 2));
    std::vector<RunningSaver::Times> frames;
    for (auto _ : state) {
        state.PauseTiming();
        const timespec pause{0, 20'000'000};
        nanosleep(&pause, nullptr);
        state.ResumeTiming();
        frames.push_back(saver.Frame());
    }
    Report(state, frames, "all effects on, 20 ms asleep before each frame");
}

void SetUp(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const SceneFolder folder;
    std::vector<double> times;
    for (auto _ : state) {
        state.PauseTiming();
        auto run = std::make_unique<HeadlessSaver>(folder.Path());
        run->Host().SetScreenPixels(width, height);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        run->Start(0);
        times.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
        state.PauseTiming();
        run.reset();
        state.ResumeTiming();
    }
    // The same counters as the frame benchmarks (the CSV report needs them in every run).
    state.counters["cpu_median_us"] = 0;
    state.counters["cpu_p99_us"] = 0;
    state.counters["median_us"] = Percentile(times, 0.5);
    state.counters["p99_us"] = Percentile(times, 0.99);
}

// Width, height, effects on, planned step.
BENCHMARK(FrameStep)
    ->Args({1280, 720, 1, 1})
    ->Args({1920, 1080, 1, 1})
    ->Args({3840, 2160, 1, 1})
    ->Args({1280, 720, 0, 1})
    ->Args({1920, 1080, 0, 1})
    ->Args({3840, 2160, 0, 1})
    ->Args({1920, 1080, 1, 0})
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(FrameStepCold)
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 0})
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(FrameStepPaced)
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 0})
    ->Iterations(250)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(SetUp)
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

}  // namespace
