// SPDX-License-Identifier: MIT
// A Wayland client of the end-to-end tests' own, on $WAYLAND_DISPLAY:
//
//   wayland_test_client pointer STEP...   a virtual pointer (wlr-virtual-pointer) that does the
//                                         steps in order: "at X Y W H" (to X, Y of a W x H
//                                         layout), "by DX DY" (relative), "click", "wait MS",
//                                         "mark FILE" (makes the file: the steps before it are
//                                         done)
//   wayland_test_client window W H RRGGBB a plain toplevel "glimmerdel-test-window" filled
//                                         with one colour, until it is killed
//   wayland_test_client check             connects, and ends (the compositor is up)
//
// Ends with 0 when it did what it was asked, 1 when the compositor lacks what it needs.

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

struct Globals {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    xdg_wm_base* wmBase = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t) {
    auto* g = static_cast<Globals*>(data);
    const std::string kind = interface;
    if (kind == wl_compositor_interface.name)
        g->compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    else if (kind == wl_shm_interface.name)
        g->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (kind == wl_seat_interface.name)
        g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (kind == xdg_wm_base_interface.name)
        g->wmBase =
            static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    else if (kind == zwlr_virtual_pointer_manager_v1_interface.name)
        g->pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}

std::uint32_t Now() {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

int Pointer(wl_display* display, Globals& g, const std::vector<std::string>& steps) {
    if (g.pointers == nullptr) {
        std::fprintf(stderr, "wayland_test_client: no virtual pointers here\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.pointers, g.seat);
    wl_display_roundtrip(display);
    for (size_t i = 0; i < steps.size(); ++i) {
        auto number = [&](size_t k) { return std::atoi(steps.at(i + k).c_str()); };
        if (steps[i] == "at" && i + 4 < steps.size()) {
            zwlr_virtual_pointer_v1_motion_absolute(
                pointer, Now(), static_cast<std::uint32_t>(number(1)),
                static_cast<std::uint32_t>(number(2)), static_cast<std::uint32_t>(number(3)),
                static_cast<std::uint32_t>(number(4)));
            i += 4;
        } else if (steps[i] == "by" && i + 2 < steps.size()) {
            zwlr_virtual_pointer_v1_motion(pointer, Now(), wl_fixed_from_int(number(1)),
                                           wl_fixed_from_int(number(2)));
            i += 2;
        } else if (steps[i] == "click") {
            zwlr_virtual_pointer_v1_button(pointer, Now(), BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, Now(), BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
        } else if (steps[i] == "mark" && i + 1 < steps.size()) {
            std::fclose(std::fopen(steps[i + 1].c_str(), "w"));
            i += 1;
            continue;
        } else if (steps[i] == "wait" && i + 1 < steps.size()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(number(1)));
            i += 1;
            continue;
        } else {
            std::fprintf(stderr, "wayland_test_client: bad step \"%s\"\n", steps[i].c_str());
            return 2;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    return 0;
}

struct Window {
    Globals* g = nullptr;
    wl_surface* surface = nullptr;
    int width = 0;
    int height = 0;
    int configuredWidth = 0;
    int configuredHeight = 0;
    std::uint32_t colour = 0;
    bool configured = false;
};

void Paint(Window& w) {
    const int width = w.configuredWidth > 0 ? w.configuredWidth : w.width;
    const int height = w.configuredHeight > 0 ? w.configuredHeight : w.height;
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    const int fd = memfd_create("window", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(bytes)) != 0)
        std::exit(1);
    auto* pixels = static_cast<std::uint32_t*>(
        mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    for (size_t i = 0; i < bytes / 4; ++i)
        pixels[i] = w.colour;
    wl_shm_pool* pool = wl_shm_create_pool(w.g->shm, fd, static_cast<int>(bytes));
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_attach(w.surface, buffer, 0, 0);
    wl_surface_damage_buffer(w.surface, 0, 0, width, height);
    wl_surface_commit(w.surface);
}

int ShowWindow(wl_display* display, Globals& g, int width, int height, std::uint32_t colour) {
    if (g.wmBase == nullptr || g.compositor == nullptr || g.shm == nullptr)
        return 1;
    static const xdg_wm_base_listener base = {
        [](void*, xdg_wm_base* b, std::uint32_t serial) { xdg_wm_base_pong(b, serial); }};
    xdg_wm_base_add_listener(g.wmBase, &base, nullptr);
    Window w;
    w.g = &g;
    w.width = width;
    w.height = height;
    w.colour = colour;
    w.surface = wl_compositor_create_surface(g.compositor);
    xdg_surface* surface = xdg_wm_base_get_xdg_surface(g.wmBase, w.surface);
    static const xdg_surface_listener surfaceListener = {
        [](void* data, xdg_surface* s, std::uint32_t serial) {
            auto* win = static_cast<Window*>(data);
            xdg_surface_ack_configure(s, serial);
            win->configured = true;
            Paint(*win);
        }};
    xdg_surface_add_listener(surface, &surfaceListener, &w);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(surface);
    static const xdg_toplevel_listener toplevelListener = {
        [](void* data, xdg_toplevel*, std::int32_t cw, std::int32_t ch, wl_array*) {
            auto* win = static_cast<Window*>(data);
            win->configuredWidth = cw;
            win->configuredHeight = ch;
        },
        [](void*, xdg_toplevel*) { std::exit(0); },
        [](void*, xdg_toplevel*, std::int32_t, std::int32_t) {},
        [](void*, xdg_toplevel*, wl_array*) {}};
    xdg_toplevel_add_listener(toplevel, &toplevelListener, &w);
    xdg_toplevel_set_app_id(toplevel, "glimmerdel-test-window");
    xdg_toplevel_set_title(toplevel, "glimmerdel-test-window");
    xdg_toplevel_set_min_size(toplevel, width, height);
    xdg_toplevel_set_max_size(toplevel, width, height);
    wl_surface_commit(w.surface);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::fprintf(stderr,
                     "usage: wayland_test_client pointer STEP... | window W H RRGGBB | check\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wayland_test_client: no compositor\n");
        return 1;
    }
    Globals g;
    static const wl_registry_listener registryListener = {OnGlobal, OnGlobalRemove};
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, &g);
    wl_display_roundtrip(display);
    if (arguments[0] == "check")
        return 0;
    if (arguments[0] == "pointer")
        return Pointer(display, g, {arguments.begin() + 1, arguments.end()});
    if (arguments[0] == "window" && arguments.size() == 4) {
        return ShowWindow(
            display, g, std::atoi(arguments[1].c_str()), std::atoi(arguments[2].c_str()),
            static_cast<std::uint32_t>(std::strtoul(arguments[3].c_str(), nullptr, 16)));
    }
    std::fprintf(stderr, "wayland_test_client: unknown command \"%s\"\n", arguments[0].c_str());
    return 2;
}
