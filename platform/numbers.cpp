// SPDX-License-Identifier: MIT
#include "platform/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/RuntimeError.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Scans a decimal number at the start of text: [sign] digits [. digits] [e|E [sign] digits],
// with at least one digit in the mantissa. Returns how many characters it covers (0: none).
size_t ScanNumber(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        size_t expDigits = 0;
        while (j < text.size() && IsDigit(text[j]))
            ++j, ++expDigits;
        if (expDigits > 0)
            i = j;
    }
    return i;
}

double ParseScanned(std::string_view number) {
    // strtod wants a terminated text; a leading '+' is fine for it.
    const std::string copy(number);
    return std::strtod(copy.c_str(), nullptr);
}

}  // namespace

double TextToNumber(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    const std::string_view body = text.substr(begin, end - begin);
    const size_t length = ScanNumber(body);
    if (length == 0 || length != body.size()) {
        throw ConversionError("Type mismatch: \"" + std::string(text.substr(0, 64)) + "\"");
    }
    const double value = ParseScanned(body);
    if (!std::isfinite(value))
        throw OverflowError("Overflow");
    return value;
}

Integer TextToInteger(std::string_view text) {
    return ToInteger(TextToNumber(text));
}

Long TextToLong(std::string_view text) {
    return ToLong(TextToNumber(text));
}

double LeadingNumber(std::string_view text) {
    // Blanks, tabs and line feeds do not count wherever they stand: drop them first, up to the
    // first character that can be no part of a number (the number, however long, ends there).
    // A carriage return is such a character: "47\r11" reads as 47.
    std::string compact;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n')
            continue;
        if (!IsDigit(c) && c != '+' && c != '-' && c != '.' && c != 'e' && c != 'E')
            break;
        compact.push_back(c);
    }
    const size_t length = ScanNumber(compact);
    if (length == 0)
        return 0.0;
    const double value = ParseScanned(std::string_view(compact).substr(0, length));
    return std::isfinite(value) ? value : 0.0;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

Integer ToInteger(double value) {
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw OverflowError("Overflow");
    return static_cast<Integer>(rounded);
}

Long TwipsToPixels(double twips, Long twipsPerPixel) {
    const std::int64_t rounded = ToLong(twips);
    return twipsPerPixel != 0 ? static_cast<Long>(rounded / twipsPerPixel) : 0;
}

Long ToLong(double value) {
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        throw OverflowError("Overflow");
    return static_cast<Long>(rounded);
}

std::string NumberToText(double value) {
    if (value == 0)
        return "0";
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        return std::to_string(static_cast<long long>(value));
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    // The exponent form reads "1E+20", "2.5E-07".
    const size_t e = text.find('e');
    if (e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        std::string exponent = text.substr(e + 1);
        char sign = '+';
        if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) {
            sign = exponent[0];
            exponent.erase(0, 1);
        }
        if (exponent.size() < 2)
            exponent.insert(0, 2 - exponent.size(), '0');
        text = mantissa + "E" + sign + exponent;
    }
    return text;
}
