// SPDX-License-Identifier: MIT
#include "platform/SceneVisibility.h"

#include <algorithm>

void SceneVisibility::SetPowerQuery(std::unique_ptr<PowerQuery> query) {
    m_query = std::move(query);
    m_asked = false;
}

void SceneVisibility::WatchWindow(std::uintptr_t window, bool seen) {
    ForgetWindow(window);
    m_windows.emplace_back(window, seen);
}

void SceneVisibility::WindowSeen(std::uintptr_t window, bool seen) {
    for (auto& entry : m_windows) {
        if (entry.first == window)
            entry.second = seen;
    }
}

void SceneVisibility::ForgetWindow(std::uintptr_t window) {
    std::erase_if(m_windows, [window](const auto& entry) { return entry.first == window; });
}

bool SceneVisibility::Seen(std::uint32_t nowMs) {
    // On the 32-bit circle of the tick count.
    if (m_query && (!m_asked || nowMs - m_askedAt >= kPollMs)) {
        m_asked = true;
        m_askedAt = nowMs;
        m_power = m_query->Query().value_or(DisplayPower::On);
    }
    if (m_power != DisplayPower::On)
        return false;
    return m_windows.empty() || std::any_of(m_windows.begin(), m_windows.end(),
                                            [](const auto& entry) { return entry.second; });
}
