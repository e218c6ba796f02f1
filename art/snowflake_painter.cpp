// SPDX-License-Identifier: MIT
#include "art/snowflake_painter.h"

#include <cmath>

#include "art/color.h"
#include "art/scene_manifest.h"

namespace art {

Picture PaintSnowflake() {
    const int n = kSnowflakeSize;
    const float c = static_cast<float>(n) * 0.5f;
    Picture flake(n, n);
    // Sampled finely: how much of each pixel the disc covers, and how bright it is there.
    constexpr int kSub = 8;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float cover = 0.0f, light = 0.0f;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx) {
                    const float px =
                        static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / kSub - c;
                    const float py =
                        static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / kSub - c;
                    const float r = std::sqrt(px * px + py * py);
                    if (r > 3.1f)
                        continue;
                    cover += 1.0f;
                    light += std::exp(-r * r / 3.0f);
                }
            cover /= kSub * kSub;
            if (cover < 0.35f)
                continue;
            light /= kSub * kSub * cover;
            // A bright core fading to a pale blue rim: soft over the night sky, still visible
            // over the white snow.
            const Color rim(0.66f, 0.73f, 0.88f);
            const Color core(1.0f, 1.0f, 1.0f);
            flake.Set(x, y, Mix(rim, core, Clamp01(light * 1.25f * cover)).ToRgb());
        }
    return flake;
}

}  // namespace art
