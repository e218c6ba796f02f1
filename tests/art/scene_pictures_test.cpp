// SPDX-License-Identifier: MIT
// The scene's bitmaps as the screen saver relies on them: format, colour key, cell layout,
// where sprites meet the landscape, and seams.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "art/scene_manifest.h"
#include "picture_file.h"

namespace art_test {
namespace {

int R(std::uint32_t p) {
    return static_cast<int>((p >> 16) & 0xFF);
}
int G(std::uint32_t p) {
    return static_cast<int>((p >> 8) & 0xFF);
}
int B(std::uint32_t p) {
    return static_cast<int>(p & 0xFF);
}
float Luma(std::uint32_t p) {
    return 0.299f * R(p) + 0.587f * G(p) + 0.114f * B(p);
}
int Distance(std::uint32_t a, std::uint32_t b) {
    return std::abs(R(a) - R(b)) + std::abs(G(a) - G(b)) + std::abs(B(a) - B(b));
}

// Colours a viewer would take for the key green although they are not the key.
bool AlmostKey(std::uint32_t p) {
    return p != kKey && R(p) <= 60 && B(p) <= 60 && G(p) >= 190;
}

int CellWidth(const PictureFile& p, int cells) {
    return p.width / cells;
}

struct ColumnSeam {
    int transparencyMismatches = 0;
    float meanDifference = 0.0f;  // sum of channel differences, over rows opaque in both
};

// Compares column `ca` of `a` with column `cb` of `b`, both standing on the same bottom line.
ColumnSeam CompareBottomAligned(const PictureFile& a, int ca, const PictureFile& b, int cb) {
    ColumnSeam seam;
    const int rows = std::max(a.height, b.height);
    int compared = 0;
    for (int v = 0; v < rows; ++v) {
        const int ya = a.height - 1 - v, yb = b.height - 1 - v;
        const bool oa = ya >= 0 && a.Opaque(ca, ya);
        const bool ob = yb >= 0 && b.Opaque(cb, yb);
        if (oa != ob)
            ++seam.transparencyMismatches;
        if (oa && ob) {
            seam.meanDifference += static_cast<float>(Distance(a.At(ca, ya), b.At(cb, yb)));
            ++compared;
        }
    }
    if (compared > 0)
        seam.meanDifference /= static_cast<float>(compared);
    return seam;
}

TEST(ScenePictures, TheDataFolderHoldsExactlyThePicturesOfTheManifest) {
    std::vector<std::string> expected, found;
    for (const art::ScenePicture& s : art::kScenePictures)
        expected.push_back(s.file);
    for (const auto& entry : std::filesystem::directory_iterator(DataDir()))
        found.push_back(entry.path().filename().string());
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);
    EXPECT_EQ(std::unique(expected.begin(), expected.end()), expected.end()) << "names repeat";
}

TEST(ScenePictures, AreUncompressed24BitBitmapsOfWholeCells) {
    for (const art::ScenePicture& s : art::kScenePictures) {
        SCOPED_TRACE(s.file);
        const PictureFile p = ReadPicture(s.file);
        ASSERT_TRUE(p.ok) << p.problem;
        EXPECT_EQ(p.headerSize, 40);
        EXPECT_EQ(p.bitsPerPixel, 24);
        EXPECT_EQ(p.compression, 0);
        EXPECT_TRUE(p.bottomUp);
        EXPECT_TRUE(p.sizeMatchesPaddedRows);
        EXPECT_EQ(p.width % s.cells, 0);
    }
}

TEST(ScenePictures, UseExactGreenOnlyForTransparencyAndShowSomethingInEveryCell) {
    for (const art::ScenePicture& s : art::kScenePictures) {
        SCOPED_TRACE(s.file);
        const PictureFile p = ReadPicture(s.file);
        ASSERT_TRUE(p.ok) << p.problem;
        EXPECT_EQ(std::count_if(p.pixels.begin(), p.pixels.end(), AlmostKey), 0);
        const int cw = CellWidth(p, s.cells);
        for (int c = 0; c < s.cells; ++c) {
            int opaque = 0;
            for (int y = 0; y < p.height; ++y)
                for (int x = c * cw; x < (c + 1) * cw; ++x)
                    opaque += p.Opaque(x, y) ? 1 : 0;
            EXPECT_GE(opaque, 9) << "cell " << c + 1;
        }
    }
}

TEST(Landscape, FitsSmallScreensCarriesTheChimneyAndCatchesTheFlakes) {
    constexpr int kChimneyX = art::kChimneyTopX;
    constexpr int kChimneyY = art::kChimneyTopY;
    const PictureFile land = ReadPicture(art::kLandscapePicture);
    ASSERT_TRUE(land.ok) << land.problem;
    EXPECT_EQ(land.width, art::kLandscapeWidth);
    EXPECT_EQ(land.height, art::kLandscapeHeight);
    EXPECT_LE(land.width, 820);
    EXPECT_LE(land.height, 768 / 2);
    ASSERT_LT(kChimneyX + 12, land.width);
    ASSERT_LT(kChimneyY, land.height);
    // The chimney's top edge is on its mark, with sky above it for the smoke to rise into.
    for (int x = kChimneyX; x < kChimneyX + 12; ++x) {
        EXPECT_TRUE(land.Opaque(x, kChimneyY)) << x;
        EXPECT_TRUE(land.Opaque(x, kChimneyY + 3)) << x;
        EXPECT_FALSE(land.Opaque(x, kChimneyY - 6)) << x;
    }
    EXPECT_FALSE(land.Opaque(0, 0));
    // Ground all along the bottom, and nearly everywhere up to where falling flakes vanish
    // (the lowest 250 rows of the screen), so that they seem to land on something.
    int grounded = 0;
    for (int x = 0; x < land.width; ++x) {
        EXPECT_TRUE(land.Opaque(x, land.height - 1)) << x;
        grounded += land.Opaque(x, land.height - 230) ? 1 : 0;
    }
    EXPECT_GE(grounded, land.width * 9 / 10);
}

// True for the dark greens of the fir's needles.
bool FirGreen(std::uint32_t p) {
    return G(p) > R(p) + 8 && G(p) >= B(p) && Luma(p) < 120.0f;
}

TEST(LightStrings, HangOnTheTreeAndChangeOnlyTheirGlow) {
    const PictureFile land = ReadPicture(art::kLandscapePicture);
    ASSERT_TRUE(land.ok) << land.problem;
    for (const art::LightString& s : art::kLightStrings) {
        SCOPED_TRACE(s.file);
        const PictureFile p = ReadPicture(s.file);
        ASSERT_TRUE(p.ok) << p.problem;
        const int cw = CellWidth(p, art::kLightCells);
        ASSERT_GE(s.x, 0);
        ASSERT_LE(s.x + cw, land.width);
        ASSERT_LE(s.y + p.height, land.height);
        std::vector<int> shownIn(static_cast<size_t>(cw) * p.height, 0);
        int onFir = 0, total = 0;
        for (int c = 0; c < art::kLightCells; ++c)
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < cw; ++x) {
                    if (!p.Opaque(c * cw + x, y))
                        continue;
                    const std::uint32_t under = land.At(s.x + x, s.y + y);
                    EXPECT_NE(under, kKey) << "over the sky at " << x << "," << y;
                    onFir += FirGreen(under) ? 1 : 0;
                    ++total;
                    ++shownIn[static_cast<size_t>(y) * cw + x];
                }
        EXPECT_GE(onFir, total / 2) << "most of the string lies over the fir's needles";
        // The wire and the bulbs are there in every cell; the glow comes and goes.
        const auto always = std::count(shownIn.begin(), shownIn.end(), art::kLightCells);
        EXPECT_GE(always, 20);
        int changing = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < cw; ++x)
                changing +=
                    p.At(x, y) != p.At(25 * cw + x, y) || p.At(x, y) != p.At(12 * cw + x, y);
        EXPECT_GE(changing, 10);
    }
}

// Width of what a string shows, from its leftmost to its rightmost opaque pixel.
int ShownWidth(const char* name) {
    const PictureFile p = ReadPicture(name);
    const int cw = CellWidth(p, art::kLightCells);
    int left = cw, right = -1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < cw; ++x)
            if (p.Opaque(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right - left + 1;
}

TEST(LightStrings, NarrowTowardsTheTopOfTheTree) {
    const char* topToBottom[] = {"greenlight.bmp", "yellowlight.bmp",    "purplelight.bmp",
                                 "bluelight.bmp",  "redbottomlight.bmp", "yellowbottomlight.bmp"};
    for (size_t i = 0; i + 1 < std::size(topToBottom); ++i)
        EXPECT_LT(ShownWidth(topToBottom[i]), ShownWidth(topToBottom[i + 1])) << topToBottom[i];
}

TEST(Extension, ContinuesTheLandscapeAndRepeatsWithoutASeam) {
    const PictureFile land = ReadPicture(art::kLandscapePicture);
    const PictureFile ext = ReadPicture(art::kExtensionPicture);
    ASSERT_TRUE(land.ok && ext.ok);
    EXPECT_EQ(ext.width, art::kExtensionWidth);
    EXPECT_EQ(ext.height, art::kExtensionHeight);
    const ColumnSeam join = CompareBottomAligned(land, land.width - 1, ext, 0);
    EXPECT_LE(join.transparencyMismatches, 2);
    EXPECT_LE(join.meanDifference, 18.0f);
    const ColumnSeam wrap = CompareBottomAligned(ext, ext.width - 1, ext, 0);
    EXPECT_LE(wrap.transparencyMismatches, 2);
    EXPECT_LE(wrap.meanDifference, 18.0f);
    // The ground reaches the strip's bottom edge everywhere.
    for (int x = 0; x < ext.width; ++x)
        EXPECT_TRUE(ext.Opaque(x, ext.height - 1)) << x;
}

TEST(Sky, TilesSeamlesslyAndDeepensUpwards) {
    const PictureFile sky = ReadPicture(art::kSkyPicture);
    ASSERT_TRUE(sky.ok) << sky.problem;
    EXPECT_GE(sky.height, 1080) << "one copy covers a common screen from top to bottom";
    EXPECT_EQ(std::count(sky.pixels.begin(), sky.pixels.end(), kKey), 0);
    auto rowMean = [&](int y) {
        float sum = 0.0f;
        for (int x = 0; x < sky.width; ++x)
            sum += Luma(sky.At(x, y));
        return sum / static_cast<float>(sky.width);
    };
    // Across each seam the sky changes no more than it does between neighbouring rows or
    // columns inside the tile (stars make every step a little different).
    auto rowStep = [&](int a, int b) {
        float sum = 0.0f;
        for (int x = 0; x < sky.width; ++x)
            sum += static_cast<float>(Distance(sky.At(x, a), sky.At(x, b)));
        return sum / static_cast<float>(sky.width);
    };
    auto columnStep = [&](int a, int b) {
        float sum = 0.0f;
        for (int y = 0; y < sky.height; ++y)
            sum += static_cast<float>(Distance(sky.At(a, y), sky.At(b, y)));
        return sum / static_cast<float>(sky.height);
    };
    float rowInside = 0.0f, columnInside = 0.0f;
    for (int y = 0; y + 1 < sky.height; ++y)
        rowInside += rowStep(y, y + 1);
    for (int x = 0; x + 1 < sky.width; ++x)
        columnInside += columnStep(x, x + 1);
    rowInside /= static_cast<float>(sky.height - 1);
    columnInside /= static_cast<float>(sky.width - 1);
    EXPECT_LE(rowStep(sky.height - 1, 0), 3.0f * rowInside);
    EXPECT_LE(columnStep(sky.width - 1, 0), 3.0f * columnInside);
    EXPECT_LT(rowMean(10) + 8.0f, rowMean(800)) << "darker overhead than towards the horizon";
    // Stars: pixels standing out clearly from the sky around them.
    int stars = 0;
    for (int y = 0; y < sky.height; y += 1)
        for (int x = 1; x + 1 < sky.width; ++x)
            stars += Luma(sky.At(x, y)) > Luma(sky.At(x - 1, y)) + 60.0f;
    EXPECT_GE(stars, 300);
}

TEST(Smoke, RisesFromTheChimneyInASeamlessLoop) {
    const PictureFile smoke = ReadPicture(art::kSmokePicture);
    ASSERT_TRUE(smoke.ok) << smoke.problem;
    const int cells = art::kSmokeCells;
    EXPECT_EQ(smoke.width, cells * art::kSmokeCellWidth);
    EXPECT_EQ(smoke.height, art::kSmokeCellHeight);
    const int cw = CellWidth(smoke, cells);
    // How many pixels turn from transparent to opaque or back between two cells.
    auto change = [&](int a, int b) {
        int n = 0;
        for (int y = 0; y < smoke.height; ++y)
            for (int x = 0; x < cw; ++x)
                n += smoke.Opaque(a * cw + x, y) != smoke.Opaque(b * cw + x, y);
        return n;
    };
    int largestStep = 0;
    for (int c = 0; c + 1 < cells; ++c)
        largestStep = std::max(largestStep, change(c, c + 1));
    EXPECT_LE(change(cells - 1, 0), largestStep) << "the loop's wrap is no bigger a step";
    EXPECT_GT(largestStep, 0);
    EXPECT_GT(change(0, cells / 2), largestStep) << "the smoke moves over the loop";
    for (int c = 0; c < cells; ++c) {
        // Out of the chimney's mouth: opaque near the cell's bottom-left in every cell.
        int mouth = 0;
        for (int y = smoke.height - 3; y < smoke.height; ++y)
            for (int x = 0; x < 18; ++x)
                mouth += smoke.Opaque(c * cw + x, y);
        EXPECT_GE(mouth, 6) << "cell " << c + 1;
        // Fading out before the cell's top edge.
        int top = 0;
        for (int x = 0; x < cw; ++x)
            top += smoke.Opaque(c * cw + x, 0);
        EXPECT_LE(top, 2) << "cell " << c + 1;
    }
}

TEST(Snowflake, IsSmallRoundAndBrightestInTheMiddle) {
    const PictureFile flake = ReadPicture(art::kSnowflakePicture);
    ASSERT_TRUE(flake.ok) << flake.problem;
    EXPECT_EQ(flake.width, flake.height);
    EXPECT_EQ(flake.width, art::kSnowflakeSize);
    EXPECT_GE(flake.width, 3);
    EXPECT_LE(flake.width, 9);
    const int n = flake.width, mid = n / 2;
    EXPECT_FALSE(flake.Opaque(0, 0));
    EXPECT_FALSE(flake.Opaque(n - 1, 0));
    EXPECT_FALSE(flake.Opaque(0, n - 1));
    EXPECT_FALSE(flake.Opaque(n - 1, n - 1));
    ASSERT_TRUE(flake.Opaque(mid, mid));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            if (flake.Opaque(x, y)) {
                EXPECT_LE(Luma(flake.At(x, y)), Luma(flake.At(mid, mid)));
            }
        }
    EXPECT_LT(Luma(flake.At(mid, 0)) + 20.0f, Luma(flake.At(mid, mid))) << "a soft rim";
}

TEST(Painter, PaintsTheSamePicturesEveryTime) {
    const std::string program = std::string(GLIMMERDEL_PROGRAM_DIR) + "/art/glimmerdel-art";
    if (!std::filesystem::exists(program))
        GTEST_SKIP() << "no painter at " << program;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("glimmerdel-art-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string command = "\"" + program + "\" --data-dir \"" + dir.string() +
                                "\" --embedded \"" + (dir / "embedded.cpp").string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto bytes = [](const std::filesystem::path& path) {
        std::ifstream f(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    };
    for (const art::ScenePicture& s : art::kScenePictures)
        EXPECT_EQ(bytes(dir / s.file), bytes(DataDir() + s.file)) << s.file;
    // It paints the pictures of the manifest and nothing else.
    int written = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        written += entry.path().extension() == ".bmp";
    EXPECT_EQ(written, art::kScenePictureCount);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace art_test
