// SPDX-License-Identifier: MIT
#pragma once
// Reading a bitmap (.bmp) file into screen-format pixels (0x00RRGGBB, rows from the top).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/winapi/PixelAllocator.h"

namespace bitmap_file {

// The largest bitmap the loader accepts: a side of at most 32767 pixels and at most 256 MiB
// of screen-format pixels. Larger files fail before anything large is allocated.
inline constexpr int kMaxSide = 32767;
inline constexpr std::size_t kMaxBytes = std::size_t{256} << 20;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t, PixelAllocator<std::uint32_t>> pixels;  // rows from the top
};

// Decodes the file at path. False when the file is missing or unreadable, is not a bitmap file
// the decoder knows, is cut short, or is larger than the limits above.
bool Load(const char* path, Image& image);

}  // namespace bitmap_file
