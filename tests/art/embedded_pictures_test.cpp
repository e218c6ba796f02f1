// SPDX-License-Identifier: MIT
// The pictures built into the program: sizes, the icon's palette, and that each shows what it
// is for.

#include "art/embedded_pictures.h"

#include <gtest/gtest.h>

#include <set>

namespace {

float Luma(std::uint32_t p) {
    return 0.299f * static_cast<float>((p >> 16) & 0xFF) +
           0.587f * static_cast<float>((p >> 8) & 0xFF) + 0.114f * static_cast<float>(p & 0xFF);
}

std::set<std::uint32_t> Colours(const EmbeddedPicture& p) {
    return std::set<std::uint32_t>(p.pixels, p.pixels + p.width * p.height);
}

int CountPixels(const EmbeddedPicture& p, int x0, int y0, int x1, int y1,
                bool (*test)(std::uint32_t)) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += test(p.pixels[y * p.width + x]) ? 1 : 0;
    return n;
}

TEST(EmbeddedPictures, HaveTheSizesTheProgramLaysOut) {
    const struct {
        const EmbeddedPicture& picture;
        int width, height;
    } expected[] = {{kPreviewPicture, 151, 119},
                    {kBannerPicture, 235, 142},
                    {kFriendButtonPicture, 103, 19},
                    {kWebsiteButtonPicture, 86, 17},
                    {kIconPicture, 32, 32}};
    for (const auto& e : expected) {
        EXPECT_EQ(e.picture.width, e.width);
        EXPECT_EQ(e.picture.height, e.height);
        ASSERT_NE(e.picture.pixels, nullptr);
        for (int i = 0; i < e.width * e.height; ++i)
            ASSERT_EQ(e.picture.pixels[i] >> 24, 0u) << i;
    }
}

TEST(EmbeddedPictures, IconUsesAtMostSixteenColours) {
    const auto colours = Colours(kIconPicture);
    EXPECT_LE(colours.size(), 16u);
    EXPECT_GE(colours.size(), 6u) << "still a picture, not a flat square";
}

TEST(EmbeddedPictures, ButtonPicturesCarryDarkTextOnTheButtonFace) {
    for (const EmbeddedPicture* p : {&kFriendButtonPicture, &kWebsiteButtonPicture}) {
        // Corners show the light grey face of the button.
        for (int i : {0, p->width - 1, (p->height - 1) * p->width, p->width * p->height - 1})
            EXPECT_NEAR(Luma(p->pixels[i]), Luma(0xD9D9D9), 12.0f);
        EXPECT_GE(CountPixels(*p, 0, 0, p->width, p->height,
                              [](std::uint32_t c) { return Luma(c) < 110.0f; }),
                  60);
    }
    // Two lines of text on the friend button: ink in its upper and its lower half.
    auto dark = [](std::uint32_t c) { return Luma(c) < 110.0f; };
    const EmbeddedPicture& f = kFriendButtonPicture;
    EXPECT_GE(CountPixels(f, 0, 0, f.width, f.height / 2, dark), 40);
    EXPECT_GE(CountPixels(f, 0, f.height / 2 + 1, f.width, f.height, dark), 40);
}

TEST(EmbeddedPictures, PreviewAndBannerAreNightScenesWithLightText) {
    for (const EmbeddedPicture* p : {&kPreviewPicture, &kBannerPicture}) {
        EXPECT_GE(Colours(*p).size(), 300u) << "painted, not flat";
        // Dark sky above, bright snow below.
        auto dark = [](std::uint32_t c) { return Luma(c) < 60.0f; };
        auto bright = [](std::uint32_t c) { return Luma(c) > 170.0f; };
        EXPECT_GE(CountPixels(*p, 0, p->height / 4, p->width, p->height / 2, dark),
                  p->width * p->height / 20);
        EXPECT_GE(CountPixels(*p, 0, p->height * 3 / 4, p->width, p->height, bright),
                  p->width * p->height / 10);
        // Text in the sky near the top: the web address or the title.
        EXPECT_GE(CountPixels(*p, 0, 0, p->width, p->height / 3, bright), 60);
    }
}

}  // namespace
