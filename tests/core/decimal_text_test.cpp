// Numbers typed and shown with the desktop's decimal separator.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "core/DecimalText.h"

namespace orma {
namespace {

TEST(DecimalText, TypedNumbersTakeTheSeparatorOrThePointAndNothingElse) {
    const struct {
        const char* text;
        double value;
    } good[] = {{"2,5", 2.5}, {"2.5", 2.5}, {" -0,25 ", -0.25}, {"+7", 7.0}, {"1,5e3", 1500.0},
                {",5", 0.5},  {"5,", 5.0},  {"\t12\t", 12.0},   {"-1E-2", -0.01}};
    for (const auto& g : good) {
        const std::optional<double> value = parseTypedDecimal(g.text, ",");
        ASSERT_TRUE(value) << g.text;
        EXPECT_DOUBLE_EQ(*value, g.value) << g.text;
    }
    // Grouping signs, a second decimal sign, words, inf, nan and values
    // beyond a double are refused, not read in part.
    for (const char* bad : {"", " ", "1,2,3", "1.2,3", "1 000", "1\u00A0000", "abc", "12 m", "nan", "inf", "1e400",
                            "--1", "+-1", "++1", ",", "e5", "0x10", "1e"})
        EXPECT_FALSE(parseTypedDecimal(bad, ",")) << bad;
    // Where the point is the separator a comma is no decimal sign (in English
    // 1,000 is a thousand: reading it as 1 would be wrong).
    EXPECT_FALSE(parseTypedDecimal("2,5", "."));
    EXPECT_DOUBLE_EQ(parseTypedDecimal("2.5", ".").value_or(0.0), 2.5);
    // A separator of more than one byte (U+066B, the Arabic decimal sign).
    EXPECT_DOUBLE_EQ(parseTypedDecimal("2\u066B5", "\u066B").value_or(0.0), 2.5);
}

TEST(DecimalText, BoxTextsAreShortAndGiveTheSameValueBack) {
    EXPECT_EQ(shortestDecimalText(0.001f, ","), "0,001");
    EXPECT_EQ(shortestDecimalText(2.5f, ","), "2,5");
    EXPECT_EQ(shortestDecimalText(1200.0f, ","), "1200");
    EXPECT_EQ(shortestDecimalText(1e6f, "."), "1000000");
    EXPECT_EQ(shortestDecimalText(-3.25, ","), "-3,25");
    EXPECT_EQ(shortestDecimalText(0.1, ","), "0,1");
    EXPECT_EQ(shortestDecimalText(1e20f, ","), "1e+20");
    EXPECT_EQ(shortestDecimalText(2.5e-7f, ","), "2,5e-07");
    EXPECT_EQ(withDecimalSeparator("0.008856", ","), "0,008856");
    EXPECT_EQ(withDecimalSeparator("100", ","), "100");

    // Any finite float, shown and typed back unchanged, is the same float.
    std::mt19937 random(18);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t pattern = bits(random);
        float value = 0.0f;
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value)) continue;
        for (const char* separator : {",", "."}) {
            const std::string text = shortestDecimalText(value, separator);
            const std::optional<double> back = parseTypedDecimal(text, separator);
            ASSERT_TRUE(back) << text;
            ASSERT_EQ(static_cast<float>(*back), value) << text;
        }
    }
}

}  // namespace
}  // namespace orma
