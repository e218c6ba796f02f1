// SPDX-License-Identifier: MIT
#include "art/smoke_painter.h"

#include <cmath>
#include <vector>

#include "art/blue_noise.h"
#include "art/color.h"
#include "art/noise.h"
#include "art/rng.h"
#include "art/scene_manifest.h"

namespace art {
namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr int kEmitEvery = 5;  // cells between puffs; divides the loop
constexpr int kPuffs = kSmokeCells / kEmitEvery;
constexpr float kLife = 126.0f;  // cells a puff lives, less than the loop

static_assert(kSmokeCells % kEmitEvery == 0, "puffs must repeat with the loop");

struct Puff {
    float x, y, radius, density;
    float seedX, seedY;
};

// Where puff j is at loop cell t, or density 0 when it is not alive.
Puff PuffAt(int j, int t) {
    Rng rng(4000u + static_cast<std::uint64_t>(j));
    const float drift = rng.Uniform(0.8f, 1.2f);
    const float rise = rng.Uniform(0.9f, 1.05f);
    const float size = rng.Uniform(0.85f, 1.15f);
    const float seedX = rng.Uniform(0.0f, 500.0f), seedY = rng.Uniform(0.0f, 500.0f);
    const int age = ((t - j * kEmitEvery) % kSmokeCells + kSmokeCells) % kSmokeCells;
    const float tau = static_cast<float>(age) / kLife;
    Puff p{};
    if (tau >= 1.0f)
        return p;
    const float h = static_cast<float>(kSmokeCellHeight);
    // Quick out of the chimney, slowing as it spreads; the wind bends it to the right.
    const float up = 98.0f * rise * (1.0f - std::exp(-2.3f * tau)) / (1.0f - std::exp(-2.3f));
    const float sway = 2.5f * std::sin(kTwoPi * static_cast<float>(t) / 67.5f + up * 0.06f);
    p.x = 9.0f + 32.0f * drift * std::pow(tau, 1.4f) + sway * SmoothStep(0.0f, 0.3f, tau);
    p.y = h - 1.5f - up;
    p.radius = 3.6f + 12.0f * size * std::pow(tau, 0.7f);
    p.density = std::pow(1.0f - tau, 1.6f) * 0.95f;
    p.seedX = seedX;
    p.seedY = seedY;
    return p;
}

}  // namespace

Picture PaintSmoke() {
    const int w = kSmokeCellWidth, h = kSmokeCellHeight;
    Picture sheet(w * kSmokeCells, h);
    const Noise billow(777);
    std::vector<float> density(static_cast<size_t>(w) * h);
    for (int t = 0; t < kSmokeCells; ++t) {
        std::fill(density.begin(), density.end(), 0.0f);
        // A steady plume right at the chimney's mouth, so that smoke always leaves it.
        for (int y = h - 16; y < h; ++y)
            for (int x = 0; x < 20; ++x) {
                const float dx = static_cast<float>(x) + 0.5f - 9.0f;
                const float dy = static_cast<float>(y) + 0.5f - static_cast<float>(h);
                const float width = 3.2f + 0.12f * -dy;
                density[static_cast<size_t>(y) * w + x] +=
                    0.9f * std::exp(-dx * dx / (2.0f * width * width) - dy * dy / 60.0f);
            }
        for (int j = 0; j < kPuffs; ++j) {
            const Puff p = PuffAt(j, t);
            if (p.density <= 0.0f)
                continue;
            const float reach = p.radius * 1.9f;
            const int x0 = std::max(0, static_cast<int>(p.x - reach));
            const int x1 = std::min(w - 1, static_cast<int>(p.x + reach) + 1);
            const int y0 = std::max(0, static_cast<int>(p.y - reach));
            const int y1 = std::min(h - 1, static_cast<int>(p.y + reach) + 1);
            const float sigma = p.radius * 0.6f;
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    const float dx = static_cast<float>(x) + 0.5f - p.x;
                    const float dy = static_cast<float>(y) + 0.5f - p.y;
                    const float r2 = dx * dx + dy * dy;
                    // Billows inside the puff grow with it.
                    const float n = billow.Fbm(p.seedX + dx / p.radius * 6.0f,
                                               p.seedY + dy / p.radius * 6.0f, 4.0f, 2);
                    const float g = std::exp(-r2 / (2.0f * sigma * sigma)) * (0.7f + 0.6f * n);
                    density[static_cast<size_t>(y) * w + x] += p.density * std::max(0.0f, g);
                }
        }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const float d = density[static_cast<size_t>(y) * w + x];
                const float alpha = 1.0f - std::exp(-1.7f * d);
                // Fade to nothing at the cell's sides and top so nothing is cut off sharply.
                const float fx =
                    std::min(static_cast<float>(x) + 0.5f, static_cast<float>(w - x) - 0.5f);
                const float edge = SmoothStep(0.0f, 6.0f, fx) *
                                   SmoothStep(0.0f, 10.0f, static_cast<float>(y) + 0.5f);
                const float a = alpha * edge;
                if (a <= BlueNoiseThreshold(x, y) * 0.96f + 0.03f)
                    continue;
                // Lit from the upper left: the density falling off that way means a lit side.
                const float left = x > 0 ? density[static_cast<size_t>(y) * w + x - 1] : 0.0f;
                const float above = y > 0 ? density[static_cast<size_t>(y - 1) * w + x] : 0.0f;
                const float lit = Clamp01(0.5f + 2.0f * ((d - left) + (d - above)));
                const float height = 1.0f - static_cast<float>(y) / static_cast<float>(h);
                Color c = Mix(Color(0.36f, 0.38f, 0.46f), Color(0.66f, 0.69f, 0.78f),
                              Clamp01(a * 0.8f + 0.2f));
                c = Mix(c, Color(0.80f, 0.83f, 0.92f), lit * 0.35f * a);
                // Thin smoke high up takes on the blue of the night.
                c = Mix(c, Color(0.30f, 0.36f, 0.54f), 0.35f * height * (1.0f - a));
                sheet.Set(t * w + x, y, AwayFromKey(c.ToRgb()));
            }
    }
    return sheet;
}

}  // namespace art
