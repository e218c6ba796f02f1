// SPDX-License-Identifier: MIT
#pragma once
// Smooth gradient noise and fractal sums of it, optionally periodic so that pictures which are
// tiled (the sky, the ground strip) repeat without a seam.

#include <cstdint>

namespace art {

class Noise {
  public:
    // periodX / periodY: the repeat in pixels (0: no repeat). With a repeat, every cell size
    // passed to Fbm must divide it into a whole number of cells at every octave used.
    explicit Noise(std::uint32_t seed, int periodX = 0, int periodY = 0)
        : seed_(seed), periodX_(periodX), periodY_(periodY) {}

    // One octave at pixel (x, y) with lattice cells of `cell` pixels; about -1..1.
    float At(float x, float y, float cell) const { return AtOctave(x, y, cell, 0); }
    // Sum of `octaves` octaves, each with half the cell size and `gain` times the amplitude of
    // the previous one, normalised to about -1..1.
    float Fbm(float x, float y, float cell, int octaves, float gain = 0.5f) const;

  private:
    float AtOctave(float x, float y, float cell, int octave) const;

    std::uint32_t seed_;
    int periodX_;
    int periodY_;
};

}  // namespace art
