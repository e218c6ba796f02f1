// SPDX-License-Identifier: MIT
#include "art/tree_painter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "art/noise.h"
#include "art/rng.h"
#include "art/scene_manifest.h"

namespace art {
namespace {

constexpr float kCx = kTreeCenterX;
constexpr float kSideSlope = 0.55f;   // widening of a tier per pixel down
constexpr float kConeSlope = 0.361f;  // widening of the whole tree per pixel down
constexpr float kGroundY = 262.0f;

struct Tier {
    float bottom;
    float halfWidth;  // at the bottom
    float Apex() const { return bottom - halfWidth / kSideSlope; }
    float HalfWidthAt(float y) const {
        return std::max(0.0f, halfWidth - kSideSlope * (bottom - y));
    }
};

const std::vector<Tier>& Tiers() {
    static const std::vector<Tier> tiers = [] {
        std::vector<Tier> t;
        for (float bottom : {100.0f, 126.0f, 152.0f, 180.0f, 210.0f, 242.0f})
            t.push_back({bottom, kConeSlope * (bottom - (kTreeTipY + 1.0f)) + 5.0f});
        return t;
    }();
    return tiers;
}

const Noise& Needles() {
    static const Noise noise(2024);
    return noise;
}

// The lower edge of a tier: branch tips hanging a little, with notches between them.
struct TierEdge {
    std::vector<Point> points;  // from the right tip to the left tip
    float YAt(float x) const {
        for (size_t i = 0; i + 1 < points.size(); ++i) {
            const Point& a = points[i];
            const Point& b = points[i + 1];
            if ((x <= a.x && x >= b.x) || (x >= a.x && x <= b.x)) {
                const float t = (x - a.x) / (b.x - a.x);
                return a.y + t * (b.y - a.y);
            }
        }
        return points.empty() ? 0.0f : points.back().y;
    }
};

TierEdge MakeEdge(const Tier& tier, Rng& rng) {
    TierEdge edge;
    const int tips = std::max(2, static_cast<int>(std::lround(2.0f * tier.halfWidth / 9.0f)));
    for (int i = 0; i <= tips; ++i) {
        const float u = static_cast<float>(i) / tips;  // 0 right .. 1 left
        const float x = kCx + tier.halfWidth * (1.0f - 2.0f * u);
        // The middle of the tier's edge sags a little; tips hang below the notches.
        const float sag = 2.5f * std::sin(u * 3.14159f);
        edge.points.push_back(
            {x + rng.Uniform(-1.0f, 1.0f), tier.bottom + sag + rng.Uniform(1.5f, 4.0f)});
        if (i < tips) {
            const float xn = kCx + tier.halfWidth * (1.0f - 2.0f * (u + 0.5f / tips));
            edge.points.push_back(
                {xn + rng.Uniform(-1.5f, 1.5f), tier.bottom + sag - rng.Uniform(1.5f, 3.5f)});
        }
    }
    return edge;
}

std::vector<Point> TierOutline(const Tier& tier, const TierEdge& edge, Rng& rng) {
    std::vector<Point> outline;
    const float apex = tier.Apex();
    outline.push_back({kCx, apex - 1.5f});
    const int steps = std::max(3, static_cast<int>((tier.bottom - apex) / 5.0f));
    for (int k = 1; k < steps; ++k) {
        const float y = apex + (tier.bottom - apex) * static_cast<float>(k) / steps;
        const float jag = (k % 2 == 0) ? rng.Uniform(0.8f, 1.8f) : rng.Uniform(-0.8f, 0.0f);
        outline.push_back({kCx + tier.HalfWidthAt(y) + jag, y + (k % 2 == 0 ? 1.5f : 0.0f)});
    }
    for (const Point& p : edge.points)
        outline.push_back(p);
    for (int k = steps - 1; k >= 1; --k) {
        const float y = apex + (tier.bottom - apex) * static_cast<float>(k) / steps;
        const float jag = (k % 2 == 0) ? rng.Uniform(0.8f, 1.8f) : rng.Uniform(-0.8f, 0.0f);
        outline.push_back({kCx - tier.HalfWidthAt(y) - jag, y + (k % 2 == 0 ? 1.5f : 0.0f)});
    }
    return outline;
}

Color TierColor(const Tier& tier, const TierEdge& edge, float px, float py) {
    const float apex = tier.Apex();
    const float down = Clamp01((py - apex) / (tier.bottom - apex));
    const float hw = std::max(tier.HalfWidthAt(py), 1.0f);
    const float side = std::clamp((px - kCx) / hw, -1.2f, 1.2f);  // -1 left .. 1 right
    // Needles in strokes radiating from the top of the tier, down and outwards.
    const float dx = px - kCx, dy = std::max(py - apex + 4.0f, 1.0f);
    const float angle = std::atan2(dx, dy);
    const float radius = std::sqrt(dx * dx + dy * dy);
    const float strokes = Needles().Fbm(angle * 40.0f, radius * 0.45f, 3.0f, 3);
    const float fine = Needles().At(px * 1.7f, py * 1.7f + 300.0f, 2.0f);
    // Near the lower edge the tips of the branches are lighter than the shade under the tier
    // above; the moon lights the left side.
    const float above = edge.YAt(px) - py;
    const float tips = std::exp(-std::max(above, 0.0f) / 6.0f);
    float light = 0.16f + 0.42f * down + 0.28f * tips - 0.3f * side + 0.38f * strokes + 0.1f * fine;
    light = Clamp01(light);
    Color needles = Mix(Color(0.012f, 0.06f, 0.06f), Color(0.08f, 0.25f, 0.19f), light);
    if (light > 0.72f)
        needles = Mix(needles, Color(0.19f, 0.38f, 0.28f), (light - 0.72f) * 2.5f);
    return needles;
}

// Snow resting on the branches: soft-edged clumps, lit from above.
void PaintTierSnow(Canvas& c, const Tier& tier, const TierEdge& edge, Rng& rng) {
    // Along the lower edge, on the branch tips.
    for (size_t i = 0; i + 1 < edge.points.size(); i += 2) {
        if (rng.Uniform() < 0.15f)
            continue;
        const Point& tip = edge.points[i];
        const float outward = (tip.x - kCx) / std::max(tier.halfWidth, 1.0f);
        const float w = rng.Uniform(3.0f, 5.5f) * (1.0f - 0.2f * std::fabs(outward));
        const float h = rng.Uniform(1.3f, 2.1f);
        const Point at = {tip.x - outward * 1.5f + rng.Uniform(-1.5f, 1.5f),
                          tip.y - rng.Uniform(3.0f, 4.5f)};
        c.Fill(Mask::Ellipse(at.x, at.y, w, h), [&](float px, float py) {
            const float top = Clamp01((at.y - py) / h * 0.5f + 0.5f);
            const float lit =
                Clamp01(0.45f + 0.6f * top - 0.3f * std::max(0.0f, (px - kCx) / 60.0f));
            return Mix(Color(0.42f, 0.50f, 0.78f), Color(0.93f, 0.96f, 1.0f), lit);
        });
    }
    // A few clumps on the branches inside the tier, more on the moonlit side.
    const int clumps = static_cast<int>(tier.halfWidth / 6.0f);
    for (int k = 0; k < clumps; ++k) {
        const float down = rng.Uniform(0.45f, 0.85f);
        const float y = tier.Apex() + (tier.bottom - tier.Apex()) * down;
        const float hw = tier.HalfWidthAt(y);
        const float u = rng.Uniform(-0.95f, 0.7f);
        const Point at = {kCx + u * hw, y};
        const float w = rng.Uniform(2.0f, 4.0f), h = rng.Uniform(0.9f, 1.5f);
        c.Fill(Mask::Ellipse(at.x, at.y, w, h), [&](float, float py) {
            const float top = Clamp01((at.y - py) / h * 0.5f + 0.5f);
            const float lit = Clamp01(0.35f + 0.6f * top - 0.35f * u);
            return Mix(Color(0.38f, 0.46f, 0.74f), Color(0.90f, 0.94f, 1.0f), lit);
        });
    }
}

void PaintTrunk(Canvas& c) {
    const float top = Tiers().back().bottom - 6.0f;
    c.Fill(Mask::Polygon({{kCx - 3.5f, top},
                          {kCx + 3.5f, top},
                          {kCx + 4.5f, kGroundY - 3.0f},
                          {kCx - 4.5f, kGroundY - 3.0f}}),
           [](float px, float py) {
               const float t = Clamp01(0.55f - (px - kCx) / 8.0f) * Clamp01((py - 240.0f) / 14.0f);
               const float bark = Needles().At(px * 3.0f, py * 0.4f, 3.0f);
               return Mix(Color(0.07f, 0.04f, 0.04f), Color(0.28f, 0.18f, 0.13f),
                          Clamp01(t + 0.15f * bark));
           });
}

void PaintPresent(Canvas& c, float x0, float y0, float w, float h, const Color& paper,
                  const Color& ribbon) {
    const float lid = 3.0f;
    // Front face, lid and a little of the right side.
    const float depth = 3.5f;
    c.Fill(Mask::Polygon({{x0 + w, y0},
                          {x0 + w + depth, y0 - 2.0f},
                          {x0 + w + depth, y0 + h - 2.0f},
                          {x0 + w, y0 + h}}),
           paper * 0.45f);
    c.Fill(Mask::Polygon({{x0, y0}, {x0 + w, y0}, {x0 + w, y0 + h}, {x0, y0 + h}}),
           [&](float px, float) { return paper * (0.95f - 0.3f * (px - x0) / w); });
    c.Fill(Mask::Polygon({{x0 - 0.8f, y0 - lid + 1.0f},
                          {x0 + w + 0.8f, y0 - lid + 1.0f},
                          {x0 + w + depth + 0.8f, y0 - lid - 1.0f},
                          {x0 + w + depth + 0.8f, y0 + 0.5f},
                          {x0 + w + 0.8f, y0 + 2.0f},
                          {x0 - 0.8f, y0 + 2.0f}}),
           paper * 1.1f);
    const float rx = x0 + w * 0.5f;
    c.Fill(Mask::Polygon({{rx - 1.0f, y0 - lid + 1.0f},
                          {rx + 1.0f, y0 - lid + 1.0f},
                          {rx + 1.0f, y0 + h},
                          {rx - 1.0f, y0 + h}}),
           ribbon);
    c.Fill(Mask::Polygon({{x0 - 0.8f, y0 - 0.5f},
                          {x0 + w + 0.8f, y0 - 0.5f},
                          {x0 + w + 0.8f, y0 + 1.0f},
                          {x0 - 0.8f, y0 + 1.0f}}),
           ribbon * 0.9f);
    c.Fill(Mask::Ellipse(rx - 2.3f, y0 - lid - 0.5f, 2.3f, 1.5f), ribbon);
    c.Fill(Mask::Ellipse(rx + 2.3f, y0 - lid - 0.5f, 2.3f, 1.5f), ribbon * 0.85f);
    c.Fill(Mask::Disc(rx, y0 - lid, 1.0f), ribbon * 1.15f);
}

void PaintStar(Canvas& c) {
    const Point center = {kCx, kTreeTipY - 5.0f};
    std::vector<Point> star;
    for (int i = 0; i < 10; ++i) {
        const float a = -3.14159265f / 2.0f + static_cast<float>(i) * 3.14159265f / 5.0f;
        const float r = i % 2 == 0 ? 8.5f : 3.5f;
        star.push_back({center.x + r * std::cos(a), center.y + r * std::sin(a)});
    }
    c.Fill(Mask::Polygon(star), [&](float px, float py) {
        const float d = std::hypot(px - center.x, py - center.y);
        // Facets: the left half of each point catches more light.
        const float a = std::atan2(py - center.y, px - center.x) + 3.14159265f / 2.0f;
        const float facet = std::fmod(a / (3.14159265f / 5.0f) + 20.0f, 2.0f) < 1.0f ? 1.0f : 0.78f;
        Color gold = Mix(Color(1.0f, 0.98f, 0.80f), Color(1.0f, 0.72f, 0.20f), Clamp01(d / 6.5f));
        return gold * facet;
    });
}

}  // namespace

void PaintTree(Canvas& landscape) {
    PaintTrunk(landscape);
    Rng rng(1225);
    const std::vector<Tier>& tiers = Tiers();
    std::vector<TierEdge> edges;
    std::vector<std::vector<Point>> outlines;
    for (const Tier& tier : tiers) {
        edges.push_back(MakeEdge(tier, rng));
        outlines.push_back(TierOutline(tier, edges.back(), rng));
    }
    // Lowest tier first: each tier above hangs over the one below.
    for (size_t i = tiers.size(); i-- > 0;) {
        const Tier& tier = tiers[i];
        const TierEdge& edge = edges[i];
        landscape.Fill(Mask::Polygon(outlines[i]),
                       [&](float px, float py) { return TierColor(tier, edge, px, py); });
        PaintTierSnow(landscape, tier, edge, rng);
    }
    PaintStar(landscape);
}

void PaintPresents(Canvas& landscape) {
    // Snow drifted against the foot of the presents is painted after them.
    PaintPresent(landscape, kCx - 26.0f, kGroundY - 12.0f, 13.0f, 12.0f, Color(0.75f, 0.10f, 0.12f),
                 Color(0.98f, 0.82f, 0.35f));
    PaintPresent(landscape, kCx + 10.0f, kGroundY - 9.0f, 11.0f, 9.0f, Color(0.15f, 0.30f, 0.70f),
                 Color(0.90f, 0.92f, 0.98f));
    std::vector<Point> drift;
    for (int i = 0; i <= 24; ++i) {
        const float x = kCx - 34.0f + 66.0f * static_cast<float>(i) / 24.0f;
        const float rise = std::sin(static_cast<float>(i) / 24.0f * 3.14159f);
        drift.push_back(
            {x, kGroundY + 1.0f - 3.5f * rise - 0.8f * std::sin(static_cast<float>(i) * 1.3f)});
    }
    drift.push_back({kCx + 32.0f, kGroundY + 6.0f});
    drift.push_back({kCx - 34.0f, kGroundY + 6.0f});
    landscape.Fill(Mask::Polygon(drift).Blurred(1), [](float px, float py) {
        const float lit = Clamp01(0.95f - std::max(0.0f, px - kCx) / 60.0f);
        const Color col = Mix(Color(0.66f, 0.72f, 0.93f), Color(0.93f, 0.95f, 1.0f), lit);
        return Rgba{col, 1.0f - SmoothStep(0.0f, 5.0f, py - kGroundY)};
    });
}

}  // namespace art
