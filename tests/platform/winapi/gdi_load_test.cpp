// SPDX-License-Identifier: MIT
// Loading bitmap files: every depth the decoder reads, row order, and files that must fail
// (missing, cut short, lying headers, other formats, sizes past the limits).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "tests/support/BmpFile.h"
#include "tools/harness/TempDir.h"

namespace {

class GdiLoad : public ::testing::Test {
  protected:
    TempDir dir;

    HBITMAP Load(const std::string& name, const std::string& bytes) {
        dir.Write(name, bytes);
        return LoadImageA(0, dir.File(name).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    }

    // The pixels of a loaded bitmap, rows from the top; empty if it cannot be read.
    static std::vector<std::uint32_t> PixelsOf(HBITMAP bitmap) {
        BITMAP record{};
        if (GetObjectA(bitmap, sizeof record, &record) != 24)
            return {};
        EXPECT_EQ(record.bmBitsPixel, 32);  // loaded bitmaps are in the screen format
        std::vector<std::uint32_t> pixels(static_cast<size_t>(record.bmWidth) * record.bmHeight);
        const HDC dc = CreateCompatibleDC(0);
        const HBITMAP stock = SelectObject(dc, bitmap);
        EXPECT_TRUE(gdi::ReadPixels(dc, 0, 0, record.bmWidth, record.bmHeight, pixels.data()));
        SelectObject(dc, stock);
        DeleteDC(dc);
        return pixels;
    }

    // A 3 x 2 picture (an odd width, so rows carry padding) in a given depth.
    static BmpPicture Picture(int bits, bool topDown = false) {
        BmpPicture picture;
        picture.width = 3;
        picture.height = 2;
        picture.bitsPerPixel = bits;
        picture.topDown = topDown;
        if (bits <= 8) {
            picture.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
            picture.pixels = {1, 2, 3, 0, 1, 1};
            if (bits == 1)
                picture.pixels = {1, 0, 1, 0, 0, 1};
        } else {
            picture.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x102030, 0xFFFFFF, 0x000000};
            if (bits == 16)
                picture.pixels = {0xF80000, 0x00F800, 0x0000F8, 0x081018, 0xF8F8F8, 0};
        }
        return picture;
    }

    static std::vector<std::uint32_t> Expected(const BmpPicture& picture) {
        // Five bits a channel widen to eight by repeating their top bits.
        if (picture.bitsPerPixel == 16)
            return {0xFF0000, 0x00FF00, 0x0000FF, 0x081018, 0xFFFFFF, 0};
        if (picture.bitsPerPixel > 8)
            return picture.pixels;
        std::vector<std::uint32_t> colours;
        for (std::uint32_t index : picture.pixels)
            colours.push_back(picture.palette[index]);
        return colours;
    }
};

TEST_F(GdiLoad, ReadsEveryDepthInBothRowOrders) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(bits) + (topDown ? " bits, top-down" : " bits"));
            const BmpPicture picture = Picture(bits, topDown);
            const HBITMAP bitmap = Load("picture.bmp", EncodeBmp(picture));
            ASSERT_NE(bitmap, 0);
            EXPECT_EQ(PixelsOf(bitmap), Expected(picture));
            EXPECT_TRUE(DeleteObject(bitmap));
        }
    }
}

TEST_F(GdiLoad, LargePicturesArriveWholeAlsoWhenLoadedAgain) {
    // Large enough that its decoded bytes are given back page by page while they are
    // converted; every pixel its own colour, so that a page lost too early shows.
    BmpPicture picture;
    picture.width = 1001;
    picture.height = 700;
    picture.bitsPerPixel = 24;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x)
            picture.pixels.push_back(static_cast<std::uint32_t>(y) << 12 |
                                     static_cast<std::uint32_t>(x));
    }
    const std::string bytes = EncodeBmp(picture);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "first load" : "loaded again into memory given back before");
        const HBITMAP bitmap = Load("large.bmp", bytes);
        ASSERT_NE(bitmap, 0);
        EXPECT_EQ(PixelsOf(bitmap), picture.pixels);
        EXPECT_TRUE(DeleteObject(bitmap));
    }
}

TEST_F(GdiLoad, MissingUnreadableAndForeignFilesFail) {
    const int live = gdi::LiveObjectCount();
    EXPECT_EQ(LoadImageA(0, dir.File("none.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), 0);
    EXPECT_EQ(LoadImageA(0, dir.Path().c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), 0);
    EXPECT_EQ(LoadImageA(0, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), 0);
    EXPECT_EQ(Load("empty.bmp", ""), 0);
    EXPECT_EQ(Load("text.bmp", "BM this is not a bitmap at all"), 0);
    // A PNG file under a bitmap's name.
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\x02\0\0\0", 29);
    EXPECT_EQ(Load("picture.bmp", png + std::string(64, '\0')), 0);
    EXPECT_EQ(gdi::LiveObjectCount(), live);
}

TEST_F(GdiLoad, OnlyBitmapsFromFilesAtTheirOwnSize) {
    const std::string bytes = EncodeBmp(Picture(24));
    dir.Write("p.bmp", bytes);
    const std::string path = dir.File("p.bmp");
    EXPECT_EQ(LoadImageA(0, path.c_str(), 1, 0, 0, LR_LOADFROMFILE), 0);  // not IMAGE_BITMAP
    EXPECT_EQ(LoadImageA(0, path.c_str(), IMAGE_BITMAP, 0, 0, 0), 0);     // not from a file
    EXPECT_EQ(LoadImageA(0, path.c_str(), IMAGE_BITMAP, 6, 4, LR_LOADFROMFILE), 0);  // no stretch
    const HBITMAP same = LoadImageA(0, path.c_str(), IMAGE_BITMAP, 3, 2, LR_LOADFROMFILE);
    EXPECT_NE(same, 0);
    DeleteObject(same);
}

TEST_F(GdiLoad, FilesCutShortOrWithLyingHeadersFail) {
    const std::string good = EncodeBmp(Picture(24));
    ASSERT_NE(Load("good.bmp", good), 0);
    const int live = gdi::LiveObjectCount();
    // Cut inside the header, inside the pixels, and one byte short of the last row.
    for (size_t length : {size_t{10}, size_t{30}, size_t{60}, good.size() - 9}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(Load("cut.bmp", good.substr(0, length)), 0);
    }
    // A header that claims more rows than the file holds.
    std::string tall = good;
    tall[22] = 100;
    EXPECT_EQ(Load("tall.bmp", tall), 0);
    // Pixel data said to start past the end of the file.
    std::string far = good;
    far[10] = static_cast<char>(0xF0);
    far[11] = 0x7F;
    EXPECT_EQ(Load("far.bmp", far), 0);
    // A palette picture whose palette is said to hold no colours.
    BmpPicture picture = Picture(8);
    picture.palette.clear();
    picture.pixels.assign(6, 0);
    EXPECT_EQ(Load("nopalette.bmp", EncodeBmp(picture)), 0);
    EXPECT_EQ(gdi::LiveObjectCount(), live);
}

TEST_F(GdiLoad, SizesPastTheLimitsFailFromTheHeaderAlone) {
    // Headers claiming huge pictures, with (almost) no pixel data behind them: they must fail
    // at once, before anything of the claimed size is allocated.
    const auto claim = [](std::int32_t width, std::int32_t height) {
        BmpPicture picture;
        picture.width = 1;
        picture.height = 1;
        picture.pixels = {0};
        std::string bytes = EncodeBmp(picture);
        for (int i = 0; i < 4; ++i) {
            bytes[18 + i] =
                static_cast<char>((static_cast<std::uint32_t>(width) >> (8 * i)) & 0xFF);
            bytes[22 + i] =
                static_cast<char>((static_cast<std::uint32_t>(height) >> (8 * i)) & 0xFF);
        }
        return bytes;
    };
    EXPECT_EQ(Load("wide.bmp", claim(40000, 1)), 0);
    EXPECT_EQ(Load("high.bmp", claim(1, 40000)), 0);
    EXPECT_EQ(Load("big.bmp", claim(20000, 20000)), 0);  // 1.6 GB of pixels
    EXPECT_EQ(Load("big2.bmp", claim(8193, 8192)), 0);   // just over 256 MiB
    EXPECT_EQ(Load("neg.bmp", claim(-5, 1)), 0);
    EXPECT_EQ(Load("zero.bmp", claim(0, 1)), 0);
    EXPECT_EQ(Load("min.bmp", claim(1, INT32_MIN)), 0);
}

}  // namespace
