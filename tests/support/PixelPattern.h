// SPDX-License-Identifier: MIT
#pragma once
// Pixel pictures written as rows of characters, one character per pixel, through a legend that
// maps characters to 0x00RRGGBB colours. Tests paint surfaces from them and compare what a
// surface holds with them; a mismatch prints both pictures and marks the differing pixels.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi.h"

class TempDir;

class PixelPattern {
  public:
    using Rows = std::vector<std::string>;

    // The default legend: '.' black, '#' white, 'r' red, 'g' green (the transparent colour),
    // 'b' blue, 'y' yellow, 'c' cyan, 'm' magenta, 's' the sentinel grey 0x808080, 'o' orange.
    PixelPattern();
    explicit PixelPattern(std::map<char, std::uint32_t> legend);
    // The default legend with one more character.
    static PixelPattern With(char c, std::uint32_t colour);

    std::uint32_t Colour(char c) const;
    // The character of a colour; '?' for a colour not in the legend.
    char Char(std::uint32_t pixel) const;

    // The pixels of rows (all rows of one length), row after row.
    std::vector<std::uint32_t> Pixels(const Rows& rows) const;
    // A rectangle of a DC as rows; empty when the DC cannot be read there.
    Rows Read(HDC hDC, int x, int y, int width, int height) const;
    // Compares the rectangle of a DC at (x, y) of the rows' size with the rows.
    ::testing::AssertionResult Matches(HDC hDC, int x, int y, const Rows& expected) const;

    // A picture object holding the rows' pixels.
    std::shared_ptr<PictureObject> Picture(const Rows& rows) const;
    // Writes the rows as a 24-bit bitmap file into the folder; gives the file's path.
    std::string WriteBitmap(const TempDir& folder, const std::string& name, const Rows& rows) const;

    // Rows of one character.
    static Rows Filled(int width, int height, char c);
    // Rows with a block of other rows put in at (x, y) (clipped to the rows).
    static Rows Put(Rows rows, int x, int y, const Rows& block);

  private:
    std::map<char, std::uint32_t> m_legend;
};
