// SPDX-License-Identifier: MIT
#include "tests/support/PixelPattern.h"

#include <sstream>
#include <stdexcept>

#include "tests/support/BmpFile.h"
#include "tools/harness/TempDir.h"

PixelPattern::PixelPattern()
    : PixelPattern({{'.', 0x000000},
                    {'#', 0xFFFFFF},
                    {'r', 0xFF0000},
                    {'g', 0x00FF00},
                    {'b', 0x0000FF},
                    {'y', 0xFFFF00},
                    {'c', 0x00FFFF},
                    {'m', 0xFF00FF},
                    {'s', 0x808080},
                    {'o', 0xFF8000}}) {}

PixelPattern::PixelPattern(std::map<char, std::uint32_t> legend) : m_legend(std::move(legend)) {}

PixelPattern PixelPattern::With(char c, std::uint32_t colour) {
    PixelPattern pattern;
    pattern.m_legend[c] = colour;
    return pattern;
}

std::shared_ptr<PictureObject> PixelPattern::Picture(const Rows& rows) const {
    const int width = static_cast<int>(rows.front().size());
    return PictureObject::FromPixels(width, static_cast<int>(rows.size()), Pixels(rows).data(),
                                     width);
}

std::string PixelPattern::WriteBitmap(const TempDir& folder, const std::string& name,
                                      const Rows& rows) const {
    BmpPicture picture;
    picture.width = static_cast<int>(rows.front().size());
    picture.height = static_cast<int>(rows.size());
    picture.pixels = Pixels(rows);
    folder.Write(name, EncodeBmp(picture));
    return folder.File(name);
}

std::uint32_t PixelPattern::Colour(char c) const {
    const auto it = m_legend.find(c);
    if (it == m_legend.end())
        throw std::invalid_argument(std::string("no colour for ") + c);
    return it->second;
}

char PixelPattern::Char(std::uint32_t pixel) const {
    for (const auto& [c, colour] : m_legend) {
        if (colour == pixel)
            return c;
    }
    return '?';
}

std::vector<std::uint32_t> PixelPattern::Pixels(const Rows& rows) const {
    std::vector<std::uint32_t> pixels;
    for (const std::string& row : rows) {
        if (row.size() != rows.front().size())
            throw std::invalid_argument("ragged rows");
        for (char c : row)
            pixels.push_back(Colour(c));
    }
    return pixels;
}

PixelPattern::Rows PixelPattern::Read(HDC hDC, int x, int y, int width, int height) const {
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
    if (!gdi::ReadPixels(hDC, x, y, width, height, pixels.data()))
        return {};
    Rows rows(height, std::string(width, ' '));
    for (int row = 0; row < height; ++row) {
        for (int i = 0; i < width; ++i)
            rows[row][i] = Char(pixels[row * width + i]);
    }
    return rows;
}

::testing::AssertionResult PixelPattern::Matches(HDC hDC, int x, int y,
                                                 const Rows& expected) const {
    const int height = static_cast<int>(expected.size());
    const int width = height > 0 ? static_cast<int>(expected.front().size()) : 0;
    const Rows actual = Read(hDC, x, y, width, height);
    if (actual.empty() && height > 0) {
        return ::testing::AssertionFailure()
               << "cannot read " << width << " x " << height << " at " << x << ", " << y;
    }
    if (actual == expected)
        return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << "pixels differ (expected | actual | ^ marks a difference):\n";
    for (int row = 0; row < height; ++row) {
        std::string marks(width, ' ');
        for (int i = 0; i < width; ++i) {
            if (expected[row][i] != actual[row][i])
                marks[i] = '^';
        }
        out << "  " << expected[row] << " | " << actual[row] << " | " << marks << "\n";
    }
    return ::testing::AssertionFailure() << out.str();
}

PixelPattern::Rows PixelPattern::Filled(int width, int height, char c) {
    return Rows(height, std::string(width, c));
}

PixelPattern::Rows PixelPattern::Put(Rows rows, int x, int y, const Rows& block) {
    for (int row = 0; row < static_cast<int>(block.size()); ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= static_cast<int>(rows.size()))
            continue;
        for (int i = 0; i < static_cast<int>(block[row].size()); ++i) {
            const int tx = x + i;
            if (tx < 0 || tx >= static_cast<int>(rows[ty].size()))
                continue;
            rows[ty][tx] = block[row][i];
        }
    }
    return rows;
}
