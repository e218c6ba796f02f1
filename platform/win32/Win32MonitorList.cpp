// SPDX-License-Identifier: MIT
#include "platform/win32/Win32MonitorList.h"

#include <algorithm>

namespace {

MonitorArea AreaOf(const RECT& rect) {
    MonitorArea area;
    area.x = static_cast<int>(rect.left);
    area.y = static_cast<int>(rect.top);
    // Wide arithmetic: the system's rectangles are trusted no more than a driver's.
    area.width = static_cast<int>(
        std::clamp<long long>(static_cast<long long>(rect.right) - rect.left, 0, 1 << 30));
    area.height = static_cast<int>(
        std::clamp<long long>(static_cast<long long>(rect.bottom) - rect.top, 0, 1 << 30));
    return area;
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        auto* found = reinterpret_cast<std::vector<Win32MonitorList::Found>*>(data);
        found->push_back({info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

BOOL CALLBACK NoteMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
    auto* layout = reinterpret_cast<Win32MonitorList::Layout*>(data);
    if (layout->count < static_cast<int>(layout->areas.size()))
        layout->areas[static_cast<size_t>(layout->count)] = *rect;
    ++layout->count;
    return TRUE;
}

}  // namespace

std::vector<MonitorArea> Win32MonitorList::FromFound(const std::vector<Found>& found,
                                                     const RECT& virtualScreen,
                                                     std::optional<int> requestedScale) {
    std::vector<MonitorArea> areas;
    for (const Found& monitor : found) {
        if (monitor.primary)
            areas.insert(areas.begin(), AreaOf(monitor.area));
        else
            areas.push_back(AreaOf(monitor.area));
    }
    return UsableMonitors(areas, AreaOf(virtualScreen), requestedScale);
}

std::vector<MonitorArea> Win32MonitorList::Query(std::optional<int> requestedScale) {
    std::vector<Found> found;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&found));
    RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (screen.right <= screen.left || screen.bottom <= screen.top)
        screen = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return FromFound(found, screen, requestedScale);
}

bool Win32MonitorList::Layout::operator==(const Layout& other) const {
    if (count != other.count)
        return false;
    const int kept = std::min(count, static_cast<int>(areas.size()));
    for (int i = 0; i < kept; ++i) {
        if (!EqualRect(&areas[static_cast<size_t>(i)], &other.areas[static_cast<size_t>(i)]))
            return false;
    }
    return true;
}

Win32MonitorList::Layout Win32MonitorList::CurrentLayout() {
    Layout layout;
    EnumDisplayMonitors(nullptr, nullptr, NoteMonitor, reinterpret_cast<LPARAM>(&layout));
    return layout;
}
