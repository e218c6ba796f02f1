// SPDX-License-Identifier: MIT
#pragma once
// The night sky tile: a deep blue gradient with stars, repeated edge to edge from the screen's
// top-left corner.

#include "art/color.h"
#include "art/picture.h"

namespace art {

constexpr int kSkyWidth = 1024;
// Tall enough that common screens show one copy from top to bottom; the gradient turns back
// to the top colour only in the last rows so that taller screens still see no seam.
constexpr int kSkyHeight = 1536;

// The sky's colour without stars at a row of the tile.
Color SkyColorAt(float y);
// The colour the sky has around the horizon of the landscape on usual screens: edge pixels of
// the landscape and extension are anti-aliased against it.
Color HorizonSkyColor();

Picture PaintSky();

}  // namespace art
