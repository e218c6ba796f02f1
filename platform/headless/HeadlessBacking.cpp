// SPDX-License-Identifier: MIT
#include "platform/headless/HeadlessBacking.h"

#include <algorithm>

HeadlessBacking::HeadlessBacking(int width, int height, std::uint32_t fill)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_fill(fill) {}

HeadlessBacking::~HeadlessBacking() = default;

HeadlessBacking::Memory* HeadlessBacking::EnsureMemory() {
    if (!m_memory && m_width > 0 && m_height > 0)
        m_memory.reset(MakeMemory(m_width, m_height, m_fill));
    return m_memory.get();
}

std::uint32_t* HeadlessBacking::Pixels() {
    Memory* memory = EnsureMemory();
    return memory != nullptr ? PixelsOf(*memory) : nullptr;
}

bool HeadlessBacking::HasPixels() const {
    return m_memory != nullptr;
}

std::uint32_t HeadlessBacking::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    if (!m_memory)
        return m_fill & 0x00FFFFFF;
    const std::uint32_t* pixels = PixelsOf(*m_memory);
    return pixels[static_cast<std::size_t>(y) * m_width + x] & 0x00FFFFFF;
}

void HeadlessBacking::Present(int, int, int w, int h) {
    ++m_presents;
    m_presentedArea += static_cast<long long>(w) * h;
}

HBITMAP HeadlessBacking::Bitmap() {
    Memory* memory = EnsureMemory();
    return memory != nullptr ? BitmapOf(*memory) : HBITMAP{};
}
