// SPDX-License-Identifier: MIT
#pragma once
// The nine strings of lights on the fir tree. Each sheet holds 52 cells of the same string (wire,
// sockets and bulbs in every cell); only the glow of the bulbs changes from cell to cell. The
// scene plays the cells forwards and backwards, so every pattern reads well both ways.

#include <string>
#include <vector>

#include "art/picture.h"

namespace art {

struct LightSheet {
    std::string file;  // e.g. "redlight.bmp"
    int x = 0;         // the sheet's place over the landscape (top-left corner of a cell)
    int y = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int startCell = 1;   // the cell the scene starts the string at (1-based), for stills
    bool rising = true;  // whether the sweep starts upwards
    Picture sheet;
};

// The strings in the order the scene draws them. Glows are painted opaque, blended with the
// landscape pixels they cover, so `landscape` must be the finished landscape picture.
std::vector<LightSheet> PaintLightStrings(const Picture& landscape);

}  // namespace art
