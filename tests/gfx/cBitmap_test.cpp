// SPDX-License-Identifier: MIT
// The off-screen bitmap: creates that free what came before, sizes, and exact copies.

#include "gfx/cBitmap.h"

#include <gtest/gtest.h>

#include "tests/support/BmpFile.h"
#include "tests/support/MemorySurface.h"
#include "tests/support/PixelPattern.h"
#include "tools/harness/TempDir.h"

namespace {

class CBitmap : public ::testing::Test {
  protected:
    void SetUp() override {
        live = gdi::LiveObjectCount();
        BmpPicture picture;
        picture.width = 3;
        picture.height = 2;
        picture.pixels = p.Pixels({"rgb", "ycm"});
        dir.Write("pic.bmp", EncodeBmp(picture));
    }
    void TearDown() override { EXPECT_EQ(gdi::LiveObjectCount(), live); }

    int live = 0;
    PixelPattern p;
    TempDir dir;
};

TEST_F(CBitmap, EachCreateFreesTheSurfaceBefore) {
    {
        cBitmap bitmap;
        EXPECT_EQ(bitmap.hDC(), HDC{});
        EXPECT_EQ(bitmap.Width(), 0);
        ASSERT_EQ(bitmap.CreateAtSize(4, 3), kTrue);
        const HDC first = bitmap.hDC();
        const int made = gdi::LiveObjectCount();
        ASSERT_EQ(bitmap.CreateAtSize(2, 5), kTrue);
        EXPECT_NE(bitmap.hDC(), first);
        EXPECT_EQ(gdi::LiveObjectCount(), made);
        EXPECT_EQ(bitmap.Width(), 2);
        EXPECT_EQ(bitmap.Height(), 5);
        EXPECT_FALSE(BitBlt(first, 0, 0, 1, 1, 0, 0, 0, WHITENESS));  // the old DC is gone
    }
    // Destruction freed it all (checked by the fixture).
}

TEST_F(CBitmap, FailedCreatesKeepTheLastSize) {
    cBitmap bitmap;
    ASSERT_EQ(bitmap.CreateFromFile(dir.File("pic.bmp")), kTrue);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.CreateFromFile(dir.File("missing.bmp")), kFalse);
    EXPECT_EQ(bitmap.hDC(), HDC{});
    EXPECT_EQ(bitmap.Width(), 3);
    // A zero width gives the system's 1 x 1 monochrome bitmap, and no size of its own.
    EXPECT_EQ(bitmap.CreateAtSize(0, 5), kTrue);
    EXPECT_EQ(bitmap.Height(), 5);
    EXPECT_EQ(bitmap.Width(), 0);
    // An empty object copies nothing.
    MemorySurface dest(p, {"ss", "ss"});
    bitmap.RenderBitmap(dest.hDC(), 0, 0, SRCCOPY);
    EXPECT_TRUE(p.Matches(dest.hDC(), 0, 0, {"ss", "ss"}));
}

TEST_F(CBitmap, RenderBitmapCopiesTheWholePictureExactly) {
    cBitmap bitmap;
    ASSERT_EQ(bitmap.CreateFromFile(dir.File("pic.bmp")), kTrue);
    MemorySurface same(3, 2, false);
    bitmap.RenderBitmap(same.hDC(), 0, 0, SRCCOPY);
    EXPECT_TRUE(p.Matches(same.hDC(), 0, 0, {"rgb", "ycm"}));
    // Placed with a guard ring around it, and with another raster operation.
    MemorySurface dest(p, PixelPattern::Filled(5, 4, 's'));
    bitmap.RenderBitmap(dest.hDC(), 1, 1, SRCCOPY);
    EXPECT_TRUE(p.Matches(dest.hDC(), 0, 0, {"sssss", "srgbs", "sycms", "sssss"}));
    bitmap.RenderBitmap(dest.hDC(), 1, 1, SRCINVERT);
    EXPECT_TRUE(p.Matches(dest.hDC(), 0, 0, {"sssss", "s...s", "s...s", "sssss"}));
}

TEST_F(CBitmap, CreateFromPictureCopiesInTheScreenFormat) {
    cBitmap bitmap;
    {
        auto picture = PictureObject::FromPixels(3, 2, p.Pixels({"rgb", "ycm"}).data(), 3);
        ASSERT_EQ(bitmap.CreateFromPicture(*picture), kTrue);
    }
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_TRUE(p.Matches(bitmap.hDC(), 0, 0, {"rgb", "ycm"}));
    PictureObject empty;
    EXPECT_EQ(bitmap.CreateFromPicture(empty), kFalse);
    EXPECT_EQ(bitmap.Width(), 3);
}

}  // namespace
