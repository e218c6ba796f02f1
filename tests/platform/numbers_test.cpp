// SPDX-License-Identifier: MIT
#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/RuntimeError.h"

namespace {

TEST(TextToNumber, AcceptsWholeDecimalTextWithSurroundingBlanks) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"1", 1},         {" 1", 1},  {"1 ", 1},   {"\t7\t", 7},     {"1.0", 1},
        {"-2.5", -2.5},   {"+3", 3},  {".5", 0.5}, {"5.", 5},        {"1e3", 1000},
        {"2.5E-1", 0.25}, {"007", 7}, {"-0", 0},   {"32768", 32768},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(TextToNumber, RejectsAnythingElse) {
    for (const char* text : {"", " ", "abc", "1x", "x1", "1 2", "1.2.3", "e5", "1e", "--1", "+",
                             ".", "0x10", "1,5", "4 7 1 1", "1e999"}) {
        EXPECT_THROW(TextToNumber(text), RuntimeError) << '"' << text << '"';
    }
}

TEST(TextToInteger, RoundsHalvesToEvenAndChecksTheRange) {
    const struct {
        const char* text;
        Integer value;
    } cases[] = {
        {"1.0", 1},       {" 1", 1},          {"2.5", 2},         {"3.5", 4},
        {"-2.5", -2},     {"0.5", 0},         {"1.5", 2},         {"2.4999", 2},
        {"32767", 32767}, {"-32768", -32768}, {"32767.4", 32767}, {"-32768.5", -32768},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextToInteger(c.text), c.value) << c.text;
    EXPECT_THROW(TextToInteger("32768"), OverflowError);
    EXPECT_THROW(TextToInteger("32767.5"), OverflowError);
    EXPECT_THROW(TextToInteger("-32769"), OverflowError);
    EXPECT_THROW(TextToInteger("lots"), ConversionError);
}

TEST(TextToLong, CoversThirtyTwoBits) {
    EXPECT_EQ(TextToLong("2147483647"), 2147483647);
    EXPECT_EQ(TextToLong("-2147483648"), -2147483647 - 1);
    EXPECT_THROW(TextToLong("2147483648"), OverflowError);
}

TEST(LeadingNumber, SkipsBlanksAnywhereAndStopsAtTheFirstForeignCharacter) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"4711", 4711},
        {"4 7 1 1", 4711},
        {" \t\n4711", 4711},
        {"4711 abc", 4711},
        {"4711x99", 4711},
        {"x", 0},
        {"", 0},
        {"-12", -12},
        {"+ 3", 3},
        {"1.5e2", 150},
        {"2e", 2},
        {"1e+", 1},
        {":4711", 0},
        {"12.5.6", 12.5},
        {"\n-\n7", -7},
        {"0x1F", 0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

// A carriage return is no blank: the number ends there.
TEST(LeadingNumber, ACarriageReturnEndsTheNumber) {
    EXPECT_EQ(LeadingNumber("47\r11"), 47);
    EXPECT_EQ(LeadingNumber(" 4 7\n\r11"), 47);
    EXPECT_EQ(LeadingNumber("\r4711"), 0);
}

TEST(LeadingNumber, SurvivesAbsurdInput) {
    EXPECT_EQ(LeadingNumber(std::string(100000, '9').insert(0, "1e")), 0.0);  // infinite: no number
    EXPECT_EQ(LeadingNumber(std::string(1 << 20, ' ')), 0.0);
}

TEST(ToInteger, RangeAndRounding) {
    EXPECT_EQ(ToInteger(-0.5), 0);
    EXPECT_EQ(ToInteger(32766.5), 32766);
    EXPECT_THROW(ToInteger(NAN), OverflowError);
    EXPECT_THROW(ToLong(1e10), OverflowError);
}

TEST(TwipsToPixels, RoundsTheTwipsHalvesToEvenThenTruncatesTheQuotient) {
    EXPECT_EQ(TwipsToPixels(15360, 15), 1024);
    EXPECT_EQ(TwipsToPixels(29, 15), 1) << "the quotient is truncated";
    EXPECT_EQ(TwipsToPixels(22.5, 1), 22) << "a half rounds to the even neighbour";
    EXPECT_EQ(TwipsToPixels(23.5, 1), 24);
    EXPECT_EQ(TwipsToPixels(32.5, 3), 10) << "32, not 33, before the division";
    EXPECT_EQ(TwipsToPixels(-0.5, 1), 0);
    EXPECT_EQ(TwipsToPixels(1000, 0), 0) << "no factor";
    EXPECT_THROW(TwipsToPixels(1e12, 15), OverflowError);
}

TEST(NumberToText, ShortestGeneralForm) {
    EXPECT_EQ(NumberToText(8), "8");
    EXPECT_EQ(NumberToText(-8), "-8");
    EXPECT_EQ(NumberToText(0), "0");
    EXPECT_EQ(NumberToText(3.5), "3.5");
    EXPECT_EQ(NumberToText(4.5), "4.5");
    EXPECT_EQ(NumberToText(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(NumberToText(1e20), "1E+20");
    EXPECT_EQ(NumberToText(2.5e-7), "2.5E-07");
}

}  // namespace
