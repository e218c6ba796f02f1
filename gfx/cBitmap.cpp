// SPDX-License-Identifier: MIT
#include "gfx/cBitmap.h"

#include "gfx/mGDI.h"

cBitmap::~cBitmap() {
    ClearUp();
}

Boolean cBitmap::CreateAtSize(Long lDX, Long lDY) {
    ClearUp();
    if (!CreateDCAtSize(kFalse, m_hDC, m_hBmp, m_hBmpOld, lDX, lDY))
        return kFalse;
    m_lWidth = lDX;
    m_lHeight = lDY;
    return kTrue;
}

Boolean cBitmap::CreateFromFile(const std::string& sBitmapBitmap) {
    ClearUp();
    if (!CreateDCFromFile(kFalse, sBitmapBitmap, m_hDC, m_hBmp, m_hBmpOld))
        return kFalse;
    ReadSize();
    return kTrue;
}

Boolean cBitmap::CreateFromPicture(const PictureObject& picThis) {
    ClearUp();
    if (!CreateDCFromPicture(kFalse, picThis, m_hDC, m_hBmp, m_hBmpOld))
        return kFalse;
    ReadSize();
    return kTrue;
}

void cBitmap::RenderBitmap(HDC lHDC, Long lX, Long lY, std::uint32_t OpCode) {
    BitBlt(lHDC, lX, lY, m_lWidth, m_lHeight, m_hDC, 0, 0, OpCode);
}

void cBitmap::ClearUp() {
    DestroyDC(m_hDC, m_hBmp, m_hBmpOld);
}

void cBitmap::ReadSize() {
    BITMAP record{};
    GetObjectA(m_hBmp, sizeof record, &record);
    m_lWidth = record.bmWidth;
    m_lHeight = record.bmHeight;
}
