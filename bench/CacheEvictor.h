// SPDX-License-Identifier: MIT
#pragma once
// Empties the processor's caches, as the 20 ms between two frames of the real saver (and the
// X server's work in them) tend to leave them: one pass over 64 MiB of memory of its own, twice
// the largest cache.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class CacheEvictor {
  public:
    void Evict() {
        for (std::uint64_t& word : m_memory)
            m_sum += ++word;
        benchmark::DoNotOptimize(m_sum);
    }

  private:
    std::vector<std::uint64_t> m_memory = std::vector<std::uint64_t>(std::size_t{64} << 17);
    std::uint64_t m_sum = 0;
};
