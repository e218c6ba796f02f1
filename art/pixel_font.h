// SPDX-License-Identifier: MIT
#pragma once
// A small proportional pixel font for text that must stay crisp at tiny sizes (buttons, the web
// address): capitals 7 pixels tall, lower case 5, descenders 2 below the baseline.

#include <string>

#include "art/canvas.h"

namespace art {

class PixelFont {
  public:
    static constexpr int kAscent = 7;   // rows from the top of a capital to the baseline
    static constexpr int kDescent = 2;  // rows below the baseline
    static constexpr int kHeight = kAscent + kDescent;

    // Width of the text in pixels at the given scale (letters are one pixel apart).
    static int Measure(const std::string& text, int scale = 1);
    // Draws the text with the top of its capitals at (x, top); returns the width drawn.
    static int Draw(Canvas& canvas, int x, int top, const std::string& text, const Color& color,
                    int scale = 1, float opacity = 1.0f);
};

}  // namespace art
