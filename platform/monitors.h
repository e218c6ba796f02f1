// SPDX-License-Identifier: MIT
#pragma once
// The monitors of a screen, and how large each shows the scene's pixels.
//
// The saver covers every monitor with a scene of its own. A monitor much larger than the scene's
// pictures were drawn for shows the scene composed at a fraction of its size, each pixel
// repeated as a square block (integer scaling: crisp, no blur).

#include <optional>
#include <vector>

// A monitor's place on the screen, in pixels, and the factor its scene is shown at.
struct MonitorArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int scale = 1;

    // The size of the scene composed for this monitor: the monitor's size divided by the scale,
    // rounded up so that the scene reaches the last row and column.
    int ComposedWidth() const { return (width + scale - 1) / scale; }
    int ComposedHeight() const { return (height + scale - 1) / scale; }
    bool operator==(const MonitorArea&) const = default;
};

// Monitors wider than this or taller than kLargestPlainHeight show the scene doubled.
inline constexpr int kLargestPlainWidth = 2560;
inline constexpr int kLargestPlainHeight = 1600;
inline constexpr int kLargestScale = 4;

// The scale for a monitor of this size: the one asked for (1 to 4; 1 switches scaling off), or
// unset: 2 for a monitor wider than 2560 or taller than 1600 pixels, 1 otherwise.
int ChooseScale(int width, int height, std::optional<int> requested);

// The monitors worth a scene, from what the system reported: each clipped to the screen,
// empty ones and copies of one another (mirrored outputs) left out, in the order found; the
// whole screen when nothing is left. Each gets its scale by ChooseScale.
std::vector<MonitorArea> UsableMonitors(const std::vector<MonitorArea>& found, int screenWidth,
                                        int screenHeight, std::optional<int> requestedScale);
// The same for a screen whose area need not start at 0, 0 (the screen's x, y, width and height;
// its scale is not looked at): on Windows the monitors left of or above the primary one have
// negative coordinates.
std::vector<MonitorArea> UsableMonitors(const std::vector<MonitorArea>& found,
                                        const MonitorArea& screen,
                                        std::optional<int> requestedScale);
