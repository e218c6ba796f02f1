// SPDX-License-Identifier: MIT
#pragma once
// The monitors of the desktop as the system reports them, and the saver's list made from them.
//
// Coordinates are the system's, in physical pixels (the program is aware of every monitor's
// density): the primary monitor's top-left corner is 0, 0, so monitors left of or above it have
// negative coordinates.

#include <array>
#include <optional>
#include <vector>

#include "platform/monitors.h"
#include "platform/system.h"

class Win32MonitorList {
  public:
    // One monitor as EnumDisplayMonitors and GetMonitorInfo give it.
    struct Found {
        RECT area;
        bool primary;
    };

    // The saver's monitors from what the system reported: the primary one first (its scene is
    // the frame loop's own), the others in the order found, each clipped to the virtual screen
    // (the rectangle around them all), mirrored ones once, each with its scale (ChooseScale).
    // The whole virtual screen when nothing usable was reported.
    static std::vector<MonitorArea> FromFound(const std::vector<Found>& found,
                                              const RECT& virtualScreen,
                                              std::optional<int> requestedScale);
    // The same from the system.
    static std::vector<MonitorArea> Query(std::optional<int> requestedScale);

    // The monitors' rectangles as they stand, gathered without allocating anything, to notice
    // a change cheaply while the saver runs (the first few monitors are enough to tell).
    struct Layout {
        int count = 0;
        std::array<RECT, 16> areas{};
        bool operator==(const Layout& other) const;
    };
    static Layout CurrentLayout();
};
