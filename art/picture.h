// SPDX-License-Identifier: MIT
#pragma once
// A finished picture: 8-bit RGB pixels (0x00RRGGBB, rows from the top). Sprite sheets mark
// transparent pixels with pure green, the colour key; no other pixel may be pure green.

#include <cstdint>
#include <string>
#include <vector>

#include "art/canvas.h"

namespace art {

constexpr std::uint32_t kColorKey = 0x00FF00;

class Picture {
  public:
    Picture() = default;
    Picture(int width, int height, std::uint32_t fill = kColorKey);

    // Every pixel of the canvas composited over a backdrop colour: an opaque picture.
    static Picture Opaque(const Canvas& canvas, const Color& backdrop);
    // Pixels at least `threshold` opaque are composited over `edgeBackdrop` (so that partly
    // covered edge pixels are anti-aliased against a colour like the one they will stand on);
    // the others become the colour key.
    static Picture Keyed(const Canvas& canvas, float threshold, const Color& edgeBackdrop);

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t At(int x, int y) const { return pixels_[y * width_ + x]; }
    void Set(int x, int y, std::uint32_t rgb) { pixels_[y * width_ + x] = rgb; }
    bool IsKey(int x, int y) const { return At(x, y) == kColorKey; }
    const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

    // Copies another picture in with its top-left corner at (x, y); key pixels of the source
    // are skipped when `keyed`.
    void Paste(const Picture& source, int x, int y, bool keyed);
    // A cell of a sheet whose cells lie side by side.
    Picture Cell(int index, int cellWidth) const;
    // How many pixels are close to the key without being it: they would show as a harsh
    // opaque green. The writer refuses such pictures.
    int CountNearKey() const;
    // A rectangle of the picture.
    Picture Crop(int x, int y, int width, int height) const;
    // Scaled to another size by averaging the area each new pixel covers (for shrinking).
    Picture Resized(int width, int height) const;
    // Whole-number enlargement, for looking at small pictures.
    Picture Enlarged(int factor) const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// True for colours within a few steps of pure green other than the key itself.
bool IsNearKey(std::uint32_t rgb);
// An opaque colour moved out of the key's neighbourhood (unchanged for almost every colour).
std::uint32_t AwayFromKey(std::uint32_t rgb);

// Builds a sheet from cells of equal size laid side by side.
Picture JoinCells(const std::vector<Picture>& cells);

}  // namespace art
