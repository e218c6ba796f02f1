// SPDX-License-Identifier: MIT
#pragma once
// The drawing calls the graphics library rests on, with the Win32 names and semantics: on Windows
// the system's own, elsewhere our stand-in (platform/winapi/). Beside them, what every backend
// provides the same way: the screen's metrics, what a tiled background draws onto, picture
// objects and a few helpers for pictures built in memory.

#include <cstdint>
#include <memory>

#include "platform/system.h"
#include "platform/types.h"

// The screen, as the windowing layer reports it (sizes in twips).
struct ScreenMetrics {
    Long widthTwips;
    Long heightTwips;
    Long twipsPerPixelX;
    Long twipsPerPixelY;
};
ScreenMetrics GetScreenMetrics();

// Anything the tiled background can be drawn onto: a form or a picture box.
class RenderObject {
  public:
    virtual ~RenderObject() = default;
    virtual float ScaleWidth() = 0;   // inner width in twips
    virtual float ScaleHeight() = 0;  // inner height in twips
    virtual HDC hDC() = 0;
};

// A picture object: holds a bitmap (what the windowing layer gives a picture box, or a picture
// built in memory) and exposes its handle. It owns the bitmap and frees it when destroyed.
class PictureObject {
  public:
    PictureObject() = default;
    explicit PictureObject(HBITMAP owned) : m_hBitmap(owned) {}
    ~PictureObject();
    PictureObject(const PictureObject&) = delete;
    PictureObject& operator=(const PictureObject&) = delete;

    // A picture holding a copy of 0x00RRGGBB pixels (rows from the top, stride in pixels).
    static std::shared_ptr<PictureObject> FromPixels(int width, int height,
                                                     const std::uint32_t* pixels, int stride);
    HBITMAP Handle() const { return m_hBitmap; }

  private:
    HBITMAP m_hBitmap = 0;
};

namespace gdi {

// A new screen-format bitmap holding a copy of the pixels (0x00RRGGBB); 0 on failure.
HBITMAP CreateBitmapFromPixels(int width, int height, const std::uint32_t* pixels, int stride);

// Copies a rectangle of the surface selected into a DC as 0x00RRGGBB (monochrome: 1 gives
// 0xFFFFFF, 0 gives 0). False when the DC is unknown or the rectangle is not inside it.
bool ReadPixels(HDC hDC, int x, int y, int width, int height, std::uint32_t* out);

// Objects made and not yet freed (DCs, bitmaps, windows); for leak checks.
int LiveObjectCount();

}  // namespace gdi
