// SPDX-License-Identifier: MIT
#pragma once
// The fir tree: six tiers of branches with snow on them, a star on top, a trunk in a snow mound
// and two presents. The light strings hang across its tiers.

#include "art/canvas.h"

namespace art {

// The tiers, trunk and star.
void PaintTree(Canvas& landscape);
// The presents, which stand in the snow at the tree's foot.
void PaintPresents(Canvas& landscape);

}  // namespace art
