// The .vdb reader and writer: the layout byte for byte, round trips across the
// whole range the reader takes, old files, and refusals that name the line
// and leave the database as it was.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <limits>
#include <random>

#include "SoundingFiles.h"
#include "io/Cp1250Text.h"
#include "io/FixedFloatText.h"
#include "io/VdbFile.h"
#include "support/OutcomeAssertions.h"
#include "support/VdbTextLines.h"
#include "support/VesDatabaseBuilders.h"

namespace orma {
namespace {

std::string samplePath() { return std::string(ORMA_SOURCE_DIR) + "/samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb"; }

using test::joinLines;
using test::linesOf;

void expectSamePoint(const VesPoint& a, const VesPoint& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.date, b.date);
    EXPECT_EQ(a.operatorName, b.operatorName);
    EXPECT_EQ(a.comment, b.comment);
    EXPECT_EQ(a.terrainChainage, b.terrainChainage);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
    EXPECT_EQ(a.profileChainage, b.profileChainage);
    EXPECT_EQ(a.ssq, b.ssq);
    EXPECT_EQ(a.ABmx, b.ABmx);
    EXPECT_EQ(a.nABmn, b.nABmn);
    EXPECT_EQ(a.MNmx, b.MNmx);
    EXPECT_EQ(a.MDLmx, b.MDLmx);
    EXPECT_EQ(a.Mermx, b.Mermx);
    EXPECT_EQ(a.ab2, b.ab2);
    EXPECT_EQ(a.mn2, b.mn2);
    EXPECT_EQ(a.rhoA, b.rhoA);
    EXPECT_EQ(a.branch, b.branch);
    EXPECT_EQ(a.composite, b.composite);
    EXPECT_EQ(a.resistivity, b.resistivity);
    EXPECT_EQ(a.depth, b.depth);
}

TEST(VdbFormat, OnePointIsWrittenInTheRecordLayout) {
    VesDatabase db = test::makeDatabase(1, 1, 1, 3, 2);
    VesPoint& p = db.localities[0].profiles[0].points[0];
    p.resistivity[0] = -120.0f;
    // The curve spans rows 0..1: sample lines 0 and 1 carry it, line 2 a 0
    // (even though row 2 of the table holds a value).
    p.nABmn = 0;
    p.ABmx = 1;
    p.composite[0] = 7.0f;
    p.composite[1] = 8.0f;
    const std::vector<std::string> lines = linesOf(formatVdb(db, "C:/data/a.vdb"));
    const std::vector<std::string> expected = {
        "název_souboru: C:/data/a.vdb",
        "mxindex_lokalit: 0",
        "název_lokality: L0",
        "jméno_země: country 0",
        "jméno_kraje: region 0",
        "mxindex_profilu: 0",
        "název_profilu: P0.0",
        "mxindex_bodu: 0",
        "název_bodu_VES: VES 100",
        "datum_měření_bodu: 2024-06-10",
        "operátor_bodu: operator 0",
        "poznámka_k_bodu: comment of point 0",
        "metráž_dle_terénu: 5.500000 X: 1000.000000 Y: -2000.000000 Z: 300.000000 metráž_bodu_na_pf: 5.000000",
        "chyba_SSQ_bodu_VES: 0.000000",
        "ABmx: 1 MNmx: 3 MDLmx: 1 Mermx: 3 nABmn: 0",
        "  AO  MO  Rmer  iMN  Rsnesená",
        "  1.680000 0.500000 50.000000 1 7.000000",
        "  2.180000 2.000000 50.250000 2 8.000000",
        "  2.820000 2.000000 50.500000 2 0.000000",
        " Rmodelu  Dmodeluminusjefix",
        "  -120.000000 1.500000",
        "  20.000000 999999995904.000000",
        "__měřítko_X_pro_pf: 0.001000",
        "__měřítko_Y_pro_pf: 0.002000",
    };
    EXPECT_EQ(lines, expected);
    const std::string bytes = formatVdb(db, "a.vdb");
    EXPECT_NE(bytes.substr(bytes.size() - 8), "\r\n") << "no line break at the end";
    EXPECT_EQ(bytes.rfind("\r\n\r\n"), std::string::npos);
    EXPECT_EQ(bytes.substr(0, 2), utf8ToCp1250("ná"));  // Windows-1250: one byte per letter
}

TEST(VdbFormat, SampleDatabaseReadsAndWritesBackByteForByte) {
    const std::string bytes = test::readBytes(samplePath());
    ASSERT_FALSE(bytes.empty());
    VesDatabase db;
    const VdbReadResult result = parseVdb(bytes, db);
    ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
    EXPECT_GE(db.localities.size(), 2u);
    EXPECT_GE(db.localities[0].profiles.size(), 2u);
    EXPECT_EQ(formatVdb(db, "ves-ukazkova-data/ukazkova-ves-databaze.vdb"), bytes);
}

TEST(VdbFormat, EveryFieldAtItsLimitRoundTrips) {
    VesDatabase db = test::makeDatabase(5, 1, 2, 150, 30);
    db.localities[4].profiles.resize(20);
    Profile& full = db.localities[4].profiles[19];
    full.points.clear();
    for (int k = 0; k < 200; ++k) full.points.push_back(test::makePoint(k, k % 5 == 0 ? 150 : 3, k % 3 == 0 ? 30 : 1));
    full.xScale = 3.3e-5f;
    full.zScale = 4.4e-4f;
    // Texts filling their fields, with blanks and Czech letters.
    std::string name;
    while (name.size() < 199) name += "Žluťoučký kůň ";
    VesPoint& p = db.localities[0].profiles[0].points[1];
    p.name = cutToCharacters(name, 199);
    p.date = cutToCharacters(name, 99);
    p.operatorName = cutToCharacters("Řehoř " + name, 99);
    p.comment = cutToCharacters(name + name + name, 399);
    db.localities[2].country = cutToCharacters("Česká " + name, 199);
    p.x = -10000000.0f;
    p.y = 10000000.0f;
    p.z = -0.0f;
    p.ssq = 1e-6f;
    p.resistivity[29] = -1e6f;
    p.depth[28] = -987.654f;
    p.branch[7] = 5;
    p.nABmn = 0;
    p.ABmx = 98;
    for (int k = 0; k < 99; ++k) p.composite[k] = static_cast<float>((k * k + 1) / 1000.0);

    const std::string bytes = formatVdb(db, "x.vdb");
    VesDatabase back;
    const VdbReadResult result = parseVdb(bytes, back);
    ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
    EXPECT_EQ(formatVdb(back, "x.vdb"), bytes);
    ASSERT_EQ(back.localities.size(), 5u);
    EXPECT_EQ(back.localities[2].country, db.localities[2].country);
    EXPECT_EQ(back.localities[4].profiles[19].points.size(), 200u);
    EXPECT_FLOAT_EQ(back.localities[4].profiles[19].xScale, 3.3e-5f);
    expectSamePoint(back.localities[0].profiles[0].points[1], p);
    expectSamePoint(back.localities[4].profiles[19].points[195], full.points[195]);
}

TEST(VdbFormat, TextsKeepTheirBlanksAndAreCutToTheirFields) {
    VesDatabase db = test::makeDatabase(1, 1, 2);
    std::vector<std::string> lines = linesOf(formatVdb(db, "a.vdb"));
    // Written by hand: two blanks inside, one trailing, and fields too long.
    lines[2] = "název_lokality: Horní  Dolní ";
    lines[8] = "název_bodu_VES: VES 12";
    lines[9] = "datum_měření_bodu: " + std::string(150, 'd');
    lines[11] = "poznámka_k_bodu: " + std::string(5000, 'c') + " end";  // a line far beyond 200 bytes
    lines[6] = "název_profilu:";                                       // no value at all
    VesDatabase back;
    const VdbReadResult result = parseVdb(joinLines(lines), back);
    ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
    EXPECT_EQ(back.localities[0].name, "Horní  Dolní ");
    EXPECT_EQ(back.localities[0].profiles[0].name, "");
    const VesPoint& p = back.localities[0].profiles[0].points[0];
    EXPECT_EQ(p.name, "VES 12");
    EXPECT_EQ(p.date, std::string(99, 'd'));
    EXPECT_EQ(p.comment, std::string(399, 'c'));
    // The records after the long line are read in their places.
    expectSamePoint(back.localities[0].profiles[0].points[1], db.localities[0].profiles[0].points[1]);
    EXPECT_EQ(p.profileChainage, db.localities[0].profiles[0].points[0].profileChainage);
}

TEST(VdbFormat, EmptyProfilesOneInterfaceAndTheCompositeOnSampleLinesOnly) {
    VesDatabase db = test::makeDatabase(1, 2, 1, 4, 2);
    db.localities[0].profiles[0].points.clear();
    VesPoint& p = db.localities[0].profiles[1].points[0];
    p.nABmn = 5;
    p.ABmx = 20;  // the curve spans 16 rows, the point has 4 samples
    for (int k = 5; k <= 20; ++k) p.composite[k] = static_cast<float>(k);
    const std::string bytes = formatVdb(db, "e.vdb");
    const std::vector<std::string> lines = linesOf(bytes);
    EXPECT_EQ(lines[7], "mxindex_bodu: -1");
    EXPECT_EQ(lines[8], "__měřítko_X_pro_pf: 0.001000");
    EXPECT_EQ(lines[9], "__měřítko_Y_pro_pf: 0.002000");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), " Rmodelu  Dmodeluminusjefix"), 1);
    EXPECT_EQ(lines[lines.size() - 4], "  11.000000 1.500000");  // one interface: two layer lines
    EXPECT_EQ(lines[lines.size() - 3], "  21.000000 999999995904.000000");

    VesDatabase back;
    ASSERT_TRUE(parseVdb(bytes, back).ok);
    EXPECT_TRUE(back.localities[0].profiles[0].points.empty());
    const VesPoint& q = back.localities[0].profiles[1].points[0];
    EXPECT_EQ(q.MDLmx, 1);
    for (int k = 5; k <= 8; ++k) EXPECT_EQ(q.composite[k], static_cast<float>(k));
    for (int k = 9; k <= 20; ++k) EXPECT_EQ(q.composite[k], 0.0f) << "row " << k << " has no sample line";
}

TEST(VdbFormat, OldFilesWithoutScaleLinesGetTheOldScalesEverywhere) {
    VesDatabase db = test::makeDatabase(2, 2, 2);
    std::vector<std::string> lines = linesOf(formatVdb(db, "old.vdb"));
    std::erase_if(lines, [](const std::string& line) { return line.rfind("__měřítko_", 0) == 0; });
    VesDatabase back;
    const VdbReadResult result = parseVdb(joinLines(lines), back);
    ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
    ASSERT_EQ(back.localities.size(), 2u);
    for (int l = 0; l < 2; ++l) {
        EXPECT_EQ(back.localities[l].name, db.localities[l].name);
        for (int p = 0; p < 2; ++p) {
            const Profile& profile = back.localities[l].profiles[p];
            EXPECT_EQ(profile.name, db.localities[l].profiles[p].name);
            EXPECT_FLOAT_EQ(profile.xScale, 4e-5f);
            EXPECT_FLOAT_EQ(profile.zScale, 3e-4f);
            for (int k = 0; k < 2; ++k) expectSamePoint(profile.points[k], db.localities[l].profiles[p].points[k]);
        }
    }
}

TEST(VdbFormat, ScalesSmallerThanSixDecimalsHoldReadBackAsTheyWere) {
    VesDatabase db = test::makeDatabase(1, 1, 1);
    db.localities[0].profiles[0].xScale = 1e-7f;  // 1:10000000
    const std::string bytes = formatVdb(db, "s.vdb");
    EXPECT_NE(linesOf(bytes).end(), std::find(linesOf(bytes).begin(), linesOf(bytes).end(), "__měřítko_X_pro_pf: 0.0000001"));
    VesDatabase back;
    ASSERT_TRUE(parseVdb(bytes, back).ok);
    EXPECT_EQ(back.localities[0].profiles[0].xScale, 1e-7f);
    EXPECT_EQ(formatVdb(back, "s.vdb"), bytes);
}

struct Damage {
    const char* what;
    int line;                 ///< 1-based line that is changed (0: cut the file there instead)
    std::string replacement;  ///< new content of that line
    const char* expectedInReason;
};

TEST(VdbFormat, DamagedFilesAreRefusedNamingTheLineAndChangeNothing) {
    const VesDatabase source = test::makeDatabase(1, 1, 2, 3, 2);
    const std::vector<std::string> good = linesOf(formatVdb(source, "d.vdb"));
    // Line numbers of the made-up database: 2 localities count, 6 profiles,
    // 8 points, 13 position, 14 SSQ, 15 counts, 17.. samples, 21.. layers.
    const std::vector<Damage> damages = {
        {"sixth locality", 2, "mxindex_lokalit: 5", "mxindex_lokalit is 5"},
        {"negative locality count", 2, "mxindex_lokalit: -2", "mxindex_lokalit is -2"},
        {"21st profile", 6, "mxindex_profilu: 20", "mxindex_profilu is 20"},
        {"201st point", 8, "mxindex_bodu: 200", "mxindex_bodu is 200"},
        {"151 samples", 15, "ABmx: 4 MNmx: 3 MDLmx: 1 Mermx: 151 nABmn: 2", "Mermx is 151"},
        {"31 layers", 15, "ABmx: 4 MNmx: 3 MDLmx: 30 Mermx: 3 nABmn: 2", "MDLmx is 30"},
        {"negative samples", 15, "ABmx: 4 MNmx: 3 MDLmx: 1 Mermx: -1 nABmn: 2", "Mermx is -1"},
        {"six branches", 15, "ABmx: 4 MNmx: 6 MDLmx: 1 Mermx: 3 nABmn: 2", "MNmx is 6"},
        {"grid index off the grid", 15, "ABmx: 99 MNmx: 3 MDLmx: 1 Mermx: 3 nABmn: 2", "ABmx is 99"},
        {"count that is no number", 8, "mxindex_bodu: two", "mxindex_bodu is not a whole number"},
        {"position that is no number", 13,
         "metráž_dle_terénu: 5.5 X: 1e999 Y: 0 Z: 0 metráž_bodu_na_pf: 5", "X is not a number"},
        {"position that is not finite", 13, "metráž_dle_terénu: 5.5 X: 1 Y: 0 Z: nan metráž_bodu_na_pf: 5",
         "Z is nan, not a finite number"},
        {"sample line cut short", 18, "  2.179405 2.000000 50.250000", "sample line"},
        {"model line with letters", 22, "  20.000000 deep", "model line"},
        {"infinite scale", 37, "__měřítko_X_pro_pf: inf", "__měřítko_X_pro_pf is inf, not a finite number"},
        {"blank second scale line", 38, "   ", "__měřítko_Y_pro_pf is not a number"},
        {"file ends in the samples", 0, "18", "ends where a sample line should follow"},
        {"file ends before the counts", 0, "14", "ends where the counts line should follow"},
    };
    for (const Damage& damage : damages) {
        std::vector<std::string> lines = good;
        int expectedLine = damage.line;
        if (damage.line == 0) {
            const int keep = std::stoi(damage.replacement);
            lines.resize(static_cast<std::size_t>(keep));
            expectedLine = keep + 1;
        } else {
            lines[damage.line - 1] = damage.replacement;
        }
        VesDatabase db = test::makeDatabase(1, 1, 3);
        const std::string before = formatVdb(db, "same");
        const VdbReadResult result = parseVdb(joinLines(lines), db);
        EXPECT_FALSE(result.ok) << damage.what;
        EXPECT_EQ(result.line, expectedLine) << damage.what << ": " << result.message;
        EXPECT_NE(result.message.find(damage.expectedInReason), std::string::npos)
            << damage.what << ": " << result.message;
        EXPECT_EQ(formatVdb(db, "same"), before) << damage.what << " changed the database";
    }
}

TEST(VdbFile, RefusalsNameTheFileAndLineAndNonFilesAreNotRead) {
    test::ScratchDir dir("vdbfile");
    VesDatabase db = test::makeDatabase(1, 1, 1);
    const std::string before = formatVdb(db, "same");
    std::string message;

    message = test::failureText(readVdbFile(dir.file("missing.vdb"), db));
    EXPECT_EQ(message, "Cannot open input file.");

    const std::string cut = dir.file("cut.vdb");
    test::writeBytes(cut, formatVdb(db, "cut.vdb").substr(0, 60));
    message = test::failureText(readVdbFile(cut, db));
    EXPECT_EQ(message.rfind("Line 4 of " + cut + ": the file ends where", 0), 0u) << message;
    EXPECT_NE(message.find("the database stays as it was."), std::string::npos) << message;

    message = test::failureText(readVdbFile(dir.file(""), db));  // the directory itself
    EXPECT_NE(message.find("is a directory, not a file"), std::string::npos) << message;
    EXPECT_EQ(formatVdb(db, "same"), before);

    const std::string huge = dir.file("huge.vdb");
    test::writeBytes(huge, "");
    std::filesystem::resize_file(huge, kMaxVdbFileBytes + 1);  // sparse: nothing is written
    message = test::failureText(readVdbFile(huge, db));
    EXPECT_EQ(message.rfind("The file " + huge + " is larger than ", 0), 0u) << message;

    const std::string fifo = dir.file("pipe.vdb");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    message = test::failureText(readVdbFile(fifo, db));  // and does not wait for a writer
    EXPECT_EQ(message, fifo + " is not a regular file (it is a device, pipe or socket).");

    const std::string empty = dir.file("empty.vdb");
    test::writeBytes(empty, "");
    message = test::failureText(readVdbFile(empty, db));
    EXPECT_NE(message.find("Line 1"), std::string::npos) << message;
}

TEST(VdbFile, ReadingAFileInPiecesGivesWhatTheWholeTextGives) {
    test::ScratchDir dir("vdbpieces");
    // Several megabytes, with lines across every piece boundary, in the old
    // layout (held-back lines) and with a line of 60 000 bytes.
    VesDatabase db = test::makeDatabase(2, 3, 40, 150, 10);
    std::vector<std::string> lines = linesOf(formatVdb(db, "big.vdb"));
    lines[11] = "poznámka_k_bodu: " + std::string(60000, 'k');
    std::erase_if(lines, [](const std::string& line) { return line.rfind("__měřítko_", 0) == 0; });
    const std::string bytes = joinLines(lines);
    const std::string path = dir.file("big.vdb");
    test::writeBytes(path, bytes);

    VesDatabase fromText;
    ASSERT_TRUE(parseVdb(bytes, fromText).ok);
    VesDatabase fromFile;
    std::string message;
    ASSERT_TRUE(test::succeeded(readVdbFile(path, fromFile)));
    EXPECT_EQ(formatVdb(fromFile, "x"), formatVdb(fromText, "x"));
    EXPECT_EQ(fromFile.localities[0].profiles[0].points[0].comment, std::string(399, 'k'));
    EXPECT_FLOAT_EQ(fromFile.localities[0].profiles[1].xScale, 4e-5f);

    // Cut inside the last point: refused at the same line either way.
    const std::string cutBytes = bytes.substr(0, bytes.size() - 300);
    test::writeBytes(path + "2", cutBytes);
    VesDatabase cut;
    const VdbReadResult textResult = parseVdb(cutBytes, cut);
    ASSERT_FALSE(textResult.ok);
    EXPECT_GT(textResult.line, 40000);
    message = test::failureText(readVdbFile(path + "2", cut));
    EXPECT_EQ(message.rfind("Line " + std::to_string(textResult.line) + " of", 0), 0u) << message;
}

TEST(VdbFile, WritingCreatesOnlyNewFilesAndLeavesNoTemporaryFiles) {
    test::ScratchDir dir("vdbwrite");
    const VesDatabase db = test::makeDatabase(1, 2, 3);
    const std::string path = dir.file("w.vdb");
    ASSERT_TRUE(writeVdbFile(db, path));
    EXPECT_EQ(test::readBytes(path), formatVdb(db, path));
    test::writeBytes(dir.file("other.vdb"), "keep me");
    EXPECT_FALSE(writeVdbFile(db, dir.file("other.vdb")));
    EXPECT_EQ(test::readBytes(dir.file("other.vdb")), "keep me");
    EXPECT_FALSE(writeVdbFile(db, dir.file("no-such-dir/w.vdb")));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2) << "only w.vdb and other.vdb";
}

TEST(VdbFile, ASaveThatFailsMidwayLeavesNoFileBehind) {
    test::ScratchDir dir("vdbfull");
    const VesDatabase db = test::makeDatabase(1, 3, 20, 150, 10);  // about 600 kB
    const std::string path = dir.file("full.vdb");
    // A file-size limit stands in for a full disk: the write fails part way.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Outcome written = writeVdbFile(db, path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written.ok);
    // The fixed text, and why: the system's reason, naming the file.
    EXPECT_EQ(written.message, "Unpossible to create this file RST !");
    EXPECT_EQ(written.cause, path + ": " + std::strerror(EFBIG) + ".");
    EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(path).parent_path())) << "neither file nor temporary";
    EXPECT_TRUE(writeVdbFile(db, path)) << "with room the same save succeeds";
}

TEST(FixedFloatText, MatchesPrintfForRandomValuesTiesAndExtremes) {
    const auto reference = [](float value) {
        char buffer[400];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                       std::chars_format::fixed, 6);
        return std::string(buffer, end.ptr);
    };
    std::vector<float> values = {0.0f, -0.0f, 0.0078125f, 0.0234375f, 1e-7f, -1e-7f, 4.9999997e-7f, 5e-7f,
                                 0.5f, 1.0f, -120.0f, 1e12f, 8.79e12f, 8.8e12f, 3.4e38f, -3.4e38f,
                                 1.4e-45f, 999999.9375f, 0.0000005f, 2.5e-6f, 3.5e-6f};
    std::mt19937 random(5);
    std::uniform_int_distribution<std::uint32_t> bits;
    while (values.size() < 200000) {
        std::uint32_t b = bits(random);
        float value;
        std::memcpy(&value, &b, sizeof value);
        if (!std::isfinite(value)) continue;
        values.push_back(values.size() % 2 ? value : std::ldexp(static_cast<float>(b % 100000), -static_cast<int>(b % 40)));
    }
    for (float value : values) {
        std::string text;
        appendFixed6(text, value);
        ASSERT_EQ(text, reference(value)) << value;
    }
    std::string special;
    appendFixed6(special, std::numeric_limits<float>::infinity());
    appendFixed6(special, -std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(special, "inf-nan");
}

}  // namespace
}  // namespace orma
