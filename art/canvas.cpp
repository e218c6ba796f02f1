// SPDX-License-Identifier: MIT
#include "art/canvas.h"

namespace art {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      premul_(static_cast<size_t>(width) * height),
      alpha_(static_cast<size_t>(width) * height, 0.0f) {}

Canvas::Canvas(int width, int height, const Color& fill)
    : width_(width),
      height_(height),
      premul_(static_cast<size_t>(width) * height, fill),
      alpha_(static_cast<size_t>(width) * height, 1.0f) {}

Color Canvas::ColorAt(int x, int y) const {
    const int i = Index(x, y);
    const float a = alpha_[i];
    return a > 0.0f ? premul_[i] * (1.0f / a) : Color();
}

Color Canvas::Over(int x, int y, const Color& backdrop) const {
    const int i = Index(x, y);
    return premul_[i] + backdrop * (1.0f - alpha_[i]);
}

void Canvas::Set(int x, int y, const Color& c, float alpha) {
    if (!Contains(x, y))
        return;
    const int i = Index(x, y);
    premul_[i] = c * alpha;
    alpha_[i] = alpha;
}

void Canvas::Blend(int x, int y, const Color& c, float a) {
    if (!Contains(x, y) || a <= 0.0f)
        return;
    a = Clamp01(a);
    const int i = Index(x, y);
    premul_[i] = c * a + premul_[i] * (1.0f - a);
    alpha_[i] = a + alpha_[i] * (1.0f - a);
}

void Canvas::Glow(int x, int y, const Color& light, float amount) {
    if (!Contains(x, y) || amount <= 0.0f)
        return;
    const int i = Index(x, y);
    const float a = alpha_[i];
    if (a <= 0.0f)
        return;
    const Color lit = Screen(premul_[i] * (1.0f / a), light * amount);
    premul_[i] = lit * a;
}

void Canvas::Fill(const Mask& mask, const Color& c, float opacity) {
    ForCovered(mask, [&](int x, int y, float cov) { Blend(x, y, c, cov * opacity); });
}

}  // namespace art
