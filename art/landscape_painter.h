// SPDX-License-Identifier: MIT
#pragma once
// The landscape (snowy hills, the cabin and the fir tree, transparent where the sky shows) and
// the ground strip that continues it to the right edge of the screen.

#include "art/canvas.h"
#include "art/picture.h"

namespace art {

// The landscape before it is reduced to a keyed picture.
Canvas PaintLandscapeCanvas();
// Edge pixels are anti-aliased against the sky around the horizon; the rest of the sky is key.
Picture KeyLandscape(const Canvas& landscape);
Picture PaintExtension();

}  // namespace art
