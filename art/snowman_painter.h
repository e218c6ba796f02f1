// SPDX-License-Identifier: MIT
#pragma once
// A snowman in the snow between the cabin and the tree, with a hat, a scarf and a carrot nose.

#include "art/canvas.h"

namespace art {

// Paints the snowman standing with its base centred at (x, groundY) in landscape coordinates.
void PaintSnowman(Canvas& landscape, float x, float groundY);

}  // namespace art
