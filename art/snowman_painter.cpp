// SPDX-License-Identifier: MIT
#include "art/snowman_painter.h"

#include <cmath>
#include <vector>

namespace art {
namespace {

const Color kSnowLit(0.95f, 0.97f, 1.0f);
const Color kSnowShade(0.50f, 0.58f, 0.86f);
const Color kCoal(0.07f, 0.07f, 0.10f);

// A ball of snow lit by the moon from the upper left.
void Ball(Canvas& c, float cx, float cy, float r) {
    c.Fill(Mask::Disc(cx, cy, r), [&](float px, float py) {
        const float nx = (px - cx) / r, ny = (py - cy) / r;
        const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
        const float lit = Clamp01(-0.55f * nx - 0.45f * ny + 0.7f * nz);
        // A little reflected light from the snow below keeps the shaded side from going dull.
        const float bounce = Clamp01(ny) * 0.15f;
        return Mix(kSnowShade, kSnowLit, Clamp01(lit * 1.1f + bounce));
    });
}

}  // namespace

void PaintSnowman(Canvas& c, float x, float groundY) {
    const float r0 = 11.0f, r1 = 8.0f, r2 = 6.0f;
    const float y0 = groundY - r0 + 1.5f;
    const float y1 = y0 - r0 - r1 + 4.0f;
    const float y2 = y1 - r1 - r2 + 3.0f;
    // Shadow on the snow, thrown to the right.
    c.Fill(Mask::Ellipse(x + 9.0f, groundY, 16.0f, 3.0f).Blurred(1), Color(0.38f, 0.45f, 0.78f),
           0.45f);
    // Stick arms behind the body.
    const Color wood(0.22f, 0.14f, 0.10f);
    c.Fill(Mask::Polyline({{x - 5.0f, y1 - 1.0f}, {x - 16.0f, y1 - 7.0f}, {x - 19.0f, y1 - 12.0f}},
                          1.2f),
           wood);
    c.Fill(Mask::Polyline({{x - 15.0f, y1 - 6.5f}, {x - 19.5f, y1 - 6.0f}}, 1.0f), wood);
    c.Fill(Mask::Polyline({{x + 5.0f, y1 - 1.0f}, {x + 15.0f, y1 + 2.0f}, {x + 20.0f, y1 - 1.0f}},
                          1.2f),
           wood);
    Ball(c, x, y0, r0);
    Ball(c, x + 0.5f, y1, r1);
    Ball(c, x + 0.5f, y2, r2);
    // Coal buttons, eyes and smile.
    for (int i = 0; i < 3; ++i)
        c.Fill(Mask::Disc(x + 0.3f, y1 - 3.5f + 3.5f * static_cast<float>(i), 0.9f), kCoal);
    c.Fill(Mask::Disc(x - 1.8f, y2 - 1.2f, 0.8f), kCoal);
    c.Fill(Mask::Disc(x + 2.2f, y2 - 1.2f, 0.8f), kCoal);
    for (int i = 0; i < 4; ++i) {
        const float a = 0.5f + 0.7f * static_cast<float>(i);
        c.Fill(Mask::Disc(x + 0.5f + 3.0f * std::cos(a + 0.2f),
                          y2 + 0.6f + 1.6f * std::sin(a + 0.2f), 0.45f),
               kCoal);
    }
    // The carrot, pointing left.
    c.Fill(Mask::Polygon({{x - 0.5f, y2 - 0.4f}, {x - 0.5f, y2 + 1.4f}, {x - 7.0f, y2 + 1.0f}}),
           [&](float, float py) {
               return Mix(Color(1.0f, 0.55f, 0.15f), Color(0.75f, 0.32f, 0.08f), Clamp01(py - y2));
           });
    // A red scarf with a loose end.
    const Color scarf(0.82f, 0.14f, 0.16f);
    c.Fill(
        Mask::Polygon({{x - 6.0f, y2 + r2 - 2.5f},
                       {x + 6.5f, y2 + r2 - 2.0f},
                       {x + 6.5f, y2 + r2 + 1.2f},
                       {x - 6.0f, y2 + r2 + 0.8f}}),
        [&](float px, float) { return scarf * (1.0f - 0.35f * Clamp01((px - x + 6.0f) / 12.0f)); });
    c.Fill(Mask::Polygon({{x + 2.0f, y2 + r2},
                          {x + 5.0f, y2 + r2},
                          {x + 6.0f, y2 + r2 + 8.0f},
                          {x + 3.0f, y2 + r2 + 8.5f}}),
           scarf * 0.8f);
    // Hat: brim and crown, with a green band.
    const Color hat(0.06f, 0.06f, 0.09f);
    c.Fill(Mask::Polygon({{x - 6.5f, y2 - r2 + 2.0f},
                          {x + 7.5f, y2 - r2 + 2.0f},
                          {x + 7.5f, y2 - r2 + 3.3f},
                          {x - 6.5f, y2 - r2 + 3.3f}}),
           hat);
    c.Fill(Mask::Polygon({{x - 4.0f, y2 - r2 - 6.0f},
                          {x + 5.0f, y2 - r2 - 6.0f},
                          {x + 5.0f, y2 - r2 + 2.5f},
                          {x - 4.0f, y2 - r2 + 2.5f}}),
           [&](float px, float) {
               return hat + Color(0.10f, 0.10f, 0.14f) * Clamp01((x - px) / 4.0f + 0.3f);
           });
    c.Fill(Mask::Polygon({{x - 4.0f, y2 - r2 - 0.2f},
                          {x + 5.0f, y2 - r2 - 0.2f},
                          {x + 5.0f, y2 - r2 + 1.5f},
                          {x - 4.0f, y2 - r2 + 1.5f}}),
           Color(0.12f, 0.42f, 0.24f));
    // Snow settled on the hat.
    c.Fill(Mask::Ellipse(x + 0.3f, y2 - r2 - 6.0f, 4.6f, 1.1f), kSnowLit);
}

}  // namespace art
