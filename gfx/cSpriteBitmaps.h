// SPDX-License-Identifier: MIT
#pragma once
// A sprite sheet: a picture divided into a grid of equal cells, a transparency mask for the whole
// picture and a build DC of one cell's size. Any cell is drawn onto any DC with transparency by
// the two-pass mask technique (OR the mask, then AND the image). Cells are numbered from 1, row
// by row from the top left. Several sprites may share one sheet: drawing only reads it.

#include <string>

#include "platform/gdi.h"

class cSpriteBitmaps {
  public:
    cSpriteBitmaps() = default;
    ~cSpriteBitmaps();
    cSpriteBitmaps(const cSpriteBitmaps&) = delete;
    cSpriteBitmaps& operator=(const cSpriteBitmaps&) = delete;

    // Draws a cell with its top-left corner at (lX, lY). With bUseBuildDC the two passes happen
    // in the build DC and the destination receives one finished copy; the pixels are the same.
    // The destination must have background white and text black (a memory DC's defaults).
    void TransparentDraw(HDC hDCDest, Long lX, Long lY, Long lCell, Boolean bUseBuildDC);
    // A sheet from a picture; oMaskPic null: the mask is built from lTransColor (0x00BBGGRR).
    Boolean CreateFromPicture(const PictureObject& oPic, Long lXImageCount, Long lYImageCount,
                              const PictureObject* oMaskPic, Long lTransColor);
    // A sheet from a file; an empty sMaskBitmap builds the mask from lTransColor.
    Boolean CreateFromFile(const std::string& sSpriteBitmap, Long lXImageCount, Long lYImageCount,
                           const std::string& sMaskBitmap, Long lTransColor);
    Long CellWidth() const { return m_lCellWidth; }
    Long CellHeight() const { return m_lCellHeight; }
    // Copies a cell without transparency.
    void DirectBltSprite(HDC lHDC, Long lX, Long lY, Long lCell);

  private:
    struct CellPosition {
        Long x;
        Long y;
    };

    Boolean CreateMask(Long lWidth, Long lHeight, Long lTransColor);
    CellPosition GetCellPosition(Long lCell) const;
    // Steps 5 and 6 of a create: the grid and the build DC.
    Boolean FinishCreate(Long lSheetWidth, Long lSheetHeight, Long lXImageCount, Long lYImageCount);
    void ClearUp();

    HDC m_hDC = 0;
    HBITMAP m_hBmp = 0;
    HBITMAP m_hBmpOld = 0;
    HDC m_hMaskDC = 0;
    HBITMAP m_hMaskBmp = 0;
    HBITMAP m_hMaskBmpOld = 0;
    HDC m_hBuildDC = 0;
    HBITMAP m_hBuildBmp = 0;
    HBITMAP m_hBuildBmpOld = 0;
    Long m_lCellWidth = 0;
    Long m_lCellHeight = 0;
    Long m_lXImageCount = 0;
    Long m_lYImageCount = 0;
};
