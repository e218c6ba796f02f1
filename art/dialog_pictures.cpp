// SPDX-License-Identifier: MIT
#include "art/dialog_pictures.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "art/canvas.h"
#include "art/pixel_font.h"
#include "art/rng.h"
#include "art/truetype_font.h"

namespace art {
namespace {

const char* const kTitleFont = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
const Color kButtonFace = Color::FromRgb(0xD9D9D9);

Canvas ToCanvas(const Picture& p) {
    Canvas c(p.Width(), p.Height(), Color());
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            c.Set(x, y, Color::FromRgb(p.At(x, y)));
    return c;
}

// Snowflakes for small pictures: a bright pixel with a faint cross around it.
void SmallFlakes(Canvas& c, int count, std::uint64_t seed, int bottom) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const int x = rng.Below(c.Width());
        const int y = rng.Below(bottom);
        const float a = rng.Uniform(0.5f, 0.95f);
        const Color white(0.95f, 0.97f, 1.0f);
        c.Blend(x, y, white, a);
        if (rng.Uniform() < 0.4f) {
            c.Blend(x + 1, y, white, a * 0.35f);
            c.Blend(x - 1, y, white, a * 0.35f);
            c.Blend(x, y + 1, white, a * 0.35f);
            c.Blend(x, y - 1, white, a * 0.35f);
        }
    }
}

// Text in the pixel font with a soft dark shadow, for light text over the night.
void ShadowedText(Canvas& c, int x, int top, const std::string& text, const Color& color) {
    const Color shadow(0.02f, 0.03f, 0.10f);
    for (int dy = 0; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx != 0 || dy != 0)
                PixelFont::Draw(c, x + dx, top + dy, text, shadow, 1, 0.35f);
    PixelFont::Draw(c, x + 1, top + 1, text, shadow, 1, 0.5f);
    PixelFont::Draw(c, x, top, text, color);
}

Picture PaintPreview(const ScenePictures& scene, const std::string& website) {
    // The scene from the cabin to the tree, shrunk five times.
    const int w = 151, h = 119, scale = 5;
    const Picture big = ComposeStill(scene, scene.landscape.Width(), h * scale, 30, false);
    const int cropX = big.Width() - w * scale;
    Canvas c = ToCanvas(big.Crop(cropX, 0, w * scale, h * scale).Resized(w, h));
    SmallFlakes(c, 40, 3, h - 20);
    const std::string text = FitWebAddress(website, w - 6);
    ShadowedText(c, (w - PixelFont::Measure(text)) / 2, 6, text, Color(0.96f, 0.97f, 1.0f));
    return Picture::Opaque(c, Color());
}

Picture PaintBanner(const ScenePictures& scene) {
    const int w = 235, h = 142;
    const int bigW = scene.landscape.Width();
    const int bigH = bigW * h / w;
    const Picture big = ComposeStill(scene, bigW, bigH, 70, false);
    Canvas c = ToCanvas(big.Resized(w, h));
    SmallFlakes(c, 45, 11, h - 30);

    const std::string title = "Glimmerdel";
    const TrueTypeFont font(kTitleFont);
    Mask glyphs;
    if (font.Loaded()) {
        const float size = 38.0f;
        const float x = (static_cast<float>(w) - font.Width(title, size)) * 0.5f;
        glyphs = font.Text(title, size, x, 36.0f);
    } else {
        // Without the font package the title is set in the pixel font, three times enlarged.
        Canvas ink(w, h);
        const int tw = PixelFont::Measure(title, 3);
        PixelFont::Draw(ink, (w - tw) / 2, 10, title, Color(1, 1, 1), 3);
        glyphs = Mask(0, 0, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                glyphs.Local(x, y) = ink.Alpha(x, y);
    }
    // A glow of night blue behind the letters, a dark rim, then the letters lit warm gold.
    const Mask glow = glyphs.Blurred(3);
    c.Fill(glow, Color(0.02f, 0.04f, 0.14f), 0.8f);
    Mask rim = glyphs.Blurred(1);
    for (int y = 0; y < rim.Height(); ++y)
        for (int x = 0; x < rim.Width(); ++x)
            rim.Local(x, y) = Clamp01(rim.AtLocal(x, y) * 2.5f);
    c.Fill(rim, Color(0.05f, 0.06f, 0.16f));
    const float top = static_cast<float>(glyphs.Y0()),
                bottom = top + static_cast<float>(glyphs.Height());
    c.Fill(glyphs, [&](float, float py) {
        const float t = Clamp01((py - top - 4.0f) / (bottom - top - 12.0f));
        return Mix(Color(1.0f, 0.97f, 0.86f), Color(0.96f, 0.70f, 0.28f), t);
    });
    return Picture::Opaque(c, Color());
}

// A small envelope, for the "tell a friend" button.
void Envelope(Canvas& c, int x, int y) {
    const Color paper(0.98f, 0.98f, 0.96f), line(0.25f, 0.32f, 0.50f);
    c.Fill(Mask::Polygon({{x + 0.5f, y + 0.5f},
                          {x + 13.5f, y + 0.5f},
                          {x + 13.5f, y + 9.5f},
                          {x + 0.5f, y + 9.5f}}),
           line);
    c.Fill(Mask::Polygon({{x + 1.5f, y + 1.5f},
                          {x + 12.5f, y + 1.5f},
                          {x + 12.5f, y + 8.5f},
                          {x + 1.5f, y + 8.5f}}),
           paper);
    c.Fill(
        Mask::Polyline({{x + 1.5f, y + 1.5f}, {x + 7.0f, y + 6.0f}, {x + 12.5f, y + 1.5f}}, 0.9f),
        line);
}

Picture PaintFriendButton() {
    const int w = 103, h = 19;
    Canvas c(w, h, kButtonFace);
    const Color ink(0.10f, 0.14f, 0.26f);
    const std::string first = "Tell a friend about", second = "this screen saver";
    const int textWidth = std::max(PixelFont::Measure(first), PixelFont::Measure(second));
    const bool icon = textWidth + 17 <= w - 2;
    const int left = icon ? (w - (textWidth + 17)) / 2 : (w - textWidth) / 2;
    if (icon)
        Envelope(c, left, 4);
    const int textLeft = icon ? left + 17 : left;
    PixelFont::Draw(c, textLeft + (textWidth - PixelFont::Measure(first)) / 2, 1, first, ink);
    PixelFont::Draw(c, textLeft + (textWidth - PixelFont::Measure(second)) / 2, 11, second, ink);
    return Picture::Opaque(c, kButtonFace);
}

Picture PaintWebsiteButton() {
    const int w = 86, h = 17;
    Canvas c(w, h, kButtonFace);
    const Color link(0.08f, 0.24f, 0.62f);
    const std::string text = "Visit our site";
    const int arrow = 9;
    const int total = PixelFont::Measure(text) + 4 + arrow;
    const int x = (w - total) / 2;
    const int top = 4;
    PixelFont::Draw(c, x, top, text, link);
    // Underlined, as a link.
    const int textWidth = PixelFont::Measure(text);
    for (int i = 0; i < textWidth; ++i)
        c.Blend(x + i, top + PixelFont::kAscent + 1, link, 0.8f);
    // An arrow pointing right, in warm orange.
    const float ax = static_cast<float>(x + textWidth + 4), ay = static_cast<float>(top) + 3.5f;
    const Color orange(0.90f, 0.45f, 0.08f);
    c.Fill(Mask::Polygon(
               {{ax, ay - 1.0f}, {ax + 4.5f, ay - 1.0f}, {ax + 4.5f, ay + 1.0f}, {ax, ay + 1.0f}}),
           orange);
    c.Fill(Mask::Polygon({{ax + 3.5f, ay - 4.0f}, {ax + 9.0f, ay}, {ax + 3.5f, ay + 4.0f}}),
           orange);
    return Picture::Opaque(c, kButtonFace);
}

// The icon, drawn pixel by pixel: a lit fir with a star, on snow under the night sky. Each
// letter is one of the sixteen colours below.
// clang-format off
const char* const kIconRows[32] = {
    "................................",
    "...............yy...............",
    "............oyyyyyyo.......*....",
    "...*.........yy**yy.............",
    ".............oy..yo.............",
    "..............ggg...............",
    ".........*...ggggG..............",
    "............gggggGG...*.........",
    "...........lgrgggGGG............",
    ".,.,.,.,.,llgggggGBGG,.,.,.,.*.,",
    ",.,,,.,,,lWlgWggsGGsGG,,,.,,,.,,",
    ",,,,,,,,WWlWWgWygssGssG,,,,,,,,,",
    ",,,,,,,,,,lggggggGGGG,,,,,,,,,,,",
    ",,,,,,*,,llggggggGGGGG,,,,,,,,,,",
    ",,,,,,,,lllygggggGGGGpG,,,,,,,,,",
    ",,,,,,,llllgggggrGGGGGGG*,,,,,,,",
    ",,,,,,lllllggggggGGGGGGGG,,,,,,,",
    ",,,,,llWllWggWggsGGsGGsGGs,,,,,,",
    ",-,-lWWlWWlWWgWWgssGssGssGs-,-,-",
    "-,---,--llrggggggGGGGGG--y---,--",
    "--*----lllgggggggGGGGGGG--------",
    "------llBlgggggggGpGGGGGG-------",
    "-----lllllgggygggGGGGGGrGG------",
    "----llllllgggggggGGGGGGGGGG-----",
    "---lWllWllWggWggsGGsGGsGGsGG----",
    "WWWWlWWlWWgWWgWWgssGssGssGssGsss",
    "WWWWWWWWWWWWWWbbbbWWWWssssssssss",
    "sssWWWWWWWWWWWbbbbWWWWssssssssss",
    "sssssssssssssWWWWWWsssssssssssss",
    "ssssssssssssssWWWWssssssssssssss",
    "SSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSS",
    "SSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSS",
};
// clang-format on

std::uint32_t IconColor(char c) {
    switch (c) {
        case '.':
            return 0x0A1030;  // night, high
        case ',':
            return 0x16245A;  // night
        case '-':
            return 0x23387A;  // night, low
        case '*':
            return 0xFFF6D0;  // stars
        case 'y':
            return 0xFFD24A;  // gold
        case 'o':
            return 0xE89A2A;  // deep gold
        case 'G':
            return 0x0B3A2A;  // fir in shade
        case 'g':
            return 0x17603E;  // fir
        case 'l':
            return 0x2E8A55;  // fir in moonlight
        case 'W':
            return 0xEEF3FD;  // snow
        case 's':
            return 0xB4C2E6;  // snow in shade
        case 'S':
            return 0x7C8CC4;  // snow in deep shade
        case 'b':
            return 0x5A3A22;  // trunk
        case 'r':
            return 0xE02A36;  // red bulb
        case 'B':
            return 0x4A90FF;  // blue bulb
        case 'p':
            return 0xC060E8;  // purple bulb
        default:
            throw std::logic_error(std::string("unknown icon colour ") + c);
    }
}

Picture PaintIcon() {
    Picture icon(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            icon.Set(x, y, IconColor(kIconRows[y][x]));
    return icon;
}

}  // namespace

std::string FitWebAddress(const std::string& website, int width) {
    std::string text = website;
    if (PixelFont::Measure(text) <= width)
        return text;
    for (const char* scheme : {"https://", "http://"})
        if (text.rfind(scheme, 0) == 0)
            text = text.substr(std::string(scheme).size());
    if (!text.empty() && text.back() == '/')
        text.pop_back();
    if (PixelFont::Measure(text) <= width)
        return text;
    while (text.size() > 1 && PixelFont::Measure(text + "...") > width)
        text.pop_back();
    return text + "...";
}

std::vector<std::pair<std::string, Picture>> PaintDialogPictures(const ScenePictures& scene,
                                                                 const std::string& website) {
    return {{"kPreviewPicture", PaintPreview(scene, website)},
            {"kBannerPicture", PaintBanner(scene)},
            {"kFriendButtonPicture", PaintFriendButton()},
            {"kWebsiteButtonPicture", PaintWebsiteButton()},
            {"kIconPicture", PaintIcon()}};
}

}  // namespace art
