// The saver's frame and set-up, headless: the saver's own code on a virtual screen and clock.
//
// FrameStep: one frame (restore, move, store, draw and present every sprite, pump events, wait
// for the virtual deadline), each frame timed on its own; median and 99th percentile.
// SetUp: from the start of the form's load to the first full paint (pictures loaded, masks
// built, the static scene composed and copied to the window).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/mScreenSaver.h"
#include "platform/HeadlessHost.h"
#include "scene/frmSaver.h"

namespace {

// A program folder of its own: every effect on or off, the built pictures.
class ProgramFolder {
  public:
    explicit ProgramFolder(bool on) {
        char pattern[] = "/tmp/glimmerdel-bench-XXXXXX";
        m_path = mkdtemp(pattern);
        const std::string s = on ? "1" : "0";
        std::ofstream(m_path + "/vantroglimmerdel.ini")
            << "[controls]\nlights=" << s << "\nchimneysmoke=" << s << "\nsnowing=" << s
            << "\nlightspeed=3\nsmokespeed=2\nsnowspeed=4\n[applic]\nappdisplay=0\n";
        std::filesystem::create_directories(m_path + "/vurezezideriru");
        std::filesystem::create_directory_symlink(
            std::string(GLIMMERDEL_PROGRAM_DIR) + "/vurezezideriru/glimmerdel",
            m_path + "/vurezezideriru/glimmerdel");
    }
    ~ProgramFolder() { std::filesystem::remove_all(m_path); }
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
};

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

void FrameStep(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const bool on = state.range(2) != 0;
    ProgramFolder folder(on);
    HeadlessHost host;
    host.SetAppPath(folder.Path());
    host.SetScreenPixels(width, height);
    SetHost(&host);
    {
        frmSaver saver;
        g_frmSaver = &saver;
        saver.SetFrameLimit(0);
        saver.Load();
        saver.RunMoreFrames(200);  // past the first steps of every element
        std::vector<double> frames;
        frames.reserve(static_cast<size_t>(state.max_iterations));
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            saver.RunMoreFrames(1);
            frames.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        state.counters["median_us"] = Percentile(frames, 0.5);
        state.counters["p99_us"] = Percentile(frames, 0.99);
        state.SetLabel(on ? "all effects on" : "all effects off");
        saver.Unload();
        g_frmSaver = nullptr;
    }
    SetHost(nullptr);
}

// As FrameStep, with the caches emptied before every frame, as the 20 ms between two frames of
// the real saver (and the X server's work in them) tend to leave them.
void FrameStepCold(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    ProgramFolder folder(true);
    HeadlessHost host;
    host.SetAppPath(folder.Path());
    host.SetScreenPixels(width, height);
    SetHost(&host);
    std::vector<std::uint64_t> evict(std::size_t{64} << 17);  // 64 MiB, twice the largest cache
    {
        frmSaver saver;
        g_frmSaver = &saver;
        saver.SetFrameLimit(0);
        saver.Load();
        saver.RunMoreFrames(200);
        std::vector<double> frames;
        std::uint64_t sum = 0;
        for (auto _ : state) {
            state.PauseTiming();
            for (std::uint64_t& word : evict)
                sum += ++word;
            state.ResumeTiming();
            const auto start = std::chrono::steady_clock::now();
            saver.RunMoreFrames(1);
            frames.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        benchmark::DoNotOptimize(sum);
        state.counters["median_us"] = Percentile(frames, 0.5);
        state.counters["p99_us"] = Percentile(frames, 0.99);
        state.SetLabel("all effects on, caches emptied before each frame");
        saver.Unload();
        g_frmSaver = nullptr;
    }
    SetHost(nullptr);
}

void SetUp(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    ProgramFolder folder(true);
    HeadlessHost host;
    host.SetAppPath(folder.Path());
    host.SetScreenPixels(width, height);
    SetHost(&host);
    std::vector<double> times;
    for (auto _ : state) {
        frmSaver saver;
        g_frmSaver = &saver;
        saver.SetFrameLimit(0);
        const auto start = std::chrono::steady_clock::now();
        saver.Load();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        state.PauseTiming();
        saver.Unload();
        g_frmSaver = nullptr;
        state.ResumeTiming();
    }
    state.counters["median_ms"] = Percentile(times, 0.5);
    SetHost(nullptr);
}

BENCHMARK(FrameStep)
    ->Args({1280, 720, 1})
    ->Args({1920, 1080, 1})
    ->Args({3840, 2160, 1})
    ->Args({1280, 720, 0})
    ->Args({1920, 1080, 0})
    ->Args({3840, 2160, 0})
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(FrameStepCold)->Args({1920, 1080})->Iterations(300)->Unit(benchmark::kMicrosecond);

BENCHMARK(SetUp)
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

}  // namespace
