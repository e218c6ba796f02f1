// SPDX-License-Identifier: MIT
#include "art/noise.h"

#include <cmath>
#include <stdexcept>

#include "art/rng.h"

namespace art {
namespace {

int LatticePeriod(int periodPixels, float cell) {
    if (periodPixels <= 0)
        return 0;
    const float cells = static_cast<float>(periodPixels) / cell;
    const int whole = static_cast<int>(std::lround(cells));
    if (std::fabs(cells - static_cast<float>(whole)) > 1e-3f || whole <= 0)
        throw std::logic_error("noise cell size does not divide the repeat");
    return whole;
}

int Wrap(int v, int period) {
    if (period <= 0)
        return v;
    const int m = v % period;
    return m < 0 ? m + period : m;
}

float Fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

}  // namespace

float Noise::AtOctave(float x, float y, float cell, int octave) const {
    const int px = LatticePeriod(periodX_, cell);
    const int py = LatticePeriod(periodY_, cell);
    const float fx = x / cell;
    const float fy = y / cell;
    const float flx = std::floor(fx);
    const float fly = std::floor(fy);
    const int ix = static_cast<int>(flx);
    const int iy = static_cast<int>(fly);
    const float tx = fx - flx;
    const float ty = fy - fly;
    const std::uint32_t seed = seed_ * 31u + static_cast<std::uint32_t>(octave) * 0x51ED27u;
    auto corner = [&](int cx, int cy, float dx, float dy) {
        const std::uint32_t h = Hash(Wrap(ix + cx, px), Wrap(iy + cy, py), seed);
        const float angle = static_cast<float>(h & 0xFFFF) * (6.2831853f / 65536.0f);
        return std::cos(angle) * dx + std::sin(angle) * dy;
    };
    const float n00 = corner(0, 0, tx, ty);
    const float n10 = corner(1, 0, tx - 1.0f, ty);
    const float n01 = corner(0, 1, tx, ty - 1.0f);
    const float n11 = corner(1, 1, tx - 1.0f, ty - 1.0f);
    const float u = Fade(tx);
    const float v = Fade(ty);
    const float a = n00 + (n10 - n00) * u;
    const float b = n01 + (n11 - n01) * u;
    return (a + (b - a) * v) * 1.41421356f;
}

float Noise::Fbm(float x, float y, float cell, int octaves, float gain) const {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * AtOctave(x, y, cell, o);
        norm += amplitude;
        amplitude *= gain;
        cell *= 0.5f;
    }
    return sum / norm;
}

}  // namespace art
