#include "platform/monitors.h"

#include <algorithm>

int ChooseScale(int width, int height, std::optional<int> requested) {
    if (requested)
        return std::clamp(*requested, 1, kLargestScale);
    return width > kLargestPlainWidth || height > kLargestPlainHeight ? 2 : 1;
}

std::vector<MonitorArea> UsableMonitors(const std::vector<MonitorArea>& found, int screenWidth,
                                        int screenHeight, std::optional<int> requestedScale) {
    std::vector<MonitorArea> usable;
    for (const MonitorArea& monitor : found) {
        // Wide arithmetic: a driver's nonsense must not overflow the clipping.
        const long long x0 = std::max<long long>(monitor.x, 0);
        const long long y0 = std::max<long long>(monitor.y, 0);
        const long long x1 =
            std::min<long long>(static_cast<long long>(monitor.x) + monitor.width, screenWidth);
        const long long y1 =
            std::min<long long>(static_cast<long long>(monitor.y) + monitor.height, screenHeight);
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
    if (usable.empty() && screenWidth > 0 && screenHeight > 0) {
        MonitorArea screen;
        screen.width = screenWidth;
        screen.height = screenHeight;
        screen.scale = ChooseScale(screenWidth, screenHeight, requestedScale);
        usable.push_back(screen);
    }
    return usable;
}
