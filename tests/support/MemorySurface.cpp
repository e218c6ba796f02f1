// SPDX-License-Identifier: MIT
#include "tests/support/MemorySurface.h"

#include <stdexcept>

MemorySurface::MemorySurface(const PixelPattern& pattern, const PixelPattern::Rows& rows) {
    const std::vector<std::uint32_t> pixels = pattern.Pixels(rows);
    const int width = static_cast<int>(rows.front().size());
    Adopt(gdi::CreateBitmapFromPixels(width, static_cast<int>(rows.size()), pixels.data(), width));
}

MemorySurface::MemorySurface(int width, int height, bool monochrome) {
    const HDC reference = monochrome ? CreateCompatibleDC(0) : GetDC(GetDesktopWindow());
    const HBITMAP bitmap = CreateCompatibleBitmap(reference, width, height);
    if (monochrome) {
        DeleteDC(reference);
    } else {
        ReleaseDC(GetDesktopWindow(), reference);
    }
    Adopt(bitmap);
}

MemorySurface::~MemorySurface() {
    SelectObject(m_hDC, m_hBmpOld);
    DeleteDC(m_hDC);
    DeleteObject(m_hBmp);
}

void MemorySurface::Adopt(HBITMAP bitmap) {
    if (bitmap == 0)
        throw std::runtime_error("test surface not made");
    m_hBmp = bitmap;
    m_hDC = CreateCompatibleDC(0);
    m_hBmpOld = static_cast<HBITMAP>(SelectObject(m_hDC, m_hBmp));
}

void MemorySurface::Paint(const PixelPattern& pattern, int x, int y,
                          const PixelPattern::Rows& rows) {
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        for (int i = 0; i < static_cast<int>(rows[row].size()); ++i) {
            const std::uint32_t pixel = pattern.Colour(rows[row][i]);
            SetPixel(m_hDC, x + i, y + row,
                     RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
        }
    }
}
