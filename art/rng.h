// SPDX-License-Identifier: MIT
#pragma once
// A small seeded random number generator (splitmix64) and integer hashes: every picture is
// painted the same way on every build.

#include <cstdint>

namespace art {

class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next();
    // Uniform in [0, 1).
    float Uniform();
    float Uniform(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
    // Uniform integer in [0, n).
    int Below(int n);

  private:
    std::uint64_t state_;
};

// Well-mixed 32-bit hash of a lattice point and a seed.
std::uint32_t Hash(int x, int y, std::uint32_t seed);
// The same hash as a float in [0, 1).
float Hash01(int x, int y, std::uint32_t seed);

}  // namespace art
