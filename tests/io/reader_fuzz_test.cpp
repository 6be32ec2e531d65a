// Random, mutated and truncated files must never crash a reader, write
// outside a table or spoil the curve already loaded.

#include <gtest/gtest.h>

#include <random>

#include "SoundingFiles.h"
#include "core/BranchShift.h"
#include "io/Cp1250Text.h"
#include "io/GefReader.h"
#include "io/RstReader.h"

namespace orma {
namespace {

std::string validGef() {
    std::vector<test::GefReading> readings;
    for (int i = 0; i < 12; ++i) readings.push_back({50.0 + 10 * i, std::pow(1.3, i), i < 6 ? 0.5 : 2.0, i < 6 ? 1 : 2, 1});
    return test::gefText("01.01.2020 12:00", readings);
}

std::string validRst() {
    return "n op\r\nb 1\r\np 1\r\nl loc\r\nd date\r\n"
           "r 100.000000 s1 a1.000000 m0.500000\r\nr 110.000000 s1 a1.300000 m0.500000\r\n"
           "r 120.000000 s1 a1.300000 m2.000000\r\nr 130.000000 s1 a1.680000 m2.000000\r\n"
           "n op2\r\nb 2\r\np 1\r\nl loc\r\nd date\r\nr 140.000000 s1 a10.300000 m20.000000";
}

/// One of: random bytes, a truncated valid file, a valid file with bytes
/// replaced by characters that matter to the parsers.
std::string mutate(const std::string& valid, std::mt19937& random) {
    const std::string alphabet = "0123456789.-+eE \r\n\t nrsabmdlp\x81\xF8\xFFinfa";
    std::uniform_int_distribution<int> kind(0, 2);
    std::string out = valid;
    switch (kind(random)) {
        case 0: {
            out.assign(std::uniform_int_distribution<std::size_t>(0, 400)(random), '\0');
            for (char& c : out) c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
            break;
        }
        case 1:
            out.resize(std::uniform_int_distribution<std::size_t>(0, valid.size())(random));
            break;
        default: {
            const int changes = std::uniform_int_distribution<int>(1, 8)(random);
            for (int i = 0; i < changes; ++i) {
                const std::size_t at = std::uniform_int_distribution<std::size_t>(0, out.size() - 1)(random);
                out[at] = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
            }
        }
    }
    return out;
}

void expectSane(const Sounding& s) {
    ASSERT_GE(s.points.pointCount, 0);
    ASSERT_LE(s.points.pointCount, kMaxPoints);
    ASSERT_GE(s.minGridIndex, 0);
    ASSERT_LE(s.maxGridIndex, kGridPoints - 1);
    for (int i = 0; i < s.points.pointCount; ++i) {
        ASSERT_GE(s.points.gridIndex[i], 0);
        ASSERT_LT(s.points.gridIndex[i], kGridPoints);
        ASSERT_GE(s.points.branch[i], 0);
        ASSERT_LE(s.points.branch[i], kMaxBranches);
    }
    ASSERT_LE(s.date.size(), 4 * kMaxDateLength);
}

/// A sounding holding a good curve, as before every damaged read.
Sounding loadedSounding(const std::string& gef) {
    Sounding s;
    std::vector<std::string> messages;
    EXPECT_EQ(readGefText(s, gef, messages), CurveFileEnd::Done);
    shiftBranches(s, 2);
    return s;
}

TEST(ReaderFuzz, DamagedTextsGiveResultCodesAndKeepThePreviousCurve) {
    std::mt19937 random(20240611);
    const std::string gef = validGef();
    const std::string rst = validRst();
    const Sounding loaded = loadedSounding(gef);

    for (int round = 0; round < 2500; ++round) {
        for (const bool isGef : {true, false}) {
            Sounding s = loaded;
            std::vector<std::string> messages;
            const std::string text = cp1250ToUtf8(mutate(isGef ? gef : rst, random));
            const CurveFileOutcome result =
                isGef
                    ? readGefText(s, text, messages)
                    : readRstRecordText(s, text, std::uniform_int_distribution<int>(0, 2)(random), messages);
            ASSERT_TRUE(result == CurveFileEnd::Done || result == CurveFileEnd::Failed ||
                        result == CurveFileEnd::EndOfFile)
                << "round " << round;
            expectSane(s);
            if (result != CurveFileEnd::Done) {
                ASSERT_EQ(s.points.pointCount, loaded.points.pointCount) << "round " << round;
                ASSERT_EQ(s.date, loaded.date);
                ASSERT_EQ(s.grid.value, loaded.grid.value);
            }
            shiftBranches(s, 1 + round % 4);
        }
    }
}

TEST(ReaderFuzz, DamagedFilesThroughTheOpenCommands) {
    test::ScratchDir dir("fuzz");
    std::mt19937 random(77);
    const std::string gefPath = dir.file("f.GEF");
    const std::string rstPath = dir.file("f.RST");
    for (int round = 0; round < 60; ++round) {
        Sounding s = loadedSounding(validGef());
        std::vector<std::string> messages;
        test::writeBytes(gefPath, mutate(validGef(), random));
        const CurveFileOutcome gefResult = openGefCurve(s, gefPath, messages);
        EXPECT_TRUE(gefResult == CurveFileEnd::Done || gefResult == CurveFileEnd::Failed);
        expectSane(s);
        test::writeBytes(rstPath, mutate(validRst(), random));
        s.rstPath = rstPath;
        static_cast<void>(
            openRstCurve(s, round % 3, messages));  // any end will do; the record must stay sane
        expectSane(s);
        EXPECT_TRUE(s.compositeBuilt);
    }
}

}  // namespace
}  // namespace orma
