// SPDX-License-Identifier: MIT
// The rectangle type every clipping goes through: held against pixel sets on a small grid, and
// at the edges of the int range, where clipping breaks first.

#include "platform/Rect.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/RecordingBacking.h"  // prints rectangles in messages

namespace {

constexpr int kMax = INT_MAX;
constexpr int kMin = INT_MIN;
constexpr std::int64_t kPlane = (std::int64_t{1} << 30) - 1;  // how far the plane reaches

// Every rectangle with its corner at -1..1 and a size of -1..2 on each axis: apart, meeting at
// an edge, overlapping, one inside the other, empty.
std::vector<Rect> SmallRects() {
    std::vector<Rect> rects;
    for (int x = -1; x <= 1; ++x) {
        for (int y = -1; y <= 1; ++y) {
            for (int w = -1; w <= 2; ++w) {
                for (int h = -1; h <= 2; ++h)
                    rects.push_back(Rect{x, y, w, h});
            }
        }
    }
    return rects;
}

// Whether the pixel lies in the rectangle, counted the plain way.
bool Covers(const Rect& r, int px, int py) {
    return r.width > 0 && r.height > 0 && px >= r.x && px < r.x + r.width && py >= r.y &&
           py < r.y + r.height;
}

// The pixels of a grid that holds every small rectangle with one to spare on each side.
constexpr int kGridLow = -2;
constexpr int kGridHigh = 4;

std::string Pair(const Rect& a, const Rect& b) {
    return testing::PrintToString(a) + " and " + testing::PrintToString(b);
}

TEST(Rect, IntersectOverlapsAndContainsAgreeWithThePixelsOfEverySmallPair) {
    const std::vector<Rect> rects = SmallRects();
    for (const Rect& a : rects) {
        for (const Rect& b : rects) {
            const Rect both = a.Intersect(b);
            bool shared = false;
            for (int py = kGridLow; py < kGridHigh; ++py) {
                for (int px = kGridLow; px < kGridHigh; ++px) {
                    const bool inBoth = Covers(a, px, py) && Covers(b, px, py);
                    shared = shared || inBoth;
                    if (Covers(both, px, py) != inBoth)
                        FAIL() << "pixel " << px << "," << py << " of " << Pair(a, b);
                }
            }
            if (a.Overlaps(b) != shared || b.Overlaps(a) != shared)
                FAIL() << "overlap of " << Pair(a, b);
            if (!shared && both != Rect{})
                FAIL() << "no overlap, yet " << testing::PrintToString(both) << " of "
                       << Pair(a, b);
            if (shared && !(a.Contains(both) && b.Contains(both)))
                FAIL() << "containment of " << Pair(a, b);
        }
    }
    for (const Rect& a : rects) {
        for (int py = kGridLow; py < kGridHigh; ++py) {
            for (int px = kGridLow; px < kGridHigh; ++px) {
                if (a.Contains(px, py) != Covers(a, px, py))
                    FAIL() << "pixel " << px << "," << py << " of " << testing::PrintToString(a);
            }
        }
    }
}

TEST(Rect, UnionIsTheSmallestBoxAroundEverySmallPair) {
    const std::vector<Rect> rects = SmallRects();
    for (const Rect& a : rects) {
        for (const Rect& b : rects) {
            const Rect around = a.Union(b);
            if (a.Empty() && b.Empty()) {
                if (!around.Empty())
                    FAIL() << "the union of " << Pair(a, b) << " has pixels";
                continue;
            }
            // Holds every pixel of both, and each of its edges touches a pixel of one of them.
            bool left = false, right = false, top = false, bottom = false;
            for (int py = kGridLow; py < kGridHigh; ++py) {
                for (int px = kGridLow; px < kGridHigh; ++px) {
                    const bool inOne = Covers(a, px, py) || Covers(b, px, py);
                    if (!inOne)
                        continue;
                    if (!Covers(around, px, py))
                        FAIL() << "pixel " << px << "," << py << " left out of " << Pair(a, b);
                    left = left || px == around.x;
                    right = right || px == around.x + around.width - 1;
                    top = top || py == around.y;
                    bottom = bottom || py == around.y + around.height - 1;
                }
            }
            if (!(left && right && top && bottom) || around != b.Union(a))
                FAIL() << Pair(a, b) << " gave " << testing::PrintToString(around);
        }
    }
}

TEST(Rect, EmptyRectanglesAndSurfacesOfNoOrNegativeSizeAddNothingAndTouchNothing) {
    const Rect r{2, 3, 4, 5};
    for (const Rect& empty : {Rect{}, Rect{3, 4, 0, 2}, Rect{3, 4, 2, 0}, Rect{3, 4, -2, 2},
                              Rect{3, 4, 2, kMin}, Rect{0, 0, kMin, kMin}}) {
        EXPECT_TRUE(empty.Empty());
        EXPECT_EQ(empty.Area(), 0);
        EXPECT_EQ(r.Union(empty), r);
        EXPECT_EQ(empty.Union(r), r);
        EXPECT_TRUE(r.Intersect(empty).Empty());
        EXPECT_TRUE(empty.Intersect(r).Empty());
        EXPECT_FALSE(r.Overlaps(empty));
        EXPECT_FALSE(empty.Overlaps(empty));
        EXPECT_TRUE(empty.Offset(1, 1).Empty());
        EXPECT_TRUE(empty.ClipTo(100, 100).Empty());
    }
    EXPECT_TRUE(Rect{}.Union(Rect{5, 5, -1, 3}).Empty());
    // A surface of no or negative size holds nothing.
    EXPECT_TRUE((Rect{0, 0, 3, 3}.ClipTo(0, 4)).Empty());
    EXPECT_TRUE((Rect{-5, -5, 30, 30}.ClipTo(-4, 4)).Empty());
    // A read of no pixels at the right or bottom edge lies within; a negative size never does.
    EXPECT_TRUE(Rect::OfSize(4, 4).Contains(Rect{4, 0, 0, 4}));
    EXPECT_TRUE(Rect::OfSize(4, 4).Contains(Rect{0, 4, 4, 0}));
    EXPECT_FALSE(Rect::OfSize(4, 4).Contains(Rect{5, 0, 0, 4}));
    EXPECT_FALSE(Rect::OfSize(4, 4).Contains(Rect{2, 2, -1, 1}));
    EXPECT_FALSE(Rect::OfSize(4, 4).Contains(Rect{3, 3, 2, 1}));
}

TEST(Rect, ArgumentsAtTheEndsOfTheIntRangeClipExactly) {
    // The largest rectangles a caller can pass, from either end of the range.
    EXPECT_EQ((Rect{kMin, kMin, kMax, kMax}.ClipTo(640, 480)), Rect{});
    EXPECT_EQ((Rect{-kMax, -kMax, kMax, kMax}.ClipTo(640, 480)), Rect{});
    EXPECT_EQ((Rect{-1000, -1000, kMax, kMax}.ClipTo(640, 480)), (Rect{0, 0, 640, 480}));
    EXPECT_EQ((Rect{639, 479, kMax, kMax}.ClipTo(640, 480)), (Rect{639, 479, 1, 1}));
    EXPECT_TRUE((Rect{kMax, kMax, kMax, kMax}.ClipTo(640, 480)).Empty());
    EXPECT_TRUE((Rect{kMax, 0, 1, 1}.ClipTo(kMax, 1)).Empty());
    // Two huge rectangles meet where their edges say.
    EXPECT_EQ((Rect{-1000, 0, kMax, 1}.Intersect(Rect{kMin, 0, kMax, 1})),
              (Rect{-1000, 0, 999, 1}));
    // What lies in both lies in each: exact, however far out.
    EXPECT_EQ((Rect{-5, -5, kMax, kMax}.Intersect(Rect{3, 4, kMax, kMax})),
              (Rect{3, 4, kMax - 8, kMax - 9}));
    EXPECT_EQ((Rect{kMax - 10, kMin, 10, kMax}.Intersect(Rect{kMax - 20, -20, 15, kMax})),
              (Rect{kMax - 10, -20, 5, 19}));
}

TEST(Rect, UnionsAreCutToThePlaneAndEveryWidthFitsAnInt) {
    // The widest union: from beyond one end of the plane to beyond the other.
    const Rect wide = Rect{kMin, kMin, 1, 1}.Union(Rect{kMax - 1, kMax - 1, 1, 1});
    EXPECT_EQ(wide, Rect::FromEdges(-kPlane, -kPlane, kPlane, kPlane));
    EXPECT_FALSE(wide.Empty());
    EXPECT_GT(wide.width, 0);
    EXPECT_EQ(wide.Area(), (2 * kPlane) * (2 * kPlane));
    EXPECT_EQ(wide.ClipTo(1920, 1080), (Rect{0, 0, 1920, 1080}));
    // Edges just inside the plane are kept as they are.
    const Rect edges = Rect{int{-kPlane}, 0, 1, 1}.Union(Rect{int{kPlane - 1}, 0, 1, 1});
    EXPECT_EQ(edges, (Rect{int{-kPlane}, 0, int{2 * kPlane}, 1}));
    // FromEdges cuts what lies beyond, and edges the wrong way round give nothing.
    EXPECT_EQ(Rect::FromEdges(INT64_MIN, 0, INT64_MAX, 1),
              (Rect{int{-kPlane}, 0, int{2 * kPlane}, 1}));
    EXPECT_TRUE(Rect::FromEdges(10, 0, 5, 1).Empty());
    EXPECT_TRUE(Rect::FromEdges(INT64_MAX, 0, INT64_MIN, 1).Empty());
}

TEST(Rect, OffsetMovesByAnyAmountWithoutOverflow) {
    EXPECT_EQ((Rect{1, 2, 3, 4}.Offset(10, -20)), (Rect{11, -18, 3, 4}));
    // Moving a surface's bounds to where another's pixels land, as a block transfer does.
    EXPECT_EQ((Rect::OfSize(64, 64).Offset(std::int64_t{kMin} - kMax, 0).ClipTo(64, 64)), Rect{});
    EXPECT_EQ((Rect::OfSize(64, 64).Offset(-60, 62).ClipTo(64, 64)), (Rect{0, 62, 4, 2}));
    // However far: the rectangle leaves the plane and is empty, nothing wraps round.
    for (const std::int64_t d :
         {INT64_MAX, INT64_MIN, std::int64_t{1} << 40, -(std::int64_t{1} << 40)}) {
        EXPECT_TRUE((Rect{kMax, kMax, kMax, kMax}.Offset(d, d)).Empty());
        EXPECT_TRUE((Rect{kMin, kMin, kMax, kMax}.Offset(d, d)).Empty());
        EXPECT_FALSE((Rect{0, 0, 10, 10}.Offset(d, d)).Overlaps(Rect::OfSize(1920, 1080)));
    }
    // A corner that stays within an int moves exactly, past the plane too.
    EXPECT_EQ((Rect{0, 0, 10, 10}.Offset(kMax - 10, kMin)), (Rect{kMax - 10, kMin, 10, 10}));
    EXPECT_TRUE((Rect{0, 0, 10, 10}.Offset(kMax - 10, 0)).Overlaps(Rect{kMax - 1, 0, 1, 1}));
    // Back from far out onto the plane: x = -2^31 moved by 2^31.
    EXPECT_EQ((Rect{kMin, 0, 10, 10}.Offset(-std::int64_t{kMin}, 0)), (Rect{0, 0, 10, 10}));
}

TEST(Rect, OverlapAndContainmentFarOffThePlaneFollowTheEdgesExactly) {
    // Overlaps and Contains cut nothing: rectangles past the plane's edge overlap where their
    // pixels do.
    const Rect distant{kMax - 100, kMax - 100, 100, 100};
    EXPECT_TRUE(distant.Overlaps(distant));
    EXPECT_TRUE(distant.Overlaps(Rect{kMax - 1, kMax - 1, kMax, kMax}));
    EXPECT_FALSE(distant.Overlaps(Rect{kMax, kMax - 100, kMax, 100}));  // meets its right edge
    EXPECT_TRUE((Rect{kMin, 0, kMax, 1}.Overlaps(Rect{-2, 0, 1, 1})));
    EXPECT_FALSE((Rect{kMin, 0, kMax, 1}.Overlaps(Rect{-1, 0, 1, 1})));
    EXPECT_TRUE(distant.Contains(distant));
    EXPECT_TRUE((Rect{kMin, kMin, kMax, kMax}.Contains(Rect{kMin, kMin, 1, 1})));
    EXPECT_TRUE((Rect{0, 0, kMax, kMax}.Contains(kMax - 1, kMax - 1)));
    EXPECT_FALSE((Rect{1, 1, kMax, kMax}.Contains(kMin, 1)));
}

}  // namespace
