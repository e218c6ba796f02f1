// SPDX-License-Identifier: MIT
// Watches what reaches the X server from a window, from outside the program: every update of
// the window's pixels is reported by the X server (Damage extension); updates closer together
// than a few milliseconds belong to one frame. Prints frames per second and the frame interval
// (median and 99th percentile).
//
//   frame_watch WINDOW-NAME SECONDS

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/percentile.h"

namespace {

Window FindWindow(Display* display, const std::string& name) {
    Window root, parent;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && found == 0; ++i) {
            char* windowName = nullptr;
            if (XFetchName(display, children[i], &windowName) && windowName != nullptr) {
                if (name == windowName)
                    found = children[i];
                XFree(windowName);
            }
        }
        if (children != nullptr)
            XFree(children);
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: frame_watch WINDOW-NAME SECONDS\n");
        return 2;
    }
    const std::string name = argv[1];
    char* rest = nullptr;
    const double seconds = std::strtod(argv[2], &rest);
    if (rest == argv[2] || *rest != '\0' || !(seconds > 0)) {
        std::fprintf(stderr, "frame_watch: bad number of seconds \"%s\"\n", argv[2]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    int eventBase = 0, errorBase = 0;
    if (!XDamageQueryExtension(display, &eventBase, &errorBase)) {
        std::fprintf(stderr, "frame_watch: no Damage extension\n");
        return 1;
    }
    Window window = 0;
    for (int i = 0; i < 500 && window == 0; ++i) {
        window = FindWindow(display, name);
        if (window == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (window == 0) {
        std::fprintf(stderr, "frame_watch: no window named %s\n", name.c_str());
        return 1;
    }
    XDamageCreate(display, window, XDamageReportRawRectangles);
    XFlush(display);

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    std::vector<double> frameStarts;
    double lastEvent = -1;
    const int fd = ConnectionNumber(display);
    while (Clock::now() < end) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != eventBase + XDamageNotify)
                continue;
            const double now = std::chrono::duration<double>(Clock::now() - start).count();
            if (lastEvent < 0 || now - lastEvent > 0.005)
                frameStarts.push_back(now);
            lastEvent = now;
        }
        fd_set set;
        FD_ZERO(&set);
        FD_SET(fd, &set);
        timeval timeout{0, 2000};
        select(fd + 1, &set, nullptr, nullptr, &timeout);
    }
    std::vector<double> intervals;
    for (size_t i = 1; i < frameStarts.size(); ++i) {
        intervals.push_back((frameStarts[i] - frameStarts[i - 1]) * 1000.0);
    }
    const double span = frameStarts.size() > 1 ? frameStarts.back() - frameStarts.front() : 0;
    std::printf("frames %zu\n", frameStarts.size());
    std::printf("fps %.2f\n", span > 0 ? (frameStarts.size() - 1) / span : 0.0);
    std::printf("interval_median_ms %.2f\n", Percentile(intervals, 0.5));
    std::printf("interval_p99_ms %.2f\n", Percentile(intervals, 0.99));
    XCloseDisplay(display);
    return 0;
}
