// SPDX-License-Identifier: MIT
#pragma once
// Retained window pixels with no screen behind them: what the snapshot tool and the tests draw
// into, and what a window keeps until it has a screen. One class on every system; only how the
// pixels are held differs (the nested Memory, defined beside each system's drawing calls:
// platform/winapi/ on Linux, fresh zeroed pages; platform/win32/ on Windows, a bitmap of the
// system's that its drawing calls draw into). It counts what would have been pushed.

#include <cstdint>
#include <memory>

#include "platform/WindowBacking.h"
#include "platform/system.h"

class HeadlessBacking : public WindowBacking {
  public:
    HeadlessBacking(int width, int height, std::uint32_t fill = 0);
    ~HeadlessBacking() override;
    HeadlessBacking(const HeadlessBacking&) = delete;
    HeadlessBacking& operator=(const HeadlessBacking&) = delete;

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    int Stride() const override { return m_width; }
    // The pixels, made on first use (a window that is never drawn on while it has no screen
    // behind it costs no memory) and current with every drawing call made so far; null when
    // they cannot be made.
    std::uint32_t* Pixels() override;
    bool HasPixels() const;
    // A pixel as 0x00RRGGBB: the fill colour before the pixels are made, 0 outside.
    std::uint32_t Pixel(int x, int y) const;
    void Present(int x, int y, int w, int h) override;

    // Where the system's own drawing calls draw into the pixels: the bitmap to select into a
    // memory DC (Windows). The stand-in's windows reach Pixels() directly and have none (0).
    HBITMAP Bitmap();

    long long PresentCount() const { return m_presents; }
    long long PresentedArea() const { return m_presentedArea; }

  private:
    // How the system holds the pixels, and the three things done with them.
    struct Memory;
    struct MemoryDeleter {
        void operator()(Memory* memory) const;
    };
    static Memory* MakeMemory(int width, int height, std::uint32_t fill);
    // Current with every drawing call made so far.
    static std::uint32_t* PixelsOf(Memory& memory);
    static HBITMAP BitmapOf(const Memory& memory);
    Memory* EnsureMemory();

    int m_width;
    int m_height;
    std::uint32_t m_fill;
    std::unique_ptr<Memory, MemoryDeleter> m_memory;
    long long m_presents = 0;
    long long m_presentedArea = 0;
};
