// SPDX-License-Identifier: MIT
#include "gfx/cTile.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "gfx/cBitmap.h"
#include "platform/RuntimeError.h"

namespace {

// A twips length in pixels: both operands rounded (halves to even), then divided as integers.
// A zero factor gives 0.
Long TwipsToPixels(float twips, Long twipsPerPixel) {
    const double rounded = std::nearbyint(static_cast<double>(twips));
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<Long>::min() ||
        rounded > std::numeric_limits<Long>::max()) {
        throw OverflowError("render object size out of range");
    }
    if (twipsPerPixel == 0)
        return 0;
    return static_cast<Long>(static_cast<std::int64_t>(rounded) / twipsPerPixel);
}

}  // namespace

cTile::cTile() : m_cBitmap(std::make_shared<cBitmap>()) {}

cTile::~cTile() {
    ClearUp();
}

void cTile::TileObject() {
    if (m_objRender == nullptr)
        throw ObjectMissingError("tile has no render object");
    const ScreenMetrics screen = GetScreenMetrics();
    const Long lWidth = TwipsToPixels(m_objRender->ScaleWidth(), screen.twipsPerPixelX);
    const Long lHeight = TwipsToPixels(m_objRender->ScaleHeight(), screen.twipsPerPixelY);
    const HDC hDC = m_objRender->hDC();
    TileDC(hDC, lWidth, lHeight);
}

void cTile::TileDC(HDC lHDC, Long lWidth, Long lHeight) {
    cBitmap& picture = Bitmap();
    const Long lTileWidth = picture.Width();
    const Long lTileHeight = picture.Height();
    // An empty picture would never step forward.
    if (lTileWidth <= 0 || lTileHeight <= 0)
        return;
    // 64-bit steps: an origin near the top of the range does not wrap around.
    for (std::int64_t y = 0; y <= lHeight; y += lTileHeight) {
        for (std::int64_t x = 0; x <= lWidth; x += lTileWidth) {
            picture.RenderBitmap(lHDC, static_cast<Long>(x), static_cast<Long>(y), SRCCOPY);
        }
    }
}

void cTile::Filename(const std::string& sFilename) {
    if (sFilename == m_sFilename)
        return;
    if (sFilename.empty()) {
        ClearUp();
    } else if (CheckInitialised()) {
        if (Bitmap().CreateFromFile(sFilename))
            m_sFilename = sFilename;
    }
}

void cTile::Picture(const PictureObject& oPic) {
    ClearUp();
    m_cBitmap = std::make_shared<cBitmap>();
    m_cBitmap->CreateFromPicture(oPic);
}

void cTile::Initialise(RenderObject* objRender) {
    m_objRender = objRender;
}

Boolean cTile::CheckInitialised() {
    if (m_objRender == nullptr) {
        ReportError(1, "Object not initialised");
        return kFalse;
    }
    return kTrue;
}

void cTile::ReportError(Long, const std::string&) {
    // Nothing is shown, written or raised.
}

void cTile::ClearUp() {
    m_cBitmap.reset();
    m_objRender = nullptr;
    m_sFilename.clear();
}

cBitmap& cTile::Bitmap() {
    if (!m_cBitmap)
        throw ObjectMissingError("tile has no picture object");
    return *m_cBitmap;
}
