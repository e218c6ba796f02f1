// SPDX-License-Identifier: MIT
#include "art/ground.h"

#include <cmath>
#include <vector>

#include "art/noise.h"
#include "art/rng.h"

namespace art {
namespace {

constexpr float kPi = 3.14159265f;

const Noise& OutlineNoise() {
    static const Noise noise(1201, kGroundPeriod, 0);
    return noise;
}

const Noise& SurfaceNoise() {
    static const Noise noise(1307, kGroundPeriod, 0);
    return noise;
}

// A gentle periodic wave built from whole numbers of periods.
float Wave(float x, int cycles, float phase) {
    return std::sin(2.0f * kPi * static_cast<float>(cycles) * x / kGroundPeriod + phase);
}

struct Band {
    Color valley;  // snow in the shade low in the band, where the band in front rises
    Color body;    // the band's usual colour
    Color crest;   // moonlit snow along the top
    float drift;   // strength of the large soft drifts
};

const Band kBands[3] = {
    // far: hazy blue distance
    {Color(0.27f, 0.32f, 0.54f), Color(0.42f, 0.48f, 0.70f), Color(0.58f, 0.64f, 0.85f), 0.10f},
    // middle
    {Color(0.36f, 0.43f, 0.70f), Color(0.64f, 0.70f, 0.90f), Color(0.82f, 0.86f, 0.98f), 0.16f},
    // near: bright, with deep blue hollows
    {Color(0.46f, 0.54f, 0.82f), Color(0.80f, 0.85f, 0.97f), Color(0.96f, 0.98f, 1.00f), 0.20f},
};

// Large, soft drifts in the snow, stretched across as seen at a low angle.
float Drift(float x, float v, int band) {
    return SurfaceNoise().Fbm(x, v * 2.6f + static_cast<float>(band) * 173.0f, 200.0f, 3, 0.4f);
}

// The shade of band `band` at column x and height v, `top` being the band's top there,
// `slope` the rise of that top per pixel to the right and `front` the top of the band in
// front of it (0 for the near band).
Color ShadeBand(int band, float x, float v, float top, float slope, float front) {
    const Band& b = kBands[band];
    const float depth = top - v;  // pixels below the band's top
    // The crest catches the moon (high on the left) where the outline faces it.
    const float facing = Clamp01(0.6f + slope * 3.0f);
    const float crest = std::exp(-depth / 9.0f) * (0.35f + 0.65f * facing);
    // The drifts are lit on their left flanks.
    const float e = 3.0f;
    const float dx = (Drift(x + e, v, band) - Drift(x - e, v, band)) / (2.0f * e);
    const float dv = (Drift(x, v + e, band) - Drift(x, v - e, band)) / (2.0f * e);
    const float relief = Clamp01(0.5f - b.drift * 60.0f * (dx - dv * 0.8f));
    float t = 0.45f + (relief - 0.5f) * 0.9f;
    t = Lerp(t, 1.0f, crest * 0.8f);
    Color c = t < 0.5f ? Mix(b.valley, b.body, t / 0.5f) : Mix(b.body, b.crest, (t - 0.5f) / 0.5f);
    // Blue shade gathers in the hollow where the band in front rises.
    if (front > 0.0f) {
        const float above = v - front;
        c = Mix(c, b.valley, 0.55f * std::exp(-std::max(above, 0.0f) / 16.0f));
    }
    return c;
}

// Sparkles of frost in the middle and near bands.
float Sparkle(int x, int y, int band) {
    const int px = ((x % kGroundPeriod) + kGroundPeriod) % kGroundPeriod;
    const float h = Hash01(px, y, 4242u + static_cast<unsigned>(band));
    const float threshold = band == 2 ? 0.9965f : 0.998f;
    return h > threshold ? (h - threshold) / (1.0f - threshold) : 0.0f;
}

struct DistantFir {
    float x;
    float height;
    float width;
};

std::vector<DistantFir> DistantFirs() {
    std::vector<DistantFir> firs;
    Rng rng(8128);
    // A few small groups along the far ridge, placed within one period.
    const float groups[][2] = {{40.0f, 5.0f},  {150.0f, 3.0f}, {236.0f, 6.0f}, {330.0f, 4.0f},
                               {472.0f, 7.0f}, {575.0f, 2.0f}, {690.0f, 5.0f}};
    for (const auto& g : groups) {
        const int count = static_cast<int>(g[1]);
        float x = g[0];
        for (int i = 0; i < count; ++i) {
            const float height = rng.Uniform(7.0f, 15.0f);
            firs.push_back({x, height, height * rng.Uniform(0.42f, 0.55f)});
            x += rng.Uniform(4.0f, 9.0f);
        }
    }
    return firs;
}

}  // namespace

GroundOutline PeriodicGroundOutline(float x) {
    const Noise& n = OutlineNoise();
    GroundOutline o;
    o.far = 252.0f + 7.0f * Wave(x, 2, 0.7f) + 4.0f * Wave(x, 5, 2.1f) +
            7.0f * n.Fbm(x, 10.0f, 200.0f, 4);
    o.mid = 176.0f + 8.0f * Wave(x, 2, 2.9f) + 5.0f * Wave(x, 3, 0.4f) +
            8.0f * n.Fbm(x, 50.0f, 200.0f, 4);
    o.near = 84.0f + 6.0f * Wave(x, 2, 0.3f) + 4.0f * Wave(x, 5, 4.0f) +
             6.0f * n.Fbm(x, 90.0f, 200.0f, 4);
    return o;
}

Color NearSnowColor(float x, float v, float depthBelowTop) {
    return ShadeBand(2, x, v, v + depthBelowTop, 0.0f, 0.0f);
}

void PaintGround(Canvas& canvas, const std::function<GroundOutline(float x)>& outlineAt,
                 float xOffset) {
    const int w = canvas.Width();
    const int h = canvas.Height();
    constexpr int kSub = 4;  // horizontal samples per pixel for anti-aliased outlines
    std::vector<GroundOutline> samples(static_cast<size_t>(w) * kSub + 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = outlineAt(xOffset + (static_cast<float>(i) - 0.5f) / kSub);
    auto sample = [&](int x, int s) -> const GroundOutline& {
        return samples[static_cast<size_t>(x) * kSub + s + 1];
    };

    for (int band = 0; band < 3; ++band) {
        auto topOf = [band](const GroundOutline& o) {
            return band == 0 ? o.far : band == 1 ? o.mid : o.near;
        };
        for (int x = 0; x < w; ++x) {
            const float gx = xOffset + static_cast<float>(x) + 0.5f;
            const GroundOutline here = outlineAt(gx);
            const float top = topOf(here);
            const float front = band == 0 ? here.mid : band == 1 ? here.near : 0.0f;
            const float slope = (topOf(outlineAt(gx + 2.0f)) - topOf(outlineAt(gx - 2.0f))) / 4.0f;
            for (int y = 0; y < h; ++y) {
                const float vBottom = static_cast<float>(h - 1 - y);  // height of the row's bottom
                float cov = 0.0f;
                for (int s = 0; s < kSub; ++s)
                    cov += Clamp01(topOf(sample(x, s)) - vBottom);
                cov /= kSub;
                if (cov <= 0.0f)
                    continue;
                const float v = vBottom + 0.5f;
                Color c = ShadeBand(band, gx, std::min(v, top), top, slope, front);
                if (band > 0) {
                    const float spark = Sparkle(static_cast<int>(gx), h - 1 - y, band);
                    if (spark > 0.0f)
                        c = Mix(c, Color(1.0f, 1.0f, 1.0f), 0.35f + 0.5f * spark);
                }
                canvas.Blend(x, y, c, cov);
            }
        }
        if (band != 0)
            continue;
        // The line of distant firs on the far ridge, a dark blue-green in the haze.
        static const std::vector<DistantFir> firs = DistantFirs();
        for (const DistantFir& fir : firs) {
            for (int k = -1; k <= w / kGroundPeriod + 2; ++k) {
                const float fx = fir.x + static_cast<float>(k * kGroundPeriod);
                const float cx = fx - xOffset;
                if (cx < -20.0f || cx > static_cast<float>(w) + 20.0f)
                    continue;
                const float base = static_cast<float>(h) - outlineAt(fx).far + 2.0f;
                const float top = base - fir.height;
                const float hw = fir.width * 0.5f;
                std::vector<Point> shape = {{cx, top},
                                            {cx + hw * 0.45f, top + fir.height * 0.35f},
                                            {cx + hw * 0.3f, top + fir.height * 0.38f},
                                            {cx + hw * 0.75f, top + fir.height * 0.7f},
                                            {cx + hw * 0.5f, top + fir.height * 0.72f},
                                            {cx + hw, base},
                                            {cx - hw, base},
                                            {cx - hw * 0.5f, top + fir.height * 0.72f},
                                            {cx - hw * 0.75f, top + fir.height * 0.7f},
                                            {cx - hw * 0.3f, top + fir.height * 0.38f},
                                            {cx - hw * 0.45f, top + fir.height * 0.35f}};
                canvas.Fill(Mask::Polygon(shape), [&](float px, float py) {
                    const float lit = Clamp01((cx - px) / hw * 0.5f + 0.5f);
                    const float snow = 0.5f + 0.5f * std::sin(py * 1.9f + (px - cx) * 0.7f);
                    Color c = Mix(Color(0.10f, 0.16f, 0.26f), Color(0.17f, 0.25f, 0.36f), lit);
                    return Mix(c, Color(0.46f, 0.52f, 0.70f), 0.35f * snow * lit);
                });
            }
        }
    }
}

}  // namespace art
