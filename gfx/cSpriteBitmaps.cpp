// SPDX-License-Identifier: MIT
#include "gfx/cSpriteBitmaps.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "gfx/mGDI.h"

namespace {

constexpr Long kWhite = 0xFFFFFF;

// The width and height of a bitmap (0 x 0 for a bad handle).
void ReadSize(HBITMAP hBmp, Long& lWidth, Long& lHeight) {
    BITMAP record{};
    GetObjectA(hBmp, sizeof record, &record);
    lWidth = record.bmWidth;
    lHeight = record.bmHeight;
}

Long Saturate(std::int64_t value) {
    return static_cast<Long>(std::clamp<std::int64_t>(value, std::numeric_limits<Long>::min(),
                                                      std::numeric_limits<Long>::max()));
}

}  // namespace

cSpriteBitmaps::~cSpriteBitmaps() {
    ClearUp();
}

void cSpriteBitmaps::TransparentDraw(HDC hDCDest, Long lX, Long lY, Long lCell,
                                     Boolean bUseBuildDC) {
    const CellPosition cell = GetCellPosition(lCell);
    HDC hTarget = hDCDest;
    Long lTX = lX;
    Long lTY = lY;
    if (bUseBuildDC) {
        BitBlt(m_hBuildDC, 0, 0, m_lCellWidth, m_lCellHeight, hDCDest, lX, lY, SRCCOPY);
        hTarget = m_hBuildDC;
        lTX = 0;
        lTY = 0;
    }
    // The opaque area turns white, then takes the sprite's colours; the transparent area is
    // ORed with black and ANDed with white, so it keeps what it had.
    BitBlt(hTarget, lTX, lTY, m_lCellWidth, m_lCellHeight, m_hMaskDC, cell.x, cell.y, SRCPAINT);
    BitBlt(hTarget, lTX, lTY, m_lCellWidth, m_lCellHeight, m_hDC, cell.x, cell.y, SRCAND);
    if (bUseBuildDC) {
        BitBlt(hDCDest, lX, lY, m_lCellWidth, m_lCellHeight, m_hBuildDC, 0, 0, SRCCOPY);
    }
}

Boolean cSpriteBitmaps::CreateFromPicture(const PictureObject& oPic, Long lXImageCount,
                                          Long lYImageCount, const PictureObject* oMaskPic,
                                          Long lTransColor) {
    ClearUp();
    if (!CreateDCFromPicture(kFalse, oPic, m_hDC, m_hBmp, m_hBmpOld))
        return kFalse;
    Long lWidth = 0;
    Long lHeight = 0;
    ReadSize(m_hBmp, lWidth, lHeight);
    const Boolean bMask = oMaskPic == nullptr ? CreateMask(lWidth, lHeight, lTransColor)
                                              : CreateDCFromPicture(kTrue, *oMaskPic, m_hMaskDC,
                                                                    m_hMaskBmp, m_hMaskBmpOld);
    if (!bMask)
        return kFalse;
    return FinishCreate(lWidth, lHeight, lXImageCount, lYImageCount);
}

Boolean cSpriteBitmaps::CreateFromFile(const std::string& sSpriteBitmap, Long lXImageCount,
                                       Long lYImageCount, const std::string& sMaskBitmap,
                                       Long lTransColor) {
    ClearUp();
    if (!CreateDCFromFile(kFalse, sSpriteBitmap, m_hDC, m_hBmp, m_hBmpOld))
        return kFalse;
    Long lWidth = 0;
    Long lHeight = 0;
    ReadSize(m_hBmp, lWidth, lHeight);
    const Boolean bMask = sMaskBitmap.empty() ? CreateMask(lWidth, lHeight, lTransColor)
                                              : CreateDCFromFile(kTrue, sMaskBitmap, m_hMaskDC,
                                                                 m_hMaskBmp, m_hMaskBmpOld);
    if (!bMask)
        return kFalse;
    return FinishCreate(lWidth, lHeight, lXImageCount, lYImageCount);
}

void cSpriteBitmaps::DirectBltSprite(HDC lHDC, Long lX, Long lY, Long lCell) {
    const CellPosition cell = GetCellPosition(lCell);
    BitBlt(lHDC, lX, lY, m_lCellWidth, m_lCellHeight, m_hDC, cell.x, cell.y, SRCCOPY);
}

Boolean cSpriteBitmaps::FinishCreate(Long lSheetWidth, Long lSheetHeight, Long lXImageCount,
                                     Long lYImageCount) {
    // The cell size divides by the counts: a sheet needs at least one cell each way.
    if (lXImageCount < 1 || lYImageCount < 1)
        return kFalse;
    m_lXImageCount = lXImageCount;
    m_lYImageCount = lYImageCount;
    m_lCellWidth = lSheetWidth / lXImageCount;
    m_lCellHeight = lSheetHeight / lYImageCount;
    return CreateDCAtSize(kFalse, m_hBuildDC, m_hBuildBmp, m_hBuildBmpOld, m_lCellWidth,
                          m_lCellHeight);
}

Boolean cSpriteBitmaps::CreateMask(Long lWidth, Long lHeight, Long lTransColor) {
    if (!CreateDCAtSize(kTrue, m_hMaskDC, m_hMaskBmp, m_hMaskBmpOld, lWidth, lHeight)) {
        return kFalse;
    }
    if (lTransColor == kWhite) {
        // The image's white pixels (its DC's background colour) become 0 in the mask.
        BitBlt(m_hMaskDC, 0, 0, lWidth, lHeight, m_hDC, 0, 0, WHITENESS);
        BitBlt(m_hMaskDC, 0, 0, lWidth, lHeight, m_hDC, 0, 0, SRCINVERT);
        return kTrue;
    }

    HDC hTempDC = 0;
    HBITMAP hTempBmp = 0;
    HBITMAP hTempBmpOld = 0;
    if (!CreateDCAtSize(kTrue, hTempDC, hTempBmp, hTempBmpOld, lWidth, lHeight)) {
        DestroyDC(hTempDC, hTempBmp, hTempBmpOld);
        return kFalse;
    }
    // 1 where the image has exactly the transparent colour.
    const COLORREF oldColour = SetBkColor(m_hDC, static_cast<COLORREF>(lTransColor));
    BitBlt(hTempDC, 0, 0, lWidth, lHeight, m_hDC, 0, 0, SRCCOPY);
    SetBkColor(m_hDC, oldColour);
    // Those pixels of the image turn white (1 arrives as white, 0 as black).
    BitBlt(m_hDC, 0, 0, lWidth, lHeight, hTempDC, 0, 0, SRCPAINT);
    // The mask is the inverse: 0 where transparent, 1 where opaque.
    BitBlt(m_hMaskDC, 0, 0, lWidth, lHeight, m_hDC, 0, 0, WHITENESS);
    BitBlt(m_hMaskDC, 0, 0, lWidth, lHeight, hTempDC, 0, 0, SRCINVERT);
    DestroyDC(hTempDC, hTempBmp, hTempBmpOld);
    return kTrue;
}

cSpriteBitmaps::CellPosition cSpriteBitmaps::GetCellPosition(Long lCell) const {
    // A sheet without a grid (never made, or its create failed early) has its one cell at 0, 0.
    if (m_lXImageCount == 0)
        return CellPosition{0, 0};
    // Wide arithmetic: a cell number far off the sheet gives a position far off the sheet (the
    // copies then clip it away), never an overflow.
    const std::int64_t index = std::int64_t{lCell} - 1;
    return CellPosition{Saturate(index % m_lXImageCount * m_lCellWidth),
                        Saturate(index / m_lXImageCount * m_lCellHeight)};
}

void cSpriteBitmaps::ClearUp() {
    DestroyDC(m_hDC, m_hBmp, m_hBmpOld);
    DestroyDC(m_hMaskDC, m_hMaskBmp, m_hMaskBmpOld);
    DestroyDC(m_hBuildDC, m_hBuildBmp, m_hBuildBmpOld);
}
