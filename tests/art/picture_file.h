// SPDX-License-Identifier: MIT
#pragma once
// Reading the painted pictures back for the tests: bitmap header facts and decoded pixels.

#include <cstdint>
#include <string>
#include <vector>

namespace art_test {

constexpr std::uint32_t kKey = 0x00FF00;

struct PictureFile {
    bool ok = false;
    std::string problem;
    // From the header.
    int headerSize = 0;
    int bitsPerPixel = 0;
    int compression = -1;
    bool bottomUp = false;
    bool sizeMatchesPaddedRows = false;
    // Decoded, rows from the top, 0x00RRGGBB.
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Opaque(int x, int y) const { return At(x, y) != kKey; }
};

std::string DataDir();
// A picture of the data folder.
PictureFile ReadPicture(const std::string& name);
// Any picture file stb_image decodes (bitmaps also get their header facts).
PictureFile ReadPictureFile(const std::string& path);

}  // namespace art_test
