#include "platform/ScaledWindowBacking.h"

#include <algorithm>
#include <cstring>

ScaledWindowBacking::ScaledWindowBacking(std::shared_ptr<WindowBacking> device, int scale)
    : m_device(std::move(device)), m_scale(std::clamp(scale, 1, 4)) {
    m_width = (m_device->Width() + m_scale - 1) / m_scale;
    m_height = (m_device->Height() + m_scale - 1) / m_scale;
    m_pixels.assign(static_cast<std::size_t>(m_width) * m_height, 0u);
}

void ScaledWindowBacking::Present(int x, int y, int w, int h) {
    // The rectangle on the device, clipped to it (the last composed row and column may reach
    // past the device's edge).
    const long long s = m_scale;
    const long long dx0 = std::max(0LL, x * s);
    const long long dy0 = std::max(0LL, y * s);
    const long long dx1 =
        std::min<long long>(m_device->Width(), (static_cast<long long>(x) + w) * s);
    const long long dy1 =
        std::min<long long>(m_device->Height(), (static_cast<long long>(y) + h) * s);
    if (dx1 <= dx0 || dy1 <= dy0)
        return;
    const int left = static_cast<int>(dx0);
    const int top = static_cast<int>(dy0);
    const int width = static_cast<int>(dx1 - dx0);
    const int height = static_cast<int>(dy1 - dy0);
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
