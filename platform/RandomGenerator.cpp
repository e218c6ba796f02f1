// SPDX-License-Identifier: MIT
#include "platform/RandomGenerator.h"

namespace {
std::uint64_t SplitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t Rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}
}  // namespace

RandomGenerator::RandomGenerator(std::uint64_t seed) {
    for (auto& word : m_state)
        word = SplitMix(seed);
}

void RandomGenerator::Stir(std::uint64_t entropy) {
    // Fold the entropy into the current state and scramble it once; the sequence carries on
    // from where it was, so stirring the same clock value twice never repeats a draw.
    m_state[0] ^= SplitMix(entropy);
    NextBits();
}

std::uint64_t RandomGenerator::NextBits() {
    // xoshiro256**
    const std::uint64_t result = Rotl(m_state[1] * 5, 7) * 9;
    const std::uint64_t t = m_state[1] << 17;
    m_state[2] ^= m_state[0];
    m_state[3] ^= m_state[1];
    m_state[1] ^= m_state[2];
    m_state[0] ^= m_state[3];
    m_state[2] ^= t;
    m_state[3] = Rotl(m_state[3], 45);
    return result;
}

double RandomGenerator::Next() {
    return static_cast<double>(NextBits() >> 11) * (1.0 / 9007199254740992.0);
}
