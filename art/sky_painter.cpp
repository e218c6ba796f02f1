// SPDX-License-Identifier: MIT
#include "art/sky_painter.h"

#include <cmath>
#include <vector>

#include "art/noise.h"
#include "art/rng.h"

namespace art {
namespace {

// How far down the gradient a row is: 0 at the top, close to 1 towards the horizon of most
// screens, back to 0 at the tile's last row.
float GradientAt(float y) {
    const float down = 1.0f - std::exp(-y / 560.0f);
    return down * (1.0f - SmoothStep(1300.0f, static_cast<float>(kSkyHeight), y));
}

struct StarLight {
    std::vector<Color> light;
    void Add(int x, int y, const Color& c) {
        x = ((x % kSkyWidth) + kSkyWidth) % kSkyWidth;
        y = ((y % kSkyHeight) + kSkyHeight) % kSkyHeight;
        light[static_cast<size_t>(y) * kSkyWidth + x] += c;
    }
};

Color StarTint(Rng& rng) {
    const float t = rng.Uniform();
    if (t < 0.45f)
        return Color(0.80f, 0.87f, 1.00f);  // blue-white
    if (t < 0.78f)
        return Color(1.00f, 1.00f, 1.00f);
    if (t < 0.93f)
        return Color(1.00f, 0.93f, 0.78f);  // pale gold
    return Color(1.00f, 0.80f, 0.66f);      // orange giant
}

// A round star: a small Gaussian around a centre that may lie between pixels.
void RoundStar(StarLight& sky, float cx, float cy, float sigma, const Color& c) {
    const int reach = static_cast<int>(std::ceil(sigma * 3.0f));
    const int ix = static_cast<int>(std::floor(cx));
    const int iy = static_cast<int>(std::floor(cy));
    float total = 0.0f;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const float px = static_cast<float>(ix + dx) + 0.5f - cx;
            const float py = static_cast<float>(iy + dy) + 0.5f - cy;
            total += std::exp(-(px * px + py * py) / (2.0f * sigma * sigma));
        }
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const float px = static_cast<float>(ix + dx) + 0.5f - cx;
            const float py = static_cast<float>(iy + dy) + 0.5f - cy;
            const float w = std::exp(-(px * px + py * py) / (2.0f * sigma * sigma)) / total;
            // Peak pixel keeps the brightness; neighbours get the soft fall-off.
            sky.Add(ix + dx, iy + dy, c * (w * 2.2f));
        }
}

// A bright star with four thin rays, and sometimes four shorter diagonal ones.
void TwinklingStar(StarLight& sky, int x, int y, float brightness, float rayLength, bool diagonals,
                   const Color& c) {
    RoundStar(sky, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, 0.8f,
              c * (brightness * 1.6f));
    const int reach = static_cast<int>(rayLength);
    for (int d = 1; d <= reach; ++d) {
        const float t = 1.0f - static_cast<float>(d) / (rayLength + 1.0f);
        const Color ray = c * (brightness * 0.9f * std::pow(t, 1.5f));
        sky.Add(x + d, y, ray);
        sky.Add(x - d, y, ray);
        sky.Add(x, y + d, ray);
        sky.Add(x, y - d, ray);
    }
    if (!diagonals)
        return;
    for (int d = 1; d <= reach / 2; ++d) {
        const float t = 1.0f - static_cast<float>(d) / (rayLength * 0.5f + 1.0f);
        const Color ray = c * (brightness * 0.4f * t * t);
        sky.Add(x + d, y + d, ray);
        sky.Add(x - d, y + d, ray);
        sky.Add(x + d, y - d, ray);
        sky.Add(x - d, y - d, ray);
    }
}

}  // namespace

Color SkyColorAt(float y) {
    const Color top(0.010f, 0.020f, 0.075f);
    const Color middle(0.035f, 0.060f, 0.170f);
    const Color low(0.085f, 0.135f, 0.300f);
    const float g = GradientAt(y);
    if (g < 0.55f)
        return Mix(top, middle, g / 0.55f);
    return Mix(middle, low, SmoothStep(0.55f, 1.0f, g));
}

Color HorizonSkyColor() {
    // Between the horizon rows of a 768 and a 1080 pixel tall screen.
    return Mix(SkyColorAt(768.0f - 250.0f), SkyColorAt(1080.0f - 250.0f), 0.5f);
}

Picture PaintSky() {
    StarLight stars{std::vector<Color>(static_cast<size_t>(kSkyWidth) * kSkyHeight)};
    Rng rng(0x5EED5C1Eu);
    const float area = static_cast<float>(kSkyWidth) * kSkyHeight;
    // Many faint stars, fewer medium ones, and a handful of bright twinkling ones.
    const int faint = static_cast<int>(area / 520.0f);
    const int medium = static_cast<int>(area / 3600.0f);
    const int bright = static_cast<int>(area / 40000.0f);
    auto extinction = [](float y) { return 1.0f - 0.55f * GradientAt(y); };
    for (int i = 0; i < faint; ++i) {
        const float x = rng.Uniform(0.0f, static_cast<float>(kSkyWidth));
        const float y = rng.Uniform(0.0f, static_cast<float>(kSkyHeight));
        const float b = 0.12f + 0.5f * std::pow(rng.Uniform(), 2.0f);
        RoundStar(stars, std::floor(x) + 0.5f, std::floor(y) + 0.5f, 0.35f,
                  StarTint(rng) * (b * extinction(y)));
    }
    for (int i = 0; i < medium; ++i) {
        const float x = std::floor(rng.Uniform(0.0f, static_cast<float>(kSkyWidth))) + 0.5f;
        const float y = std::floor(rng.Uniform(0.0f, static_cast<float>(kSkyHeight))) + 0.5f;
        const float b = 0.7f + 0.9f * rng.Uniform();
        RoundStar(stars, x, y, rng.Uniform(0.45f, 0.6f), StarTint(rng) * (b * extinction(y)));
    }
    for (int i = 0; i < bright; ++i) {
        const int x = rng.Below(kSkyWidth);
        const int y = rng.Below(kSkyHeight);
        const float b = 0.9f + 0.5f * rng.Uniform();
        const float rays = rng.Uniform(3.0f, 7.0f);
        const bool diagonals = rng.Uniform() < 0.4f;
        TwinklingStar(stars, x, y, b * extinction(static_cast<float>(y)), rays, diagonals,
                      StarTint(rng));
    }

    // Faint veils of haze, repeating with the tile.
    const Noise haze(71, kSkyWidth, kSkyHeight);
    Picture sky(kSkyWidth, kSkyHeight);
    for (int y = 0; y < kSkyHeight; ++y) {
        const Color base = SkyColorAt(static_cast<float>(y) + 0.5f);
        for (int x = 0; x < kSkyWidth; ++x) {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            const float veil = std::max(0.0f, haze.Fbm(fx, fy, 256.0f, 4) + 0.15f);
            Color c = base + Color(0.020f, 0.028f, 0.055f) * veil;
            const Color& s = stars.light[static_cast<size_t>(y) * kSkyWidth + x];
            c = Screen(c, s);
            // Dithering keeps the gentle gradient free of bands.
            const float d = (Hash01(x, y, 7) - 0.5f) / 255.0f;
            c += Color(d, d, d);
            sky.Set(x, y, AwayFromKey(c.ToRgb()));
        }
    }
    return sky;
}

}  // namespace art
