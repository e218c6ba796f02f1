// SPDX-License-Identifier: MIT
#pragma once
// The snowy ground shared by the landscape and the extension strip: three bands of rolling
// hills (far, middle, near) with a line of distant firs along the far ridge. Everything about
// it repeats every kGroundPeriod pixels across, so the strip tiles with itself and continues
// the landscape's right edge exactly.

#include <functional>

#include "art/canvas.h"

namespace art {

constexpr int kGroundPeriod = 800;

// Heights of the tops of the three bands above the picture's bottom edge, in pixels.
struct GroundOutline {
    float far = 0.0f;
    float mid = 0.0f;
    float near = 0.0f;
};

// The repeating outline at column x (any x; repeats every kGroundPeriod).
GroundOutline PeriodicGroundOutline(float x);

// Paints the ground over a canvas whose bottom row is the bottom of the ground. `outlineAt`
// gives the outline per column (PeriodicGroundOutline for the strip; the landscape reshapes it
// away from its right edge). `xOffset` is added to canvas columns before sampling, so that one
// ground can be painted in pieces.
void PaintGround(Canvas& canvas, const std::function<GroundOutline(float x)>& outlineAt,
                 float xOffset = 0.0f);

// The colour of the near band's snow at column x and height v above the bottom, `depth` pixels
// below the band's top: for painting drifts in the landscape that match the ground.
Color NearSnowColor(float x, float v, float depth);

}  // namespace art
