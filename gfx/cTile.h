// SPDX-License-Identifier: MIT
#pragma once
// A picture laid edge to edge from the top-left corner over an area: onto a DC of a given size,
// or over the whole render object (a form or picture box) that the tile was initialised with.
//
// After a teardown (Filename set to empty text, Picture, or the end of the object) there is no
// picture object any more: TileDC, TileObject and a Filename load then raise ObjectMissingError,
// as does TileObject without a render object.

#include <memory>
#include <string>

#include "platform/gdi.h"

class cBitmap;

class cTile {
  public:
    cTile();
    ~cTile();
    cTile(const cTile&) = delete;
    cTile& operator=(const cTile&) = delete;

    // Tiles the picture over the render object's inner size (twips turned into pixels).
    void TileObject();
    // Tiles the picture over (0, 0) to (lWidth, lHeight) of a DC, both bounds inclusive. An empty
    // picture (width or height 0) draws nothing.
    void TileDC(HDC lHDC, Long lWidth, Long lHeight);
    // Loads the picture from a file: the same name again does nothing, empty text tears down,
    // and a load needs Initialise first. A failed load leaves the tile empty, the name unchanged.
    void Filename(const std::string& sFilename);
    // Copies the picture from a picture object; this releases the render object.
    void Picture(const PictureObject& oPic);
    // The form or picture box to tile over; not owned, and it must outlive its use here.
    void Initialise(RenderObject* objRender);

  private:
    Boolean CheckInitialised();
    void ReportError(Long lCode, const std::string& sText);
    void ClearUp();
    cBitmap& Bitmap();

    std::string m_sFilename;
    std::shared_ptr<cBitmap> m_cBitmap;
    RenderObject* m_objRender = nullptr;
};
