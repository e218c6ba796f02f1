// SPDX-License-Identifier: MIT
#pragma once
// Anti-aliased coverage of shapes over a rectangle of pixels: polygons (non-zero winding),
// discs, ellipses and thick polylines. Pixel (x, y) covers [x, x+1) x [y, y+1).

#include <vector>

namespace art {

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

class Mask {
  public:
    Mask() = default;
    Mask(int x0, int y0, int width, int height);

    static Mask Polygon(const std::vector<Point>& points);
    static Mask Disc(float cx, float cy, float radius);
    static Mask Ellipse(float cx, float cy, float rx, float ry);
    // A stroke of the given width along the points, with round ends and joins.
    static Mask Polyline(const std::vector<Point>& points, float width);

    int X0() const { return x0_; }
    int Y0() const { return y0_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    // Coverage in 0..1 at an absolute pixel; 0 outside the rectangle.
    float At(int x, int y) const;
    // Coverage at an index inside the rectangle (no bounds check).
    float AtLocal(int lx, int ly) const { return cov_[ly * width_ + lx]; }
    float& Local(int lx, int ly) { return cov_[ly * width_ + lx]; }

    // Keeps coverage only where `other` covers too (products of coverage).
    void Intersect(const Mask& other);
    // Removes the coverage of `other` (coverage times one minus the other's).
    void Subtract(const Mask& other);
    // A softened copy: two passes of a box blur of the given radius, grown to hold the spread.
    Mask Blurred(int radius) const;
    // Union with another mask (the larger coverage), growing the rectangle if needed.
    void Unite(const Mask& other);

  private:
    int x0_ = 0;
    int y0_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::vector<float> cov_;
};

}  // namespace art
