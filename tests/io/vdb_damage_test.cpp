// Damaged, hostile and foreign .vdb files: a cut file, values that are no
// numbers or beyond what a model holds, UTF-8 text, overlong lines; and saves
// that keep every number and every letter or say why they cannot.

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <random>

#include "SoundingFiles.h"
#include "core/SectionFrame.h"
#include "io/Cp1250Text.h"
#include "io/RoundTripFixedText.h"
#include "io/UcmWriter.h"
#include "io/VdbFile.h"
#include "support/OutcomeAssertions.h"
#include "support/VdbTextLines.h"
#include "support/VesDatabaseBuilders.h"

namespace orma {
namespace {

using test::joinLines;
using test::linesOf;

std::string sampleBytes() {
    return test::readBytes(std::string(ORMA_SOURCE_DIR) + "/samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb");
}

/// Parses `lines` into a database that must stay as it was; returns the refusal.
VdbReadResult refusal(const std::vector<std::string>& lines) {
    VesDatabase db = test::makeDatabase(1, 1, 3);
    const std::string before = formatVdb(db, "same");
    const VdbReadResult result = parseVdb(joinLines(lines), db);
    EXPECT_EQ(formatVdb(db, "same"), before) << "a refused file changed the database";
    return result;
}

void expectRefusedAt(const std::vector<std::string>& lines, int line, const std::string& reason, const char* what) {
    const VdbReadResult result = refusal(lines);
    EXPECT_FALSE(result.ok) << what;
    EXPECT_EQ(result.line, line) << what << ": " << result.message;
    EXPECT_NE(result.message.find(reason), std::string::npos) << what << ": " << result.message;
}

TEST(VdbDamage, AFileCutOrLengthenedAfterItsRecordsIsRefusedAtTheLine) {
    // The sample has 1217 lines, the last two its last profile's scales.
    const std::string bytes = sampleBytes();
    const std::vector<std::string> sample = linesOf(bytes);
    ASSERT_EQ(sample.size(), 1217u);
    ASSERT_EQ(sample.back().rfind("__měřítko_Y_pro_pf: ", 0), 0u);
    // "head -n N": the first N lines with their line ends.
    const auto head = [&bytes](int n) {
        std::size_t end = 0;
        for (int i = 0; i < n; ++i) end = bytes.find('\n', end) + 1;
        return bytes.substr(0, end);
    };
    for (const auto& [keep, key] : {std::pair{1215, "__měřítko_X_pro_pf"}, std::pair{1216, "__měřítko_Y_pro_pf"}}) {
        VesDatabase db = test::makeDatabase(1, 1, 3);
        const VdbReadResult result = parseVdb(head(keep), db);
        EXPECT_FALSE(result.ok) << "head -n " << keep;
        EXPECT_EQ(result.line, keep + 1);
        EXPECT_EQ(result.message, std::string("the file ends where ") + key + " should follow");
        EXPECT_EQ(db.localities.size(), 1u);
    }
    // Cut inside the last line, where the scale would become 0 or nothing.
    for (const char* end : {"", "0", "0.", "0.00"}) {
        std::vector<std::string> lines = sample;
        lines.back() = "__měřítko_Y_pro_pf: " + std::string(end);
        expectRefusedAt(lines, 1217, "__měřítko_Y_pro_pf is ", end);
    }

    // The first profile tells the layout: scale lines missing after a later
    // profile, or present after a later one only, are damage.
    const std::vector<std::string> good = linesOf(formatVdb(test::makeDatabase(1, 2, 1), "m.vdb"));
    const auto firstScale = [](std::vector<std::string>& lines) {
        return std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("__měřítko_X", 0) == 0; });
    };
    std::vector<std::string> lines = good;
    lines.erase(firstScale(lines), firstScale(lines) + 2);
    const int secondScale = static_cast<int>(firstScale(lines) - lines.begin()) + 1;
    expectRefusedAt(lines, secondScale, "the first profile of the file has none", "scales after the second profile only");

    // Records the counts do not promise are refused too; blank lines are not records.
    lines = good;
    lines.push_back("");
    VesDatabase blankAtTheEnd;
    EXPECT_TRUE(parseVdb(joinLines(lines), blankAtTheEnd).ok);
    lines.push_back("název_lokality: navíc");
    expectRefusedAt(lines, static_cast<int>(lines.size()), "the database ends before this line", "an extra record");

    // A file without any scale lines is an older file and still opens.
    lines = good;
    std::erase_if(lines, [](const std::string& l) { return l.rfind("__měřítko_", 0) == 0; });
    VesDatabase old;
    ASSERT_TRUE(parseVdb(joinLines(lines), old).ok);
    EXPECT_EQ(old.localities[0].profiles[1].xScale, kOldFileXScale);
}

TEST(VdbDamage, ValuesThatAreNoNumbersOrBeyondAModelAreRefusedNamingTheLine) {
    // Two points of 3 samples and 2 layers: 14 SSQ, 17..19 samples ("AO MO
    // Rmer iMN Rsnesená"), 21..22 model lines, 37 and 38 the scales.
    const std::vector<std::string> good = linesOf(formatVdb(test::makeDatabase(1, 1, 2, 3, 2), "v.vdb"));
    ASSERT_EQ(good.size(), 38u);
    struct Damage {
        int line;
        const char* text;
        const char* reason;
    };
    const Damage damages[] = {
        {14, "chyba_SSQ_bodu_VES: nan", "chyba_SSQ_bodu_VES is nan, not a finite number"},
        {14, "chyba_SSQ_bodu_VES: -inf", "chyba_SSQ_bodu_VES is -inf"},
        {17, "  inf 0.5 50 1 41", "AO is inf"},
        {17, "  1.68 nan 50 1 41", "MO is nan"},
        {17, "  1.68 0.5 -nan 1 41", "Rmer is -nan"},
        {18, "  2.18 0.5 50 1 infinity", "Rsnesená is inf"},
        {19, "  2.82 2 50 6 42", "iMN is 6"},
        {19, "  2.82 2 50 -1 42", "iMN is -1"},
        {21, "  0.000000 1.500000", "Rmodelu of layer 1 is 0; a resistivity of a model lies between 1e-06 and 1e+12"},
        {21, "  -2e12 1.5", "Rmodelu of layer 1 is -2e+12"},
        {22, "  1e-7 999999995904", "Rmodelu of layer 2 is 1e-07"},
        {21, "  11 0", "Dmodeluminusjefix of layer 1 is 0; the bottom of a layer lies deeper than 0"},
        {21, "  11 -2e9", "Dmodeluminusjefix of layer 1 is -2e+09"},
        {22, "  21 nan", "Dmodeluminusjefix of layer 2 is nan, not a finite number"},
        {37, "__měřítko_X_pro_pf: 0.000000", "__měřítko_X_pro_pf is 0; a scale is a number above 0"},
        {38, "__měřítko_Y_pro_pf: -0.002", "__měřítko_Y_pro_pf is -0.002"},
    };
    for (const Damage& damage : damages) {
        std::vector<std::string> lines = good;
        lines[damage.line - 1] = damage.text;
        expectRefusedAt(lines, damage.line, damage.reason, damage.text);
    }

    // What stays valid: a composite value of 0 (a missing row), a reading in
    // no branch, held values within the limits, and a point without a model
    // whose one layer line holds zeros (as an imported sounding is saved).
    std::vector<std::string> lines = good;
    lines[17] = "  2.18 0.5 50 0 0";
    lines[20] = "  -1e-6 -1e9";
    lines[28] = "ABmx: 4 MNmx: 3 MDLmx: 0 Mermx: 3 nABmn: 2";
    lines[34] = "  0.000000 0.000000";
    lines.erase(lines.begin() + 35);
    VesDatabase db;
    const VdbReadResult result = parseVdb(joinLines(lines), db);
    ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
    const VesPoint& p = db.localities[0].profiles[0].points[0];
    EXPECT_EQ(p.composite[3], 0.0f);
    EXPECT_EQ(p.branch[1], 0);
    EXPECT_EQ(p.resistivity[0], -1e-6f);
    EXPECT_EQ(db.localities[0].profiles[0].points[1].MDLmx, 0);
}

TEST(VdbDamage, ASaveRefusesWhatWouldNotOpenAgainNamingThePointAndWritesNothing) {
    test::ScratchDir dir("vdbunwritable");
    const std::string path = dir.file("u.vdb");
    VesDatabase db = test::makeDatabase(1, 2, 3);
    db.localities[0].profiles[1].points[2].resistivity[1] = 0.0f;
    Outcome saved = writeVdbFile(db, path);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.message, "Unpossible to create this file RST !");
    EXPECT_EQ(saved.cause,
              "In VES point 3 of profile P0.1 in locality L0 (VES 105) Rmodelu of layer 2 is 0; a resistivity of a "
              "model lies between 1e-06 and 1e+12 ohm-m (a held one is written negative): a file holding it would "
              "not open again.");
    EXPECT_FALSE(std::filesystem::exists(path));

    db = test::makeDatabase(1, 1, 1);
    db.localities[0].profiles[0].zScale = 0.0f;
    saved = writeVdbFile(db, path);
    EXPECT_NE(saved.cause.find("In profile P0.0 of locality L0 __měřítko_Y_pro_pf is 0"), std::string::npos)
        << saved.cause;
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("")));
}

TEST(VdbDamage, AUtf8FileReadsAsUtf8AndASaveNamesALetterTheFileCannotHold) {
    VesDatabase db = test::makeDatabase(1, 1, 2);
    db.localities[0].name = "Údolí u Hrádku";
    db.localities[0].profiles[0].points[1].comment = "Žluťoučký kůň, 5 °C";
    const std::string cp1250 = formatVdb(db, "u.vdb");
    // The same file as a text editor saves it: UTF-8, with or without the mark.
    const std::string utf8 = cp1250ToUtf8(cp1250);
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8}) {
        VesDatabase back;
        const VdbReadResult result = parseVdb(bytes, back);
        ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
        EXPECT_EQ(back.localities[0].name, "Údolí u Hrádku");
        EXPECT_EQ(back.localities[0].profiles[0].points[1].comment, "Žluťoučký kůň, 5 °C");
        EXPECT_EQ(formatVdb(back, "u.vdb"), cp1250) << "saved as Windows-1250 again";
    }
    // A text longer than its field is cut by letters, not bytes.
    const auto repeated = [](const std::string& letter, int times) {
        std::string text;
        for (int i = 0; i < times; ++i) text += letter;
        return text;
    };
    std::vector<std::string> lines = linesOf(cp1250);
    lines[9] = "datum_měření_bodu: " + repeated("č", 120);
    std::string longDate;
    for (const std::string& line : lines) longDate += (longDate.empty() ? "" : "\r\n") + line;
    VesDatabase cutBack;
    ASSERT_TRUE(parseVdb(longDate, cutBack).ok);
    EXPECT_EQ(cutBack.localities[0].profiles[0].points[0].date, repeated("č", 99));

    // A mark of UTF-8 on a file that is not UTF-8 is damage.
    const VdbReadResult marked = parseVdb("\xEF\xBB\xBF" + cp1250, cutBack);
    EXPECT_FALSE(marked.ok);
    EXPECT_EQ(marked.line, 1);

    // A letter beyond Windows-1250 is named instead of being saved as "?".
    test::ScratchDir dir("vdbletters");
    db.localities[0].profiles[0].points[1].operatorName = "Иван Петров";
    const Outcome saved = writeVdbFile(db, dir.file("u.vdb"));
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.cause,
              "The operator of VES point 2 of profile P0.0 in locality Údolí u Hrádku \"Иван Петров\" holds the letter "
              "\"И\", which a database file (Windows-1250 text) cannot hold. Change it and save again.");
    EXPECT_FALSE(std::filesystem::exists(dir.file("u.vdb")));
}

TEST(VdbDamage, AnOverlongLineIsRefusedNamingItInTextAndFileAlike) {
    test::ScratchDir dir("vdblong");
    std::vector<std::string> lines = linesOf(formatVdb(test::makeDatabase(1, 1, 2), "l.vdb"));
    const std::string key = "poznámka_k_bodu: ";
    lines[11] = key + std::string(65536 - utf8ToCp1250(key).size(), 'c');  // as long as a line may be
    VesDatabase db;
    ASSERT_TRUE(parseVdb(joinLines(lines), db).ok);
    EXPECT_EQ(db.localities[0].profiles[0].points[0].comment, std::string(kCommentFieldLength, 'c'));

    lines[11] += "c";
    const std::string bytes = joinLines(lines);
    expectRefusedAt(lines, 12, "the line is longer than 65536 bytes", "a line one byte too long");
    const std::string path = dir.file("l.vdb");
    test::writeBytes(path, bytes);
    std::string message;
    message = test::failureText(readVdbFile(path, db));
    EXPECT_EQ(message.rfind("Line 12 of " + path + ": the line is longer than 65536 bytes", 0), 0u) << message;

    // One line of 5 MB, in the file's first line and after the end alike.
    test::writeBytes(path, std::string(5u << 20, 'a'));
    message = test::failureText(readVdbFile(path, db));
    EXPECT_EQ(message.rfind("Line 1 of " + path + ": the line is longer than", 0), 0u) << message;
    test::writeBytes(path, formatVdb(test::makeDatabase(1, 1, 1), "l.vdb") + "\r\n" + std::string(5u << 20, ' '));
    message = test::failureText(readVdbFile(path, db));
    EXPECT_NE(message.find("the line is longer than"), std::string::npos) << message;
}

TEST(VdbNumbers, TextsReadBackAsTheSameFloatAndKeepSixDecimalsWhereTheseSuffice) {
    std::mt19937 random(1250);
    for (int i = 0; i < 50000; ++i) {
        std::uint32_t bits = static_cast<std::uint32_t>(random());
        if (i % 3 == 0) bits = (bits & 0x807FFFFFu) | ((100u + bits % 40u) << 23);  // around 1e-6 .. 1e5
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        char text[kMaxRoundTripFixedLength];
        const char* end = writeRoundTripFixed(text, value);
        const std::string written(text, static_cast<std::size_t>(end - text));
        float back = 0.0f;
        ASSERT_EQ(std::from_chars(text, end, back).ptr, end);
        ASSERT_EQ(std::memcmp(&back, &value, sizeof value), 0) << written;
        char printf6[400];
        std::snprintf(printf6, sizeof printf6, "%f", static_cast<double>(value));
        float sixBack = std::strtof(printf6, nullptr);
        if (std::memcmp(&sixBack, &value, sizeof value) == 0) {
            ASSERT_EQ(written, printf6);
        } else {
            ASSERT_GT(written.size() - written.find('.'), 7u) << written << " has six decimals or fewer";
        }
    }
}

TEST(VdbNumbers, ASavedAndReopenedDatabaseDrawsAndExportsTheSameSection) {
    VesDatabase db = test::makeDatabase(1, 1, 5, 12, 4);
    Profile& profile = db.localities[0].profiles[0];
    // Scales as Ctrl+F fits them, values as a fit leaves them.
    profile.xScale = 1.0f / 17204.0f;
    profile.zScale = 1.0f / 1377.3f;
    for (VesPoint& point : profile.points) {
        point.ssq = 0.00360712345f;
        point.depth[0] = 0.0123456789f;
        point.z = 317.29000854f;
        point.composite[3] = 1.23456789f;
    }
    const std::string first = formatVdb(db, "s.vdb");
    VesDatabase back;
    ASSERT_TRUE(parseVdb(first, back).ok);
    const Profile& reopened = back.localities[0].profiles[0];
    EXPECT_EQ(reopened.xScale, profile.xScale);
    EXPECT_EQ(reopened.zScale, profile.zScale);
    EXPECT_EQ(reopened.points[2].ssq, profile.points[2].ssq);
    EXPECT_EQ(reopened.points[2].depth, profile.points[2].depth);
    EXPECT_EQ(reopened.points[2].composite, profile.points[2].composite);
    EXPECT_EQ(formatVdb(back, "s.vdb"), first) << "save, open, save: the same bytes";

    UcmParameters parameters;
    UcmParameters sameParameters;
    const UcmScripts before = formatUcmScripts("L0", profile, exportFrame(profile, SectionLimits{}), parameters, {});
    const UcmScripts after =
        formatUcmScripts("L0", reopened, exportFrame(reopened, SectionLimits{}), sameParameters, {});
    EXPECT_EQ(after.main, before.main);
    EXPECT_EQ(after.second, before.second);

    // Files of six decimals read as they always did, and write back the same.
    std::vector<std::string> lines = linesOf(first);
    lines[lines.size() - 2] = "__měřítko_X_pro_pf: 0.000058";
    VesDatabase old;
    ASSERT_TRUE(parseVdb(joinLines(lines), old).ok);
    EXPECT_EQ(old.localities[0].profiles[0].xScale, 0.000058f);
    EXPECT_EQ(linesOf(formatVdb(old, "s.vdb"))[lines.size() - 2], "__měřítko_X_pro_pf: 0.000058");
}

}  // namespace
}  // namespace orma
