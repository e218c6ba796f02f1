// SPDX-License-Identifier: MIT
// The painter's toolkit: coverage masks, compositing, keyed pictures, noise, dithering, the
// pixel font and the sweep of the light strings.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <stdexcept>
#include <string>

#include "art/blue_noise.h"
#include "art/canvas.h"
#include "art/dialog_pictures.h"
#include "art/mask.h"
#include "art/noise.h"
#include "art/picture.h"
#include "art/pixel_font.h"
#include "art/rng.h"
#include "art/still_composer.h"

namespace art {
namespace {

float Sum(const Mask& m) {
    float s = 0.0f;
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x)
            s += m.AtLocal(x, y);
    return s;
}

TEST(Mask, PolygonCoverageIsExactOnThePixelGridAndAddsUpToTheArea) {
    const Mask square = Mask::Polygon({{2, 3}, {5, 3}, {5, 7}, {2, 7}});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_FLOAT_EQ(square.At(x, y), (x >= 2 && x < 5 && y >= 3 && y < 7) ? 1.0f : 0.0f)
                << x << "," << y;
    // An edge through the middle of a column covers half of each pixel in it.
    const Mask half = Mask::Polygon({{0, 0}, {2.5f, 0}, {2.5f, 4}, {0, 4}});
    EXPECT_NEAR(half.At(2, 1), 0.5f, 1e-4f);
    const Mask triangle = Mask::Polygon({{0, 0}, {10, 0}, {0, 10}});
    EXPECT_NEAR(Sum(triangle), 50.0f, 0.5f);
}

TEST(Mask, OverlappingTurnsOfAnOutlineCoverOnce) {
    // A five-pointed star drawn in one stroke: its centre is wound twice, covered once.
    std::vector<Point> star;
    for (int i = 0; i < 5; ++i) {
        const float a = -1.5707963f + static_cast<float>(i) * 4.0f * 3.14159265f / 5.0f;
        star.push_back({20.0f + 15.0f * std::cos(a), 20.0f + 15.0f * std::sin(a)});
    }
    const Mask m = Mask::Polygon(star);
    EXPECT_FLOAT_EQ(m.At(20, 20), 1.0f);
    EXPECT_FLOAT_EQ(m.At(2, 38), 0.0f);
}

TEST(Mask, DiscsEllipsesAndStrokesHaveTheirSize) {
    EXPECT_NEAR(Sum(Mask::Disc(10.0f, 10.0f, 5.0f)), 3.14159f * 25.0f, 0.8f);
    EXPECT_NEAR(Sum(Mask::Ellipse(10.0f, 10.0f, 6.0f, 3.0f)), 3.14159f * 18.0f, 1.5f);
    const Mask thin = Mask::Polyline({{2.0f, 5.5f}, {20.0f, 5.5f}}, 1.0f);
    EXPECT_NEAR(thin.At(10, 5), 1.0f, 1e-4f);
    EXPECT_NEAR(thin.At(10, 4), 0.0f, 1e-4f);
    const Mask wide = Mask::Polyline({{2.0f, 5.5f}, {20.0f, 5.5f}}, 3.0f);
    for (int y : {4, 5, 6})
        EXPECT_NEAR(wide.At(10, y), 1.0f, 1e-4f) << y;
    EXPECT_NEAR(wide.At(10, 3), 0.0f, 1e-4f);
}

TEST(Mask, BlurSpreadsWithoutLosingCoverageAndSetOperationsCombine) {
    const Mask disc = Mask::Disc(10.0f, 10.0f, 4.0f);
    const Mask soft = disc.Blurred(2);
    EXPECT_NEAR(Sum(soft), Sum(disc), 1e-2f);
    EXPECT_LT(soft.At(10, 10), 1.0f);
    EXPECT_GT(soft.At(10, 16), 0.0f);

    const Mask right = Mask::Disc(14.0f, 10.0f, 4.0f);
    Mask both = disc;
    both.Unite(right);
    EXPECT_FLOAT_EQ(both.At(6, 10), disc.At(6, 10));
    EXPECT_FLOAT_EQ(both.At(17, 10), right.At(17, 10));
    Mask overlap = disc;
    overlap.Intersect(right);
    EXPECT_FLOAT_EQ(overlap.At(7, 10), 0.0f);
    EXPECT_NEAR(overlap.At(12, 10), 1.0f, 1e-4f);
    Mask crescent = disc;
    crescent.Subtract(right);
    EXPECT_NEAR(crescent.At(12, 10), 0.0f, 1e-4f);
    EXPECT_NEAR(crescent.At(7, 10), 1.0f, 1e-4f);
}

TEST(Canvas, ComposesOverWhatIsAlreadyPainted) {
    Canvas c(2, 1);
    const Color red(1, 0, 0), blue(0, 0, 1);
    c.Blend(0, 0, red, 0.5f);
    EXPECT_FLOAT_EQ(c.Alpha(0, 0), 0.5f);
    EXPECT_FLOAT_EQ(c.ColorAt(0, 0).r, 1.0f);
    c.Blend(0, 0, blue, 0.5f);
    EXPECT_FLOAT_EQ(c.Alpha(0, 0), 0.75f);
    EXPECT_NEAR(c.ColorAt(0, 0).r, 0.25f / 0.75f, 1e-5f);
    EXPECT_NEAR(c.ColorAt(0, 0).b, 0.5f / 0.75f, 1e-5f);
    const Color over = c.Over(0, 0, Color(0, 1, 0));
    EXPECT_NEAR(over.g, 0.25f, 1e-5f);
    // Light only brightens what is there; the empty pixel stays empty.
    c.Glow(0, 0, Color(1, 1, 1), 0.5f);
    EXPECT_FLOAT_EQ(c.Alpha(0, 0), 0.75f);
    EXPECT_GT(c.ColorAt(0, 0).g, 0.4f);
    c.Glow(1, 0, Color(1, 1, 1), 1.0f);
    EXPECT_FLOAT_EQ(c.Alpha(1, 0), 0.0f);
    // Painting outside is ignored.
    c.Blend(5, 5, red, 1.0f);
    c.Blend(-1, 0, red, 1.0f);
}

TEST(Picture, KeysThinCoverageAndBlendsEdgesAgainstTheBackdrop) {
    Canvas c(3, 1);
    c.Blend(0, 0, Color(1, 1, 1), 0.3f);
    c.Blend(1, 0, Color(1, 1, 1), 0.7f);
    const Picture p = Picture::Keyed(c, 0.5f, Color(0, 0, 0));
    EXPECT_TRUE(p.IsKey(0, 0));
    EXPECT_EQ(p.At(1, 0), 0xB3B3B3u);
    EXPECT_TRUE(p.IsKey(2, 0));
    // A painted colour that would come out as the key, or close to it, is moved away.
    Canvas g(1, 1, Color(0, 1, 0));
    const Picture green = Picture::Opaque(g, Color());
    EXPECT_FALSE(green.IsKey(0, 0));
    EXPECT_EQ(green.CountNearKey(), 0);
    EXPECT_TRUE(IsNearKey(0x0AFA0A));
    EXPECT_FALSE(IsNearKey(AwayFromKey(0x0AFA0A)));
    EXPECT_FALSE(IsNearKey(kColorKey));
    EXPECT_EQ(AwayFromKey(0x336699), 0x336699u);
}

TEST(Picture, ShrinksByAveragingAndSplitsIntoCells) {
    Picture checker(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            checker.Set(x, y, (x + y) % 2 ? 0xFFFFFF : 0x000000);
    const Picture small = checker.Resized(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_NEAR(static_cast<int>(small.At(x, y) & 0xFF), 128, 1);
    const Picture thirds = checker.Resized(3, 3);
    EXPECT_NEAR(static_cast<int>(thirds.At(1, 1) & 0xFF), 128, 1);

    std::vector<Picture> cells = {Picture(2, 3, 0x010101), Picture(2, 3, 0x020202),
                                  Picture(2, 3, 0x030303)};
    const Picture sheet = JoinCells(cells);
    EXPECT_EQ(sheet.Width(), 6);
    EXPECT_EQ(sheet.Cell(1, 2).At(1, 2), 0x020202u);
    cells.push_back(Picture(3, 3));
    EXPECT_THROW(JoinCells(cells), std::logic_error);
}

TEST(Noise, RepeatsWithItsPeriodAndRefusesCellsThatDoNotFit) {
    const Noise periodic(5, 400, 0);
    const Noise plain(5);
    float spread = 0.0f;
    for (float x : {0.0f, 13.5f, 97.25f, 250.0f})
        for (float y : {0.0f, 7.0f, 33.3f}) {
            const float v = periodic.Fbm(x, y, 100.0f, 4);
            EXPECT_NEAR(v, periodic.Fbm(x + 400.0f, y, 100.0f, 4), 1e-4f);
            EXPECT_NEAR(v, periodic.Fbm(x - 800.0f, y, 100.0f, 4), 1e-4f);
            EXPECT_LE(std::fabs(v), 1.5f);
            spread = std::max(spread, std::fabs(v - plain.Fbm(x + 400.0f, y, 100.0f, 4)));
        }
    EXPECT_GT(spread, 0.01f);
    EXPECT_THROW(periodic.At(1.0f, 1.0f, 120.0f), std::logic_error);
}

TEST(Rng, RepeatsItsSequenceForASeedAndStaysInRange) {
    Rng a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const float u = a.Uniform();
        EXPECT_EQ(u, b.Uniform());
        differs = differs || u != c.Uniform();
        EXPECT_GE(u, 0.0f);
        EXPECT_LT(u, 1.0f);
        const int k = a.Below(7);
        EXPECT_EQ(k, b.Below(7));
        EXPECT_GE(k, 0);
        EXPECT_LT(k, 7);
        c.Below(7);
    }
    EXPECT_TRUE(differs);
}

TEST(BlueNoise, RanksEveryPixelOnceAndSpreadsPointsEvenly) {
    std::set<float> seen;
    int neighboursAlike = 0;
    for (int y = 0; y < kBlueNoiseSize; ++y)
        for (int x = 0; x < kBlueNoiseSize; ++x) {
            const float t = BlueNoiseThreshold(x, y);
            EXPECT_GT(t, 0.0f);
            EXPECT_LT(t, 1.0f);
            seen.insert(t);
            neighboursAlike += (t < 0.5f) == (BlueNoiseThreshold(x + 1, y) < 0.5f);
        }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kBlueNoiseSize * kBlueNoiseSize));
    // White noise leaves half of all neighbours alike at half density; blue noise clearly fewer.
    EXPECT_LT(neighboursAlike, kBlueNoiseSize * kBlueNoiseSize * 43 / 100);
    EXPECT_EQ(BlueNoiseThreshold(3, 5), BlueNoiseThreshold(3 + kBlueNoiseSize, 5 - kBlueNoiseSize));
}

TEST(PixelFont, MeasuresWhatItDrawsAndScalesWhole) {
    Canvas c(60, 12);
    const int drawn = PixelFont::Draw(c, 2, 1, "Hello", Color(1, 1, 1));
    EXPECT_EQ(drawn, PixelFont::Measure("Hello"));
    int left = 60, right = -1;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 60; ++x)
            if (c.Alpha(x, y) > 0.0f) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_EQ(left, 2);
    EXPECT_EQ(right - left + 1, drawn);
    EXPECT_EQ(PixelFont::Measure("Hello", 3), 3 * PixelFont::Measure("Hello"));
    // Characters the font lacks are shown as a question mark.
    EXPECT_EQ(PixelFont::Measure("\x7f"), PixelFont::Measure("?"));
}

TEST(WebAddress, IsShortenedOnlyAsFarAsNeeded) {
    const std::string site = "http://www.glimmerdel.example";
    EXPECT_EQ(FitWebAddress(site, 200), site);
    const int withoutScheme = PixelFont::Measure("www.glimmerdel.example");
    EXPECT_EQ(FitWebAddress(site, withoutScheme), "www.glimmerdel.example");
    EXPECT_EQ(FitWebAddress("https://glimmerdel.example/", 80), "glimmerdel.example");
    const std::string cut = FitWebAddress(site, 60);
    EXPECT_LE(PixelFont::Measure(cut), 60);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_EQ(cut.rfind("www.", 0), 0u);
}

TEST(Sweep, BouncesBetweenTheEndsAndHoldsEachEndForTwoSteps) {
    std::vector<int> seen;
    for (int step = 0; step < 106; ++step)
        seen.push_back(SweepCell(1, true, step, 52));
    EXPECT_EQ(seen[0], 1);
    EXPECT_EQ(seen[51], 52);
    EXPECT_EQ(seen[52], 52);
    EXPECT_EQ(seen[53], 51);
    EXPECT_EQ(seen[103], 1);
    EXPECT_EQ(seen[104], 1);
    EXPECT_EQ(seen[105], 2);
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_LE(std::abs(seen[i] - seen[i - 1]), 1);
    // Strings that start on the way down.
    EXPECT_EQ(SweepCell(28, false, 0, 52), 28);
    EXPECT_EQ(SweepCell(28, false, 1, 52), 27);
    EXPECT_EQ(SweepCell(4, false, 4, 52), 1);
    EXPECT_EQ(SweepCell(4, false, 5, 52), 2);
}

}  // namespace
}  // namespace art
