// SPDX-License-Identifier: MIT
// Block transfers with arbitrary positions, sizes, raster operations and formats on small
// surfaces (colour and monochrome bitmaps, a window), compared pixel by pixel with a slow model
// written from the documented rules:
//   - the destination rectangle is clipped to the destination, and pixels that would come from
//     outside the source are left as they are; nothing outside that changes, on any surface;
//   - colour into monochrome gives 1 where the source equals the source DC's background colour;
//     monochrome into colour gives the destination DC's background colour for 1, text for 0;
//   - the source is read as it was before the transfer, also when it overlaps the destination;
//   - unknown, stale or surfaceless DCs and unknown raster operations fail and change nothing;
//   - a window is told exactly the rectangle that changed.
// At the end every object is freed and the handle tables are as before.

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/gdi.h"
#include "platform/headless/HeadlessBacking.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

constexpr std::uint32_t kWhite = 0x00FFFFFF;

// A COLORREF (red in the low byte) as a pixel (red in the third byte).
std::uint32_t PixelOf(COLORREF colour) {
    const std::uint32_t red = colour & 0xFF;
    const std::uint32_t green = (colour >> 8) & 0xFF;
    const std::uint32_t blue = (colour >> 16) & 0xFF;
    return (red << 16) | (green << 8) | blue;
}

// One surface and what the model says it holds (monochrome: 0 or white).
struct Model {
    HDC dc = 0;
    HBITMAP bitmap = 0;
    HBITMAP previous = 0;
    HWND window = 0;
    std::shared_ptr<HeadlessBacking> backing;
    bool mono = false;
    int width = 0;
    int height = 0;
    COLORREF background = RGB(255, 255, 255);
    COLORREF text = RGB(0, 0, 0);
    std::vector<std::uint32_t> pixels;
    std::uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

int Coordinate(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 15)) {
        case 0:
            return INT_MIN;
        case 1:
            return INT_MAX;
        case 2:
            return in.ConsumeIntegral<int>();
        default:
            return in.ConsumeIntegralInRange(-20, 20);
    }
}

std::uint32_t RasterOperation(FuzzedDataProvider& in) {
    static constexpr std::uint32_t kKnown[] = {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, WHITENESS};
    const int pick = in.ConsumeIntegralInRange(0, 5);
    return pick < 5 ? kKnown[pick] : in.ConsumeIntegral<std::uint32_t>();
}

void CheckSurface(Model& m) {
    std::vector<std::uint32_t> actual(m.pixels.size());
    Check(gdi::ReadPixels(m.dc, 0, 0, m.width, m.height, actual.data()));
    Check(actual == m.pixels);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int baseline = gdi::LiveObjectCount();
    FuzzedDataProvider in(data, size);

    // Two to four surfaces of up to 12 x 12 pixels, with random contents.
    std::vector<Model> surfaces(in.ConsumeIntegralInRange(2, 4));
    bool haveWindow = false;
    for (Model& m : surfaces) {
        m.width = in.ConsumeIntegralInRange(1, 12);
        m.height = in.ConsumeIntegralInRange(1, 12);
        const int kind = in.ConsumeIntegralInRange(0, 2);
        if (kind == 2 && !haveWindow) {
            haveWindow = true;
            m.backing = std::make_shared<HeadlessBacking>(m.width, m.height);
            m.window = gdi::RegisterWindow(m.backing);
            m.dc = GetDC(m.window);
        } else {
            m.mono = kind == 1;
            m.dc = CreateCompatibleDC(0);
            // A new memory DC holds a monochrome bitmap: a bitmap compatible with it is one too.
            m.bitmap = CreateCompatibleBitmap(m.mono ? m.dc : GetDC(0), m.width, m.height);
            m.previous = SelectObject(m.dc, m.bitmap);
        }
        Check(m.dc != 0);
        m.pixels.assign(static_cast<size_t>(m.width) * m.height, 0);
        for (int y = 0; y < m.height; ++y) {
            for (int x = 0; x < m.width; ++x) {
                const COLORREF colour = in.ConsumeIntegralInRange(0, 3) == 0
                                            ? RGB(0, 255, 0)
                                            : in.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF;
                Check(SetPixel(m.dc, x, y, colour) == TRUE);
                const std::uint32_t pixel = PixelOf(colour);
                if (m.mono) {
                    const unsigned sum = (pixel & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel >> 16);
                    m.At(x, y) = sum >= 383 ? kWhite : 0;
                } else {
                    m.At(x, y) = pixel;
                }
            }
        }
        CheckSurface(m);
    }
    // DCs without a surface: a fresh one (its stock bitmap), a freed one, one never made.
    const HDC bare = CreateCompatibleDC(0);
    const HDC freed = CreateCompatibleDC(0);
    DeleteDC(freed);
    const HDC unknown = static_cast<HDC>(0x10000000 | in.ConsumeIntegralInRange(1, 0xFFFF));

    const int operations = in.ConsumeIntegralInRange(1, 24);
    for (int op = 0; op < operations && in.remaining_bytes() > 0; ++op) {
        const int what = in.ConsumeIntegralInRange(0, 9);
        const size_t d = in.ConsumeIntegralInRange<size_t>(0, surfaces.size() - 1);
        if (what == 0) {
            const COLORREF colour = in.ConsumeIntegral<std::uint32_t>();
            const COLORREF before = SetBkColor(surfaces[d].dc, colour);
            Check(before == surfaces[d].background);
            surfaces[d].background = colour;
            continue;
        }
        if (what == 1) {
            const COLORREF colour = in.ConsumeIntegral<std::uint32_t>();
            Check(SetTextColor(surfaces[d].dc, colour) == surfaces[d].text);
            surfaces[d].text = colour;
            continue;
        }
        const int x = Coordinate(in);
        const int y = Coordinate(in);
        const int w = Coordinate(in);
        const int h = Coordinate(in);
        const int sx = Coordinate(in);
        const int sy = Coordinate(in);
        const std::uint32_t rop = RasterOperation(in);
        const int sourcePick = in.ConsumeIntegralInRange(0, 11);
        const bool badSource = sourcePick >= 9;
        const HDC badDc = sourcePick == 9 ? bare : sourcePick == 10 ? freed : unknown;
        Model& dest = surfaces[d];
        Model& src = surfaces[static_cast<size_t>(sourcePick) % surfaces.size()];
        const bool badDestination = what == 2 && in.ConsumeBool();

        const long long presentedBefore = dest.backing ? dest.backing->PresentedArea() : 0;
        const BOOL result = BitBlt(badDestination ? badDc : dest.dc, x, y, w, h,
                                   badSource ? badDc : src.dc, sx, sy, rop);

        const bool known = rop == SRCCOPY || rop == SRCPAINT || rop == SRCAND || rop == SRCINVERT ||
                           rop == WHITENESS;
        const bool readsSource = rop != WHITENESS;
        if (!known || badDestination || (readsSource && badSource)) {
            Check(result == FALSE);
        } else {
            Check(result == TRUE);
            const std::vector<std::uint32_t> source = src.pixels;  // as it was before
            long long changed = 0;
            const long long right = std::min<long long>(dest.width, static_cast<long long>(x) + w);
            const long long bottom =
                std::min<long long>(dest.height, static_cast<long long>(y) + h);
            for (long long dy = std::max(0, y); dy < bottom; ++dy) {
                for (long long dx = std::max(0, x); dx < right; ++dx) {
                    std::uint32_t& pixel = dest.At(static_cast<int>(dx), static_cast<int>(dy));
                    if (!readsSource) {
                        pixel = kWhite;
                        ++changed;
                        continue;
                    }
                    const long long px = sx + (dx - x);
                    const long long py = sy + (dy - y);
                    if (px < 0 || py < 0 || px >= src.width || py >= src.height)
                        continue;
                    std::uint32_t value = source[static_cast<size_t>(py * src.width + px)];
                    if (dest.mono && !src.mono)
                        value = value == PixelOf(src.background) ? kWhite : 0;
                    else if (!dest.mono && src.mono)
                        value = value != 0 ? PixelOf(dest.background) : PixelOf(dest.text);
                    switch (rop) {
                        case SRCCOPY:
                            pixel = value;
                            break;
                        case SRCPAINT:
                            pixel |= value;
                            break;
                        case SRCAND:
                            pixel &= value;
                            break;
                        default:
                            pixel ^= value;
                            break;
                    }
                    ++changed;
                }
            }
            if (dest.backing)
                Check(dest.backing->PresentedArea() - presentedBefore == changed);
        }
        for (Model& m : surfaces)
            CheckSurface(m);
    }

    DeleteDC(bare);
    for (Model& m : surfaces) {
        if (m.window != 0) {
            ReleaseDC(m.window, m.dc);
            gdi::UnregisterWindow(m.window);
        } else {
            Check(DeleteObject(m.bitmap) == FALSE);  // still selected
            Check(SelectObject(m.dc, m.previous) == m.bitmap);
            Check(DeleteObject(m.bitmap) == TRUE);
            Check(DeleteDC(m.dc) == TRUE);
        }
    }
    Check(gdi::LiveObjectCount() == baseline);
    return 0;
}
