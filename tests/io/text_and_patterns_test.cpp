#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SoundingFiles.h"
#include "io/Cp1250Text.h"
#include "io/FormatPatterns.h"

namespace orma {
namespace {

TEST(Cp1250Text, CzechLettersRoundTripAndUnmappableOnesBecomeQuestionMarks) {
    const std::string czech = "Příliš žluťoučký kůň úpěl ďábelské ódy";
    const std::string bytes = utf8ToCp1250(czech);
    EXPECT_EQ(bytes.size(), 38u) << "one byte per character";
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xF8u);  // ř
    EXPECT_EQ(cp1250ToUtf8(bytes), czech);
    EXPECT_EQ(utf8ToCp1250("a\xE2\x82\xAC" "b"), "a\x80" "b") << "the euro sign is in the code page";
    EXPECT_EQ(utf8ToCp1250("x\xE4\xB8\xADy"), "x?y");
    EXPECT_EQ(utf8ToCp1250("bad\xC3"), "bad?") << "a cut UTF-8 sequence";
    EXPECT_EQ(cp1250ToUtf8("A\x81" "B"), "A?B") << "an undefined byte of the code page";
    EXPECT_EQ(cutToCharacters("žžžž", 2), "žž");
}

TEST(Cp1250Text, LinesSplitOnCrLfAndLf) {
    EXPECT_EQ(splitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(splitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(splitLines("x\r\r\n"), (std::vector<std::string>{"x\r"}));
    EXPECT_TRUE(splitLines("").empty());
}

TEST(Cp1250Text, WriterPutsCrLfBeforeEveryLineButTheFirstOfTheFile) {
    test::ScratchDir dir("writer");
    const std::string path = dir.file("t.txt");
    {
        Cp1250LineWriter writer;
        ASSERT_TRUE(writer.createNew(path));
        writer.writeLine("první");
        writer.writeLine("second");
        EXPECT_TRUE(writer.close());
    }
    Cp1250LineWriter again;
    EXPECT_FALSE(again.createNew(path)) << "an existing file is never replaced";
    ASSERT_TRUE(again.openForAppend(path));
    again.writeLine("third");
    EXPECT_TRUE(again.close());
    EXPECT_EQ(test::readBytes(path), "prvn\xED\r\nsecond\r\nthird");

    const std::string fresh = dir.file("fresh.txt");
    ASSERT_TRUE(again.openForAppend(fresh));
    again.writeLine("only");
    again.close();
    EXPECT_EQ(test::readBytes(fresh), "only");
}

TEST(FormatPatterns, PrintsLikePrintfInTheCLocale) {
    EXPECT_EQ(formatPattern("r %f s%i a%f m%f", {123.4567891, 7, 1.3f, 0.5}),
              "r 123.456789 s7 a1.300000 m0.500000");
    EXPECT_EQ(formatFixed(-0.0000004), "-0.000000");
    EXPECT_EQ(formatFixed(1e20), "100000000000000000000.000000");
    EXPECT_EQ(formatPattern("n %s|%%", {"Jan Novák"}), "n Jan Novák|%");
}

TEST(FormatPatterns, ScansLikeScanfWithDecimalIntegers) {
    float r = -1, a = -1, m = -1;
    int s = -1;
    EXPECT_EQ(scanPattern("r 12.5 s3 a1.0 m0.5", "r%f s%i a%f m%f", {&r, &s, &a, &m}).conversions, 4);
    EXPECT_FLOAT_EQ(r, 12.5f);
    EXPECT_EQ(s, 3);
    EXPECT_EQ(scanPattern("r1e2s 010a+2.5 m  .5", "r%f s%i a%f m%f", {&r, &s, &a, &m}).conversions, 4);
    EXPECT_FLOAT_EQ(r, 100.0f);
    EXPECT_EQ(s, 10) << "a leading zero does not mean octal";
    EXPECT_FLOAT_EQ(a, 2.5f);
    EXPECT_FLOAT_EQ(m, 0.5f);

    s = 77;
    const ScanResult partial = scanPattern("r5 s2.5 a1", "r%f s%i a%f m%f", {&r, &s, &a, &m});
    EXPECT_EQ(partial.conversions, 2) << "'.5' does not match ' a'";
    EXPECT_EQ(s, 2);
    EXPECT_EQ(scanPattern("x5", "r%f", {&r}).conversions, 0);
    EXPECT_EQ(scanPattern("s99999999999", "s%i", {&s}).conversions, 0) << "beyond 32 bits";
    EXPECT_EQ(scanPattern("r 1e60", "r%f", {&r}).conversions, 1);
    EXPECT_TRUE(std::isinf(r));

    std::string first, second = "unchanged";
    EXPECT_EQ(scanPattern("  12.3.2021\t", "%s %s", {&first, &second}).conversions, 1);
    EXPECT_EQ(first, "12.3.2021");
    EXPECT_EQ(second, "unchanged");

    const ScanResult consumed = scanPattern(" 1 2\n3 rest", "%f %f %f", {&r, &a, &m});
    EXPECT_EQ(consumed.consumed, 6u);
}

TEST(FormatPatterns, TypedIntegersAreDecimalAndWhole) {
    EXPECT_EQ(parseInteger(" -125 "), -125);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_EQ(parseInteger("08"), 8);
    EXPECT_FALSE(parseInteger("12a"));
    EXPECT_FALSE(parseInteger("1.5"));
    EXPECT_FALSE(parseInteger(""));
    EXPECT_FALSE(parseInteger("- 3"));
    EXPECT_FALSE(parseInteger("3000000000"));
}

}  // namespace
}  // namespace orma
