#include "platform/winapi/HeadlessBacking.h"

#include <algorithm>

HeadlessBacking::HeadlessBacking(int width, int height, std::uint32_t fill)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_fill(fill) {}

std::uint32_t* HeadlessBacking::Pixels() {
    if (m_pixels.empty() && m_width > 0 && m_height > 0)
        m_pixels.assign(static_cast<size_t>(m_width) * m_height, m_fill);
    return m_pixels.data();
}

void HeadlessBacking::Present(int, int, int w, int h) {
    ++m_presents;
    m_presentedArea += static_cast<long long>(w) * h;
}
