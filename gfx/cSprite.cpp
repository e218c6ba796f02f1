// SPDX-License-Identifier: MIT
#include "gfx/cSprite.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "gfx/cSpriteBitmaps.h"
#include "gfx/mGDI.h"
#include "platform/RuntimeError.h"

namespace {

// Minus a screen length in pixels: (-twips) \ twips per pixel. A zero factor gives 0.
Long MinusScreenPixels(Long lTwips, Long lTwipsPerPixel) {
    if (lTwipsPerPixel == 0)
        return 0;
    return static_cast<Long>(-std::int64_t{lTwips} / lTwipsPerPixel);
}

Long Clamp(std::int64_t value) {
    return static_cast<Long>(std::clamp<std::int64_t>(value, std::numeric_limits<Long>::min(),
                                                      std::numeric_limits<Long>::max()));
}

Long AddChecked(Long a, Long b) {
    const std::int64_t sum = std::int64_t{a} + b;
    if (sum < std::numeric_limits<Long>::min() || sum > std::numeric_limits<Long>::max()) {
        throw OverflowError("sprite position out of range");
    }
    return static_cast<Long>(sum);
}

}  // namespace

cSprite::cSprite() {
    const ScreenMetrics screen = GetScreenMetrics();
    m_lPrevX = m_lLastX = MinusScreenPixels(screen.widthTwips, screen.twipsPerPixelX);
    m_lPrevY = m_lLastY = MinusScreenPixels(screen.heightTwips, screen.twipsPerPixelY);
}

cSprite::~cSprite() {
    ClearUp();
    m_cSpriteData.reset();
}

void cSprite::IncrementPosition() {
    m_lX = AddChecked(m_lX, m_lXDir);
    m_lY = AddChecked(m_lY, m_lYDir);
}

void cSprite::StageToScreen(HDC lHDC, HDC lStageHDC) {
    if (BltInTwo()) {
        BitBlt(lHDC, m_lPrevX, m_lPrevY, m_lWidth, m_lHeight, lStageHDC, m_lPrevX, m_lPrevY,
               SRCCOPY);
        BitBlt(lHDC, m_lLastX, m_lLastY, m_lWidth, m_lHeight, lStageHDC, m_lLastX, m_lLastY,
               SRCCOPY);
        return;
    }
    // At most 24 pixels apart: one copy of the rectangle covering both places.
    m_lMove = Move{m_lLastX - m_lPrevX, m_lLastY - m_lPrevY};
    const Long lLeft = std::min(m_lLastX, m_lPrevX);
    const Long lTop = std::min(m_lLastY, m_lPrevY);
    const Long lWidth = Clamp(std::int64_t{std::abs(m_lMove.x)} + m_lWidth);
    const Long lHeight = Clamp(std::int64_t{std::abs(m_lMove.y)} + m_lHeight);
    BitBlt(lHDC, lLeft, lTop, lWidth, lHeight, lStageHDC, lLeft, lTop, SRCCOPY);
}

Boolean cSprite::BltInTwo() const {
    const std::int64_t distance = std::llabs(std::int64_t{m_lPrevY} - m_lLastY) +
                                  std::llabs(std::int64_t{m_lPrevX} - m_lLastX);
    return ToBoolean(distance > 24);
}

void cSprite::StoreBackground(HDC hDC, Long lX, Long lY) {
    BitBlt(m_hDC, 0, 0, m_lWidth, m_lHeight, hDC, lX, lY, SRCCOPY);
    m_bStored = kTrue;
}

void cSprite::TransparentDraw(HDC hDC, Long lX, Long lY, Long lCell, Boolean bUseBuildDC) {
    m_lPrevX = m_lLastX;
    m_lPrevY = m_lLastY;
    m_lLastX = lX;
    m_lCell = lCell;
    m_lLastY = lY;
    if (!m_cSpriteData)
        throw ObjectMissingError("sprite drawn without sprite data");
    m_cSpriteData->TransparentDraw(hDC, lX, lY, lCell, bUseBuildDC ? kTrue : kFalse);
}

void cSprite::Create(HDC) {
    ClearUp();
    if (!m_cSpriteData)
        throw ObjectMissingError("sprite created without sprite data");
    m_lWidth = m_cSpriteData->CellWidth();
    m_lHeight = m_cSpriteData->CellHeight();
    CreateDCAtSize(kFalse, m_hDC, m_hBmp, m_hBmpOld, m_lWidth, m_lHeight);
}

void cSprite::RestoreBackground(HDC hDC) {
    if (m_bStored) {
        BitBlt(hDC, m_lLastX, m_lLastY, m_lWidth, m_lHeight, m_hDC, 0, 0, SRCCOPY);
    }
}

void cSprite::SpriteData(std::shared_ptr<cSpriteBitmaps> cSpriteData) {
    m_cSpriteData = std::move(cSpriteData);
    if (!m_cSpriteData)
        throw ObjectMissingError("sprite data set to no object");
    m_lWidth = m_cSpriteData->CellWidth();
    m_lHeight = m_cSpriteData->CellHeight();
}

void cSprite::ClearUp() {
    DestroyDC(m_hDC, m_hBmp, m_hBmpOld);
    m_bStored = kFalse;
}
