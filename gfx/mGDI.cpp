// SPDX-License-Identifier: MIT
#include "gfx/mGDI.h"

namespace {

// The DC a new memory surface takes its format from: for the screen format the desktop's,
// borrowed from the desktop window for as long as this lives; for monochrome none (0), since a
// new DC's own 1 x 1 bitmap is monochrome.
class FormatReference {
  public:
    explicit FormatReference(Boolean bMonochrome) {
        if (!bMonochrome) {
            m_hDesktop = GetDesktopWindow();
            m_hDC = GetDC(m_hDesktop);
            m_borrowed = true;
        }
    }
    ~FormatReference() {
        if (m_borrowed)
            ReleaseDC(m_hDesktop, m_hDC);
    }
    FormatReference(const FormatReference&) = delete;
    FormatReference& operator=(const FormatReference&) = delete;

    HDC hDC() const { return m_hDC; }

  private:
    HWND m_hDesktop{};
    HDC m_hDC{};
    bool m_borrowed = false;
};

}  // namespace

Boolean CreateDCAtSize(Boolean bMonochrome, HDC& hDC, HBITMAP& hBmp, HBITMAP& hBmpOld, Long lWidth,
                       Long lHeight) {
    hDC = 0;
    hBmp = 0;
    hBmpOld = 0;
    Boolean result = kFalse;

    const FormatReference reference(bMonochrome);
    hDC = CreateCompatibleDC(reference.hDC());
    // A monochrome surface takes the format of the new DC's own 1 x 1 bitmap.
    const HDC hFormat = bMonochrome ? hDC : reference.hDC();
    if (hDC != 0)
        hBmp = CreateCompatibleBitmap(hFormat, lWidth, lHeight);
    if (hBmp != 0) {
        hBmpOld = static_cast<HBITMAP>(SelectObject(hDC, hBmp));
        result = kTrue;
    }
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
    const FormatReference reference(bMonochrome);
    hDC = CreateCompatibleDC(reference.hDC());
    if (hDC != 0) {
        hBmpOld = static_cast<HBITMAP>(SelectObject(hDC, hBmp));
        result = kTrue;
    } else {
        // No DC to hold it: DestroyDC would never free it, so it goes now.
        DeleteObject(hBmp);
        hBmp = 0;
    }
    return result;
}

Boolean CreateDCFromPicture(Boolean bMonochrome, const PictureObject& oPic, HDC& hDC, HBITMAP& hBmp,
                            HBITMAP& hBmpOld) {
    hDC = 0;
    hBmp = 0;
    hBmpOld = 0;
    Boolean result = kFalse;

    const FormatReference reference(bMonochrome);
    const HDC hTempDC = CreateCompatibleDC(reference.hDC());
    if (hTempDC != 0) {
        const HDC hReference = bMonochrome ? hTempDC : reference.hDC();
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
