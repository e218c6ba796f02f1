// SPDX-License-Identifier: MIT
// Block transfers: the raster operations between the two formats, the colour conversions,
// clipping against both surfaces, and a surface copied onto itself.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "platform/gdi.h"
#include "tests/support/MemorySurface.h"
#include "tests/support/PixelPattern.h"

namespace {

// Four pixels in a row, each format. Colour values are 0x00RRGGBB.
std::vector<std::uint32_t> Row(HDC dc, int width = 4) {
    std::vector<std::uint32_t> pixels(width);
    EXPECT_TRUE(gdi::ReadPixels(dc, 0, 0, width, 1, pixels.data()));
    return pixels;
}

void PaintColour(MemorySurface& surface, const std::vector<std::uint32_t>& pixels) {
    for (int x = 0; x < static_cast<int>(pixels.size()); ++x) {
        const std::uint32_t p = pixels[x];
        SetPixel(surface.hDC(), x, 0, RGB(p >> 16, p >> 8, p));
    }
}

void PaintMono(MemorySurface& surface, const std::vector<bool>& bits) {
    for (int x = 0; x < static_cast<int>(bits.size()); ++x) {
        SetPixel(surface.hDC(), x, 0, bits[x] ? RGB(255, 255, 255) : RGB(0, 0, 0));
    }
}

std::uint32_t Apply(std::uint32_t rop, std::uint32_t d, std::uint32_t s) {
    switch (rop) {
        case SRCCOPY:
            return s;
        case SRCPAINT:
            return d | s;
        case SRCAND:
            return d & s;
        case SRCINVERT:
            return d ^ s;
    }
    return 0xDEAD;
}

constexpr std::uint32_t kOps[] = {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT};

const std::vector<std::uint32_t> kColourD = {0x000000, 0xFFFFFF, 0x123456, 0xF0A050};
const std::vector<std::uint32_t> kColourS = {0x0F0F0F, 0x00FF00, 0xFF00FF, 0x123456};
const std::vector<bool> kMonoD = {false, true, false, true};
const std::vector<bool> kMonoS = {false, false, true, true};

TEST(GdiBlit, ColourOntoColourCombinesEveryBit) {
    for (std::uint32_t rop : kOps) {
        MemorySurface d(4, 1, false), s(4, 1, false);
        PaintColour(d, kColourD);
        PaintColour(s, kColourS);
        ASSERT_TRUE(BitBlt(d.hDC(), 0, 0, 4, 1, s.hDC(), 0, 0, rop));
        const auto out = Row(d.hDC());
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(out[i], Apply(rop, kColourD[i], kColourS[i])) << std::hex << rop << " " << i;
        }
    }
}

TEST(GdiBlit, MonoOntoMonoCombinesBits) {
    for (std::uint32_t rop : kOps) {
        MemorySurface d(4, 1, true), s(4, 1, true);
        PaintMono(d, kMonoD);
        PaintMono(s, kMonoS);
        ASSERT_TRUE(BitBlt(d.hDC(), 0, 0, 4, 1, s.hDC(), 0, 0, rop));
        const auto out = Row(d.hDC());
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t dv = kMonoD[i] ? 1 : 0, sv = kMonoS[i] ? 1 : 0;
            EXPECT_EQ(out[i], Apply(rop, dv, sv) & 1 ? 0xFFFFFFu : 0u) << std::hex << rop << i;
        }
    }
}

// Colour into monochrome: 1 exactly where the source equals the SOURCE DC's background colour.
TEST(GdiBlit, ColourOntoMonoKeysOnTheSourceBackground) {
    for (std::uint32_t rop : kOps) {
        MemorySurface d(4, 1, true), s(4, 1, false);
        PaintMono(d, kMonoD);
        PaintColour(s, {0x00FF00, 0x00FF01, 0xFFFFFF, 0x00FF00});
        SetBkColor(s.hDC(), RGB(0, 255, 0));
        SetBkColor(d.hDC(), RGB(255, 255, 255));  // the destination's colours take no part
        SetTextColor(s.hDC(), RGB(0, 255, 0));
        ASSERT_TRUE(BitBlt(d.hDC(), 0, 0, 4, 1, s.hDC(), 0, 0, rop));
        const std::uint32_t converted[] = {1, 0, 0, 1};
        const auto out = Row(d.hDC());
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t dv = kMonoD[i] ? 1 : 0;
            EXPECT_EQ(out[i], Apply(rop, dv, converted[i]) & 1 ? 0xFFFFFFu : 0u)
                << std::hex << rop << " " << i;
        }
    }
}

// Monochrome into colour: 1 becomes the DESTINATION DC's background colour, 0 its text colour.
TEST(GdiBlit, MonoOntoColourTakesTheDestinationColours) {
    for (std::uint32_t rop : kOps) {
        MemorySurface d(4, 1, false), s(4, 1, true);
        PaintColour(d, kColourD);
        PaintMono(s, kMonoS);
        SetBkColor(d.hDC(), RGB(0x11, 0x22, 0x33));
        SetTextColor(d.hDC(), RGB(0xA0, 0xB0, 0xC0));
        SetBkColor(s.hDC(), RGB(1, 2, 3));  // the source's colours take no part
        SetTextColor(s.hDC(), RGB(4, 5, 6));
        ASSERT_TRUE(BitBlt(d.hDC(), 0, 0, 4, 1, s.hDC(), 0, 0, rop));
        const auto out = Row(d.hDC());
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t converted = kMonoS[i] ? 0x112233 : 0xA0B0C0;
            EXPECT_EQ(out[i], Apply(rop, kColourD[i], converted)) << std::hex << rop << " " << i;
        }
    }
}

TEST(GdiBlit, WhitenessSetsAllBitsAndReadsNoSource) {
    MemorySurface colour(3, 2, false), mono(3, 2, true);
    ASSERT_TRUE(BitBlt(colour.hDC(), 1, 0, 5, 5, 0, 0, 0, WHITENESS));
    ASSERT_TRUE(BitBlt(mono.hDC(), 0, 1, 3, 1, 0, 0, 0, WHITENESS));
    const PixelPattern p;
    EXPECT_TRUE(p.Matches(colour.hDC(), 0, 0, {".##", ".##"}));
    EXPECT_TRUE(p.Matches(mono.hDC(), 0, 0, {"...", "###"}));
    // White is 0x00FFFFFF: the unused top byte stays 0, so white keys as white.
    MemorySurface key(1, 1, true);
    SetBkColor(colour.hDC(), RGB(255, 255, 255));
    ASSERT_TRUE(BitBlt(key.hDC(), 0, 0, 1, 1, colour.hDC(), 1, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(key.hDC(), 0, 0), RGB(255, 255, 255));
}

TEST(GdiBlit, UnknownRasterOperationFails) {
    MemorySurface d(2, 2, false), s(2, 2, false);
    EXPECT_FALSE(BitBlt(d.hDC(), 0, 0, 2, 2, s.hDC(), 0, 0, 0x00AA0029));
    EXPECT_FALSE(BitBlt(d.hDC(), 0, 0, 2, 2, 0, 0, 0, SRCCOPY));  // this one needs a source
}

// --- Clipping -----------------------------------------------------------------------------------

class GdiClip : public ::testing::Test {
  protected:
    // A 6 x 5 destination of sentinel pixels and a 3 x 3 source of distinct colours.
    PixelPattern p;
    MemorySurface dest{p, PixelPattern::Filled(6, 5, 's')};
    MemorySurface src{p, {"rgb", "ycm", "o#."}};

    ::testing::AssertionResult After(int x, int y, int w, int h, int sx, int sy,
                                     const PixelPattern::Rows& expected) {
        if (!BitBlt(dest.hDC(), x, y, w, h, src.hDC(), sx, sy, SRCCOPY)) {
            return ::testing::AssertionFailure() << "BitBlt failed";
        }
        return p.Matches(dest.hDC(), 0, 0, expected);
    }
};

TEST_F(GdiClip, InsideBothSurfaces) {
    EXPECT_TRUE(After(1, 1, 3, 3, 0, 0, {"ssssss", "srgbss", "sycmss", "so#.ss", "ssssss"}));
}

TEST_F(GdiClip, AtTheDestinationEdges) {
    EXPECT_TRUE(After(-1, -2, 3, 3, 0, 0, {"#.ssss", "ssssss", "ssssss", "ssssss", "ssssss"}));
    EXPECT_TRUE(After(4, 3, 3, 3, 0, 0, {"#.ssss", "ssssss", "ssssss", "ssssrg", "ssssyc"}));
}

TEST_F(GdiClip, PixelsFromOutsideTheSourceLeaveTheDestination) {
    // Source origin at (-1, -1): the first row and column would come from outside.
    EXPECT_TRUE(After(0, 0, 6, 5, -1, -1, {"ssssss", "srgbss", "sycmss", "so#.ss", "ssssss"}));
    // Source origin at (2, 1): only one column and two rows lie inside.
    EXPECT_TRUE(After(3, 0, 4, 4, 2, 1, {"sssmss", "srg.ss", "sycmss", "so#.ss", "ssssss"}));
}

TEST_F(GdiClip, SizesPastBothSurfacesAndOverflowingArguments) {
    EXPECT_TRUE(
        After(0, 0, INT_MAX, INT_MAX, 0, 0, {"rgbsss", "ycmsss", "o#.sss", "ssssss", "ssssss"}));
    // x + width overflows an int: still only what lies inside is copied.
    EXPECT_TRUE(
        After(5, 4, INT_MAX, INT_MAX, 2, 2, {"rgbsss", "ycmsss", "o#.sss", "ssssss", "sssss."}));
    const PixelPattern::Rows unchanged = {"rgbsss", "ycmsss", "o#.sss", "ssssss", "sssss."};
    EXPECT_TRUE(After(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, unchanged));
    EXPECT_TRUE(After(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MIN, unchanged));
    EXPECT_TRUE(After(0, 0, 3, 3, INT_MAX, INT_MIN, unchanged));
    EXPECT_TRUE(After(-3, -3, 3, 3, 0, 0, unchanged));
    EXPECT_TRUE(After(0, 0, -3, 3, 0, 0, unchanged));
    EXPECT_TRUE(After(0, 0, 3, 0, 0, 0, unchanged));
}

// Every row width from one pixel to past the widest inline copy, at every start within a word,
// against the pixel-by-pixel rule: nothing beyond the block is touched.
TEST(GdiBlit, EveryRowWidthCombinesExactlyItsPixels) {
    constexpr int kWidth = 48;
    for (std::uint32_t rop : kOps) {
        for (int width = 1; width <= 40; ++width) {
            for (int x = 0; x < 4; ++x) {
                MemorySurface d(kWidth, 1, false), s(kWidth, 1, false);
                std::vector<std::uint32_t> before(kWidth), source(kWidth);
                for (int i = 0; i < kWidth; ++i) {
                    before[i] = (0x010203u * static_cast<std::uint32_t>(i + 1)) & 0xFFFFFF;
                    source[i] =
                        (0xF1E2D3u ^ (0x0A0B0Cu * static_cast<std::uint32_t>(i))) & 0xFFFFFF;
                }
                PaintColour(d, before);
                PaintColour(s, source);
                ASSERT_TRUE(BitBlt(d.hDC(), x, 0, width, 1, s.hDC(), 3 - x, 0, rop));
                const auto out = Row(d.hDC(), kWidth);
                for (int i = 0; i < kWidth; ++i) {
                    const bool inside = i >= x && i < x + width;
                    const std::uint32_t expected =
                        inside ? Apply(rop, before[i], source[i - x + 3 - x]) : before[i];
                    ASSERT_EQ(out[i], expected) << std::hex << rop << std::dec << " width " << width
                                                << " at " << x << " pixel " << i;
                }
            }
        }
    }
}

// The same for a mask row onto colour (the masked draws of sprites): every width, every start, the
// destination's own background and text colours, bits that change within each group of four.
TEST(GdiBlit, EveryMaskRowWidthExpandsExactlyItsPixels) {
    constexpr int kWidth = 48;
    for (std::uint32_t rop : kOps) {
        for (int width = 1; width <= 40; ++width) {
            for (int x = 0; x < 4; ++x) {
                MemorySurface d(kWidth, 1, false), s(kWidth, 1, true);
                std::vector<std::uint32_t> before(kWidth);
                std::vector<bool> bits(kWidth);
                for (int i = 0; i < kWidth; ++i) {
                    before[i] = (0x010203u * static_cast<std::uint32_t>(i + 1)) & 0xFFFFFF;
                    bits[i] = (i * 7 + i / 5) % 3 == 0;
                }
                PaintColour(d, before);
                PaintMono(s, bits);
                SetBkColor(d.hDC(), RGB(0x11, 0x22, 0x33));
                SetTextColor(d.hDC(), RGB(0xA0, 0xB0, 0xC0));
                ASSERT_TRUE(BitBlt(d.hDC(), x, 0, width, 1, s.hDC(), 3 - x, 0, rop));
                const auto out = Row(d.hDC(), kWidth);
                for (int i = 0; i < kWidth; ++i) {
                    const bool inside = i >= x && i < x + width;
                    const std::uint32_t expected =
                        inside ? Apply(rop, before[i], bits[i - x + 3 - x] ? 0x112233 : 0xA0B0C0)
                               : before[i];
                    ASSERT_EQ(out[i], expected) << std::hex << rop << std::dec << " width " << width
                                                << " at " << x << " pixel " << i;
                }
            }
        }
    }
}

// A sprite's transparent area (white in its picture, 0 in its mask with black as the text colour)
// leaves the destination as it was, however long the stretch, and one opaque pixel anywhere in a
// stretch is drawn: every position within a group of sixteen, every start.
TEST(GdiBlit, TransparentStretchesLeaveTheDestinationAndOpaquePixelsAreDrawn) {
    constexpr int kWidth = 56;
    for (int opaque = -1; opaque < 16; ++opaque) {
        for (int x = 0; x < 4; ++x) {
            std::vector<std::uint32_t> before(kWidth), picture(kWidth, 0xFFFFFF);
            std::vector<bool> bits(kWidth, false);
            for (int i = 0; i < kWidth; ++i)
                before[i] = (0x010203u * static_cast<std::uint32_t>(i + 1)) & 0xFFFFFF;
            if (opaque >= 0) {
                // One opaque pixel in the second group of sixteen, two in the third.
                for (int at : {16 + opaque, 32 + opaque, 32 + (opaque + 5) % 16}) {
                    picture[at] = 0x00A0B0 + static_cast<std::uint32_t>(at);
                    bits[at] = true;
                }
            }
            for (const bool blackText : {true, false}) {
                MemorySurface d(kWidth, 1, false), mask(kWidth, 1, true);
                PaintColour(d, before);
                PaintMono(mask, bits);
                SetBkColor(d.hDC(), RGB(255, 255, 255));
                SetTextColor(d.hDC(), blackText ? RGB(0, 0, 0) : RGB(0x01, 0x02, 0x04));
                ASSERT_TRUE(BitBlt(d.hDC(), x, 0, kWidth - 4, 1, mask.hDC(), 0, 0, SRCPAINT));
                const auto out = Row(d.hDC(), kWidth);
                for (int i = 0; i < kWidth; ++i) {
                    const bool inside = i >= x && i < x + kWidth - 4;
                    const std::uint32_t expected = !inside ? before[i]
                                                   : bits[i - x]
                                                       ? 0xFFFFFF
                                                       : before[i] | (blackText ? 0u : 0x010204u);
                    ASSERT_EQ(out[i], expected) << "mask, opaque " << opaque << " at " << x
                                                << " pixel " << i << " black text " << blackText;
                }
            }
            MemorySurface d(kWidth, 1, false), sprite(kWidth, 1, false);
            PaintColour(d, before);
            PaintColour(sprite, picture);
            ASSERT_TRUE(BitBlt(d.hDC(), x, 0, kWidth - 4, 1, sprite.hDC(), 0, 0, SRCAND));
            const auto out = Row(d.hDC(), kWidth);
            for (int i = 0; i < kWidth; ++i) {
                const bool inside = i >= x && i < x + kWidth - 4;
                ASSERT_EQ(out[i], inside ? before[i] & picture[i - x] : before[i])
                    << "picture, opaque " << opaque << " at " << x << " pixel " << i;
            }
        }
    }
}

// --- A surface onto itself ----------------------------------------------------------------------

TEST(GdiBlitOverlap, CopiesWithinOneSurfaceInEveryDirection) {
    const PixelPattern p;
    const PixelPattern::Rows start = {"rgbs", "ycms", "o#.s", "ssss"};
    {
        MemorySurface s(p, start);
        ASSERT_TRUE(BitBlt(s.hDC(), 1, 1, 3, 3, s.hDC(), 0, 0, SRCCOPY));  // down and right
        EXPECT_TRUE(p.Matches(s.hDC(), 0, 0, {"rgbs", "yrgb", "oycm", "so#."}));
    }
    {
        MemorySurface s(p, {"srgb", "sycm", "so#.", "ssss"});
        ASSERT_TRUE(BitBlt(s.hDC(), 0, 0, 3, 3, s.hDC(), 1, 0, SRCCOPY));  // left, same rows
        EXPECT_TRUE(p.Matches(s.hDC(), 0, 0, {"rgbb", "ycmm", "o#..", "ssss"}));
    }
    {
        MemorySurface s(p, start);
        ASSERT_TRUE(BitBlt(s.hDC(), 1, 0, 3, 3, s.hDC(), 0, 0, SRCINVERT));  // right, same rows
        // Each pixel is XORed with its left neighbour as it was before the copy.
        std::vector<std::uint32_t> before = p.Pixels(start), after(16);
        ASSERT_TRUE(gdi::ReadPixels(s.hDC(), 0, 0, 4, 4, after.data()));
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const std::uint32_t expected = (y < 3 && x >= 1)
                                                   ? before[y * 4 + x] ^ before[y * 4 + x - 1]
                                                   : before[y * 4 + x];
                EXPECT_EQ(after[y * 4 + x], expected) << x << "," << y;
            }
        }
    }
}

}  // namespace
