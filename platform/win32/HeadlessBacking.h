#pragma once
// Retained window pixels with no window behind them, on Windows: a 32-bit top-down bitmap of
// the system's (a DIB section), so that the real drawing calls draw into it and the pixels can
// be read as 0x00RRGGBB words.

#include <cstdint>

#include "platform/system.h"

class HeadlessBacking {
  public:
    HeadlessBacking(int width, int height, std::uint32_t fill = 0);
    ~HeadlessBacking();
    HeadlessBacking(const HeadlessBacking&) = delete;
    HeadlessBacking& operator=(const HeadlessBacking&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The pixels, once the system has finished every drawing call on them.
    std::uint32_t* Pixels();
    bool HasPixels() const { return m_bits != nullptr; }
    int Stride() const { return m_width; }
    std::uint32_t Pixel(int x, int y) const;
    // The bitmap, for a DC to draw into it (0 when it could not be made).
    HBITMAP Bitmap() const { return m_bitmap; }

  private:
    int m_width;
    int m_height;
    HBITMAP m_bitmap = nullptr;
    std::uint32_t* m_bits = nullptr;
};
