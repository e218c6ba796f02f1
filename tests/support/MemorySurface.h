// SPDX-License-Identifier: MIT
#pragma once
// A memory DC with a bitmap of its own, for tests: made from pixel rows, or empty in either
// format. Freed with everything it holds when the surface ends.

#include <cstdint>
#include <vector>

#include "platform/gdi.h"
#include "tests/support/PixelPattern.h"

class MemorySurface {
  public:
    // A screen-format surface holding the rows' pixels.
    MemorySurface(const PixelPattern& pattern, const PixelPattern::Rows& rows);
    // An empty surface (all 0) of the screen format or monochrome.
    MemorySurface(int width, int height, bool monochrome);
    ~MemorySurface();
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;

    HDC hDC() const { return m_hDC; }
    HBITMAP Bitmap() const { return m_hBmp; }
    // Paints rows at (x, y) pixel by pixel.
    void Paint(const PixelPattern& pattern, int x, int y, const PixelPattern::Rows& rows);

  private:
    void Adopt(HBITMAP bitmap);

    HDC m_hDC = 0;
    HBITMAP m_hBmp = 0;
    HBITMAP m_hBmpOld = 0;
};
