// SPDX-License-Identifier: MIT
#pragma once
// An off-screen drawing surface: one memory DC with one bitmap, made empty at a size, loaded
// from a bitmap file or copied from a picture, and copied onto any DC with a raster operation.

#include <cstdint>
#include <string>

#include "platform/gdi.h"

class cBitmap {
  public:
    cBitmap() = default;
    ~cBitmap();
    cBitmap(const cBitmap&) = delete;
    cBitmap& operator=(const cBitmap&) = delete;

    // An empty surface of the screen's format (content undefined until drawn into).
    Boolean CreateAtSize(Long lDX, Long lDY);
    // The picture of a bitmap file; false (and hDC() 0) for a missing or unreadable file.
    Boolean CreateFromFile(const std::string& sBitmapBitmap);
    // A copy of a picture, in the screen's format.
    Boolean CreateFromPicture(const PictureObject& picThis);

    // The size of the last create that succeeded (a failed create or teardown keeps it).
    Long Width() const { return m_lWidth; }
    Long Height() const { return m_lHeight; }
    // The surface's DC, lent to the caller until the next create or the object's end.
    HDC hDC() const { return m_hDC; }

    // Copies the whole bitmap onto a DC with its top-left corner at (lX, lY).
    void RenderBitmap(HDC lHDC, Long lX, Long lY, std::uint32_t OpCode);

  private:
    void ClearUp();
    void ReadSize();

    HDC m_hDC = 0;
    HBITMAP m_hBmp = 0;
    HBITMAP m_hBmpOld = 0;
    Long m_lWidth = 0;
    Long m_lHeight = 0;
};
