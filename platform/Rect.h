// SPDX-License-Identifier: MIT
#pragma once
// A rectangle of pixels: the left and top edges, the width and the height, with Y downwards.
//
// Every clipping of the program goes through it: intersect with a surface's bounds, join two
// rectangles, move one, test for overlap. Edges are worked out in 64 bits, so that no argument,
// however wild, overflows on the way. What lies in two rectangles lies in each, so an
// intersection, and with it every clip, is exact for any arguments, and so is a move that keeps
// the corner within the range of an int. A union, or a move further out, can reach past what an
// int holds: those are cut to a plane that reaches 2^30 - 1 pixels each way from the origin, so
// that every width and height fits an int. Every surface lies far inside that plane. Overlaps
// and Contains only compare edges.

#include <algorithm>
#include <cstdint>
#include <limits>

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

    // What lies in both; Rect{} when they do not overlap. One of no or of negative size has its
    // right edge not past its left, so the edges alone tell. The left edge is one of the two
    // and the width no more than either's, so the result needs no cutting.
    constexpr Rect Intersect(const Rect& other) const {
        const int left = std::max(x, other.x);
        const int top = std::max(y, other.y);
        const std::int64_t right = std::min(Right(), other.Right());
        const std::int64_t bottom = std::min(Bottom(), other.Bottom());
        if (right <= left || bottom <= top)
            return Rect{};
        return Rect{left, top, static_cast<int>(right - left), static_cast<int>(bottom - top)};
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
    // The same rectangle moved by (dx, dy), exactly while its corner stays within the range of
    // an int. One moved further lies far off every surface and is cut to the plane; a move of
    // more than 2^34 is cut to that first, so that nothing overflows.
    constexpr Rect Offset(std::int64_t dx, std::int64_t dy) const {
        dx = std::clamp(dx, -kFarthestMove, kFarthestMove);
        dy = std::clamp(dy, -kFarthestMove, kFarthestMove);
        const std::int64_t left = Left() + dx;
        const std::int64_t top = Top() + dy;
        if (FitsInt(left) && FitsInt(top))
            return Rect{static_cast<int>(left), static_cast<int>(top), width, height};
        return FromEdges(left, top, Right() + dx, Bottom() + dy);
    }
    // Whether they share a pixel (empty ones share none).
    constexpr bool Overlaps(const Rect& other) const {
        return !Empty() && !other.Empty() && Left() < other.Right() && other.Left() < Right() &&
               Top() < other.Bottom() && other.Top() < Bottom();
    }
    // Whether the other lies inside it, edges included. An empty one of no width or height
    // counts where its edges lie inside (a read of no pixels at the right edge); one of negative
    // size never does.
    constexpr bool Contains(const Rect& other) const {
        return other.width >= 0 && other.height >= 0 && Left() <= other.Left() &&
               Top() <= other.Top() && other.Right() <= Right() && other.Bottom() <= Bottom();
    }
    // Whether the pixel at (px, py) lies inside it.
    constexpr bool Contains(int px, int py) const {
        return Left() <= px && px < Right() && Top() <= py && py < Bottom();
    }

    constexpr bool operator==(const Rect&) const = default;

  private:
    static constexpr std::int64_t kPlane = (std::int64_t{1} << 30) - 1;
    static constexpr std::int64_t kFarthestMove = std::int64_t{1} << 34;
    static constexpr bool FitsInt(std::int64_t value) {
        return std::numeric_limits<int>::min() <= value && value <= std::numeric_limits<int>::max();
    }
    static constexpr std::int64_t Fit(std::int64_t value) {
        return std::clamp<std::int64_t>(value, -kPlane, kPlane);
    }
};
