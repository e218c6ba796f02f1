// SPDX-License-Identifier: MIT
// The pictures built in memory and the pixel reads of the graphics helpers, with the system's
// drawing calls.

#include <algorithm>
#include <vector>

#include "platform/gdi.h"

namespace {

// A 32-bit top-down bitmap of the system's, with a pointer to its pixels.
HBITMAP MakeDib(int width, int height, std::uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<std::uint32_t*>(pixels);
    return bitmap;
}

// The size of what a DC draws on: its bitmap, or its window's client area.
bool SurfaceSize(HDC hDC, int& width, int& height) {
    HGDIOBJ bitmap = GetCurrentObject(hDC, OBJ_BITMAP);
    BITMAP record{};
    if (bitmap != nullptr && GetObjectA(bitmap, sizeof record, &record) == sizeof record &&
        record.bmWidth > 1) {
        width = record.bmWidth;
        height = record.bmHeight;
        return true;
    }
    HWND window = WindowFromDC(hDC);
    RECT client{};
    if (window != nullptr && GetClientRect(window, &client)) {
        width = client.right;
        height = client.bottom;
        return true;
    }
    if (bitmap != nullptr && record.bmWidth == 1) {
        width = height = 1;
        return true;
    }
    return false;
}

}  // namespace

namespace gdi {

HBITMAP CreateBitmapFromPixels(int width, int height, const std::uint32_t* pixels, int stride) {
    if (width <= 0 || height <= 0 || pixels == nullptr || stride < width)
        return nullptr;
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = MakeDib(width, height, &bits);
    if (bitmap == nullptr)
        return nullptr;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<size_t>(y) * stride;
        std::transform(row, row + width, bits + static_cast<size_t>(y) * width,
                       [](std::uint32_t p) { return p & 0xFFFFFF; });
    }
    return bitmap;
}

bool ReadPixels(HDC hDC, int x, int y, int width, int height, std::uint32_t* out) {
    if (hDC == nullptr || out == nullptr || width <= 0 || height <= 0 || x < 0 || y < 0)
        return false;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    if (!SurfaceSize(hDC, surfaceWidth, surfaceHeight))
        return false;
    if (x > surfaceWidth - width || y > surfaceHeight - height)
        return false;
    // Copied into a colour bitmap by the system: a monochrome source gives the new DC's
    // background (white) for 1 and its text colour (black) for 0.
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = MakeDib(width, height, &bits);
    if (bitmap == nullptr)
        return false;
    HDC copy = CreateCompatibleDC(nullptr);
    bool ok = false;
    if (copy != nullptr) {
        HGDIOBJ old = SelectObject(copy, bitmap);
        SetBkColor(copy, RGB(255, 255, 255));
        SetTextColor(copy, RGB(0, 0, 0));
        ok = BitBlt(copy, 0, 0, width, height, hDC, x, y, SRCCOPY) != FALSE;
        GdiFlush();
        if (ok) {
            std::transform(bits, bits + static_cast<size_t>(width) * height, out,
                           [](std::uint32_t p) { return p & 0xFFFFFF; });
        }
        SelectObject(copy, old);
        DeleteDC(copy);
    }
    DeleteObject(bitmap);
    return ok;
}

int LiveObjectCount() {
    return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
}

}  // namespace gdi
