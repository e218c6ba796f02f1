// SPDX-License-Identifier: MIT
#include "scene/cRedrawPlan.h"

#include <algorithm>

cRedrawPlan::cRedrawPlan(std::size_t count) : m_drawn(count), m_redraw(count, 0) {
    m_touched.reserve(2 * count);
    m_waiting.reserve(count);
}

Rect cRedrawPlan::RectOf(const Placement& placement) {
    return Rect{placement.x, placement.y, placement.width, placement.height};
}

void cRedrawPlan::Plan(const std::vector<Placement>& next) {
    const std::size_t count = std::min(next.size(), m_drawn.size());
    m_waiting.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const Placement& now = next[i];
        const Placement& before = m_drawn[i];
        const bool same = before.active && before.x == now.x && before.y == now.y &&
                          before.width == now.width && before.height == now.height &&
                          before.cell == now.cell;
        m_redraw[i] = now.active && !same;
        if (now.active && same)
            m_waiting.push_back(i);
    }
    if (m_waiting.empty())
        return;

    // Only rectangles near the sprites that wait can reach them: the box around those first
    // (it ends at the edge of the rectangles' plane, a billion pixels out, where nothing is drawn).
    Rect around;
    for (std::size_t i : m_waiting)
        around = around.Union(RectOf(next[i]));
    m_touched.clear();
    for (std::size_t i = 0; i < count; ++i) {
        if (!m_redraw[i])
            continue;
        const Rect now = RectOf(next[i]);
        if (now.Overlaps(around))
            m_touched.push_back(now);
        if (m_drawn[i].active) {
            const Rect before = RectOf(m_drawn[i]);
            if (before.Overlaps(around))
                m_touched.push_back(before);
        }
    }

    // A waiting sprite that a redrawn one touches is redrawn too, and may reach further ones.
    bool grew = !m_touched.empty();
    while (grew) {
        grew = false;
        for (auto it = m_waiting.begin(); it != m_waiting.end();) {
            const Rect box = RectOf(next[*it]);
            const bool touched =
                std::any_of(m_touched.begin(), m_touched.end(),
                            [&](const Rect& other) { return box.Overlaps(other); });
            if (touched) {
                m_redraw[*it] = 1;
                m_touched.push_back(box);
                it = m_waiting.erase(it);
                grew = true;
            } else {
                ++it;
            }
        }
    }
}

void cRedrawPlan::Commit(const std::vector<Placement>& next) {
    const std::size_t count = std::min(next.size(), m_drawn.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (m_redraw[i])
            m_drawn[i] = next[i];
    }
}

void cRedrawPlan::Forget() {
    std::fill(m_drawn.begin(), m_drawn.end(), Placement{});
    std::fill(m_redraw.begin(), m_redraw.end(), 0);
}
