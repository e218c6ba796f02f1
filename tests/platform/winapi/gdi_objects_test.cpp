// SPDX-License-Identifier: MIT
// DCs, bitmaps and their handles: formats, selection rules, sizes, soft failure on stale or
// unknown handles, the pixel helpers and picture objects.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "platform/gdi.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/support/MemorySurface.h"
#include "tests/support/PixelPattern.h"

namespace {

int BitsPerPixel(HBITMAP bitmap) {
    BITMAP record{};
    return GetObjectA(bitmap, sizeof record, &record) == 24 ? record.bmBitsPixel : -1;
}

TEST(GdiObjects, NewMemoryDcHoldsTheSharedStockBitmap) {
    const int live = gdi::LiveObjectCount();
    const HDC a = CreateCompatibleDC(0);
    const HDC b = CreateCompatibleDC(0);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_EQ(gdi::LiveObjectCount(), live + 2);

    const HBITMAP bitmap = CreateCompatibleBitmap(a, 3, 2);
    const HBITMAP stockA = SelectObject(a, bitmap);
    ASSERT_NE(stockA, 0);
    EXPECT_EQ(BitsPerPixel(stockA), 1);
    BITMAP record{};
    ASSERT_EQ(GetObjectA(stockA, sizeof record, &record), 24);
    EXPECT_EQ(record.bmWidth, 1);
    EXPECT_EQ(record.bmHeight, 1);
    // One stock object, in both DCs at once; deleting it does nothing.
    const HBITMAP scratch = CreateCompatibleBitmap(b, 1, 1);
    EXPECT_EQ(SelectObject(b, scratch), stockA);
    EXPECT_TRUE(DeleteObject(stockA));
    EXPECT_EQ(SelectObject(b, stockA), scratch);
    EXPECT_EQ(SelectObject(a, stockA), bitmap);

    // The stock bitmap is shared, so it is no drawing surface.
    EXPECT_FALSE(BitBlt(b, 0, 0, 1, 1, 0, 0, 0, WHITENESS));
    EXPECT_FALSE(SetPixel(b, 0, 0, 0));
    EXPECT_EQ(GetPixel(b, 0, 0), CLR_INVALID);

    // Background white and text black: a monochrome 1 arrives as white, 0 as black.
    EXPECT_EQ(SetBkColor(a, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(SetTextColor(a, RGB(4, 5, 6)), RGB(0, 0, 0));
    EXPECT_EQ(SetBkColor(a, RGB(7, 8, 9)), RGB(1, 2, 3));

    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(scratch));
    EXPECT_TRUE(DeleteDC(a));
    EXPECT_TRUE(DeleteObject(b));  // a memory DC may also go through DeleteObject
    EXPECT_EQ(gdi::LiveObjectCount(), live);
}

TEST(GdiObjects, CompatibleBitmapTakesTheFormatSelectedAtThatMoment) {
    const HDC desktop = GetDC(GetDesktopWindow());
    const HBITMAP colour = CreateCompatibleBitmap(desktop, 4, 4);
    EXPECT_EQ(BitsPerPixel(colour), 32);
    const HDC memory = CreateCompatibleDC(desktop);
    const HBITMAP mono = CreateCompatibleBitmap(memory, 4, 4);  // fresh DC: monochrome
    EXPECT_EQ(BitsPerPixel(mono), 1);
    const HBITMAP stock = SelectObject(memory, colour);
    const HBITMAP colourToo = CreateCompatibleBitmap(memory, 4, 4);
    EXPECT_EQ(BitsPerPixel(colourToo), 32);

    BITMAP record{};
    ASSERT_EQ(GetObjectA(mono, sizeof record, &record), 24);
    EXPECT_EQ(record.bmPlanes, 1);
    EXPECT_EQ(record.bmWidthBytes, 2);
    ASSERT_EQ(GetObjectA(colour, 100, &record), 24);
    EXPECT_EQ(record.bmWidthBytes, 16);
    EXPECT_EQ(GetObjectA(colour, 23, &record), 0);
    EXPECT_EQ(GetObjectA(memory, sizeof record, &record), 0);  // a DC is no bitmap

    SelectObject(memory, stock);
    DeleteDC(memory);
    DeleteObject(colour);
    DeleteObject(mono);
    DeleteObject(colourToo);
    ReleaseDC(GetDesktopWindow(), desktop);
}

TEST(GdiObjects, SizesOutOfRangeFail) {
    const int live = gdi::LiveObjectCount();
    const HDC desktop = GetDC(GetDesktopWindow());
    // As the system does: no width or no height gives the shared 1 x 1 monochrome bitmap.
    const HBITMAP none = CreateCompatibleBitmap(desktop, 0, 5);
    BITMAP record{};
    ASSERT_EQ(GetObjectA(none, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_EQ(record.bmWidth * 100 + record.bmHeight * 10 + record.bmBitsPixel, 111);
    EXPECT_EQ(DeleteObject(none), TRUE) << "deleting the shared bitmap does nothing";
    EXPECT_EQ(CreateCompatibleBitmap(desktop, 5, 0), none);
    EXPECT_EQ(CreateCompatibleBitmap(desktop, 5, -1), 0);
    EXPECT_EQ(CreateCompatibleBitmap(desktop, 32768, 1), 0);
    EXPECT_EQ(CreateCompatibleBitmap(desktop, 20000, 20000), 0);  // 1.6 GB of pixels
    const HBITMAP longest = CreateCompatibleBitmap(desktop, 32767, 1);
    EXPECT_NE(longest, 0);
    DeleteObject(longest);
    const std::uint32_t pixel = 0;
    EXPECT_EQ(gdi::CreateBitmapFromPixels(0, 1, &pixel, 1), 0);
    EXPECT_EQ(gdi::CreateBitmapFromPixels(2, 1, &pixel, 1), 0);  // stride shorter than a row
    EXPECT_EQ(gdi::CreateBitmapFromPixels(1, 1, nullptr, 1), 0);
    EXPECT_EQ(gdi::LiveObjectCount(), live);
}

TEST(GdiObjects, BitmapLivesInOneDcAtATime) {
    const HDC a = CreateCompatibleDC(0);
    const HDC b = CreateCompatibleDC(0);
    const HBITMAP bitmap = CreateCompatibleBitmap(a, 2, 2);
    const HBITMAP stock = SelectObject(a, bitmap);
    EXPECT_EQ(SelectObject(b, bitmap), 0);
    EXPECT_EQ(SelectObject(a, bitmap), bitmap);  // again into its own DC: fine
    EXPECT_FALSE(DeleteObject(bitmap));          // still selected
    EXPECT_EQ(SelectObject(a, stock), bitmap);
    EXPECT_NE(SelectObject(b, bitmap), 0);
    // Deleting the DC lets go of its bitmap.
    EXPECT_TRUE(DeleteDC(b));
    EXPECT_TRUE(DeleteObject(bitmap));
    DeleteDC(a);
}

TEST(GdiObjects, StaleAndUnknownHandlesFailSoftly) {
    const HDC dc = CreateCompatibleDC(0);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
    DeleteDC(dc);
    DeleteObject(bitmap);
    const HDC live = CreateCompatibleDC(0);
    BITMAP record{};
    for (const std::int32_t bad : {dc, bitmap, 0, -1, 12345, 0x7FFFFFFF, bitmap ^ 0x10000}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(BitBlt(bad, 0, 0, 1, 1, live, 0, 0, SRCCOPY));
        EXPECT_FALSE(BitBlt(live, 0, 0, 1, 1, bad, 0, 0, SRCCOPY));
        EXPECT_EQ(SelectObject(bad, bitmap), 0);
        EXPECT_EQ(SelectObject(live, bad), 0);
        EXPECT_EQ(GetObjectA(bad, sizeof record, &record), 0);
        EXPECT_EQ(GetPixel(bad, 0, 0), CLR_INVALID);
        EXPECT_FALSE(SetPixel(bad, 0, 0, 0));
        EXPECT_EQ(SetBkColor(bad, 0), CLR_INVALID);
        EXPECT_EQ(SetTextColor(bad, 0), CLR_INVALID);
        EXPECT_EQ(CreateCompatibleBitmap(bad, 1, 1), 0);
        EXPECT_FALSE(DeleteObject(bad));
        EXPECT_FALSE(DeleteDC(bad));
        EXPECT_EQ(ReleaseDC(0, bad), 0);
        std::uint32_t out;
        EXPECT_FALSE(gdi::ReadPixels(bad, 0, 0, 1, 1, &out));
        if (bad != 0) {
            EXPECT_EQ(CreateCompatibleDC(bad), 0);
        }
    }
    DeleteDC(live);
}

TEST(GdiObjects, HandleValuesAreNotReusedSoon) {
    const int live = gdi::LiveObjectCount();
    std::set<std::int32_t> seen;
    const HDC dc = CreateCompatibleDC(0);
    for (int i = 0; i < 3000; ++i) {
        const HBITMAP bitmap = CreateCompatibleBitmap(dc, 1, 1);
        ASSERT_TRUE(seen.insert(bitmap).second) << "handle reused after " << i;
        DeleteObject(bitmap);
        const HDC other = CreateCompatibleDC(0);
        ASSERT_TRUE(seen.insert(other).second);
        DeleteDC(other);
    }
    DeleteDC(dc);
    EXPECT_EQ(gdi::LiveObjectCount(), live);
}

TEST(GdiObjects, PixelsRoundTripWithTheTopByteCleared) {
    const std::uint32_t pixels[] = {0xFF112233, 0x00445566, 0x12345678,  // row 0
                                    0xAAAAAAAA, 0xBBBBBBBB, 0xCCCCCCCC,  // (stride 3, width 2)
                                    0x00000001, 0x00FFFFFF, 0};
    const HBITMAP bitmap = gdi::CreateBitmapFromPixels(2, 3, pixels, 3);
    ASSERT_NE(bitmap, 0);
    const HDC dc = CreateCompatibleDC(0);
    const HBITMAP stock = SelectObject(dc, bitmap);
    std::uint32_t out[6] = {};
    ASSERT_TRUE(gdi::ReadPixels(dc, 0, 0, 2, 3, out));
    const std::uint32_t expected[] = {0x112233, 0x445566, 0xAAAAAA, 0xBBBBBB, 0x000001, 0xFFFFFF};
    EXPECT_TRUE(std::equal(out, out + 6, expected));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(GetPixel(dc, 2, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 0, -1), CLR_INVALID);
    EXPECT_TRUE(gdi::ReadPixels(dc, 1, 1, 1, 2, out));
    EXPECT_FALSE(gdi::ReadPixels(dc, 1, 1, 2, 1, out));
    EXPECT_FALSE(gdi::ReadPixels(dc, -1, 0, 1, 1, out));
    EXPECT_TRUE(SetPixel(dc, 1, 2, RGB(0xAB, 0xCD, 0xEF)));
    EXPECT_FALSE(SetPixel(dc, 2, 2, 0));
    EXPECT_EQ(GetPixel(dc, 1, 2), RGB(0xAB, 0xCD, 0xEF));
    SelectObject(dc, stock);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST(GdiObjects, MonochromePixelsTakeTheNearerOfBlackAndWhite) {
    MemorySurface mono(3, 1, true);
    SetPixel(mono.hDC(), 0, 0, RGB(200, 200, 200));
    SetPixel(mono.hDC(), 1, 0, RGB(255, 0, 0));
    SetPixel(mono.hDC(), 2, 0, RGB(128, 128, 127));
    EXPECT_EQ(GetPixel(mono.hDC(), 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mono.hDC(), 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(mono.hDC(), 2, 0), RGB(255, 255, 255));
}

TEST(GdiObjects, PictureObjectOwnsItsBitmap) {
    const int live = gdi::LiveObjectCount();
    const std::uint32_t pixels[] = {0xFF0000, 0x00FF00};
    {
        auto picture = PictureObject::FromPixels(2, 1, pixels, 2);
        ASSERT_NE(picture->Handle(), 0);
        BITMAP record{};
        ASSERT_EQ(GetObjectA(picture->Handle(), sizeof record, &record), 24);
        EXPECT_EQ(record.bmWidth, 2);
        EXPECT_EQ(record.bmBitsPixel, 32);
        EXPECT_EQ(gdi::LiveObjectCount(), live + 1);
        EXPECT_EQ(PictureObject::FromPixels(0, 0, pixels, 0)->Handle(), 0);
    }
    EXPECT_EQ(gdi::LiveObjectCount(), live);
}

TEST(GdiObjects, ScreenMetricsComeFromTheInstalledHost) {
    HeadlessHost host;
    host.SetScreenPixels(800, 600);
    SetHost(&host);
    const ScreenMetrics screen = GetScreenMetrics();
    SetHost(nullptr);
    EXPECT_EQ(screen.widthTwips, 12000);
    EXPECT_EQ(screen.heightTwips, 9000);
    EXPECT_EQ(screen.twipsPerPixelX, 15);
    EXPECT_EQ(screen.twipsPerPixelY, 15);
}

}  // namespace
