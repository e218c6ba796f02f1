// SPDX-License-Identifier: MIT
#include "platform/wayland/BufferDamage.h"

#include <algorithm>

BufferDamage::BufferDamage(int width, int height)
    : m_surface(Rect::OfSize(std::max(width, 0), std::max(height, 0))) {
    for (List& missed : m_missed)
        missed.Add(m_surface);
}

std::size_t BufferDamage::Index(int buffer) {
    return static_cast<std::size_t>(std::clamp(buffer, 0, kBuffers - 1));
}

void BufferDamage::List::Add(const Rect& area) {
    // What an earlier rectangle of the list already holds adds nothing (a full repaint, or a
    // sprite that did not move).
    if (count > 0 && (rectangles[count - 1].Contains(area) || rectangles[0].Contains(area)))
        return;
    bounds = bounds.Union(area);
    if (count == rectangles.size()) {
        rectangles[0] = bounds;
        count = 1;
        return;
    }
    rectangles[count++] = area;
}

void BufferDamage::Add(const Rect& area) {
    const Rect clipped = area.Intersect(m_surface);
    if (clipped.Empty())
        return;
    for (List& missed : m_missed)
        missed.Add(clipped);
    m_sinceCommit.Add(clipped);
}

bool BufferDamage::Flush(Target& target, std::uint32_t nowMs) {
    if (!HasDamage() || m_framePending)
        return false;
    // The buffer committed last when the compositor already let go of it (it lacks only what
    // changed since), otherwise one that it let go of.
    int buffer = -1;
    for (int candidate = 0; candidate < kBuffers; ++candidate) {
        if (!m_held[Index(candidate)] && (buffer < 0 || candidate == m_lastCommitted))
            buffer = candidate;
    }
    if (buffer < 0)
        return false;
    List& missed = m_missed[Index(buffer)];
    for (std::size_t i = 0; i < missed.count; ++i)
        target.CopyToBuffer(buffer, missed.rectangles[i]);
    missed.Clear();
    for (std::size_t i = 0; i < m_sinceCommit.count; ++i)
        target.DamageBuffer(m_sinceCommit.rectangles[i]);
    m_sinceCommit.Clear();
    target.CommitBuffer(buffer);
    m_held[Index(buffer)] = true;
    m_lastCommitted = buffer;
    m_framePending = true;
    m_frameRequestedAt = nowMs;
    return true;
}

void BufferDamage::BufferReleased(int buffer) {
    if (buffer >= 0 && buffer < kBuffers)
        m_held[Index(buffer)] = false;
}

void BufferDamage::FrameShown() {
    m_framePending = false;
}

bool BufferDamage::UnseenFor(std::uint32_t nowMs, std::uint32_t ms) const {
    // On the 32-bit circle of the tick count.
    return m_framePending && nowMs - m_frameRequestedAt >= ms;
}
