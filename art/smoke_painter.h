// SPDX-License-Identifier: MIT
#pragma once
// Smoke from the chimney: 135 cells of soft puffs rising and drifting on the wind, a seamless
// loop. Translucency is suggested by an ordered scatter of opaque pixels that thins out.

#include "art/picture.h"

namespace art {

Picture PaintSmoke();

}  // namespace art
