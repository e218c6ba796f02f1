// SPDX-License-Identifier: MIT
// The tiled background: where the copies land, the area's inclusive bounds, the render
// object's size in twips, and the rules of loading by file name.

#include "gfx/cTile.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/support/MemorySurface.h"
#include "tests/support/PixelPattern.h"
#ifndef _WIN32
#include "tests/support/RecordingBacking.h"
#endif
#include "tools/harness/TempDir.h"

namespace {

using Rows = PixelPattern::Rows;

class FakeRender : public RenderObject {
  public:
    FakeRender(float width, float height, HDC dc) : m_width(width), m_height(height), m_dc(dc) {}
    float ScaleWidth() override { return m_width; }
    float ScaleHeight() override { return m_height; }
    HDC hDC() override { return m_dc; }

  private:
    float m_width;
    float m_height;
    HDC m_dc;
};

class CTile : public ::testing::Test {
  protected:
    void SetUp() override {
        SetHost(&host);
        live = gdi::LiveObjectCount();
    }
    void TearDown() override {
        EXPECT_EQ(gdi::LiveObjectCount(), live);
        SetHost(nullptr);
    }

    std::shared_ptr<PictureObject> Picture(const Rows& rows) { return p.Picture(rows); }
    std::string File(const std::string& name, const Rows& rows) {
        return p.WriteBitmap(dir, name, rows);
    }
    // What one TileDC of the area leaves on an 8 x 6 sentinel surface.
    Rows Tiled(cTile& tile, Long width, Long height) {
        MemorySurface surface(p, PixelPattern::Filled(8, 6, 's'));
        tile.TileDC(surface.hDC(), width, height);
        return p.Read(surface.hDC(), 0, 0, 8, 6);
    }

    HeadlessHost host;
    int live = 0;
    PixelPattern p;
    TempDir dir;
    const Rows untouched = PixelPattern::Filled(8, 6, 's');
};

#ifndef _WIN32
using Rect = RecordingBacking::Rect;

// The copies, counted by a window of the drawing stand-in.
TEST_F(CTile, CopiesStartAtEveryMultipleUpToTheBoundsInclusive) {
    auto backing = std::make_shared<RecordingBacking>(400, 300, 0);
    const HWND window = gdi::RegisterWindow(backing);
    const HDC dc = GetDC(window);
    {
        cTile tile;
        tile.Picture(*Picture(PixelPattern::Filled(100, 80, 'r')));
        tile.TileDC(dc, 250, 160);
        std::vector<Rect> expected;
        for (int y : {0, 80, 160}) {
            for (int x : {0, 100, 200})
                expected.push_back({x, y, 100, 80});
        }
        EXPECT_EQ(backing->PresentedRects(), expected);

        backing->Clear();
        tile.TileDC(dc, 0, 0);
        EXPECT_EQ(backing->PresentedRects(), (std::vector<Rect>{{0, 0, 100, 80}}));
        backing->Clear();
        tile.TileDC(dc, -1, 100);
        tile.TileDC(dc, 100, -1);
        EXPECT_TRUE(backing->PresentedRects().empty());
    }
    ReleaseDC(window, dc);
    gdi::UnregisterWindow(window);
}

#endif  // _WIN32

TEST_F(CTile, TheLastColumnAndRowAreCutOnlyByTheDc) {
    cTile tile;
    tile.Picture(*Picture({"rb", "yc"}));
    EXPECT_EQ(Tiled(tile, 5, 3),
              Rows({"rbrbrbss", "ycycycss", "rbrbrbss", "ycycycss", "ssssssss", "ssssssss"}));
    EXPECT_EQ(Tiled(tile, 20, 20),
              Rows({"rbrbrbrb", "ycycycyc", "rbrbrbrb", "ycycycyc", "rbrbrbrb", "ycycycyc"}));
    // An empty picture draws nothing (and does not loop for ever).
    PictureObject empty;
    tile.Picture(empty);
    EXPECT_EQ(Tiled(tile, 5, 3), untouched);
}

TEST_F(CTile, TileObjectTurnsTheRenderObjectsTwipsIntoPixels) {
    MemorySurface surface(p, PixelPattern::Filled(8, 6, 's'));
    // 44.5 twips round (halves to even) to 44, 44 \ 15 = 2 pixels: one column of 3-wide tiles.
    // 29.5 twips round to 30, 2 pixels: rows at 0 and 2 of 2-high tiles.
    FakeRender render(44.5f, 29.5f, surface.hDC());
    cTile tile;
    tile.Picture(*Picture({"rby", "cmo"}));
    EXPECT_THROW(tile.TileObject(), ObjectMissingError);  // Picture released the render object
    tile.Initialise(&render);
    tile.TileObject();
    EXPECT_TRUE(
        p.Matches(surface.hDC(), 0, 0,
                  {"rbysssss", "cmosssss", "rbysssss", "cmosssss", "ssssssss", "ssssssss"}));
}

TEST_F(CTile, FilenameLoadsOnceNeedsInitialiseAndKeepsTheNameOnFailure) {
    const std::string first = File("first.bmp", {"rb", "yc"});
    const Rows firstTiled = {"rbrbssss", "ycycssss", "ssssssss",
                             "ssssssss", "ssssssss", "ssssssss"};
    MemorySurface surface(1, 1, false);
    FakeRender render(15, 15, surface.hDC());
    cTile tile;

    tile.Filename(first);  // not initialised: nothing is loaded
    EXPECT_EQ(Tiled(tile, 2, 1), untouched);
    tile.Initialise(&render);
    tile.Filename(first);
    EXPECT_EQ(Tiled(tile, 2, 1), firstTiled);

    // The same name again is not loaded again, even when the file changed.
    File("first.bmp", {"mm", "mm"});
    tile.Filename(first);
    EXPECT_EQ(Tiled(tile, 2, 1), firstTiled);

    // A failed load empties the tile but keeps the old name, which is then ignored.
    tile.Filename(dir.File("missing.bmp"));
    EXPECT_EQ(Tiled(tile, 2, 1), untouched);
    tile.Filename(first);
    EXPECT_EQ(Tiled(tile, 2, 1), untouched);

    // Empty text tears down: no picture object any more.
    tile.Filename("");
    EXPECT_THROW(tile.TileDC(surface.hDC(), 1, 1), ObjectMissingError);
    tile.Filename(first);  // the render object went too: nothing happens
    tile.Initialise(&render);
    EXPECT_THROW(tile.Filename(first), ObjectMissingError);
    // Picture makes a picture object again.
    tile.Picture(*Picture({"g"}));
    EXPECT_EQ(Tiled(tile, 0, 0)[0], "gsssssss");
}

}  // namespace
