#include "scene/cRedrawPlan.h"

#include <algorithm>

cRedrawPlan::cRedrawPlan(std::size_t count) : m_drawn(count), m_redraw(count, 0) {
    m_touched.reserve(2 * count);
    m_waiting.reserve(count);
}

cRedrawPlan::Box cRedrawPlan::BoxOf(const Placement& placement) {
    return Box{placement.x, placement.y, std::int64_t{placement.x} + placement.width,
               std::int64_t{placement.y} + placement.height};
}

bool cRedrawPlan::Overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom &&
           a.left < a.right && a.top < a.bottom && b.left < b.right && b.top < b.bottom;
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

    // Only rectangles near the sprites that wait can reach them: the box around those first.
    Box around = BoxOf(next[m_waiting.front()]);
    for (std::size_t i : m_waiting) {
        const Box box = BoxOf(next[i]);
        around.left = std::min(around.left, box.left);
        around.top = std::min(around.top, box.top);
        around.right = std::max(around.right, box.right);
        around.bottom = std::max(around.bottom, box.bottom);
    }
    m_touched.clear();
    for (std::size_t i = 0; i < count; ++i) {
        if (!m_redraw[i])
            continue;
        const Box now = BoxOf(next[i]);
        if (Overlap(now, around))
            m_touched.push_back(now);
        if (m_drawn[i].active) {
            const Box before = BoxOf(m_drawn[i]);
            if (Overlap(before, around))
                m_touched.push_back(before);
        }
    }

    // A waiting sprite that a redrawn one touches is redrawn too, and may reach further ones.
    bool grew = !m_touched.empty();
    while (grew) {
        grew = false;
        for (auto it = m_waiting.begin(); it != m_waiting.end();) {
            const Box box = BoxOf(next[*it]);
            const bool touched = std::any_of(m_touched.begin(), m_touched.end(),
                                             [&](const Box& other) { return Overlap(box, other); });
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
