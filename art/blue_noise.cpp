// SPDX-License-Identifier: MIT
#include "art/blue_noise.h"

#include <cmath>
#include <vector>

#include "art/rng.h"

namespace art {
namespace {

constexpr int kN = kBlueNoiseSize;
constexpr int kCount = kN * kN;

// Void and cluster: points are added one at a time where the pattern has its largest gap
// (least energy under a Gaussian on the torus); the order of adding ranks the thresholds.
std::vector<float> MakeMap() {
    std::vector<float> kernel(kCount);
    const float sigma = 1.6f;
    for (int dy = 0; dy < kN; ++dy)
        for (int dx = 0; dx < kN; ++dx) {
            const int wx = std::min(dx, kN - dx), wy = std::min(dy, kN - dy);
            kernel[dy * kN + dx] =
                std::exp(-static_cast<float>(wx * wx + wy * wy) / (2.0f * sigma * sigma));
        }
    std::vector<float> energy(kCount, 0.0f);
    std::vector<bool> taken(kCount, false);
    std::vector<float> map(kCount, 0.0f);
    auto place = [&](int index) {
        taken[index] = true;
        const int px = index % kN, py = index / kN;
        for (int y = 0; y < kN; ++y)
            for (int x = 0; x < kN; ++x)
                energy[y * kN + x] += kernel[((y - py + kN) % kN) * kN + (x - px + kN) % kN];
    };
    // A tiny random tie-break keeps the first choices from lining up.
    Rng rng(60061);
    std::vector<float> jitter(kCount);
    for (float& j : jitter)
        j = rng.Uniform() * 1e-4f;
    for (int rank = 0; rank < kCount; ++rank) {
        int best = -1;
        for (int i = 0; i < kCount; ++i)
            if (!taken[i] && (best < 0 || energy[i] + jitter[i] < energy[best] + jitter[best]))
                best = i;
        if (best < 0)
            break;  // every point is placed (never before the last rank)
        map[best] = (static_cast<float>(rank) + 0.5f) / static_cast<float>(kCount);
        place(best);
    }
    return map;
}

}  // namespace

float BlueNoiseThreshold(int x, int y) {
    static const std::vector<float> map = MakeMap();
    const int mx = ((x % kN) + kN) % kN, my = ((y % kN) + kN) % kN;
    return map[my * kN + mx];
}

}  // namespace art
