// SPDX-License-Identifier: MIT
#include "art/mask.h"

#include <algorithm>
#include <cmath>

namespace art {
namespace {

constexpr int kSubRows = 8;

struct Crossing {
    float x;
    int winding;
};

float SegmentDistance(float px, float py, const Point& a, const Point& b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0.0f ? ((px - a.x) * dx + (py - a.y) * dy) / len2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float ex = a.x + t * dx - px;
    const float ey = a.y + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

// The mask around the points, grown by a margin (given in two parts, added one after the other)
// on every side: the whole pixels from the floor of the smallest coordinates to the ceiling of
// the largest.
Mask Around(const std::vector<Point>& points, float margin, float extra) {
    float minX = points[0].x, minY = points[0].y;
    float maxX = minX, maxY = minY;
    for (const Point& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const int x0 = static_cast<int>(std::floor(minX - margin - extra));
    const int y0 = static_cast<int>(std::floor(minY - margin - extra));
    return Mask(x0, y0, static_cast<int>(std::ceil(maxX + margin + extra)) - x0 + 1,
                static_cast<int>(std::ceil(maxY + margin + extra)) - y0 + 1);
}

}  // namespace

Mask::Mask(int x0, int y0, int width, int height)
    : x0_(x0),
      y0_(y0),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      cov_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0.0f) {}

float Mask::At(int x, int y) const {
    const int lx = x - x0_;
    const int ly = y - y0_;
    if (lx < 0 || ly < 0 || lx >= width_ || ly >= height_)
        return 0.0f;
    return cov_[ly * width_ + lx];
}

Mask Mask::Polygon(const std::vector<Point>& points) {
    if (points.size() < 3)
        return Mask();
    Mask mask = Around(points, 0.0f, 0.0f);
    const int x0 = mask.x0_;
    const int y0 = mask.y0_;
    std::vector<Crossing> crossings;
    const size_t n = points.size();
    for (int ly = 0; ly < mask.height_; ++ly) {
        float* row = &mask.cov_[static_cast<size_t>(ly) * mask.width_];
        for (int s = 0; s < kSubRows; ++s) {
            const float sy =
                static_cast<float>(y0 + ly) + (static_cast<float>(s) + 0.5f) / kSubRows;
            crossings.clear();
            for (size_t i = 0; i < n; ++i) {
                const Point& a = points[i];
                const Point& b = points[(i + 1) % n];
                if ((a.y <= sy) == (b.y <= sy))
                    continue;
                const float t = (sy - a.y) / (b.y - a.y);
                crossings.push_back({a.x + t * (b.x - a.x), b.y > a.y ? 1 : -1});
            }
            std::sort(crossings.begin(), crossings.end(),
                      [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
            int winding = 0;
            for (size_t i = 0; i + 1 < crossings.size(); ++i) {
                winding += crossings[i].winding;
                if (winding == 0)
                    continue;
                const float xa = crossings[i].x - static_cast<float>(x0);
                const float xb = crossings[i + 1].x - static_cast<float>(x0);
                if (xb <= xa)
                    continue;
                const int ca = static_cast<int>(std::floor(xa));
                const int cb = static_cast<int>(std::floor(xb));
                constexpr float w = 1.0f / kSubRows;
                if (ca == cb) {
                    row[ca] += (xb - xa) * w;
                    continue;
                }
                row[ca] += (static_cast<float>(ca + 1) - xa) * w;
                for (int c = ca + 1; c < cb; ++c)
                    row[c] += w;
                if (cb < mask.width_)
                    row[cb] += (xb - static_cast<float>(cb)) * w;
            }
        }
        for (int lx = 0; lx < mask.width_; ++lx)
            row[lx] = std::min(row[lx], 1.0f);
    }
    return mask;
}

Mask Mask::Disc(float cx, float cy, float radius) {
    return Ellipse(cx, cy, radius, radius);
}

Mask Mask::Ellipse(float cx, float cy, float rx, float ry) {
    const int x0 = static_cast<int>(std::floor(cx - rx - 1.0f));
    const int y0 = static_cast<int>(std::floor(cy - ry - 1.0f));
    const int x1 = static_cast<int>(std::ceil(cx + rx + 1.0f));
    const int y1 = static_cast<int>(std::ceil(cy + ry + 1.0f));
    Mask mask(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
    const float rmin = std::min(rx, ry);
    for (int ly = 0; ly < mask.height_; ++ly) {
        for (int lx = 0; lx < mask.width_; ++lx) {
            const float px = static_cast<float>(x0 + lx) + 0.5f - cx;
            const float py = static_cast<float>(y0 + ly) + 0.5f - cy;
            // Distance to the ellipse, approximated by scaling to a circle of the smaller radius.
            const float k = std::sqrt((px * px) / (rx * rx) + (py * py) / (ry * ry));
            const float d = (k - 1.0f) * rmin;
            mask.Local(lx, ly) = std::clamp(0.5f - d, 0.0f, 1.0f);
        }
    }
    return mask;
}

Mask Mask::Polyline(const std::vector<Point>& points, float width) {
    if (points.empty())
        return Mask();
    const float half = width * 0.5f;
    Mask mask = Around(points, half, 1.0f);
    const int x0 = mask.x0_;
    const int y0 = mask.y0_;
    // Thin strokes keep their weight: coverage scales with the width below one pixel.
    const float weight = std::min(width, 1.0f);
    const float reach = std::max(half, 0.5f);
    for (size_t i = 0; i < points.size(); ++i) {
        const Point& a = points[i];
        const Point& b = points[i + 1 < points.size() ? i + 1 : i];
        const int sx0 = static_cast<int>(std::floor(std::min(a.x, b.x) - reach - 1.0f)) - x0;
        const int sx1 = static_cast<int>(std::ceil(std::max(a.x, b.x) + reach + 1.0f)) - x0;
        const int sy0 = static_cast<int>(std::floor(std::min(a.y, b.y) - reach - 1.0f)) - y0;
        const int sy1 = static_cast<int>(std::ceil(std::max(a.y, b.y) + reach + 1.0f)) - y0;
        for (int ly = std::max(sy0, 0); ly <= std::min(sy1, mask.height_ - 1); ++ly) {
            for (int lx = std::max(sx0, 0); lx <= std::min(sx1, mask.width_ - 1); ++lx) {
                const float d = SegmentDistance(static_cast<float>(x0 + lx) + 0.5f,
                                                static_cast<float>(y0 + ly) + 0.5f, a, b);
                const float c = std::clamp(reach + 0.5f - d, 0.0f, 1.0f) * weight;
                float& m = mask.Local(lx, ly);
                m = std::max(m, c);
            }
        }
    }
    return mask;
}

void Mask::Intersect(const Mask& other) {
    for (int ly = 0; ly < height_; ++ly)
        for (int lx = 0; lx < width_; ++lx)
            Local(lx, ly) *= other.At(x0_ + lx, y0_ + ly);
}

void Mask::Subtract(const Mask& other) {
    for (int ly = 0; ly < height_; ++ly)
        for (int lx = 0; lx < width_; ++lx)
            Local(lx, ly) *= 1.0f - other.At(x0_ + lx, y0_ + ly);
}

Mask Mask::Blurred(int radius) const {
    if (radius <= 0 || Empty())
        return *this;
    const int grow = 2 * radius;
    Mask out(x0_ - grow, y0_ - grow, width_ + 2 * grow, height_ + 2 * grow);
    for (int ly = 0; ly < height_; ++ly)
        for (int lx = 0; lx < width_; ++lx)
            out.Local(lx + grow, ly + grow) = AtLocal(lx, ly);
    std::vector<float> line;
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    auto pass = [&](bool horizontal) {
        const int lines = horizontal ? out.height_ : out.width_;
        const int length = horizontal ? out.width_ : out.height_;
        line.resize(static_cast<size_t>(length));
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> float& {
                return horizontal ? out.Local(i, l) : out.Local(l, i);
            };
            for (int i = 0; i < length; ++i)
                line[i] = at(i);
            float sum = 0.0f;
            for (int i = -radius; i <= radius; ++i)
                if (i >= 0 && i < length)
                    sum += line[i];
            for (int i = 0; i < length; ++i) {
                at(i) = sum * norm;
                const int add = i + radius + 1, drop = i - radius;
                if (add < length)
                    sum += line[add];
                if (drop >= 0)
                    sum -= line[drop];
            }
        }
    };
    for (int k = 0; k < 2; ++k) {
        pass(true);
        pass(false);
    }
    return out;
}

void Mask::Unite(const Mask& other) {
    if (other.Empty())
        return;
    if (Empty()) {
        *this = other;
        return;
    }
    const int nx0 = std::min(x0_, other.x0_);
    const int ny0 = std::min(y0_, other.y0_);
    const int nx1 = std::max(x0_ + width_, other.x0_ + other.width_);
    const int ny1 = std::max(y0_ + height_, other.y0_ + other.height_);
    Mask merged(nx0, ny0, nx1 - nx0, ny1 - ny0);
    for (int ly = 0; ly < merged.height_; ++ly)
        for (int lx = 0; lx < merged.width_; ++lx)
            merged.Local(lx, ly) = std::max(At(nx0 + lx, ny0 + ly), other.At(nx0 + lx, ny0 + ly));
    *this = std::move(merged);
}

}  // namespace art
