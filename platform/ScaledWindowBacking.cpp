// SPDX-License-Identifier: MIT
#include "platform/ScaledWindowBacking.h"

#include <algorithm>
#include <cstring>

#include "platform/Rect.h"

ScaledWindowBacking::ScaledWindowBacking(std::shared_ptr<WindowBacking> device, int scale)
    : m_device(std::move(device)), m_scale(std::clamp(scale, 1, 4)) {
    m_width = (m_device->Width() + m_scale - 1) / m_scale;
    m_height = (m_device->Height() + m_scale - 1) / m_scale;
    m_pixels.assign(static_cast<std::size_t>(m_width) * m_height, 0u);
}

void ScaledWindowBacking::Present(int x, int y, int w, int h) {
    // The rectangle on the device, clipped to it (the last composed row and column may reach
    // past the device's edge).
    const std::int64_t s = m_scale;
    const Rect area =
        Rect::FromEdges(x * s, y * s, (std::int64_t{x} + w) * s, (std::int64_t{y} + h) * s)
            .ClipTo(m_device->Width(), m_device->Height());
    if (area.Empty())
        return;
    const int left = area.x;
    const int top = area.y;
    const int width = area.width;
    const int height = area.height;
    m_device->PrepareWrite(left, top, width, height, false);

    std::uint32_t* device = m_device->Pixels();
    const std::size_t stride = static_cast<std::size_t>(m_device->Stride());
    for (int row = top; row < top + height;) {
        std::uint32_t* out = device + static_cast<std::size_t>(row) * stride;
        const std::uint32_t* in =
            m_pixels.data() + static_cast<std::size_t>(row / m_scale) * m_width;
        // One device row from the composed row, then copies of it for the rest of the block.
        for (int column = left; column < left + width;) {
            const std::uint32_t colour = in[column / m_scale];
            const int end = std::min(left + width, (column / m_scale + 1) * m_scale);
            for (; column < end; ++column)
                out[column] = colour;
        }
        const int blockEnd = std::min(top + height, (row / m_scale + 1) * m_scale);
        for (int copy = row + 1; copy < blockEnd; ++copy) {
            std::memcpy(device + static_cast<std::size_t>(copy) * stride + left, out + left,
                        static_cast<std::size_t>(width) * sizeof(std::uint32_t));
        }
        row = blockEnd;
    }
    m_device->Present(left, top, width, height);
}

void ScaledWindowBacking::PrepareWrite(int, int, int, int, bool) {
    Retain();
}

bool ScaledWindowBacking::DeferPush(const PushSource& source, int scale, int x, int y, int w,
                                    int h) {
    const bool same = m_showing && source.pixels == m_source.pixels &&
                      source.stride == m_source.stride && scale == 1;
    const bool whole = scale == 1 && x <= 0 && y <= 0 && std::int64_t{x} + w >= m_width &&
                       std::int64_t{y} + h >= m_height;
    if (!same && !whole)
        return false;
    if (!m_device->DeferPush(source, m_scale, x, y, w, h))
        return false;
    m_source = source;
    m_showing = true;
    return true;
}

bool ScaledWindowBacking::Shows(const std::uint32_t* pixels) const {
    return m_showing && m_source.pixels == pixels;
}

void ScaledWindowBacking::Retain() {
    if (!m_showing)
        return;
    m_showing = false;
    const int rows = std::min(m_height, m_source.height);
    const int columns = std::min(m_width, m_source.width);
    for (int row = 0; row < rows; ++row) {
        std::memcpy(m_pixels.data() + static_cast<std::size_t>(row) * m_width,
                    m_source.pixels + static_cast<std::ptrdiff_t>(row) * m_source.stride,
                    static_cast<std::size_t>(columns) * sizeof(std::uint32_t));
    }
    m_device->Retain();
}
