// SPDX-License-Identifier: MIT
#pragma once
// Making and freeing memory surfaces: a memory DC with a bitmap of its own selected into it,
// held by its owner as a triple of handles (DC, bitmap, the bitmap the DC held before).
//
// The routines never show a message and raise no error: success is the result, and what was made
// before a failure stays in the out-parameters for the owner to free with DestroyDC.

#include <string>

#include "platform/gdi.h"

// An empty surface of width x height. Monochrome: 1 bit per pixel; otherwise the screen's format.
Boolean CreateDCAtSize(Boolean bMonochrome, HDC& hDC, HBITMAP& hBmp, HBITMAP& hBmpOld, Long lWidth,
                       Long lHeight);

// A surface holding a bitmap file, at the file's size. A missing or unreadable file gives false
// with all three handles 0. A bitmap loaded whose DC could not be made is freed at once.
Boolean CreateDCFromFile(Boolean bMonochrome, const std::string& sFilename, HDC& hDC, HBITMAP& hBmp,
                         HBITMAP& hBmpOld);

// A surface holding a copy of a picture; the picture keeps its bitmap. Monochrome: the copy keeps
// the picture's own format; otherwise it has the screen's format.
Boolean CreateDCFromPicture(Boolean bMonochrome, const PictureObject& oPic, HDC& hDC, HBITMAP& hBmp,
                            HBITMAP& hBmpOld);

// Frees a surface made by the routines above; harmless on an empty triple (DC 0).
void DestroyDC(HDC& hDC, HBITMAP& hBmp, HBITMAP hBmpOld);
