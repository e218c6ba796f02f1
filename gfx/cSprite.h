// SPDX-License-Identifier: MIT
#pragma once
// One moving figure on a staging surface. It knows its position, its motion per step and its
// current cell in a shared sprite sheet, saves the staging pixels under the spot where it is
// drawn, puts them back before the next frame, and copies to the visible window only the area it
// changed. Nothing here allocates once the sprite is made.

#include <memory>

#include "platform/gdi.h"

class cSpriteBitmaps;

class cSprite {
  public:
    // The recorded draw positions start one whole screen off to the upper left.
    cSprite();
    ~cSprite();
    cSprite(const cSprite&) = delete;
    cSprite& operator=(const cSprite&) = delete;

    Long XDir() const { return m_lXDir; }
    void SetXDir(Long lXDir) { m_lXDir = lXDir; }
    Long YDir() const { return m_lYDir; }
    void SetYDir(Long lYDir) { m_lYDir = lYDir; }
    // Moves the position by the motion per step. A position that would leave the 32-bit range
    // raises OverflowError.
    void IncrementPosition();
    Boolean Active() const { return m_bActive; }
    void SetActive(Boolean bActive) { m_bActive = bActive; }
    Long X() const { return m_lX; }
    void SetX(Long lX) { m_lX = lX; }
    Long Y() const { return m_lY; }
    void SetY(Long lY) { m_lY = lY; }
    // Copies what changed since the previous draw from the staging DC to the visible DC.
    void StageToScreen(HDC lHDC, HDC lStageHDC);
    Long Cell() const { return m_lCell; }
    void SetCell(Long iCell) { m_lCell = iCell; }
    Long PreviousX() const { return m_lPrevX; }
    Long PreviousY() const { return m_lPrevY; }
    // True when the last two draws lie more than 24 pixels apart (summed over both axes).
    Boolean BltInTwo() const;
    Long Width() const { return m_lWidth; }
    Long Height() const { return m_lHeight; }
    // Saves the cell-sized area of the staging DC at (lX, lY).
    void StoreBackground(HDC hDC, Long lX, Long lY);
    // Records the position and draws the cell through the sheet.
    void TransparentDraw(HDC hDC, Long lX, Long lY, Long lCell, Boolean bUseBuildDC);
    // Makes the background store in the sheet's cell size; the argument takes no part. Raises
    // ObjectMissingError before SpriteData.
    void Create(HDC hDC);
    // Puts the saved area back at the latest draw position (nothing before the first save).
    void RestoreBackground(HDC hDC);
    // Sets the sheet (shared) and takes its cell size.
    void SpriteData(std::shared_ptr<cSpriteBitmaps> cSpriteData);

  private:
    struct Move {
        Long x;
        Long y;
    };

    void ClearUp();

    HDC m_hDC = 0;
    HBITMAP m_hBmp = 0;
    HBITMAP m_hBmpOld = 0;
    std::shared_ptr<cSpriteBitmaps> m_cSpriteData;
    Long m_lCell = 0;
    Long m_lX = 0;
    Long m_lY = 0;
    Long m_lLastX = 0;
    Long m_lLastY = 0;
    Long m_lPrevX = 0;
    Long m_lPrevY = 0;
    Long m_lWidth = 0;
    Long m_lHeight = 0;
    Boolean m_bStored = kFalse;
    Boolean m_bActive = kFalse;
    Long m_lXDir = 0;
    Long m_lYDir = 0;
    Move m_lMove{0, 0};
};
