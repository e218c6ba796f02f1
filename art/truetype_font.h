// SPDX-License-Identifier: MIT
#pragma once
// Text set in a TrueType font read at build time, for the banner's title.

#include <string>
#include <vector>

#include "art/mask.h"

namespace art {

class TrueTypeFont {
  public:
    // Reads the font file; Loaded() tells whether that worked.
    explicit TrueTypeFont(const std::string& path);
    ~TrueTypeFont();
    TrueTypeFont(const TrueTypeFont&) = delete;
    TrueTypeFont& operator=(const TrueTypeFont&) = delete;

    bool Loaded() const { return info_ != nullptr; }
    // Advance width of the text at a pixel height (ascent to descent).
    float Width(const std::string& text, float pixelHeight) const;
    // Coverage of the text with its baseline starting at (x, baseline).
    Mask Text(const std::string& text, float pixelHeight, float x, float baseline) const;

  private:
    std::vector<unsigned char> data_;
    void* info_ = nullptr;  // stbtt_fontinfo, kept out of this header
};

}  // namespace art
