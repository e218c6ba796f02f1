// SPDX-License-Identifier: MIT
// The sprite sheet: the mask technique pixel for pixel over a coloured background, with and
// without the build DC, masks built from a colour or supplied, and cells in and off the sheet.

#include "gfx/cSpriteBitmaps.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "tests/support/MemorySurface.h"
#include "tests/support/PixelPattern.h"
#include "tools/harness/TempDir.h"

namespace {

using Rows = PixelPattern::Rows;

constexpr Long kGreen = 0x00FF00;
constexpr Long kWhite = 0xFFFFFF;

// A background of mixed colours, so that a transparent pixel that changes shows.
const Rows kBackground = {"ycmycmy", "mycmycm", "cmycmyc", "ycmycmy", "mycmycm"};

// Two 3 x 3 cells: a blue cross and a red ring, on green. 'h' is a green that is not quite the
// transparent colour, and so is opaque.
const Rows kSheet = {"gbgrrr", "bbbrgr", "gbgrhr"};

class CSpriteBitmaps : public ::testing::Test {
  protected:
    CSpriteBitmaps() : p(PixelPattern::With('h', 0x00FE00)) {}
    void SetUp() override { live = gdi::LiveObjectCount(); }
    void TearDown() override { EXPECT_EQ(gdi::LiveObjectCount(), live); }

    std::shared_ptr<PictureObject> Picture(const Rows& rows) { return p.Picture(rows); }
    std::string File(const std::string& name, const Rows& rows) {
        return p.WriteBitmap(dir, name, rows);
    }
    // The background after one draw of a cell at (x, y).
    Rows DrawOnBackground(cSpriteBitmaps& sheet, Long x, Long y, Long cell, Boolean build) {
        MemorySurface stage(p, kBackground);
        sheet.TransparentDraw(stage.hDC(), x, y, cell, build);
        return p.Read(stage.hDC(), 0, 0, 7, 5);
    }

    int live = 0;
    PixelPattern p;
    TempDir dir;
};

TEST_F(CSpriteBitmaps, TransparentPixelsKeepTheBackgroundOpaqueOnesReplaceIt) {
    cSpriteBitmaps sheet;
    ASSERT_EQ(sheet.CreateFromFile(File("sheet.bmp", kSheet), 2, 1, "", kGreen), kTrue);
    EXPECT_EQ(sheet.CellWidth(), 3);
    EXPECT_EQ(sheet.CellHeight(), 3);
    const Rows cross = {"ycmycmy", "mycbycm", "cmbbbyc", "ycmbcmy", "mycmycm"};
    const Rows ring = {"ycmycmy", "myrrrcm", "cmrcryc", "ycrhrmy", "mycmycm"};
    for (Boolean build : {kFalse, kTrue, Boolean{1}}) {
        SCOPED_TRACE(build);
        EXPECT_EQ(DrawOnBackground(sheet, 2, 1, 1, build), cross);
        EXPECT_EQ(DrawOnBackground(sheet, 2, 1, 2, build), ring);
        // Cut by the stage's edges.
        EXPECT_EQ(DrawOnBackground(sheet, -1, 3, 2, build),
                  Rows({"ycmycmy", "mycmycm", "cmycmyc", "rrmycmy", "mrcmycm"}));
    }
}

TEST_F(CSpriteBitmaps, AColourMaskWhitensTheTransparentPixelsOfTheImage) {
    cSpriteBitmaps sheet;
    auto picture = Picture(kSheet);
    ASSERT_EQ(sheet.CreateFromPicture(*picture, 2, 1, nullptr, kGreen), kTrue);
    MemorySurface stage(p, PixelPattern::Filled(6, 3, 's'));
    sheet.DirectBltSprite(stage.hDC(), 0, 0, 1);
    sheet.DirectBltSprite(stage.hDC(), 3, 0, 2);
    EXPECT_TRUE(p.Matches(stage.hDC(), 0, 0, {"#b#rrr", "bbbr#r", "#b#rhr"}));
    // The picture object itself is untouched.
    MemorySurface probe(1, 1, false);
    const HGDIOBJ old = SelectObject(probe.hDC(), picture->Handle());
    EXPECT_TRUE(p.Matches(probe.hDC(), 0, 0, kSheet));
    SelectObject(probe.hDC(), old);
}

TEST_F(CSpriteBitmaps, WhiteAsTheTransparentColourLeavesTheImageAlone) {
    cSpriteBitmaps sheet;
    ASSERT_EQ(sheet.CreateFromFile(File("white.bmp", {"#r#", "rrr", "#r#"}), 1, 1, "", kWhite),
              kTrue);
    MemorySurface stage(p, PixelPattern::Filled(3, 3, 's'));
    sheet.DirectBltSprite(stage.hDC(), 0, 0, 1);
    EXPECT_TRUE(p.Matches(stage.hDC(), 0, 0, {"#r#", "rrr", "#r#"}));
    for (Boolean build : {kFalse, kTrue}) {
        EXPECT_EQ(DrawOnBackground(sheet, 0, 0, 1, build),
                  Rows({"yrmycmy", "rrrmycm", "crycmyc", "ycmycmy", "mycmycm"}));
    }
}

TEST_F(CSpriteBitmaps, ASuppliedMaskIsUsedAsItIs) {
    // Mask white where opaque; the image white where transparent. The red transparent colour
    // passed along takes no part.
    const Rows image = {"r#", "#b"};
    const Rows mask = {"#.", ".#"};
    cSpriteBitmaps fromFiles;
    ASSERT_EQ(fromFiles.CreateFromFile(File("i.bmp", image), 1, 1, File("m.bmp", mask), 0x0000FF),
              kTrue);
    cSpriteBitmaps fromPictures;
    auto imagePicture = Picture(image);
    auto maskPicture = Picture(mask);
    ASSERT_EQ(fromPictures.CreateFromPicture(*imagePicture, 1, 1, maskPicture.get(), 0x0000FF),
              kTrue);
    const Rows expected = {"ycmycmy", "mrcmycm", "cmbcmyc", "ycmycmy", "mycmycm"};
    for (Boolean build : {kFalse, kTrue}) {
        EXPECT_EQ(DrawOnBackground(fromFiles, 1, 1, 1, build), expected);
        EXPECT_EQ(DrawOnBackground(fromPictures, 1, 1, 1, build), expected);
    }
    // A mask file that cannot be loaded fails the create.
    EXPECT_EQ(fromFiles.CreateFromFile(File("i.bmp", image), 1, 1, dir.File("none.bmp"), 0),
              kFalse);
}

TEST_F(CSpriteBitmaps, CellsAreNumberedRowByRowAndOnlyCellsOnTheSheetDraw) {
    // 52 cells of 2 x 1 across: all red but the last, which is blue.
    std::string row(104, 'r');
    row[102] = row[103] = 'b';
    cSpriteBitmaps sheet;
    auto picture = Picture({row});
    ASSERT_EQ(sheet.CreateFromPicture(*picture, 52, 1, nullptr, kGreen), kTrue);
    EXPECT_EQ(sheet.CellWidth(), 2);
    EXPECT_EQ(sheet.CellHeight(), 1);
    MemorySurface stage(p, {"ssss"});
    sheet.TransparentDraw(stage.hDC(), 0, 0, 52, kFalse);
    sheet.TransparentDraw(stage.hDC(), 2, 0, 1, kTrue);
    EXPECT_TRUE(p.Matches(stage.hDC(), 0, 0, {"bbrr"}));
    // Cell 53 would lie below the sheet, cell 0 left of it: nothing is drawn, nothing read.
    for (Long cell : {53L, 0L, -7L, 104L, long{INT_MIN}, long{INT_MAX}}) {
        SCOPED_TRACE(cell);
        MemorySurface fresh(p, {"ssss"});
        sheet.TransparentDraw(fresh.hDC(), 0, 0, static_cast<Long>(cell), kFalse);
        sheet.TransparentDraw(fresh.hDC(), 2, 0, static_cast<Long>(cell), kTrue);
        sheet.DirectBltSprite(fresh.hDC(), 1, 0, static_cast<Long>(cell));
        EXPECT_TRUE(p.Matches(fresh.hDC(), 0, 0, {"ssss"}));
    }
}

TEST_F(CSpriteBitmaps, GridsThatDoNotDivideEvenlyDropTheRest) {
    // 5 x 3 in 2 x 2 cells: cells of 2 x 1, the last column and row never drawn.
    cSpriteBitmaps sheet;
    auto picture = Picture({"rrbbc", "yymmc", "ccccc"});
    ASSERT_EQ(sheet.CreateFromPicture(*picture, 2, 2, nullptr, kGreen), kTrue);
    EXPECT_EQ(sheet.CellWidth(), 2);
    EXPECT_EQ(sheet.CellHeight(), 1);
    MemorySurface stage(p, PixelPattern::Filled(8, 1, 's'));
    for (Long cell = 1; cell <= 4; ++cell)
        sheet.DirectBltSprite(stage.hDC(), 2 * (cell - 1), 0, cell);
    EXPECT_TRUE(p.Matches(stage.hDC(), 0, 0, {"rrbbyymm"}));
    // A sheet of one cell: the cell is the whole picture.
    ASSERT_EQ(sheet.CreateFromPicture(*picture, 1, 1, nullptr, kGreen), kTrue);
    EXPECT_EQ(sheet.CellWidth(), 5);
    EXPECT_EQ(sheet.CellHeight(), 3);
}

TEST_F(CSpriteBitmaps, FailedCreatesReportFalseAndDrawNothing) {
    cSpriteBitmaps sheet;
    auto picture = Picture(kSheet);
    // A count of 0 would divide by zero; below 1 is no grid.
    EXPECT_EQ(sheet.CreateFromPicture(*picture, 0, 1, nullptr, kGreen), kFalse);
    EXPECT_EQ(sheet.CreateFromPicture(*picture, 2, 0, nullptr, kGreen), kFalse);
    EXPECT_EQ(sheet.CreateFromPicture(*picture, -2, 1, nullptr, kGreen), kFalse);
    // More cells than pixels: a cell of 0 pixels draws nothing.
    sheet.CreateFromPicture(*picture, 7, 1, nullptr, kGreen);
    for (Boolean build : {kFalse, kTrue}) {
        EXPECT_EQ(DrawOnBackground(sheet, 0, 0, 1, build), kBackground);
    }
    EXPECT_EQ(sheet.CreateFromFile(dir.File("none.bmp"), 1, 1, "", kGreen), kFalse);
    PictureObject empty;
    EXPECT_EQ(sheet.CreateFromPicture(empty, 1, 1, nullptr, kGreen), kFalse);
    for (Boolean build : {kFalse, kTrue}) {
        EXPECT_EQ(DrawOnBackground(sheet, 0, 0, 1, build), kBackground);
    }
    // A sheet never made draws nothing either.
    cSpriteBitmaps never;
    EXPECT_EQ(DrawOnBackground(never, 0, 0, 1, kTrue), kBackground);
    EXPECT_EQ(never.CellWidth(), 0);
}

}  // namespace
