// SPDX-License-Identifier: MIT
#pragma once
// Colours for painting: linear floats in 0..1 per channel, packed to 0x00RRGGBB at the end.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace art {

struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;

    constexpr Color() = default;
    constexpr Color(float red, float green, float blue) : r(red), g(green), b(blue) {}

    static constexpr Color FromRgb(std::uint32_t rgb) {
        return Color(static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
                     static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
                     static_cast<float>(rgb & 0xFF) / 255.0f);
    }

    // Rounds to 8 bits per channel; values outside 0..1 are clamped.
    std::uint32_t ToRgb() const {
        auto channel = [](float v) {
            const float c = std::clamp(v, 0.0f, 1.0f);
            return static_cast<std::uint32_t>(std::lround(c * 255.0f));
        };
        return (channel(r) << 16) | (channel(g) << 8) | channel(b);
    }

    float Luma() const { return 0.299f * r + 0.587f * g + 0.114f * b; }

    Color operator+(const Color& o) const { return Color(r + o.r, g + o.g, b + o.b); }
    Color operator-(const Color& o) const { return Color(r - o.r, g - o.g, b - o.b); }
    Color operator*(float k) const { return Color(r * k, g * k, b * k); }
    Color operator*(const Color& o) const { return Color(r * o.r, g * o.g, b * o.b); }
    Color& operator+=(const Color& o) {
        r += o.r;
        g += o.g;
        b += o.b;
        return *this;
    }
};

inline Color Mix(const Color& a, const Color& b, float t) {
    return a + (b - a) * t;
}

// Screen blend: light added without blowing out.
inline Color Screen(const Color& base, const Color& light) {
    return Color(1.0f - (1.0f - base.r) * (1.0f - light.r),
                 1.0f - (1.0f - base.g) * (1.0f - light.g),
                 1.0f - (1.0f - base.b) * (1.0f - light.b));
}

inline float Clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

inline float SmoothStep(float edge0, float edge1, float x) {
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

inline float Lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

}  // namespace art
