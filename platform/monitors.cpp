// SPDX-License-Identifier: MIT
#include "platform/monitors.h"

#include <algorithm>

int ChooseScale(int width, int height, std::optional<int> requested) {
    if (requested)
        return std::clamp(*requested, 1, kLargestScale);
    return width > kLargestPlainWidth || height > kLargestPlainHeight ? 2 : 1;
}

std::vector<MonitorArea> UsableMonitors(const std::vector<MonitorArea>& found, int screenWidth,
                                        int screenHeight, std::optional<int> requestedScale) {
    MonitorArea screen;
    screen.width = screenWidth;
    screen.height = screenHeight;
    return UsableMonitors(found, screen, requestedScale);
}

std::vector<MonitorArea> UsableMonitors(const std::vector<MonitorArea>& found,
                                        const MonitorArea& screen,
                                        std::optional<int> requestedScale) {
    const long long screenRight = static_cast<long long>(screen.x) + screen.width;
    const long long screenBottom = static_cast<long long>(screen.y) + screen.height;
    std::vector<MonitorArea> usable;
    for (const MonitorArea& monitor : found) {
        // Wide arithmetic: a driver's nonsense must not overflow the clipping.
        const long long x0 = std::max<long long>(monitor.x, screen.x);
        const long long y0 = std::max<long long>(monitor.y, screen.y);
        const long long x1 =
            std::min<long long>(static_cast<long long>(monitor.x) + monitor.width, screenRight);
        const long long y1 =
            std::min<long long>(static_cast<long long>(monitor.y) + monitor.height, screenBottom);
        if (x1 <= x0 || y1 <= y0)
            continue;
        MonitorArea area;
        area.x = static_cast<int>(x0);
        area.y = static_cast<int>(y0);
        area.width = static_cast<int>(x1 - x0);
        area.height = static_cast<int>(y1 - y0);
        area.scale = ChooseScale(area.width, area.height, requestedScale);
        if (std::find(usable.begin(), usable.end(), area) == usable.end())
            usable.push_back(area);
    }
    if (usable.empty() && screen.width > 0 && screen.height > 0) {
        MonitorArea whole = screen;
        whole.scale = ChooseScale(screen.width, screen.height, requestedScale);
        usable.push_back(whole);
    }
    return usable;
}
