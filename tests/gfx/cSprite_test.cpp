// SPDX-License-Identifier: MIT
// The sprite: saving and restoring the stage under it, drawing through a shared sheet, and the
// rectangles it copies to the window after each move.

#include "gfx/cSprite.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "gfx/cSpriteBitmaps.h"
#include "platform/RuntimeError.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/support/MemorySurface.h"
#include "tests/support/PixelPattern.h"
#ifndef _WIN32
#include "tests/support/RecordingBacking.h"
#endif

namespace {

using Rows = PixelPattern::Rows;

class CSprite : public ::testing::Test {
  protected:
    void SetUp() override {
        host.SetScreenPixels(64, 48);
        SetHost(&host);
        live = gdi::LiveObjectCount();
        // One 4 x 3 cell: a red frame around a green (transparent) middle.
        auto picture =
            PictureObject::FromPixels(4, 3, p.Pixels({"rrrr", "rggr", "rrrr"}).data(), 4);
        sheet = std::make_shared<cSpriteBitmaps>();
        ASSERT_EQ(sheet->CreateFromPicture(*picture, 1, 1, nullptr, 0x00FF00), kTrue);
    }
    void TearDown() override {
        sheet.reset();
        EXPECT_EQ(gdi::LiveObjectCount(), live);
        SetHost(nullptr);
    }

    HeadlessHost host;
    int live = 0;
    PixelPattern p;
    std::shared_ptr<cSpriteBitmaps> sheet;
};

TEST_F(CSprite, StartsOneScreenOffToTheUpperLeft) {
    cSprite sprite;
    EXPECT_EQ(sprite.PreviousX(), -64);
    EXPECT_EQ(sprite.PreviousY(), -48);
    host.SetScreenPixels(1000, 700);
    cSprite other;
    EXPECT_EQ(other.PreviousX(), -1000);
    EXPECT_EQ(other.PreviousY(), -700);
    EXPECT_EQ(other.Width(), 0);
    EXPECT_EQ(other.Active(), kFalse);
}

TEST_F(CSprite, PropertiesAndSteps) {
    cSprite sprite;
    sprite.SetX(10);
    sprite.SetY(10);
    sprite.SetXDir(-3);
    sprite.SetYDir(7);
    sprite.IncrementPosition();
    EXPECT_EQ(sprite.X(), 7);
    EXPECT_EQ(sprite.Y(), 17);
    sprite.SetActive(kTrue);
    EXPECT_EQ(sprite.Active(), kTrue);
    sprite.SetCell(5);
    EXPECT_EQ(sprite.Cell(), 5);
    sprite.SpriteData(sheet);
    EXPECT_EQ(sprite.Width(), 4);
    EXPECT_EQ(sprite.Height(), 3);
    // A position past the 32-bit range is an overflow, not a wrap.
    sprite.SetX(INT_MAX - 1);
    sprite.SetXDir(2);
    EXPECT_THROW(sprite.IncrementPosition(), OverflowError);
}

TEST_F(CSprite, UsingTheSheetBeforeItIsSetRaises) {
    cSprite sprite;
    EXPECT_THROW(sprite.Create(0), ObjectMissingError);
    MemorySurface stage(p, PixelPattern::Filled(4, 4, 's'));
    EXPECT_THROW(sprite.TransparentDraw(stage.hDC(), 0, 0, 1, kFalse), ObjectMissingError);
    EXPECT_THROW(sprite.SpriteData(nullptr), ObjectMissingError);
    // Without a host there is no screen to take the start position from.
    SetHost(nullptr);
    EXPECT_THROW(cSprite(), ObjectMissingError);
    SetHost(&host);
}

TEST_F(CSprite, RestoringPutsTheStageBackByteForByte) {
    const Rows background = {"ycmycmyc", "mycmycmy", "cmycmycm",
                             "ycmycmyc", "mycmycmy", "cmycmycm"};
    MemorySurface stage(p, background);
    cSprite sprite;
    sprite.SpriteData(sheet);
    sprite.Create(0);
    sprite.RestoreBackground(stage.hDC());  // nothing stored yet: untouched
    EXPECT_TRUE(p.Matches(stage.hDC(), 0, 0, background));

    sprite.StoreBackground(stage.hDC(), 1, 1);
    sprite.TransparentDraw(stage.hDC(), 1, 1, 1, kFalse);
    EXPECT_TRUE(
        p.Matches(stage.hDC(), 0, 0,
                  {"ycmycmyc", "mrrrrcmy", "crycrycm", "yrrrrmyc", "mycmycmy", "cmycmycm"}));
    // The frame: restore, move, store, draw, twice; then a last restore.
    for (auto [x, y] : {std::pair{4, 3}, std::pair{-2, 4}}) {
        sprite.RestoreBackground(stage.hDC());
        EXPECT_TRUE(p.Matches(stage.hDC(), 0, 0, background));
        sprite.StoreBackground(stage.hDC(), x, y);
        sprite.TransparentDraw(stage.hDC(), x, y, 1, kTrue);
    }
    sprite.RestoreBackground(stage.hDC());
    EXPECT_TRUE(p.Matches(stage.hDC(), 0, 0, background));
    EXPECT_EQ(sprite.PreviousX(), 4);
    EXPECT_EQ(sprite.PreviousY(), 3);

    // A new Create forgets what was stored.
    sprite.Create(0);
    MemorySurface other(p, PixelPattern::Filled(8, 6, 'b'));
    sprite.RestoreBackground(other.hDC());
    EXPECT_TRUE(p.Matches(other.hDC(), 0, 0, PixelPattern::Filled(8, 6, 'b')));
}

#ifndef _WIN32
using Rect = RecordingBacking::Rect;

// The window copies, counted by a window of the drawing stand-in.
class CSpriteToScreen : public CSprite {
  protected:
    void SetUp() override {
        CSprite::SetUp();
        window = gdi::RegisterWindow(backing);
        windowDc = GetDC(window);
        sprite = std::make_unique<cSprite>();
        sprite->SpriteData(sheet);
        sprite->Create(0);
    }
    void TearDown() override {
        sprite.reset();
        ReleaseDC(window, windowDc);
        gdi::UnregisterWindow(window);
        CSprite::TearDown();
    }

    // The rectangles copied to the window by StageToScreen after draws at a and then b.
    std::vector<Rect> Copies(std::pair<Long, Long> a, std::pair<Long, Long> b) {
        sprite->TransparentDraw(stage.hDC(), a.first, a.second, 1, kFalse);
        sprite->TransparentDraw(stage.hDC(), b.first, b.second, 1, kFalse);
        backing->Clear();
        sprite->StageToScreen(windowDc, stage.hDC());
        return backing->PresentedRects();
    }

    std::shared_ptr<RecordingBacking> backing = std::make_shared<RecordingBacking>(200, 200, 0);
    MemorySurface stage{200, 200, false};
    HWND window = 0;
    HDC windowDc = 0;
    std::unique_ptr<cSprite> sprite;
};

TEST_F(CSpriteToScreen, FirstDrawCopiesTwoCellsOneOffTheScreen) {
    sprite->TransparentDraw(stage.hDC(), 100, 100, 1, kFalse);
    EXPECT_EQ(sprite->BltInTwo(), kTrue);
    sprite->StageToScreen(windowDc, stage.hDC());
    EXPECT_EQ(backing->PresentedRects(), (std::vector<Rect>{{100, 100, 4, 3}}));
    // What reached the window is the stage's area.
    EXPECT_TRUE(p.Matches(windowDc, 99, 99, {"......", ".rrrr.", ".r..r.", ".rrrr.", "......"}));
}

TEST_F(CSpriteToScreen, SmallMovesCopyOneCoveringRectangle) {
    EXPECT_EQ(Copies({100, 100}, {110, 105}), (std::vector<Rect>{{100, 100, 14, 8}}));
    EXPECT_EQ(sprite->BltInTwo(), kFalse);  // distance 15
    EXPECT_EQ(sprite->PreviousX(), 100);
    EXPECT_EQ(sprite->PreviousY(), 100);
    EXPECT_EQ(Copies({100, 100}, {112, 112}), (std::vector<Rect>{{100, 100, 16, 15}}));  // 24
    EXPECT_EQ(Copies({50, 50}, {40, 45}), (std::vector<Rect>{{40, 45, 14, 8}}));  // up and left
    EXPECT_EQ(Copies({7, 7}, {7, 7}), (std::vector<Rect>{{7, 7, 4, 3}}));         // no move
}

TEST_F(CSpriteToScreen, LargerMovesCopyBothPlacesSeparately) {
    EXPECT_EQ(Copies({100, 100}, {113, 112}),
              (std::vector<Rect>{{100, 100, 4, 3}, {113, 112, 4, 3}}));  // distance 25
    EXPECT_EQ(sprite->BltInTwo(), kTrue);
    EXPECT_EQ(Copies({0, 0}, {-2, 190}), (std::vector<Rect>{{0, 0, 4, 3}, {0, 190, 2, 3}}));
}

#endif  // _WIN32

TEST_F(CSprite, SpritesShareOneSheet) {
    MemorySurface stage(p, PixelPattern::Filled(10, 3, 's'));
    {
        cSprite a, b;
        a.SpriteData(sheet);
        b.SpriteData(sheet);
        a.Create(0);
        b.Create(0);
        sheet.reset();  // the scene lets go; the sprites keep the sheet alive
        a.TransparentDraw(stage.hDC(), 0, 0, 1, kFalse);
        b.TransparentDraw(stage.hDC(), 5, 0, 1, kTrue);
    }
    EXPECT_TRUE(p.Matches(stage.hDC(), 0, 0, {"rrrrsrrrrs", "rssrsrssrs", "rrrrsrrrrs"}));
}

}  // namespace
