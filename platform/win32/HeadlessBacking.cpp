#include "platform/win32/HeadlessBacking.h"

#include <algorithm>

HeadlessBacking::HeadlessBacking(int width, int height, std::uint32_t fill)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (m_bitmap == nullptr)
        return;
    m_bits = static_cast<std::uint32_t*>(bits);
    std::fill_n(m_bits, static_cast<size_t>(m_width) * m_height, fill);
}

HeadlessBacking::~HeadlessBacking() {
    if (m_bitmap != nullptr)
        DeleteObject(m_bitmap);
}

std::uint32_t* HeadlessBacking::Pixels() {
    GdiFlush();
    return m_bits;
}

std::uint32_t HeadlessBacking::Pixel(int x, int y) const {
    if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    GdiFlush();
    return m_bits[static_cast<size_t>(y) * m_width + x] & 0xFFFFFF;
}
