// SPDX-License-Identifier: MIT
#pragma once
// The log cabin: front wall with two lit windows and a red door with a wreath, the gable end in
// shade, a snow-covered roof and the brick chimney whose top is kChimneyTop.

#include "art/canvas.h"

namespace art {

// Paints the cabin over the landscape canvas (landscape coordinates).
void PaintHouse(Canvas& landscape);

// Warm light the windows and the door lamp throw onto the snow in front of the cabin.
void PaintHouseLightOnSnow(Canvas& landscape);

}  // namespace art
