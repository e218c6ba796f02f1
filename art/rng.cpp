// SPDX-License-Identifier: MIT
#include "art/rng.h"

namespace art {

std::uint64_t Rng::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

float Rng::Uniform() {
    return static_cast<float>(Next() >> 40) / static_cast<float>(1 << 24);
}

int Rng::Below(int n) {
    return static_cast<int>(Next() % static_cast<std::uint64_t>(n));
}

std::uint32_t Hash(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float Hash01(int x, int y, std::uint32_t seed) {
    return static_cast<float>(Hash(x, y, seed) >> 8) / static_cast<float>(1 << 24);
}

}  // namespace art
