// SPDX-License-Identifier: MIT
#include "art/house_painter.h"

#include <cmath>
#include <vector>

#include "art/noise.h"
#include "art/rng.h"
#include "art/scene_manifest.h"

namespace art {
namespace {

// The front wall's corners, the depth of the cabin as seen receding to the upper right, and
// the roof pitch.
constexpr float kLeft = 148.0f;
constexpr float kRight = 292.0f;
constexpr float kEave = 150.0f;
constexpr float kBase = 236.0f;
constexpr Point kDepth = {46.0f, -16.0f};
constexpr float kRidgeY = 92.0f;
constexpr float kLogHeight = 7.2f;

const Color kWarmLight(1.00f, 0.80f, 0.45f);
const Color kSnowLit(0.90f, 0.93f, 1.00f);
const Color kSnowShade(0.55f, 0.62f, 0.86f);

Point Add(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}
Point Scale(Point a, float k) {
    return {a.x * k, a.y * k};
}

const Noise& Grain() {
    static const Noise noise(5151);
    return noise;
}

// Logs lying one above the other: a cylinder's shading across each log, with grain.
Color LogColor(float along, float across, const Color& lit, const Color& dark) {
    const float phase = across / kLogHeight - std::floor(across / kLogHeight);  // 0..1 down
    const float round = std::sin(phase * 3.14159f);                             // 0 at seams
    const float highlight = std::exp(-std::pow((phase - 0.3f) / 0.2f, 2.0f));
    const float grain = Grain().Fbm(along * 0.25f, across * 2.0f, 6.0f, 2);
    float t = 0.25f + 0.55f * round + 0.25f * highlight + 0.08f * grain;
    if (phase > 0.9f || phase < 0.06f)
        t *= 0.45f;  // the dark chink between logs
    return Mix(dark, lit, Clamp01(t));
}

// Glow of a warm light source on a wall: falls off with distance.
float GlowAt(float px, float py, float cx, float cy, float radius) {
    const float dx = px - cx, dy = py - cy;
    return std::exp(-(dx * dx + dy * dy) / (radius * radius));
}

struct Window {
    float x0, y0, x1, y1;
};

const Window kFrontWindows[] = {{160.0f, 170.0f, 187.0f, 199.0f}, {251.0f, 170.0f, 278.0f, 199.0f}};
constexpr float kDoorX0 = 207.0f, kDoorX1 = 231.0f, kDoorTop = 175.0f;
constexpr Point kLamp = {240.5f, 180.0f};
constexpr Point kGableWindow = {315.0f, 124.0f};

float WallLight(float px, float py) {
    float glow = 0.0f;
    for (const Window& w : kFrontWindows)
        glow += 0.55f * GlowAt(px, py, (w.x0 + w.x1) * 0.5f, (w.y0 + w.y1) * 0.5f, 26.0f);
    glow += 0.7f * GlowAt(px, py, kLamp.x, kLamp.y, 16.0f);
    return glow;
}

void PaintWalls(Canvas& c) {
    // Front wall of logs, lit by the moon from the left, warmed around the windows.
    const Mask front =
        Mask::Polygon({{kLeft, kEave - 2}, {kRight, kEave - 2}, {kRight, kBase}, {kLeft, kBase}});
    c.Fill(front, [](float px, float py) {
        Color col =
            LogColor(px, py - kEave, Color(0.40f, 0.27f, 0.22f), Color(0.12f, 0.08f, 0.09f));
        col = Mix(col, col * Color(0.8f, 0.85f, 1.1f), 0.3f);
        return Screen(col, kWarmLight * (0.55f * WallLight(px, py)));
    });

    // Side wall under the gable: logs follow the receding slope; deeper in shade.
    const Point fr = {kRight, kEave}, frb = {kRight, kBase};
    const Point br = Add(fr, kDepth), brb = Add(frb, kDepth);
    const float slope = kDepth.y / kDepth.x;
    c.Fill(Mask::Polygon({{fr.x, fr.y - 2}, {br.x, br.y - 2}, brb, frb}), [&](float px, float py) {
        const float across = py - (kEave + (px - kRight) * slope);
        Color col = LogColor(px, across, Color(0.24f, 0.17f, 0.17f), Color(0.07f, 0.05f, 0.07f));
        const float glow = GlowAt(px, py, 315.0f, 178.0f, 18.0f);
        return Screen(col, kWarmLight * (0.35f * glow));
    });

    // Log ends stacked at the front corner.
    for (int i = 0; i < 12; ++i) {
        const float cy = kEave + kLogHeight * (static_cast<float>(i) + 0.5f);
        if (cy > kBase - 2.0f)
            break;
        const Mask end = Mask::Ellipse(kRight + 0.5f, cy, 3.0f, 3.4f);
        c.Fill(end, [&](float px, float py) {
            const float r = std::hypot(px - kRight - 0.5f, py - cy);
            const float ring = 0.5f + 0.5f * std::cos(r * 3.2f);
            Color wood = Mix(Color(0.42f, 0.30f, 0.22f), Color(0.56f, 0.42f, 0.30f), ring);
            return Mix(wood, Color(0.20f, 0.12f, 0.10f), SmoothStep(2.2f, 3.2f, r));
        });
    }

    // Gable end: upright boards in shade, with a round window.
    const Point apex = {kRight + kDepth.x * 0.5f, kRidgeY};
    c.Fill(Mask::Polygon({fr, apex, br}), [](float px, float py) {
        const float board = px / 5.0f - std::floor(px / 5.0f);
        float t = 0.55f + 0.3f * std::sin(board * 3.14159f) +
                  0.1f * Grain().Fbm(px * 3.0f, py * 0.3f, 6.0f, 2);
        if (board < 0.12f)
            t *= 0.4f;
        Color col = Mix(Color(0.08f, 0.06f, 0.08f), Color(0.25f, 0.17f, 0.17f), Clamp01(t));
        const float glow = GlowAt(px, py, kGableWindow.x, kGableWindow.y, 13.0f);
        return Screen(col, kWarmLight * (0.45f * glow));
    });
}

void PaintWindowPane(Canvas& c, const std::vector<Point>& outline, Point center, float reach) {
    c.Fill(Mask::Polygon(outline), [&](float px, float py) {
        const float d = std::hypot(px - center.x, (py - center.y) * 1.2f) / reach;
        return Mix(Color(1.00f, 0.90f, 0.62f), Color(0.92f, 0.52f, 0.20f), Clamp01(d));
    });
}

void PaintFrontWindow(Canvas& c, const Window& w) {
    const float cx = (w.x0 + w.x1) * 0.5f, cy = (w.y0 + w.y1) * 0.5f;
    const Color frame(0.17f, 0.10f, 0.08f);
    const Color shutter(0.13f, 0.24f, 0.21f);
    // Shutters, opened to the sides.
    for (float side : {-1.0f, 1.0f}) {
        const float sx0 = side < 0 ? w.x0 - 8.0f : w.x1 + 1.0f;
        const float sx1 = sx0 + 7.0f;
        c.Fill(Mask::Polygon({{sx0, w.y0 - 1}, {sx1, w.y0 - 1}, {sx1, w.y1 + 1}, {sx0, w.y1 + 1}}),
               [&](float px, float py) {
                   const float slat = std::fmod(py - w.y0, 3.0f) < 1.0f ? 0.6f : 1.0f;
                   Color col = shutter * slat;
                   return Screen(col, kWarmLight * (0.25f * WallLight(px, py)));
               });
    }
    c.Fill(Mask::Polygon({{w.x0 - 1.5f, w.y0 - 1.5f},
                          {w.x1 + 1.5f, w.y0 - 1.5f},
                          {w.x1 + 1.5f, w.y1 + 1.5f},
                          {w.x0 - 1.5f, w.y1 + 1.5f}}),
           frame);
    PaintWindowPane(c, {{w.x0, w.y0}, {w.x1, w.y0}, {w.x1, w.y1}, {w.x0, w.y1}}, {cx, cy - 2.0f},
                    20.0f);
    // Curtains gathered at the upper corners.
    for (float side : {-1.0f, 1.0f}) {
        const float ex = side < 0 ? w.x0 : w.x1;
        const float ix = ex - side * 7.0f;
        c.Fill(Mask::Polygon(
                   {{ex, w.y0}, {ix, w.y0}, {ex - side * 2.0f, w.y0 + 14.0f}, {ex, w.y0 + 18.0f}}),
               [&](float px, float) {
                   const float fold = 0.75f + 0.25f * std::sin((px - ex) * 1.8f);
                   return Color(0.78f, 0.26f, 0.20f) * fold;
               });
    }
    // Mullions.
    c.Fill(
        Mask::Polygon({{cx - 1.0f, w.y0}, {cx + 1.0f, w.y0}, {cx + 1.0f, w.y1}, {cx - 1.0f, w.y1}}),
        frame);
    c.Fill(
        Mask::Polygon({{w.x0, cy - 1.5f}, {w.x1, cy - 1.5f}, {w.x1, cy + 0.5f}, {w.x0, cy + 0.5f}}),
        frame);
    // Snow on the sill and on the head of the frame.
    c.Fill(Mask::Polygon({{w.x0 - 4.0f, w.y1 + 1.0f},
                          {w.x1 + 4.0f, w.y1 + 1.0f},
                          {w.x1 + 3.0f, w.y1 + 3.6f},
                          {cx + 4.0f, w.y1 + 4.2f},
                          {w.x0 - 3.0f, w.y1 + 3.4f}}),
           [&](float, float py) {
               return Mix(Color(1.0f, 0.93f, 0.80f), kSnowShade, Clamp01((py - w.y1) / 4.0f));
           });
    c.Fill(Mask::Polygon({{w.x0 - 2.5f, w.y0 - 1.5f},
                          {w.x1 + 2.5f, w.y0 - 1.5f},
                          {w.x1 + 1.5f, w.y0 - 3.5f},
                          {cx, w.y0 - 4.2f},
                          {w.x0 - 1.5f, w.y0 - 3.2f}}),
           kSnowLit);
}

void PaintDoor(Canvas& c) {
    const Color frame(0.15f, 0.09f, 0.07f);
    c.Fill(Mask::Polygon({{kDoorX0 - 2.0f, kDoorTop - 2.0f},
                          {kDoorX1 + 2.0f, kDoorTop - 2.0f},
                          {kDoorX1 + 2.0f, kBase},
                          {kDoorX0 - 2.0f, kBase}}),
           frame);
    c.Fill(Mask::Polygon(
               {{kDoorX0, kDoorTop}, {kDoorX1, kDoorTop}, {kDoorX1, kBase}, {kDoorX0, kBase}}),
           [](float px, float py) {
               const float plank = (px - kDoorX0) / 6.0f - std::floor((px - kDoorX0) / 6.0f);
               float t = 0.7f + 0.25f * std::sin(plank * 3.14159f);
               if (plank < 0.15f)
                   t *= 0.55f;
               Color col = Color(0.46f, 0.12f, 0.10f) * t;
               return Screen(col, kWarmLight * (0.5f * GlowAt(px, py, kLamp.x, kLamp.y, 18.0f)));
           });
    // The wreath: a ring of fir with red berries and a bow.
    const Point wc = {(kDoorX0 + kDoorX1) * 0.5f, kDoorTop + 15.0f};
    Mask ring = Mask::Disc(wc.x, wc.y, 7.0f);
    ring.Subtract(Mask::Disc(wc.x, wc.y, 3.3f));
    c.Fill(ring, [&](float px, float py) {
        const float a = std::atan2(py - wc.y, px - wc.x);
        const float tuft =
            0.5f + 0.5f * std::sin(a * 11.0f + std::hypot(px - wc.x, py - wc.y) * 2.0f);
        Color col = Mix(Color(0.05f, 0.20f, 0.11f), Color(0.16f, 0.42f, 0.22f), tuft);
        const float lit = Clamp01(0.5f - (px - wc.x) / 14.0f - (py - wc.y) / 14.0f);
        return Screen(col * (0.7f + 0.5f * lit), kWarmLight * 0.25f);
    });
    Rng rng(77);
    for (int i = 0; i < 7; ++i) {
        const float a = rng.Uniform(0.0f, 6.2832f);
        const float r = rng.Uniform(4.4f, 6.0f);
        c.Fill(Mask::Disc(wc.x + std::cos(a) * r, wc.y + std::sin(a) * r, 0.8f),
               Color(0.95f, 0.18f, 0.16f));
    }
    const Color bow(0.88f, 0.12f, 0.12f);
    c.Fill(Mask::Polygon(
               {{wc.x, wc.y + 6.0f}, {wc.x - 4.5f, wc.y + 3.5f}, {wc.x - 4.5f, wc.y + 8.5f}}),
           bow);
    c.Fill(Mask::Polygon(
               {{wc.x, wc.y + 6.0f}, {wc.x + 4.5f, wc.y + 3.5f}, {wc.x + 4.5f, wc.y + 8.5f}}),
           bow);
    c.Fill(
        Mask::Polygon(
            {{wc.x - 0.6f, wc.y + 6.0f}, {wc.x - 2.5f, wc.y + 12.0f}, {wc.x - 1.0f, wc.y + 12.0f}}),
        bow * 0.85f);
    c.Fill(
        Mask::Polygon(
            {{wc.x + 0.6f, wc.y + 6.0f}, {wc.x + 2.5f, wc.y + 12.0f}, {wc.x + 1.0f, wc.y + 12.0f}}),
        bow * 0.85f);
    c.Fill(Mask::Disc(wc.x, wc.y + 6.0f, 1.4f), Color(1.0f, 0.3f, 0.25f));
    // Knob.
    c.Fill(Mask::Disc(kDoorX1 - 4.0f, kDoorTop + 33.0f, 1.2f), Color(0.95f, 0.78f, 0.40f));
    // The lamp beside the door.
    c.Fill(Mask::Polygon({{kLamp.x - 0.5f, kLamp.y - 8.0f},
                          {kLamp.x + 0.5f, kLamp.y - 8.0f},
                          {kLamp.x + 0.5f, kLamp.y - 4.0f},
                          {kLamp.x - 0.5f, kLamp.y - 4.0f}}),
           frame);
    c.Fill(Mask::Polygon({{kLamp.x - 3.0f, kLamp.y - 4.5f},
                          {kLamp.x + 3.0f, kLamp.y - 4.5f},
                          {kLamp.x + 2.2f, kLamp.y + 3.5f},
                          {kLamp.x - 2.2f, kLamp.y + 3.5f}}),
           Color(0.12f, 0.08f, 0.06f));
    c.Fill(Mask::Ellipse(kLamp.x, kLamp.y, 1.8f, 2.8f), [](float px, float py) {
        const float d = std::hypot(px - kLamp.x, py - kLamp.y);
        return Mix(Color(1.0f, 0.98f, 0.85f), Color(1.0f, 0.72f, 0.30f), Clamp01(d / 2.5f));
    });
}

void PaintSideWindows(Canvas& c) {
    // Round window in the gable.
    c.Fill(Mask::Disc(kGableWindow.x, kGableWindow.y, 6.2f), Color(0.15f, 0.09f, 0.07f));
    c.Fill(Mask::Disc(kGableWindow.x, kGableWindow.y, 4.6f), [](float px, float py) {
        const float d = std::hypot(px - kGableWindow.x, py - kGableWindow.y);
        return Mix(Color(1.0f, 0.88f, 0.58f), Color(0.90f, 0.50f, 0.20f), Clamp01(d / 5.0f));
    });
    const Color bar(0.15f, 0.09f, 0.07f);
    c.Fill(Mask::Polyline(
               {{kGableWindow.x - 4.6f, kGableWindow.y}, {kGableWindow.x + 4.6f, kGableWindow.y}},
               1.0f),
           bar);
    c.Fill(Mask::Polyline(
               {{kGableWindow.x, kGableWindow.y - 4.6f}, {kGableWindow.x, kGableWindow.y + 4.6f}},
               1.0f),
           bar);

    // A small window in the side wall, skewed with the wall.
    const float slope = kDepth.y / kDepth.x;
    auto at = [&](float x, float down) { return Point{x, kEave + (x - kRight) * slope + down}; };
    const float x0 = 306.0f, x1 = 324.0f, d0 = 20.0f, d1 = 44.0f;
    c.Fill(Mask::Polygon({at(x0 - 1.5f, d0 - 1.5f), at(x1 + 1.5f, d0 - 1.5f),
                          at(x1 + 1.5f, d1 + 1.5f), at(x0 - 1.5f, d1 + 1.5f)}),
           Color(0.12f, 0.07f, 0.06f));
    PaintWindowPane(c, {at(x0, d0), at(x1, d0), at(x1, d1), at(x0, d1)}, at(315.0f, 30.0f), 16.0f);
    c.Fill(Mask::Polyline({at(315.0f, d0), at(315.0f, d1)}, 1.6f), bar);
    c.Fill(Mask::Polyline({at(x0, 32.0f), at(x1, 32.0f)}, 1.6f), bar);
    c.Fill(Mask::Polygon({at(x0 - 3.0f, d1 + 1.5f), at(x1 + 3.0f, d1 + 1.5f),
                          at(x1 + 2.0f, d1 + 4.0f), at(x0 - 2.0f, d1 + 3.6f)}),
           Mix(kSnowShade, Color(1.0f, 0.9f, 0.75f), 0.4f));
}

// Snow lying on the front of the roof: the roof plane is spanned by the eave (s, along the
// front) and the slope up to the ridge (t, 0 at the eave, 1 at the ridge).
void PaintRoof(Canvas& c) {
    const Point eaveLeft = {kLeft, kEave};
    const Point up = {kDepth.x * 0.5f, kRidgeY - kEave};  // eave to ridge
    auto roof = [&](float s, float t) { return Add(Add(eaveLeft, {s, 0.0f}), Scale(up, t)); };
    const float sLeft = -10.0f, sRight = (kRight - kLeft) + 8.0f;
    const float tLow = -0.07f;

    // The back slope's edge, seen beyond the gable: fascia board with snow on it.
    const Point apexOut = roof(sRight, 1.0f);
    const Point backEave = Add(Add({kRight, kEave}, kDepth), {8.0f, 5.0f});
    const Point apexIn = {kRight + kDepth.x * 0.5f, kRidgeY};
    c.Fill(
        Mask::Polygon({apexIn, apexOut, Add(backEave, {2.5f, 1.0f}), Add(backEave, {-2.0f, 1.0f}),
                       Add(Add({kRight, kEave}, kDepth), {0.0f, 0.0f})}),
        Color(0.13f, 0.09f, 0.09f));
    c.Fill(Mask::Polygon({Add(apexOut, {-1.0f, -4.5f}), Add(backEave, {3.5f, -3.0f}),
                          Add(backEave, {3.0f, 0.5f}), Add(backEave, {-1.0f, 0.0f}),
                          Add(apexOut, {-3.0f, 0.5f})}),
           [&](float, float py) {
               const float along = Clamp01((py - apexOut.y) / (backEave.y - apexOut.y));
               return Mix(Color(0.72f, 0.78f, 0.95f), Color(0.52f, 0.60f, 0.84f), along);
           });

    // Fascia under the eave: a dark board visible below the snow lip.
    c.Fill(
        Mask::Polygon({roof(sLeft, tLow), roof(sRight, tLow), Add(roof(sRight, tLow), {0.0f, 3.0f}),
                       Add(roof(sLeft, tLow), {0.0f, 3.0f})}),
        Color(0.14f, 0.09f, 0.08f));

    // The snow blanket over the roof, bulging over the eave and the verge.
    std::vector<Point> blanket;
    blanket.push_back(Add(roof(sLeft, 1.0f), {0.0f, -3.5f}));
    blanket.push_back(Add(roof(sRight, 1.0f), {1.5f, -3.5f}));
    for (int i = 0; i <= 10; ++i) {
        const float t = 1.0f - static_cast<float>(i) / 10.0f * (1.0f - tLow);
        blanket.push_back(
            Add(roof(sRight, t), {2.0f + 0.6f * std::sin(static_cast<float>(i) * 1.7f), 0.0f}));
    }
    // The lip along the eave, with a wavy lower edge.
    Rng rng(31);
    const int lipPoints = 36;
    for (int i = 0; i <= lipPoints; ++i) {
        const float s = sRight - (sRight - sLeft) * static_cast<float>(i) / lipPoints;
        const float sag = 3.0f + 1.2f * std::sin(s * 0.21f) + rng.Uniform(0.0f, 0.8f);
        blanket.push_back(Add(roof(s, tLow), {0.0f, sag}));
    }
    blanket.push_back(Add(roof(sLeft, tLow), {-2.5f, 1.0f}));
    for (int i = 0; i <= 10; ++i) {
        const float t = tLow + static_cast<float>(i) / 10.0f * (1.0f - tLow);
        blanket.push_back(
            Add(roof(sLeft, t), {-2.0f - 0.5f * std::sin(static_cast<float>(i) * 2.3f), 0.0f}));
    }
    const Noise drift(444);
    c.Fill(Mask::Polygon(blanket), [&](float px, float py) {
        const float t = Clamp01((kEave - py) / (kEave - kRidgeY));
        const float n = drift.Fbm(px, py * 2.0f, 24.0f, 3);
        float lit = 0.62f + 0.25f * t + 0.18f * n;
        // Shade near the lower edge where the snow curls over the eave.
        lit -= 0.35f * SmoothStep(kEave - 4.0f, kEave + 4.0f, py);
        // The chimney's shadow falls down the roof to the right, fading as it goes.
        const float shadowX = px - (kChimneyTopX + 22.0f) - (py - 104.0f) * 0.45f;
        if (py > 100.0f)
            lit -= 0.3f * (1.0f - SmoothStep(4.0f, 8.0f, std::fabs(shadowX))) *
                   (1.0f - SmoothStep(104.0f, 126.0f, py)) * SmoothStep(100.0f, 104.0f, py);
        return Mix(kSnowShade, kSnowLit, Clamp01(lit));
    });
    // Icicles along the eave.
    for (int i = 0; i < 22; ++i) {
        const float s = sLeft + 6.0f + rng.Uniform(0.0f, sRight - sLeft - 12.0f);
        const Point root = Add(roof(s, tLow), {0.0f, 3.5f});
        const float len = rng.Uniform(2.5f, 7.5f);
        c.Fill(
            Mask::Polygon({{root.x - 1.0f, root.y},
                           {root.x + 1.0f, root.y},
                           {root.x + 0.15f, root.y + len},
                           {root.x - 0.15f, root.y + len}}),
            [&](float px, float) {
                return Mix(Color(0.92f, 0.96f, 1.0f), Color(0.55f, 0.66f, 0.90f),
                           Clamp01(px - root.x + 0.5f));
            },
            0.9f);
    }
}

void PaintChimney(Canvas& c) {
    const float x0 = kChimneyTopX, x1 = kChimneyTopX + 16.0f;
    const float top = kChimneyTopY;
    const float foot = 106.0f;
    const Point side = {5.5f, -2.0f};
    auto brick = [](float px, float py, float light) {
        const float row = py / 3.0f;
        const float course = std::floor(row);
        const float offset = std::fmod(course, 2.0f) * 3.0f;
        const float col = (px + offset) / 6.0f;
        const bool mortar = row - course < 0.3f || col - std::floor(col) < 0.16f;
        const float n = Grain().At(px * 2.0f, py * 2.0f, 4.0f);
        Color b = Mix(Color(0.34f, 0.15f, 0.12f), Color(0.46f, 0.22f, 0.16f), 0.5f + 0.5f * n);
        if (mortar)
            b = Color(0.30f, 0.27f, 0.30f);
        return b * light;
    };
    // Right side in shade.
    c.Fill(Mask::Polygon(
               {{x1, top + 4.0f}, Add({x1, top + 4.0f}, side), Add({x1, foot}, side), {x1, foot}}),
           [&](float px, float py) { return brick(px * 2.0f, py, 0.45f); });
    // Front, moonlit from the left.
    c.Fill(Mask::Polygon({{x0, top + 4.0f}, {x1, top + 4.0f}, {x1, foot}, {x0, foot}}),
           [&](float px, float py) { return brick(px, py, 0.95f - 0.35f * (px - x0) / 16.0f); });
    // The crown: a slab a little wider than the stack, and the dark mouth seen from above.
    const float cx0 = x0 - 1.0f, cx1 = x1 + 1.0f;
    c.Fill(Mask::Polygon({{cx0, top}, {cx1, top}, {cx1, top + 4.0f}, {cx0, top + 4.0f}}),
           Color(0.42f, 0.40f, 0.44f));
    c.Fill(
        Mask::Polygon(
            {{cx1, top}, Add({cx1, top}, side), Add({cx1, top + 4.0f}, side), {cx1, top + 4.0f}}),
        Color(0.22f, 0.21f, 0.25f));
    c.Fill(Mask::Polygon({{cx0, top}, {cx1, top}, Add({cx1, top}, side), Add({cx0, top}, side)}),
           Color(0.50f, 0.49f, 0.55f));
    c.Fill(Mask::Polygon({{cx0 + 2.0f, top - 0.3f},
                          {cx1 - 1.0f, top - 0.3f},
                          Add({cx1 - 1.0f, top - 0.3f}, Scale(side, 0.6f)),
                          Add({cx0 + 2.0f, top - 0.3f}, Scale(side, 0.6f))}),
           Color(0.05f, 0.04f, 0.05f));
    // Snow heaped against the foot of the chimney.
    c.Fill(Mask::Polygon({{x0 - 5.0f, foot + 1.0f},
                          {x0 - 1.0f, foot - 5.0f},
                          {x0 + 6.0f, foot - 6.5f},
                          {x1 + 2.0f, foot - 7.0f},
                          {x1 + side.x + 2.0f, foot - 5.5f},
                          {x1 + side.x + 6.0f, foot + 1.0f}}),
           [](float px, float) {
               return Mix(kSnowLit, kSnowShade, Clamp01((px - kChimneyTopX) / 28.0f));
           });
}

void PaintBaseDrift(Canvas& c) {
    // Snow banked against the foot of the walls, rounding off into the ground in front.
    const float slope = kDepth.y / kDepth.x;
    auto footY = [&](float x) { return x > kRight ? kBase + (x - kRight) * slope : kBase; };
    std::vector<Point> drift;
    Rng rng(91);
    const float x0 = kLeft - 12.0f, x1 = kRight + kDepth.x + 10.0f;
    for (int i = 0; i <= 40; ++i) {
        const float x = x0 + (x1 - x0) * static_cast<float>(i) / 40.0f;
        float height = 5.0f + 2.5f * std::sin(x * 0.11f) + rng.Uniform(0.0f, 1.2f);
        // Taper off at both ends; the path to the door is cleared.
        height *= SmoothStep(x0, x0 + 14.0f, x) * (1.0f - SmoothStep(x1 - 12.0f, x1, x));
        if (x > kDoorX0 - 4.0f && x < kDoorX1 + 4.0f)
            height = 1.0f;
        drift.push_back({x, footY(x) - height});
    }
    for (int i = 40; i >= 0; --i) {
        const float x = x0 + (x1 - x0) * static_cast<float>(i) / 40.0f;
        drift.push_back({x, footY(x) + 5.0f});
    }
    const Mask area = Mask::Polygon(drift).Blurred(1);
    c.Fill(area, [&](float px, float py) {
        const float below = py - footY(px);  // about -7 (top) .. 5 (front)
        const float lit =
            Clamp01(0.8f - (below + 6.0f) / 22.0f - std::max(0.0f, px - kRight) / 70.0f);
        Color col = Mix(kSnowShade, kSnowLit, lit);
        col = Screen(col, kWarmLight * (0.3f * WallLight(px, py - 6.0f)));
        return Rgba{col, 1.0f - SmoothStep(1.0f, 5.0f, below)};
    });
}

}  // namespace

void PaintHouse(Canvas& landscape) {
    PaintWalls(landscape);
    for (const Window& w : kFrontWindows)
        PaintFrontWindow(landscape, w);
    PaintDoor(landscape);
    PaintSideWindows(landscape);
    PaintChimney(landscape);
    PaintRoof(landscape);
    PaintBaseDrift(landscape);
}

void PaintHouseLightOnSnow(Canvas& landscape) {
    // Pools of window light stretched out over the snow in front of the wall.
    auto pool = [&](float cx, float top, float halfWidth, float length, float strength) {
        const Mask area = Mask::Polygon({{cx - halfWidth, top},
                                         {cx + halfWidth, top},
                                         {cx + halfWidth * 1.8f, top + length},
                                         {cx - halfWidth * 1.8f, top + length}});
        landscape.ForCovered(area, [&](int x, int y, float cov) {
            const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            const float along = (py - top) / length;
            const float across = (px - cx) / (halfWidth * (1.0f + 0.8f * along));
            const float fall = std::exp(-across * across * 2.2f) * (1.0f - along) * (1.0f - along);
            landscape.Glow(x, y, Color(1.0f, 0.72f, 0.36f), strength * fall * cov);
        });
    };
    for (const Window& w : kFrontWindows)
        pool((w.x0 + w.x1) * 0.5f, kBase + 1.0f, 14.0f, 24.0f, 0.45f);
    pool((kDoorX0 + kDoorX1) * 0.5f + 4.0f, kBase + 1.0f, 12.0f, 30.0f, 0.4f);
}

}  // namespace art
