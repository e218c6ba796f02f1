// SPDX-License-Identifier: MIT
#pragma once
// Text to number and back, one implementation for the whole program.
//
// Whole-text conversion (settings values, counters): the whole text, surrounding blanks
// allowed, must be a decimal number (optional sign, digits with an optional fraction, optional
// exponent); otherwise a ConversionError is raised. Conversion to a whole number rounds to the
// nearest, halves to even; an Integer target raises OverflowError outside -32768 to 32767.
//
// Leading-number rule (window handles on the command line, the password flag): spaces, tabs and
// line feeds are skipped wherever they stand; a decimal number (optional sign, fraction,
// exponent) is read up to the first character that cannot continue it; no number gives 0.

#include <string>
#include <string_view>

#include "platform/types.h"

// The whole text as a number; ConversionError when it is not one.
double TextToNumber(std::string_view text);
// The whole text as a whole number (nearest, halves to even); ConversionError or OverflowError.
Integer TextToInteger(std::string_view text);
Long TextToLong(std::string_view text);

// The leading number of a text; 0 when there is none.
double LeadingNumber(std::string_view text);

// Rounding to the nearest whole number, halves to even.
double RoundHalfEven(double value);
// A number rounded (halves to even) into a 16-bit or 32-bit target; OverflowError outside.
Integer ToInteger(double value);
Long ToLong(double value);
// A length in twips as pixels: the twips rounded (halves to even), then divided by the factor as
// whole numbers, the quotient truncated; 0 for a zero factor. OverflowError outside a Long.
Long TwipsToPixels(double twips, Long twipsPerPixel);

// A number as decimal text in its shortest general form: 8 gives "8", 3.5 gives "3.5",
// -0.25 gives "-0.25", 1e20 gives "1E+20".
std::string NumberToText(double value);
