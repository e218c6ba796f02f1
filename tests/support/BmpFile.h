// SPDX-License-Identifier: MIT
#pragma once
// Bitmap (.bmp) files made by the tests, in the depths the loader must read.

#include <cstdint>
#include <string>
#include <vector>

struct BmpPicture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;  // 1, 4, 8 (palette), 16 (5-5-5), 24 or 32
    bool topDown = false;   // rows stored from the top (a negative height in the header)
    // 1, 4 and 8 bits: the colours (0x00RRGGBB), and pixels holds palette indices.
    std::vector<std::uint32_t> palette;
    // width * height values, rows from the top: 0x00RRGGBB, or palette indices.
    std::vector<std::uint32_t> pixels;
};

// The bytes of the file.
std::string EncodeBmp(const BmpPicture& picture);
