// SPDX-License-Identifier: MIT
#pragma once
// Our stand-in for the drawing operations of the Win32 API, with their names and semantics, where
// the system has none (Linux): built only there; on Windows the system's own are used.
// The drawing operations the graphics library rests on:
// memory device contexts (DCs) with bitmaps selected into them, block transfers with raster
// operations, bitmap files, and DCs of windows.
//
// Handles are plain 32-bit values, 0 means none. Objects live in handle tables: a stale or
// unknown handle makes a call fail softly (0 or FALSE) and never touches freed memory.
//
// Two pixel formats: the screen format (32 bits per pixel, 0x00RRGGBB as the X visual wants it)
// and monochrome (1 bit per pixel as far as callers can tell). A new memory DC holds a 1 x 1
// monochrome bitmap and has background colour white and text colour black.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/types.h"

class WindowBacking;

using HDC = std::int32_t;
using HBITMAP = std::int32_t;
using HGDIOBJ = std::int32_t;
using HWND = std::int32_t;
using HANDLE = std::int32_t;
using HINSTANCE = std::int32_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR: red in the low byte
using BOOL = std::int32_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Raster operations.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;    // source
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;   // destination OR source
inline constexpr std::uint32_t SRCAND = 0x008800C6;     // destination AND source
inline constexpr std::uint32_t SRCINVERT = 0x00660046;  // destination XOR source
inline constexpr std::uint32_t WHITENESS = 0x00FF0062;  // all bits 1; the source is not read

// LoadImageA
inline constexpr std::uint32_t IMAGE_BITMAP = 0;
inline constexpr std::uint32_t LR_LOADFROMFILE = 0x10;

constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

// The platform's 24-byte bitmap record (GetObjectA). The library reads only width and height.
struct BITMAP {
    std::int32_t bmType;
    std::int32_t bmWidth;
    std::int32_t bmHeight;
    std::int32_t bmWidthBytes;
    std::uint16_t bmPlanes;
    std::uint16_t bmBitsPixel;  // 32 for the screen format, 1 for monochrome
    std::int32_t bmBits;        // always 0: the pixels are not exposed
};
static_assert(sizeof(BITMAP) == 24);

HWND GetDesktopWindow();
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
HDC CreateCompatibleDC(HDC hDC);
HBITMAP CreateCompatibleBitmap(HDC hDC, int width, int height);
HGDIOBJ SelectObject(HDC hDC, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
BOOL DeleteDC(HDC hDC);
HANDLE LoadImageA(HINSTANCE instance, const char* name, std::uint32_t type, int cx, int cy,
                  std::uint32_t flags);
int GetObjectA(HGDIOBJ object, int size, void* record);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy,
            std::uint32_t rop);
COLORREF SetBkColor(HDC hDC, COLORREF colour);
COLORREF SetTextColor(HDC hDC, COLORREF colour);
COLORREF GetPixel(HDC hDC, int x, int y);  // CLR_INVALID outside the surface
BOOL SetPixel(HDC hDC, int x, int y, COLORREF colour);
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

namespace gdi {

// Windows. A registered window gets a handle whose GetDC draws into the backing's retained
// pixels and presents each changed rectangle. Unregistering makes its DCs stale.
HWND RegisterWindow(std::shared_ptr<WindowBacking> backing);
void ReplaceWindowBacking(HWND hWnd, std::shared_ptr<WindowBacking> backing);
void UnregisterWindow(HWND hWnd);
std::shared_ptr<WindowBacking> WindowBackingOf(HWND hWnd);

// GetDC of a handle that is not ours (a host's window) asks this resolver for a backing; a
// resolver that returns null (or none installed) makes GetDC fail with 0.
void SetForeignWindowResolver(std::function<std::shared_ptr<WindowBacking>(HWND)> resolver);

}  // namespace gdi
