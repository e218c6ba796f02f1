// SPDX-License-Identifier: MIT
#pragma once
// A blue-noise threshold map for ordered dithering: thresholds spread evenly, without the grid
// look of a Bayer matrix, repeating every kBlueNoiseSize pixels.

namespace art {

constexpr int kBlueNoiseSize = 64;

// The threshold for a pixel, in [0, 1).
float BlueNoiseThreshold(int x, int y);

}  // namespace art
