// The written ormawin.ini compared line by line with the text it must hold:
// settings are recognised by line position only, so a key or a value on the
// wrong line silently swaps two settings for every later start.
#include <gtest/gtest.h>

#include <iconv.h>

#include <string>
#include <vector>

#include "SoundingFiles.h"
#include "io/WindowSettingsFile.h"

namespace orma {
namespace {

using test::readBytes;
using test::ScratchDir;

/// Windows-1250 bytes to UTF-8, by the C library rather than the program's own tables.
std::string fromCp1250(const std::string& bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP1250");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string in = bytes;
    std::string out(bytes.size() * 3 + 1, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    EXPECT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1)) << "not CP1250 text";
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

/// Lines of a file in which every line, the last included, ends with CR LF.
std::vector<std::string> crLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

/// The twenty lines for the given values of lines 2..20. Line 2 carries its
/// value glued to the key.
std::vector<std::string> expectedLines(const std::vector<std::string>& v) {
    return {
        "soubor nastavení a inicializačních parametrů programu ORMA",
        "zprůměrovat_převazy_(true=1_0=false)_" + v[0],
        "implicitní_mód_vstupu_dat(0-RST_nebo_GEFatd,1-ruční) " + v[1],
        "bsplajnovat_všechny_zobrazované_křivky_VES_(bspline_krivkyVES=0_implicitně " + v[2],
        "stupeň_bsplajnu_(bsplinedegree=3_implicitně) " + v[3],
        "rozlišení-bsplajnu_(bsplineresolution=128_implicitně) " + v[4],
        "sila_cary_namerene_VES_(1_implicitně) " + v[5],
        "sila_cary_snesene_VES_(2_implicitně) " + v[6],
        "sila_cary_vypoctene_VES_(2_implicitně) " + v[7],
        "sila_cary_model_aktivni_(4_implicitně) " + v[8],
        "sila_cary_model_(2_implicitně) " + v[9],
        "barva_cary_snesene_VES_(Black_implicitně) " + v[10],
        "barva_cary_vypoctene_VES_(clAqua_implicitně) " + v[11],
        "barva_cary_model_fix_(clYellow_implicitně) " + v[12],
        "barva_cary_model_(clLime_implicitně) " + v[13],
        "barva_cary_vetve[1]_(clNavy_implicitně) " + v[14],
        "barva_cary_vetve[2]_(clGreen_implicitně) " + v[15],
        "barva_cary_vetve[3]_(clRed_implicitně) " + v[16],
        "barva_cary_vetve[4]_(clPurple_implicitně) " + v[17],
        "barva_cary_vetve[5]_(clYellow_implicitně) " + v[18],
    };
}

void expectFileLines(const std::string& path, const std::vector<std::string>& expected) {
    const std::vector<std::string> lines = crLfLines(fromCp1250(readBytes(path)));
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST(WindowSettingsLines, DefaultFileHoldsEveryKeyAndValueOnItsLine) {
    ScratchDir dir("ini_lines_default");
    const std::string path = dir.file("ormawin.ini");
    ASSERT_TRUE(writeWindowSettings(path, DisplaySettings{}));
    expectFileLines(path, expectedLines({"1", "3", "1", "3", "128", "1", "2", "2", "4", "2", "0", "16776960",
                                         "65535", "65280", "8388608", "32768", "255", "8388736", "65535"}));
}

TEST(WindowSettingsLines, EverySettingIsWrittenOnItsOwnLine) {
    // A different value for every line, so no two settings can trade places unseen.
    DisplaySettings s;
    s.averageOverlaps = false;
    s.inputMode = 2;
    s.smoothingOn = true;
    s.smoothingOrder = 5;
    s.smoothingResolution = 222;
    s.measuredLineWidth = 6;
    s.compositeLineWidth = 7;
    s.computedLineWidth = 8;
    s.activeModelLineWidth = 9;
    s.modelLineWidth = 10;
    s.compositeColour = 11;
    s.computedColour = 12;
    s.fixedValueColour = 13;
    s.modelColour = 14;
    s.branchColour = {15, 16, 17, 18, 19};
    ScratchDir dir("ini_lines_distinct");
    const std::string path = dir.file("ormawin.ini");
    ASSERT_TRUE(writeWindowSettings(path, s));
    expectFileLines(path, expectedLines({"0", "2", "1", "5", "222", "6", "7", "8", "9", "10", "11", "12", "13", "14",
                                         "15", "16", "17", "18", "19"}));

    // And each comes back into its own setting.
    DisplaySettings back;
    ASSERT_TRUE(readWindowSettings(path, back).empty());
    EXPECT_EQ(back.inputMode, 2);
    EXPECT_EQ(back.smoothingOrder, 5);
    EXPECT_EQ(back.smoothingResolution, 222);
    EXPECT_EQ(back.measuredLineWidth, 6);
    EXPECT_EQ(back.compositeLineWidth, 7);
    EXPECT_EQ(back.computedLineWidth, 8);
    EXPECT_EQ(back.activeModelLineWidth, 9);
    EXPECT_EQ(back.modelLineWidth, 10);
    EXPECT_EQ(back.compositeColour, 11u);
    EXPECT_EQ(back.computedColour, 12u);
    EXPECT_EQ(back.fixedValueColour, 13u);
    EXPECT_EQ(back.modelColour, 14u);
    EXPECT_EQ(back.branchColour, (std::array<std::uint32_t, 5>{15, 16, 17, 18, 19}));
}

}  // namespace
}  // namespace orma
