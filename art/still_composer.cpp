// SPDX-License-Identifier: MIT
#include "art/still_composer.h"

#include "art/rng.h"
#include "art/scene_manifest.h"

namespace art {

int SweepCell(int startCell, bool rising, int step, int cells) {
    const int period = 2 * cells;
    const int start = rising ? startCell - 1 : period - startCell;
    const int p = (start + step) % period;
    return p < cells ? p + 1 : period - p;
}

Picture ComposeStill(const ScenePictures& scene, int width, int height, int step,
                     bool withSnowflakes) {
    Picture still(width, height);
    for (int y = 0; y < height; y += scene.sky.Height())
        for (int x = 0; x < width; x += scene.sky.Width())
            still.Paste(scene.sky, x, y, false);
    const int landX = 0;
    const int landY = height - scene.landscape.Height();
    still.Paste(scene.landscape, landX, landY, true);
    for (int x = scene.landscape.Width(); x < width; x += scene.extension.Width())
        still.Paste(scene.extension, x, height - scene.extension.Height(), true);

    Rng rng(static_cast<std::uint64_t>(step) * 7919u + 17u);
    const int flakes = withSnowflakes ? width * height / 9000 : 0;
    for (int i = 0; i < flakes; ++i) {
        const int x = rng.Below(width);
        const int y = rng.Below(height);
        // Flakes land somewhere in the lowest 250 rows.
        if (y > height - 250 && rng.Uniform() < static_cast<float>(y - (height - 250)) / 250.0f)
            continue;
        still.Paste(scene.snowflake, x, y, true);
    }

    for (const LightSheet& s : scene.lights) {
        const int cells = s.sheet.Width() / s.cellWidth;
        const int cell = SweepCell(s.startCell, s.rising, step, cells);
        still.Paste(s.sheet.Cell(cell - 1, s.cellWidth), landX + s.x, landY + s.y, true);
    }
    const int smokeCell = step % kSmokeCells;
    still.Paste(scene.smoke.Cell(smokeCell, kSmokeCellWidth), landX + kChimneyTopX,
                landY + kChimneyTopY - kSmokeCellHeight, true);
    return still;
}

}  // namespace art
