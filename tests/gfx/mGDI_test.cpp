// SPDX-License-Identifier: MIT
// Making and freeing memory surfaces: formats, failures that leave partial results, pictures
// copied without being touched, and freeing triples in every state.

#include "gfx/mGDI.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/BmpFile.h"
#include "tests/support/MemorySurface.h"
#include "tests/support/PixelPattern.h"
#include "tools/harness/TempDir.h"

namespace {

int BitsOf(HBITMAP bitmap) {
    BITMAP record{};
    return GetObjectA(bitmap, sizeof record, &record) == static_cast<int>(sizeof record)
               ? record.bmBitsPixel
               : -1;
}

class MGdi : public ::testing::Test {
  protected:
    void SetUp() override { live = gdi::LiveObjectCount(); }
    void TearDown() override { EXPECT_EQ(gdi::LiveObjectCount(), live); }

    int live = 0;
    PixelPattern p;
    HDC dc = HandleFromNumber<HDC>(123);
    HBITMAP bmp = HandleFromNumber<HBITMAP>(456);
    HBITMAP old = HandleFromNumber<HBITMAP>(789);
};

TEST_F(MGdi, SurfacesAtASizeInEitherFormat) {
    ASSERT_EQ(CreateDCAtSize(kTrue, dc, bmp, old, 5, 3), kTrue);
    EXPECT_EQ(BitsOf(bmp), 1);
    EXPECT_EQ(BitsOf(old), 1);  // the new DC's own 1 x 1 bitmap
    DestroyDC(dc, bmp, old);
    EXPECT_EQ(dc, HDC{});
    EXPECT_EQ(bmp, HBITMAP{});

    ASSERT_EQ(CreateDCAtSize(kFalse, dc, bmp, old, 5, 3), kTrue);
    EXPECT_EQ(BitsOf(bmp), 32);
    BITMAP record{};
    GetObjectA(bmp, sizeof record, &record);
    EXPECT_EQ(record.bmWidth, 5);
    EXPECT_EQ(record.bmHeight, 3);
    DestroyDC(dc, bmp, old);
}

TEST_F(MGdi, ASizeOfNothingGivesTheSystemsOneByOneMonochromeBitmap) {
    for (Boolean mono : {kTrue, kFalse}) {
        EXPECT_EQ(CreateDCAtSize(mono, dc, bmp, old, 0, 3), kTrue);
        EXPECT_NE(dc, HDC{});
        BITMAP record{};
        ASSERT_EQ(GetObjectA(bmp, sizeof record, &record), static_cast<int>(sizeof record));
        EXPECT_EQ(record.bmWidth, 1);
        EXPECT_EQ(record.bmHeight, 1);
        EXPECT_EQ(record.bmBitsPixel, 1);
        DestroyDC(dc, bmp, old);
        EXPECT_EQ(dc, HDC{});
    }
}

#ifndef _WIN32
// The drawing stand-in refuses a negative size (the system's own takes its magnitude).
TEST_F(MGdi, AFailedSizeLeavesTheDcForTheOwnerToFree) {
    EXPECT_EQ(CreateDCAtSize(kFalse, dc, bmp, old, -4, 3), kFalse);
    EXPECT_NE(dc, HDC{});
    EXPECT_EQ(bmp, HBITMAP{});
    EXPECT_EQ(old, HBITMAP{});
    DestroyDC(dc, bmp, old);  // a DC without a bitmap: deleted, nothing selected back
    EXPECT_EQ(dc, HDC{});
}
#endif  // _WIN32

TEST_F(MGdi, SurfacesFromFiles) {
    TempDir dir;
    BmpPicture picture;
    picture.width = 2;
    picture.height = 1;
    picture.pixels = {0xFF0000, 0x0000FF};
    dir.Write("two.bmp", EncodeBmp(picture));
    for (Boolean mono : {kTrue, kFalse}) {
        ASSERT_EQ(CreateDCFromFile(mono, dir.File("two.bmp"), dc, bmp, old), kTrue);
        EXPECT_EQ(BitsOf(bmp), 32);  // the loaded bitmap keeps the loader's format
        EXPECT_TRUE(p.Matches(dc, 0, 0, {"rb"}));
        DestroyDC(dc, bmp, old);
    }
    EXPECT_EQ(CreateDCFromFile(kFalse, dir.File("none.bmp"), dc, bmp, old), kFalse);
    EXPECT_EQ(dc, HDC{});
    EXPECT_EQ(bmp, HBITMAP{});
    EXPECT_EQ(old, HBITMAP{});
}

TEST_F(MGdi, ALoadedBitmapWithoutADcIsFreedAtOnce) {
    TempDir dir;
    BmpPicture picture;
    picture.width = 1;
    picture.height = 1;
    picture.pixels = {0};
    dir.Write("one.bmp", EncodeBmp(picture));
    // Fill the DC table so that no further DC can be made.
    std::vector<HDC> all;
    for (HDC made; (made = CreateCompatibleDC(0)) != 0;)
        all.push_back(made);
    ASSERT_GT(all.size(), 1000u);
    const int full = gdi::LiveObjectCount();
    EXPECT_EQ(CreateDCFromFile(kFalse, dir.File("one.bmp"), dc, bmp, old), kFalse);
    EXPECT_EQ(dc, HDC{});
    EXPECT_EQ(bmp, HBITMAP{});
    EXPECT_EQ(gdi::LiveObjectCount(), full);
    for (HDC made : all)
        DeleteDC(made);
}

TEST_F(MGdi, PicturesAreCopiedAndLeftIntact) {
    auto picture = PictureObject::FromPixels(3, 2, p.Pixels({"rgb", "ycm"}).data(), 3);
    for (Boolean mono : {kTrue, kFalse}) {
        ASSERT_EQ(CreateDCFromPicture(mono, *picture, dc, bmp, old), kTrue);
        EXPECT_NE(bmp, picture->Handle());
        EXPECT_EQ(BitsOf(bmp), 32);  // a colour picture stays colour either way
        EXPECT_TRUE(p.Matches(dc, 0, 0, {"rgb", "ycm"}));
        // The copy is independent, and the picture can still be selected elsewhere.
        ASSERT_TRUE(BitBlt(dc, 0, 0, 3, 2, 0, 0, 0, WHITENESS));
        MemorySurface probe(1, 1, false);
        const HGDIOBJ probeOld = SelectObject(probe.hDC(), picture->Handle());
        ASSERT_NE(probeOld, HGDIOBJ{});
        EXPECT_TRUE(p.Matches(probe.hDC(), 0, 0, {"rgb", "ycm"}));
        SelectObject(probe.hDC(), probeOld);
        DestroyDC(dc, bmp, old);
    }
}

TEST_F(MGdi, AMonochromePictureStaysMonochromeOnlyWhenAsked) {
    const HDC maker = CreateCompatibleDC(0);
    PictureObject picture(CreateCompatibleBitmap(maker, 2, 1));
    DeleteDC(maker);
    {
        MemorySurface paint(1, 1, false);
        const HGDIOBJ paintOld = SelectObject(paint.hDC(), picture.Handle());
        SetPixel(paint.hDC(), 1, 0, RGB(255, 255, 255));
        SelectObject(paint.hDC(), paintOld);
    }
    ASSERT_EQ(CreateDCFromPicture(kTrue, picture, dc, bmp, old), kTrue);
    EXPECT_EQ(BitsOf(bmp), 1);
    EXPECT_TRUE(p.Matches(dc, 0, 0, {".#"}));
    DestroyDC(dc, bmp, old);
    ASSERT_EQ(CreateDCFromPicture(kFalse, picture, dc, bmp, old), kTrue);
    EXPECT_EQ(BitsOf(bmp), 32);
    EXPECT_TRUE(p.Matches(dc, 0, 0, {".#"}));
    DestroyDC(dc, bmp, old);
}

TEST_F(MGdi, PicturesThatCannotBeReadFail) {
    PictureObject empty;
    EXPECT_EQ(CreateDCFromPicture(kFalse, empty, dc, bmp, old), kFalse);
    EXPECT_EQ(bmp, HBITMAP{});
    DestroyDC(dc, bmp, old);
    // A picture whose bitmap is held by another DC.
    auto picture = PictureObject::FromPixels(1, 1, p.Pixels({"r"}).data(), 1);
    MemorySurface holder(1, 1, false);
    const HGDIOBJ holderOld = SelectObject(holder.hDC(), picture->Handle());
    EXPECT_EQ(CreateDCFromPicture(kTrue, *picture, dc, bmp, old), kFalse);
    DestroyDC(dc, bmp, old);
    SelectObject(holder.hDC(), holderOld);
}

TEST_F(MGdi, DestroyingEmptyTriplesIsHarmless) {
    // DC 0: nothing happens, whatever the bitmap says.
    HDC none = 0;
    HBITMAP someBitmap = HandleFromNumber<HBITMAP>(42);
    DestroyDC(none, someBitmap, HandleFromNumber<HBITMAP>(7));
    EXPECT_EQ(none, HDC{});
    EXPECT_EQ(someBitmap, HandleFromNumber<HBITMAP>(42));
    // Twice in a row on the same triple.
    ASSERT_EQ(CreateDCAtSize(kFalse, dc, bmp, old, 2, 2), kTrue);
    const HBITMAP previous = old;
    DestroyDC(dc, bmp, old);
    DestroyDC(dc, bmp, old);
    EXPECT_EQ(old, previous);  // the previous-bitmap value is not changed
}

}  // namespace
