#include "gfx/mGDI.h"

Boolean CreateDCAtSize(Boolean bMonochrome, HDC& hDC, HBITMAP& hBmp, HBITMAP& hBmpOld, Long lWidth,
                       Long lHeight) {
    hDC = 0;
    hBmp = 0;
    hBmpOld = 0;
    Boolean result = kFalse;

    HWND hDesktop = 0;
    HDC hReference = 0;
    if (!bMonochrome) {
        hDesktop = GetDesktopWindow();
        hReference = GetDC(hDesktop);
    }
    const HDC hDesktopDC = hReference;
    hDC = CreateCompatibleDC(hReference);
    // A monochrome surface takes the format of the new DC's own 1 x 1 bitmap.
    if (bMonochrome)
        hReference = hDC;
    if (hDC != 0)
        hBmp = CreateCompatibleBitmap(hReference, lWidth, lHeight);
    if (hBmp != 0) {
        hBmpOld = static_cast<HBITMAP>(SelectObject(hDC, hBmp));
        result = kTrue;
    }
    if (!bMonochrome)
        ReleaseDC(hDesktop, hDesktopDC);
    return result;
}

Boolean CreateDCFromFile(Boolean bMonochrome, const std::string& sFilename, HDC& hDC, HBITMAP& hBmp,
                         HBITMAP& hBmpOld) {
    hDC = 0;
    hBmp = 0;
    hBmpOld = 0;
    hBmp =
        static_cast<HBITMAP>(LoadImageA(0, sFilename.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (hBmp == 0)
        return kFalse;

    Boolean result = kFalse;
    HWND hDesktop = 0;
    HDC hReference = 0;
    if (!bMonochrome) {
        hDesktop = GetDesktopWindow();
        hReference = GetDC(hDesktop);
    }
    hDC = CreateCompatibleDC(hReference);
    if (hDC != 0) {
        hBmpOld = static_cast<HBITMAP>(SelectObject(hDC, hBmp));
        result = kTrue;
    } else {
        // No DC to hold it: DestroyDC would never free it, so it goes now.
        DeleteObject(hBmp);
        hBmp = 0;
    }
    if (!bMonochrome)
        ReleaseDC(hDesktop, hReference);
    return result;
}

Boolean CreateDCFromPicture(Boolean bMonochrome, const PictureObject& oPic, HDC& hDC, HBITMAP& hBmp,
                            HBITMAP& hBmpOld) {
    hDC = 0;
    hBmp = 0;
    hBmpOld = 0;
    Boolean result = kFalse;

    HWND hDesktop = 0;
    HDC hReference = 0;
    if (!bMonochrome) {
        hDesktop = GetDesktopWindow();
        hReference = GetDC(hDesktop);
    }
    const HDC hDesktopDC = hReference;
    const HDC hTempDC = CreateCompatibleDC(hReference);
    if (hTempDC != 0) {
        if (bMonochrome)
            hReference = hTempDC;
        const HGDIOBJ hKept = SelectObject(hTempDC, oPic.Handle());
        // A picture whose bitmap cannot be selected (none, or held by another DC) is not copied.
        if (hKept != 0)
            hDC = CreateCompatibleDC(hReference);
        if (hDC != 0) {
            BITMAP record{};
            GetObjectA(oPic.Handle(), sizeof record, &record);
            hBmp = CreateCompatibleBitmap(hReference, record.bmWidth, record.bmHeight);
            if (hBmp != 0) {
                hBmpOld = static_cast<HBITMAP>(SelectObject(hDC, hBmp));
                BitBlt(hDC, 0, 0, record.bmWidth, record.bmHeight, hTempDC, 0, 0, SRCCOPY);
                result = kTrue;
            }
        }
        if (hKept != 0)
            SelectObject(hTempDC, hKept);
        DeleteObject(hTempDC);
    }
    if (!bMonochrome)
        ReleaseDC(hDesktop, hDesktopDC);
    return result;
}

void DestroyDC(HDC& hDC, HBITMAP& hBmp, HBITMAP hBmpOld) {
    if (hDC == 0)
        return;
    if (hBmp != 0) {
        SelectObject(hDC, hBmpOld);
        DeleteObject(hBmp);
        hBmp = 0;
    }
    DeleteObject(hDC);
    hDC = 0;
}
