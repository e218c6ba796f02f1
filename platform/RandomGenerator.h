// SPDX-License-Identifier: MIT
#pragma once
// The random generator: uniform draws in [0, 1), and a re-seed that stirs new entropy (the clock)
// into the state instead of replacing it, so that draws made within one clock tick still differ.

#include <cstdint>

class RandomGenerator {
  public:
    explicit RandomGenerator(std::uint64_t seed = 0x9E3779B97F4A7C15ull);

    void Stir(std::uint64_t entropy);
    double Next();  // [0, 1)

  private:
    std::uint64_t NextBits();
    std::uint64_t m_state[4] = {};
};
