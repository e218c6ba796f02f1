// SPDX-License-Identifier: MIT
#pragma once
// A painting surface: premultiplied colour and opacity per pixel, painted with "over"
// compositing through coverage masks and per-pixel shaders.

#include <type_traits>
#include <vector>

#include "art/color.h"
#include "art/mask.h"

namespace art {

// A colour with its own opacity, returned by shaders that vary opacity per pixel.
struct Rgba {
    Color color;
    float alpha = 1.0f;
};

class Canvas {
  public:
    Canvas() = default;
    // A transparent canvas.
    Canvas(int width, int height);
    // An opaque canvas filled with one colour.
    Canvas(int width, int height, const Color& fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Opacity in 0..1.
    float Alpha(int x, int y) const { return alpha_[Index(x, y)]; }
    // The colour as painted (not premultiplied); black where nothing was painted.
    Color ColorAt(int x, int y) const;
    // The colour composited over a backdrop colour.
    Color Over(int x, int y, const Color& backdrop) const;

    void Set(int x, int y, const Color& c, float alpha = 1.0f);
    // Paints `c` with opacity `a` over the pixel.
    void Blend(int x, int y, const Color& c, float a);
    // Adds light to the colour (screen blend), keeping the opacity.
    void Glow(int x, int y, const Color& light, float amount);

    void Fill(const Mask& mask, const Color& c, float opacity = 1.0f);

    // Paints through a mask with a shader called at pixel centres: shader(x, y) returns a Color,
    // or an Rgba whose alpha multiplies the coverage.
    template <typename Shader>
    requires std::is_invocable_v<Shader, float, float>
    void Fill(const Mask& mask, Shader&& shader, float opacity = 1.0f) {
        ForCovered(mask, [&](int x, int y, float cov) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            using Result = std::invoke_result_t<Shader, float, float>;
            if constexpr (std::is_same_v<Result, Rgba>) {
                const Rgba rgba = shader(px, py);
                Blend(x, y, rgba.color, cov * opacity * rgba.alpha);
            } else {
                Blend(x, y, shader(px, py), cov * opacity);
            }
        });
    }

    // Calls fn(x, y, coverage) for every pixel of the mask inside the canvas with coverage > 0.
    template <typename Fn>
    void ForCovered(const Mask& mask, Fn&& fn) const {
        const int ly0 = std::max(0, -mask.Y0());
        const int ly1 = std::min(mask.Height(), height_ - mask.Y0());
        const int lx0 = std::max(0, -mask.X0());
        const int lx1 = std::min(mask.Width(), width_ - mask.X0());
        for (int ly = ly0; ly < ly1; ++ly)
            for (int lx = lx0; lx < lx1; ++lx) {
                const float cov = mask.AtLocal(lx, ly);
                if (cov > 0.0f)
                    fn(mask.X0() + lx, mask.Y0() + ly, cov);
            }
    }

  private:
    int Index(int x, int y) const { return y * width_ + x; }

    int width_ = 0;
    int height_ = 0;
    std::vector<Color> premul_;
    std::vector<float> alpha_;
};

}  // namespace art
