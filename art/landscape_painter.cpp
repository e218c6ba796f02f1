// SPDX-License-Identifier: MIT
#include "art/landscape_painter.h"

#include <cmath>
#include <vector>

#include "art/ground.h"
#include "art/house_painter.h"
#include "art/noise.h"
#include "art/rng.h"
#include "art/scene_manifest.h"
#include "art/sky_painter.h"
#include "art/snowman_painter.h"
#include "art/tree_painter.h"

namespace art {
namespace {

// The landscape is one whole period of the ground wide, so its right edge meets the strip's
// left edge.
static_assert(kLandscapeWidth % kGroundPeriod == 0 && kExtensionWidth == kGroundPeriod);

// A smooth bump: 1 at the centre, 0 beyond halfWidth.
float Bump(float x, float center, float halfWidth) {
    const float t = (x - center) / halfWidth;
    if (std::fabs(t) >= 1.0f)
        return 0.0f;
    const float c = std::cos(t * 1.5707963f);
    return c * c;
}

GroundOutline LandscapeOutline(float x) {
    GroundOutline o = PeriodicGroundOutline(x);
    // The far hills dip behind the cabin so that its roof and chimney stand against the sky.
    o.far -= 38.0f * Bump(x, 250.0f, 170.0f);
    // A gentle rise of the near snow under the tree; everything is back to the repeating
    // outline well before the right edge, where the strip takes over.
    o.near += 6.0f * Bump(x, kTreeCenterX, 60.0f);
    return o;
}

void PaintShadow(Canvas& c, const std::vector<Point>& shape, float strength, int softness) {
    const Mask area = Mask::Polygon(shape).Blurred(softness);
    c.ForCovered(area, [&](int x, int y, float cov) {
        if (c.Alpha(x, y) <= 0.0f)
            return;
        c.Blend(x, y, Color(0.30f, 0.38f, 0.72f), cov * strength);
    });
}

void PaintTreeMound(Canvas& c) {
    // The snow heaped around the trunk, its colour taken from the near snow.
    std::vector<Point> mound;
    const float cy = 263.0f;
    for (int i = 0; i <= 24; ++i) {
        const float a = 3.14159265f * static_cast<float>(i) / 24.0f;
        const float r = 1.0f + 0.08f * std::sin(static_cast<float>(i) * 2.1f);
        mound.push_back({kTreeCenterX - 44.0f * r * std::cos(a), cy - 7.5f * r * std::sin(a)});
    }
    mound.push_back({kTreeCenterX + 44.0f, cy + 6.0f});
    mound.push_back({kTreeCenterX - 44.0f, cy + 6.0f});
    const float h = static_cast<float>(kLandscapeHeight);
    c.Fill(Mask::Polygon(mound).Blurred(1), [&](float px, float py) {
        const float depth = py - (cy - 7.5f);
        Color col = NearSnowColor(px, h - py, depth + 2.0f);
        // The mound's right side turns from the moon; it melts into the snow around it.
        col = Mix(col, Color(0.62f, 0.68f, 0.92f), Clamp01((px - kTreeCenterX) / 60.0f) * 0.3f);
        const float fade = (1.0f - SmoothStep(cy - 3.0f, cy + 5.0f, py)) *
                           (1.0f - SmoothStep(28.0f, 44.0f, std::fabs(px - kTreeCenterX)));
        return Rgba{col, fade};
    });
}

// The trodden path from the door to the front: its centre line and half width at t (0 at the
// door, 1 at the bottom edge).
Point PathAt(float t, float* halfWidth) {
    const float h = static_cast<float>(kLandscapeHeight);
    *halfWidth = 11.0f + 20.0f * t * t;
    return {219.0f - 30.0f * t * t + 8.0f * std::sin(t * 3.0f), 237.0f + t * (h - 237.0f + 4.0f)};
}

void PaintPath(Canvas& c) {
    std::vector<Point> left, right;
    for (int i = 0; i <= 24; ++i) {
        float half = 0.0f;
        const Point p = PathAt(static_cast<float>(i) / 24.0f, &half);
        left.push_back({p.x - half, p.y});
        right.push_back({p.x + half, p.y});
    }
    std::vector<Point> shape = left;
    for (size_t i = right.size(); i-- > 0;)
        shape.push_back(right[i]);
    const float h = static_cast<float>(kLandscapeHeight);
    const Mask area = Mask::Polygon(shape).Blurred(2);
    c.ForCovered(area, [&](int x, int y, float cov) {
        const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
        float half = 0.0f;
        const Point p = PathAt(Clamp01((py - 237.0f) / (h - 237.0f)), &half);
        const float u = std::clamp((px - p.x) / half, -1.0f, 1.0f);  // -1 .. 1 across
        // A shallow trough: the floor and the right bank in soft shade, the left bank lit.
        const float shade = 0.5f + 0.5f * u;
        const Color floor = Mix(Color(0.62f, 0.68f, 0.90f), Color(0.52f, 0.58f, 0.84f), shade);
        const float bank = std::pow(std::fabs(u), 4.0f);
        const Color col = u < 0.0f ? Mix(floor, Color(0.93f, 0.95f, 1.0f), bank) : floor;
        c.Blend(x, y, col, cov * (0.45f + 0.2f * bank));
    });
    // Footprints along the path.
    for (int i = 0; i < 14; ++i) {
        const float t = (static_cast<float>(i) + 0.5f) / 14.0f;
        float half = 0.0f;
        const Point p = PathAt(t, &half);
        const float side = i % 2 == 0 ? -1.0f : 1.0f;
        const float size = 1.0f + 1.6f * t;
        c.Fill(Mask::Ellipse(p.x + side * (2.0f + 3.0f * t), p.y, size, size * 0.55f),
               Color(0.42f, 0.49f, 0.78f), 0.5f);
    }
}

}  // namespace

Canvas PaintLandscapeCanvas() {
    Canvas c(kLandscapeWidth, kLandscapeHeight);
    PaintGround(c, LandscapeOutline);
    // Soft blue shadows thrown to the right, away from the moon.
    PaintShadow(
        c,
        {{338.0f, 219.0f}, {300.0f, 236.0f}, {340.0f, 243.0f}, {385.0f, 238.0f}, {400.0f, 226.0f}},
        0.4f, 3);
    PaintPath(c);
    PaintHouseLightOnSnow(c);
    PaintHouse(c);
    PaintSnowman(c, 500.0f, 266.0f);
    PaintTree(c);
    PaintTreeMound(c);
    PaintPresents(c);
    return c;
}

Picture KeyLandscape(const Canvas& landscape) {
    return Picture::Keyed(landscape, 0.5f, HorizonSkyColor());
}

Picture PaintExtension() {
    Canvas c(kExtensionWidth, kExtensionHeight);
    PaintGround(c, PeriodicGroundOutline);
    return Picture::Keyed(c, 0.5f, HorizonSkyColor());
}

}  // namespace art
