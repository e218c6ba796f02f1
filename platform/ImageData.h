// SPDX-License-Identifier: MIT
#pragma once
// Pixels that the program carries with it (a button's picture, a banner, an icon).

#include <cstdint>

struct ImageData {
    int width = 0;
    int height = 0;
    const std::uint32_t* pixels = nullptr;  // rows from the top, 0x00RRGGBB
};
