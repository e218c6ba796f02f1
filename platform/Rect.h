#pragma once
// A rectangle of pixels: the left and top edges, the width and the height, with Y downwards.
//
// Every clipping of the program goes through it: intersect with a surface's bounds, join two
// rectangles, test for overlap. Edges are worked out in 64 bits, so that no argument, however
// wild, overflows on the way. The rectangles that operations make live on a plane of 2^30
// pixels each way from the origin: what lies beyond is cut off. Every surface lies far inside
// that plane, so a clip to one is exact.

#include <algorithm>
#include <cstdint>

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    // The rectangle between two edges on each axis (left <= x < right); empty where right is
    // not past left.
    static constexpr Rect FromEdges(std::int64_t left, std::int64_t top, std::int64_t right,
                                    std::int64_t bottom) {
        left = Fit(left);
        top = Fit(top);
        right = std::max(Fit(right), left);
        bottom = std::max(Fit(bottom), top);
        return Rect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                    static_cast<int>(bottom - top)};
    }
    // The bounds of a surface of this size.
    static constexpr Rect OfSize(int width, int height) { return Rect{0, 0, width, height}; }

    constexpr std::int64_t Left() const { return x; }
    constexpr std::int64_t Top() const { return y; }
    constexpr std::int64_t Right() const { return std::int64_t{x} + width; }
    constexpr std::int64_t Bottom() const { return std::int64_t{y} + height; }
    constexpr bool Empty() const { return width <= 0 || height <= 0; }
    constexpr std::int64_t Area() const {
        return Empty() ? 0 : std::int64_t{width} * std::int64_t{height};
    }

    // What lies in both (empty when they do not overlap).
    constexpr Rect Intersect(const Rect& other) const {
        if (Empty() || other.Empty())
            return Rect{};
        const std::int64_t left = std::max(Left(), other.Left());
        const std::int64_t top = std::max(Top(), other.Top());
        const std::int64_t right = std::min(Right(), other.Right());
        const std::int64_t bottom = std::min(Bottom(), other.Bottom());
        if (right <= left || bottom <= top)
            return Rect{};
        return FromEdges(left, top, right, bottom);
    }
    // The smallest rectangle that holds both; an empty one adds nothing.
    constexpr Rect Union(const Rect& other) const {
        if (other.Empty())
            return Empty() ? Rect{} : *this;
        if (Empty())
            return other;
        return FromEdges(std::min(Left(), other.Left()), std::min(Top(), other.Top()),
                         std::max(Right(), other.Right()), std::max(Bottom(), other.Bottom()));
    }
    // What of it lies on a surface of this size.
    constexpr Rect ClipTo(int surfaceWidth, int surfaceHeight) const {
        return Intersect(OfSize(surfaceWidth, surfaceHeight));
    }
    // The same rectangle moved by (dx, dy).
    constexpr Rect Offset(std::int64_t dx, std::int64_t dy) const {
        return FromEdges(Left() + dx, Top() + dy, Right() + dx, Bottom() + dy);
    }
    // Whether they share a pixel (empty ones share none).
    constexpr bool Overlaps(const Rect& other) const { return !Intersect(other).Empty(); }
    constexpr bool Contains(const Rect& other) const {
        return !other.Empty() && Left() <= other.Left() && Top() <= other.Top() &&
               other.Right() <= Right() && other.Bottom() <= Bottom();
    }

    constexpr bool operator==(const Rect&) const = default;

  private:
    static constexpr std::int64_t kPlane = std::int64_t{1} << 30;
    static constexpr std::int64_t Fit(std::int64_t value) {
        return std::clamp<std::int64_t>(value, -kPlane, kPlane);
    }
};
