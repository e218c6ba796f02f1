// One frame of the saver, headless: restore, move, store, draw and present every sprite,
// with the saver's own frame code on a virtual screen and clock.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/mScreenSaver.h"
#include "platform/HeadlessHost.h"
#include "scene/frmSaver.h"

namespace {

// A program folder of its own: the settings given, the built pictures.
std::string MakeProgramFolder(bool on) {
    char pattern[] = "/tmp/glimmerdel-bench-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string s = on ? "1" : "0";
    std::ofstream(folder + "/vantroglimmerdel.ini")
        << "[controls]\nlights=" << s << "\nchimneysmoke=" << s << "\nsnowing=" << s
        << "\nlightspeed=0\nsmokespeed=0\nsnowspeed=4\n[applic]\nappdisplay=0\n";
    std::filesystem::create_directories(folder + "/vurezezideriru");
    std::filesystem::create_directory_symlink(
        std::string(GLIMMERDEL_PROGRAM_DIR) + "/vurezezideriru/glimmerdel",
        folder + "/vurezezideriru/glimmerdel");
    return folder;
}

void FrameStep(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const bool on = state.range(2) != 0;
    const std::string folder = MakeProgramFolder(on);
    HeadlessHost host;
    host.SetAppPath(folder);
    host.SetScreenPixels(width, height);
    SetHost(&host);
    {
        frmSaver saver;
        g_frmSaver = &saver;
        saver.SetFrameLimit(0);
        saver.Load();
        for (auto _ : state)
            saver.RunMoreFrames(1);
        state.SetLabel(on ? "all effects on" : "all effects off");
        saver.Unload();
        g_frmSaver = nullptr;
    }
    SetHost(nullptr);
    std::filesystem::remove_all(folder);
}

BENCHMARK(FrameStep)
    ->Args({1280, 720, 1})
    ->Args({1920, 1080, 1})
    ->Args({3840, 2160, 1})
    ->Args({1920, 1080, 0})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
