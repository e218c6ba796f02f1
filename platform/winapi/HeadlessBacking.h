#pragma once
// Retained window pixels with no X window behind them: what the snapshot tool and the tests
// draw into. It counts what would have been pushed to the screen.

#include <cstddef>
#include <vector>

#include "platform/winapi/PixelAllocator.h"
#include "platform/winapi/WindowBacking.h"

class HeadlessBacking : public WindowBacking {
  public:
    HeadlessBacking(int width, int height, std::uint32_t fill = 0);

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    // The pixels are made on first use: a window that is never drawn on while it has no screen
    // behind it costs no memory.
    std::uint32_t* Pixels() override;
    bool HasPixels() const { return !m_pixels.empty(); }
    int Stride() const override { return m_width; }
    void Present(int x, int y, int w, int h) override;

    std::uint32_t Pixel(int x, int y) const {
        return m_pixels.empty() ? m_fill : m_pixels[static_cast<size_t>(y) * m_width + x];
    }
    long long PresentCount() const { return m_presents; }
    long long PresentedArea() const { return m_presentedArea; }

  private:
    int m_width;
    int m_height;
    std::uint32_t m_fill;
    std::vector<std::uint32_t, PixelAllocator<std::uint32_t>> m_pixels;  // as the real screen
    long long m_presents = 0;
    long long m_presentedArea = 0;
};
