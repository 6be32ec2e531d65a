// orma.ini, the terrain list and the natural order of a directory's files.

#include <gtest/gtest.h>

#include "SoundingFiles.h"
#include "io/DirectoryListing.h"
#include "io/SectionSettingsFile.h"
#include "io/TerrainFile.h"

namespace orma {
namespace {

using test::readBytes;
using test::ScratchDir;
using test::writeBytes;

TEST(SectionSettings, TwelveLinesInCp1250AndBack) {
    ScratchDir dir("orma_ini");
    const auto path = sectionSettingsPath(dir.file(""));
    UcmParameters p;
    p.exaggeration = 2.5f;
    p.zTickStep = 3;
    ASSERT_TRUE(writeSectionSettings(path, p));
    const std::string bytes = readBytes(path.string());
    EXPECT_EQ(bytes.rfind("soubor nastaven\xed a inicializa\xe8n\xed" "ch parametr\xf9 programu ORMA\r\n", 0), 0u);
    EXPECT_NE(bytes.find("\r\np\xf8" "ev\xfd\x9a" "en\xed_exportovan\xe9ho_\xf8" "ezu_UCM_(float) 2.500000\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("\r\nkrok_ticu_z_UCM_(int) 3\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nv\xfd\x9aka_\x9aipky_nad_bodem_VES_UCM_(float) 1.000000\r\n"), std::string::npos);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 12);
    UcmParameters back;
    EXPECT_FALSE(readSectionSettings(path, back));
    EXPECT_EQ(back, p);
}

TEST(SectionSettings, MissingShortOrDamagedFileGivesDefaultsAndAMessage) {
    ScratchDir dir("orma_ini_bad");
    const auto path = sectionSettingsPath(dir.file(""));
    UcmParameters p;
    p.arrowWidth = 7.0f;
    EXPECT_EQ(readSectionSettings(path, p).value_or(""),
              "ini file not found! default options loaded. \n" + path.string());
    EXPECT_EQ(p, UcmParameters{});
    // The defaults of the table, exactly.
    EXPECT_EQ(p.exaggeration, 5.0f);
    EXPECT_EQ(p.majorTextSize, 0.15f);
    EXPECT_EQ(p.minorTextSize, 0.1f);
    EXPECT_EQ(p.xTickStep, 5);
    EXPECT_EQ(p.xLabelStep, 10);
    EXPECT_EQ(p.zTickStep, 1);
    EXPECT_EQ(p.zLabelStep, 2);
    EXPECT_EQ(p.interfaceSignWidth, 2.25f);
    EXPECT_EQ(p.interfaceSignHeight, 0.15f);
    EXPECT_EQ(p.arrowWidth, 1.0f);
    EXPECT_EQ(p.arrowHeight, 1.0f);
    // Three value lines, the third not a number.
    writeBytes(path.string(), "header\r\nE 3.5\r\nmajor 0.2\r\nminor x\r\n");
    const auto message = readSectionSettings(path, p);
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("line 4"), std::string::npos) << *message;
    EXPECT_EQ(p.exaggeration, 3.5f);
    EXPECT_EQ(p.majorTextSize, 0.2f);
    EXPECT_EQ(p.minorTextSize, 0.1f);
    EXPECT_EQ(p.arrowHeight, 1.0f);
    // A value that is not a finite number is no number.
    writeBytes(path.string(), "header\r\nE nan\r\nmajor inf\r\n");
    EXPECT_NE(readSectionSettings(path, p).value_or("").find("line 2 (převýšení"), std::string::npos);
    EXPECT_EQ(p.exaggeration, 5.0f);
    EXPECT_EQ(p.majorTextSize, 0.15f);
}

TEST(TerrainFileReading, HeaderVerticesAndTheirFaults) {
    TerrainFileContents t = readTerrainText("pf-7 3\n0\t100\n15\t120.5\r\n30 140\n");
    EXPECT_TRUE(t.headerComplete);
    EXPECT_EQ(terrainHeaderMessage(t), "name of terrain file: pf-7 number of points: 3");
    ASSERT_EQ(t.vertices.size(), 3u);
    EXPECT_EQ(t.vertices[1].x, 15.0f);
    EXPECT_EQ(t.vertices[1].z, 120.5f);
    EXPECT_TRUE(t.vertexProblem.empty());

    t = readTerrainText("pf 3\n0 100\n15 x\n");
    EXPECT_EQ(t.vertexProblem, "Terrain reading error!");
    EXPECT_TRUE(t.vertices.empty());
    t = readTerrainText("pf 2\n0 100\n");  // a vertex short
    EXPECT_EQ(t.vertexProblem, "Terrain reading error!");
    t = readTerrainText("pf 201\n");
    EXPECT_EQ(t.vertexProblem, "Too much of terrain points");
    // A count smaller than the list: the vertices after it are named, none is taken.
    t = readTerrainText("pf 2\n0 100\n15 120\n30 140\n");
    EXPECT_EQ(t.vertexProblem,
              "The terrain file announces 2 points in its first line, but more follows them: line 4 holds '30'. "
              "Correct the number of points; the VES points are unchanged.");
    EXPECT_TRUE(t.vertices.empty());
    EXPECT_TRUE(readTerrainText("pf 2\n0 100\n15 120\n\n \n").vertexProblem.empty()) << "blank lines at the end";
    EXPECT_EQ(readTerrainText("pf 2\n0 100\n15 nan\n").vertexProblem, "Terrain reading error!");
    t = readTerrainText("onlyaname");
    EXPECT_FALSE(t.headerComplete);
    EXPECT_TRUE(t.vertices.empty());
}

TEST(DirectoryOrder, NumbersCompareAsNumbersAndNextFileWalksTheListing) {
    EXPECT_TRUE(naturalLess("VES2.GEF", "VES10.GEF"));
    EXPECT_TRUE(naturalLess("ves9.gef", "VES10.GEF"));
    EXPECT_TRUE(naturalLess("A.GEF", "b.GEF"));
    EXPECT_FALSE(naturalLess("VES10.GEF", "VES10.GEF"));
    EXPECT_TRUE(naturalLess("VES010.GEF", "VES10.GEF") != naturalLess("VES10.GEF", "VES010.GEF"));

    ScratchDir dir("listing");
    for (const char* name : {"VES10.GEF", "VES2.gef", "VES1.GEF", "notes.txt", "VES3.csv", "a.GEFX"}) {
        writeBytes(dir.file(name), "x");
    }
    std::filesystem::create_directory(dir.file("VES5.GEF"));  // a directory is no file
    const auto gef = listDirectoryFiles(dir.file(""), ListedFiles::Gef);
    ASSERT_EQ(gef.size(), 3u);
    EXPECT_EQ(gef[0].filename(), "VES1.GEF");
    EXPECT_EQ(gef[1].filename(), "VES2.gef");
    EXPECT_EQ(gef[2].filename(), "VES10.GEF");
    const auto afterTwo = nextFileInDirectory(dir.file("VES2.gef"));
    ASSERT_TRUE(afterTwo);
    EXPECT_EQ(afterTwo->filename(), "VES10.GEF");
    EXPECT_FALSE(nextFileInDirectory(dir.file("VES10.GEF")));   // the last one
    EXPECT_FALSE(nextFileInDirectory(dir.file("VES7.GEF")));    // not in the listing
    // After a sheet comes the next sheet.
    const auto afterNotes = nextFileInDirectory(dir.file("notes.txt"));
    ASSERT_TRUE(afterNotes);
    EXPECT_EQ(afterNotes->filename(), "VES3.csv");
}

}  // namespace
}  // namespace orma
