// SPDX-License-Identifier: MIT
#include "platform/x11/MonitorList.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

namespace {

// RandR's monitors (1.5 and later); empty when the server has none to report.
std::vector<MonitorArea> RandrMonitors(Display* display) {
    std::vector<MonitorArea> found;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
        !XRRQueryVersion(display, &major, &minor) || major < 1 || (major == 1 && minor < 5)) {
        return found;
    }
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    for (int i = 0; i < count; ++i) {
        MonitorArea area;
        area.x = monitors[i].x;
        area.y = monitors[i].y;
        area.width = monitors[i].width;
        area.height = monitors[i].height;
        // The primary monitor first: the scene there is the one the frame loop runs.
        if (monitors[i].primary)
            found.insert(found.begin(), area);
        else
            found.push_back(area);
    }
    if (monitors != nullptr)
        XRRFreeMonitors(monitors);
    return found;
}

std::vector<MonitorArea> XineramaScreens(Display* display) {
    std::vector<MonitorArea> found;
    int eventBase = 0, errorBase = 0;
    if (!XineramaQueryExtension(display, &eventBase, &errorBase) || !XineramaIsActive(display))
        return found;
    int count = 0;
    XineramaScreenInfo* screens = XineramaQueryScreens(display, &count);
    for (int i = 0; i < count; ++i) {
        MonitorArea area;
        area.x = screens[i].x_org;
        area.y = screens[i].y_org;
        area.width = screens[i].width;
        area.height = screens[i].height;
        found.push_back(area);
    }
    if (screens != nullptr)
        XFree(screens);
    return found;
}

}  // namespace

std::vector<MonitorArea> MonitorList::Query(Display* display, std::optional<int> requestedScale) {
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    std::vector<MonitorArea> found = RandrMonitors(display);
    if (found.empty())
        found = XineramaScreens(display);
    return UsableMonitors(found, width, height, requestedScale);
}

int MonitorList::WatchChanges(Display* display) {
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase))
        return 0;
    XRRSelectInput(display, DefaultRootWindow(display),
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    return eventBase;
}

bool MonitorList::IsChange(int eventBase, const void* event) {
    if (eventBase == 0)
        return false;
    const auto* xevent = static_cast<const XEvent*>(event);
    if (xevent->type == eventBase + RRScreenChangeNotify) {
        XRRUpdateConfiguration(const_cast<XEvent*>(xevent));
        return true;
    }
    return xevent->type == eventBase + RRNotify;
}
