// SPDX-License-Identifier: MIT
// The program's entry: reads the options of the Linux screen-saver convention, installs the
// host services the run needs and starts the program.

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/BackendChoice.h"
#include "app/LinuxOptions.h"
#include "app/mMain.h"
#include "app/mScreenSaver.h"
#include "app/product.h"
#include "platform/wayland/WaylandHost.h"
#include "platform/x11/EmbeddedHost.h"
#include "platform/x11/FltkHost.h"

int main(int argc, char** argv) {
    // Pictures are decoded into large temporary buffers at set-up: every large block gets
    // memory of its own that goes back to the system when freed, instead of the allocator
    // raising its threshold and keeping the freed space for a run that never needs it again.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const LinuxOptions options = ParseLinuxOptions(arguments, std::getenv("XSCREENSAVER_WINDOW"));
    if (!options.error.empty()) {
        std::fprintf(stderr, "glimmerdel: %s\n(glimmerdel --help lists the options)\n",
                     options.error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(LinuxOptionsUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("glimmerdel %s\n", std::string(kProductVersion).c_str());
        return 0;
    }
    for (const auto& [key, value] : options.overrides)
        SetSettingOverride(key, value);

    const BackendChoice backend =
        ChooseBackend(arguments, options,
                      {std::getenv("GLIMMERDEL_BACKEND"), std::getenv("WAYLAND_DISPLAY"),
                       std::getenv("WAYLAND_SOCKET"), std::getenv("DISPLAY")});
    if (!backend.error.empty()) {
        std::fprintf(stderr, "glimmerdel: %s\n", backend.error.c_str());
        return 2;
    }
    if (!backend.noXServer.empty()) {
        std::fprintf(stderr, "glimmerdel: %s\n", backend.noXServer.c_str());
        return 1;
    }
    if (backend.backend == Backend::Wayland) {
        WaylandHost host(arguments, options.background);
        if (!host.Open())
            return 1;
        host.SetScale(options.scale);
        SetHost(&host);
        // Behind a locker or as a wallpaper, the run is not one the user started: no e-mail step.
        g_embedded = options.background;
        RunMain();
    }

    if (options.embedded || options.windowed) {
        EmbeddedHost host(arguments, options.window);
        const bool open = options.windowed
                              ? host.OpenOwnWindow(options.windowWidth, options.windowHeight,
                                                   std::string(kProductTitle))
                              : host.Open();
        if (!open)
            return 1;
        SetHost(&host);
        RunEmbedded();
    }
    FltkHost host(arguments);
    host.SetScale(options.scale);
    SetHost(&host);
    RunMain();
}
