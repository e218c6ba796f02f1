// SPDX-License-Identifier: MIT
#include "art/truetype_font.h"

#include <cmath>
#include <fstream>
#include <iterator>

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

namespace art {

TrueTypeFont::TrueTypeFont(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return;
    data_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    auto* info = new stbtt_fontinfo;
    if (data_.empty() ||
        !stbtt_InitFont(info, data_.data(), stbtt_GetFontOffsetForIndex(data_.data(), 0))) {
        delete info;
        return;
    }
    info_ = info;
}

TrueTypeFont::~TrueTypeFont() {
    delete static_cast<stbtt_fontinfo*>(info_);
}

float TrueTypeFont::Width(const std::string& text, float pixelHeight) const {
    if (!info_)
        return 0.0f;
    const auto* info = static_cast<const stbtt_fontinfo*>(info_);
    const float scale = stbtt_ScaleForPixelHeight(info, pixelHeight);
    float width = 0.0f;
    for (size_t i = 0; i < text.size(); ++i) {
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(info, static_cast<unsigned char>(text[i]), &advance, &bearing);
        width += static_cast<float>(advance) * scale;
        if (i + 1 < text.size())
            width += scale * static_cast<float>(stbtt_GetCodepointKernAdvance(
                                 info, static_cast<unsigned char>(text[i]),
                                 static_cast<unsigned char>(text[i + 1])));
    }
    return width;
}

Mask TrueTypeFont::Text(const std::string& text, float pixelHeight, float x, float baseline) const {
    if (!info_ || text.empty())
        return Mask();
    const auto* info = static_cast<const stbtt_fontinfo*>(info_);
    const float scale = stbtt_ScaleForPixelHeight(info, pixelHeight);
    const float width = Width(text, pixelHeight);
    const int x0 = static_cast<int>(std::floor(x)) - 2;
    const int y0 = static_cast<int>(std::floor(baseline - pixelHeight * 1.1f));
    Mask mask(x0, y0, static_cast<int>(std::ceil(width)) + 6,
              static_cast<int>(std::ceil(pixelHeight * 1.5f)) + 4);
    float pen = x;
    for (size_t i = 0; i < text.size(); ++i) {
        const int cp = static_cast<unsigned char>(text[i]);
        const float shiftX = pen - std::floor(pen);
        int w = 0, h = 0, ox = 0, oy = 0;
        unsigned char* bitmap = stbtt_GetCodepointBitmapSubpixel(info, scale, scale, shiftX, 0.0f,
                                                                 cp, &w, &h, &ox, &oy);
        const int gx = static_cast<int>(std::floor(pen)) + ox;
        const int gy = static_cast<int>(std::lround(baseline)) + oy;
        for (int r = 0; r < h; ++r)
            for (int col = 0; col < w; ++col) {
                const int lx = gx + col - x0, ly = gy + r - y0;
                if (lx < 0 || ly < 0 || lx >= mask.Width() || ly >= mask.Height())
                    continue;
                float& m = mask.Local(lx, ly);
                m = std::min(1.0f, m + static_cast<float>(bitmap[r * w + col]) / 255.0f);
            }
        stbtt_FreeBitmap(bitmap, nullptr);
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(info, cp, &advance, &bearing);
        pen += static_cast<float>(advance) * scale;
        if (i + 1 < text.size())
            pen += scale * static_cast<float>(stbtt_GetCodepointKernAdvance(
                               info, cp, static_cast<unsigned char>(text[i + 1])));
    }
    return mask;
}

}  // namespace art
