// SPDX-License-Identifier: MIT
#pragma once
// A still of the running scene composed the way the screen saver draws it: the sky tiled from
// the top-left corner, the landscape at the bottom left, ground strips to the right edge, then
// snowflakes, the light strings and the smoke. For looking at the pictures together.

#include <vector>

#include "art/light_strings.h"
#include "art/picture.h"

namespace art {

struct ScenePictures {
    Picture sky;
    Picture landscape;
    Picture extension;
    Picture snowflake;
    Picture smoke;
    std::vector<LightSheet> lights;  // in drawing order
};

// `step` is how many animation steps have passed: it picks the light and smoke cells.
Picture ComposeStill(const ScenePictures& scene, int width, int height, int step,
                     bool withSnowflakes = true);

// The cell (1-based) a bouncing sweep 1..52, 52..1 shows after `step` steps.
int SweepCell(int startCell, bool rising, int step, int cells);

}  // namespace art
