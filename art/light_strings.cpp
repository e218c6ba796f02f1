// SPDX-License-Identifier: MIT
#include "art/light_strings.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "art/color.h"
#include "art/mask.h"
#include "art/noise.h"
#include "art/scene_manifest.h"

namespace art {
namespace {

constexpr float kTwoPi = 6.2831853f;

enum class Pattern { kChase, kChaseBack, kTwinkle, kAlternate, kWave, kSparkle };

struct Design {
    LightString place;  // the file, and where and how the scene shows the sheet
    Color color;
    Point left, right;  // hooks of the swag on the tree
    float sag;
    int bulbs;
    Pattern pattern;
};

// In drawing order. Strings higher on the tree are shorter; the hooks lie inside the tree's
// outline so the wire is always seen against branches.
const Design kDesigns[] = {
    {kLightStrings[kRedLight],
     Color(1.00f, 0.16f, 0.14f),
     {708.0f, 147.0f},
     {728.5f, 144.5f},
     3.0f,
     4,
     Pattern::kChase},
    {kLightStrings[kRedBottomLight],
     Color(1.00f, 0.20f, 0.16f),
     {664.5f, 189.0f},
     {741.5f, 190.5f},
     7.5f,
     12,
     Pattern::kTwinkle},
    {kLightStrings[kBlueLight],
     Color(0.28f, 0.52f, 1.00f),
     {670.5f, 166.0f},
     {735.5f, 167.5f},
     7.0f,
     10,
     Pattern::kAlternate},
    {kLightStrings[kYellowLight],
     Color(1.00f, 0.80f, 0.22f),
     {690.5f, 109.0f},
     {715.5f, 111.0f},
     4.0f,
     4,
     Pattern::kTwinkle},
    {kLightStrings[kYellowBottomLight],
     Color(1.00f, 0.78f, 0.20f),
     {656.5f, 216.5f},
     {751.5f, 219.0f},
     8.0f,
     14,
     Pattern::kChaseBack},
    {kLightStrings[kGreenLight],
     Color(0.36f, 0.95f, 0.46f),
     {696.5f, 92.0f},
     {709.5f, 93.0f},
     3.0f,
     3,
     Pattern::kWave},
    {kLightStrings[kWhiteLight],
     Color(0.92f, 0.96f, 1.00f),
     {678.5f, 139.5f},
     {700.0f, 144.0f},
     3.0f,
     4,
     Pattern::kSparkle},
    {kLightStrings[kPurpleLight],
     Color(0.80f, 0.36f, 1.00f),
     {684.5f, 122.0f},
     {721.5f, 123.0f},
     5.0f,
     6,
     Pattern::kChase},
    {kLightStrings[kPurpleBottomLight],
     Color(0.82f, 0.38f, 1.00f),
     {709.0f, 203.5f},
     {747.5f, 205.5f},
     5.0f,
     6,
     Pattern::kAlternate},
};

static_assert(sizeof(kDesigns) / sizeof(kDesigns[0]) == kLightStringCount,
              "one design for every string of the scene");

constexpr float kGlowReach = 4.5f;

Point WireAt(const Design& d, float u) {
    return {d.left.x + (d.right.x - d.left.x) * u,
            d.left.y + (d.right.y - d.left.y) * u + d.sag * 4.0f * u * (1.0f - u)};
}

Point BulbAt(const Design& d, int i) {
    const float u = (static_cast<float>(i) + 0.5f) / static_cast<float>(d.bulbs);
    const Point w = WireAt(d, u);
    return {w.x, w.y + 2.4f};
}

// How brightly bulb i of n glows in cell t (0-based), 0..1.
float Brightness(Pattern pattern, int i, int n, int t, std::uint32_t seed) {
    const float fi = static_cast<float>(i);
    const float ft = static_cast<float>(t);
    static const Noise flicker(99);
    switch (pattern) {
        case Pattern::kChase:
            return std::pow(0.5f + 0.5f * std::cos(kTwoPi * (fi / 3.0f - ft / 6.0f)), 2.0f);
        case Pattern::kChaseBack:
            return std::pow(0.5f + 0.5f * std::cos(kTwoPi * (fi / 4.0f + ft / 8.0f)), 2.0f);
        case Pattern::kAlternate:
            return 0.5f +
                   0.5f * std::cos(kTwoPi * ft / 13.0f + 3.14159265f * static_cast<float>(i % 2));
        case Pattern::kWave:
            return 0.5f + 0.5f * std::cos(kTwoPi * (ft / 17.0f - fi / static_cast<float>(n)));
        case Pattern::kTwinkle: {
            const float v = flicker.At(ft * 0.9f + fi * 37.0f,
                                       static_cast<float>(seed % 97) * 11.0f + fi * 5.0f, 4.0f);
            return SmoothStep(-0.35f, 0.45f, v);
        }
        case Pattern::kSparkle: {
            const float v = flicker.At(ft * 1.1f + fi * 53.0f, 400.0f + fi * 7.0f, 3.5f);
            return 0.15f + 0.85f * SmoothStep(0.05f, 0.55f, v);
        }
    }
    return 0.0f;
}

struct CellSize {
    int width;
    int height;
};

CellSize CellSizeOf(const Design& d) {
    float maxX = std::max(d.left.x, d.right.x), maxY = std::max(d.left.y, d.right.y);
    for (int i = 0; i < d.bulbs; ++i) {
        const Point b = BulbAt(d, i);
        maxX = std::max(maxX, b.x);
        maxY = std::max(maxY, b.y);
    }
    return {static_cast<int>(std::ceil(maxX + kGlowReach + 1.0f)) - d.place.x,
            static_cast<int>(std::ceil(maxY + kGlowReach + 1.0f)) - d.place.y};
}

// Pixels an earlier string shows as wire or bulb: later strings leave them alone.
struct Claims {
    std::vector<bool> taken;
    int width;
    bool At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || static_cast<size_t>(y) * width + x >= taken.size())
            return false;
        return taken[static_cast<size_t>(y) * width + x];
    }
};

LightSheet PaintString(const Design& d, const Picture& landscape, Claims& claims) {
    const CellSize size = CellSizeOf(d);
    if (d.place.x < 0 || d.place.y < 0 || d.place.x + size.width > landscape.Width() ||
        d.place.y + size.height > landscape.Height())
        throw std::logic_error(std::string(d.place.file) + " does not fit over the landscape");

    // What stays the same in every cell: the wire, the sockets, and where bulbs sit.
    std::vector<Point> wire;
    for (int k = 0; k <= 24; ++k)
        wire.push_back(WireAt(d, static_cast<float>(k) / 24.0f));
    // Short stubs beyond the hooks, where the wire disappears into the branches.
    Mask wireMask = Mask::Polyline(wire, 0.9f);
    Mask bulbMask, socketMask;
    std::vector<Point> bulbs;
    for (int i = 0; i < d.bulbs; ++i) {
        const Point b = BulbAt(d, i);
        bulbs.push_back(b);
        socketMask.Unite(Mask::Ellipse(b.x, b.y - 1.5f, 0.9f, 0.9f));
        bulbMask.Unite(Mask::Ellipse(b.x, b.y + 0.2f, 1.4f, 1.7f));
    }

    std::vector<Picture> cells;
    const Color dim = d.color * 0.30f + Color(0.02f, 0.03f, 0.04f);
    for (int t = 0; t < kLightCells; ++t) {
        Picture cell(size.width, size.height);
        std::vector<float> level(d.bulbs);
        for (int i = 0; i < d.bulbs; ++i)
            level[i] =
                0.12f + 0.88f * Brightness(d.pattern, i, d.bulbs, t,
                                           static_cast<std::uint32_t>(d.place.x * 131 + d.place.y));
        for (int cy = 0; cy < size.height; ++cy)
            for (int cx = 0; cx < size.width; ++cx) {
                const int lx = d.place.x + cx, ly = d.place.y + cy;
                if (landscape.IsKey(lx, ly))
                    continue;  // never over the sky
                const float px = static_cast<float>(lx) + 0.5f, py = static_cast<float>(ly) + 0.5f;
                Color c = Color::FromRgb(landscape.At(lx, ly));
                const Color under = c;
                // Glow of each lit bulb, a soft halo in its colour.
                float glowSum = 0.0f;
                int nearest = 0;
                float nearestD = 1e9f;
                for (int i = 0; i < d.bulbs; ++i) {
                    const float dx = px - bulbs[i].x, dy = py - bulbs[i].y - 0.2f;
                    const float dist = std::sqrt(dx * dx + dy * dy);
                    if (dist < nearestD) {
                        nearestD = dist;
                        nearest = i;
                    }
                    if (dist > kGlowReach)
                        continue;
                    const float g = level[i] * level[i] * std::exp(-dist * dist / 4.5f) *
                                    (1.0f - dist / kGlowReach);
                    glowSum += g;
                }
                c = Screen(c, d.color * (1.5f * glowSum));
                const float wireCov = wireMask.At(lx, ly);
                c = Mix(c, Color(0.03f, 0.06f, 0.05f), wireCov * 0.85f);
                const float socketCov = socketMask.At(lx, ly);
                c = Mix(c, Color(0.08f, 0.10f, 0.09f), socketCov);
                const float bulbCov = bulbMask.At(lx, ly);
                if (bulbCov > 0.0f) {
                    const float lv = level[nearest];
                    const float core = Clamp01(1.0f - nearestD / 1.6f);
                    Color bulb = Mix(dim, d.color, Clamp01(lv * 1.4f));
                    bulb = Mix(bulb, Color(1.0f, 1.0f, 0.95f), lv * lv * core * 0.8f);
                    c = Mix(c, bulb, bulbCov);
                }
                const bool core = wireCov > 0.15f || socketCov > 0.15f || bulbCov > 0.15f;
                const Color diff = c - under;
                const float change =
                    std::max({std::fabs(diff.r), std::fabs(diff.g), std::fabs(diff.b)});
                if (!core && (change < 6.0f / 255.0f || claims.At(lx, ly)))
                    continue;
                cell.Set(cx, cy, AwayFromKey(c.ToRgb()));
            }
        cells.push_back(std::move(cell));
    }
    // Claim this string's wire and bulbs for the strings drawn after it.
    for (int cy = 0; cy < size.height; ++cy)
        for (int cx = 0; cx < size.width; ++cx) {
            const int lx = d.place.x + cx, ly = d.place.y + cy;
            if (wireMask.At(lx, ly) > 0.15f || socketMask.At(lx, ly) > 0.15f ||
                bulbMask.At(lx, ly) > 0.15f)
                claims.taken[static_cast<size_t>(ly) * claims.width + lx] = true;
        }
    LightSheet sheet;
    sheet.file = d.place.file;
    sheet.x = d.place.x;
    sheet.y = d.place.y;
    sheet.cellWidth = size.width;
    sheet.cellHeight = size.height;
    sheet.startCell = d.place.startCell;
    sheet.rising = d.place.rising;
    sheet.sheet = JoinCells(cells);
    return sheet;
}

}  // namespace

std::vector<LightSheet> PaintLightStrings(const Picture& landscape) {
    Claims claims{
        std::vector<bool>(static_cast<size_t>(landscape.Width()) * landscape.Height(), false),
        landscape.Width()};
    std::vector<LightSheet> sheets;
    for (const Design& d : kDesigns)
        sheets.push_back(PaintString(d, landscape, claims));
    return sheets;
}

}  // namespace art
