// Field sheets and the CSV of curve and model through the interpretation window.

#include <QPushButton>

#include <fstream>
#include <iterator>

#include "window_fixture.h"

namespace orma::ui::test {
namespace {

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr const char* kSheet =
    "AB/2;MN/2;rhoa\r\n1;0,5;40\r\n1,3;0,5;44\r\n2,18;0,5;52\r\n3,66;0,5;70\r\n3,66;2;84\r\n6,15;2;101\r\n"
    "10,3;2;120\r\n10,3;10;150\r\n17,4;10;180\r\n29,1;10;210\r\n49;10;230\r\n";

TEST_F(WindowTest, OpenSheetTakesTheRoadOfAGefFile) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.loadKTypeModel();
    window.spustit->show();
    const std::string path = writeFile("VES 30.csv", kSheet);
    expectWorkDiscarded((dir_ / "VES12.GEF").string());
    dialogs_.expectOpen(path);
    window.openSheet();
    dialogs_.verifyDone();
    EXPECT_EQ(dialogs_.lastFileOptions().filter, "VES field sheet|*.csv;*.txt");
    EXPECT_TRUE(dialogs_.messages().empty());

    const Sounding& s = window.sounding();
    EXPECT_EQ(s.points.pointCount, 11);
    EXPECT_EQ(s.branches.branchCount, 3);
    EXPECT_TRUE(s.compositeBuilt);
    EXPECT_EQ(s.model.interfaceCount, 0);
    EXPECT_EQ(s.date, "");
    // Branch 2 is the reference: it keeps its level.
    EXPECT_NEAR(s.composite(7), 101.0, 0.01);
    EXPECT_EQ(window.windowTitle().toStdString(), "ORMA - programme for VES interpretation - opened: " + path);
    EXPECT_TRUE(window.spustit->isHidden());
    EXPECT_TRUE(window.plot().plotDrawn);

    // A bad sheet: its message, "reading error", and the curve before it stays.
    const std::string bad = writeFile("bad.csv", "x;y\r\n");
    dialogs_.expectOpen(bad);
    dialogs_.expectMessage("The sheet cannot be read: the header in line 1 names no AB/2 column (names taken, ignoring "
                           "case, blanks, _ - . / and units in brackets: ab2, ab2m, ao, oa, halfab, abhalf).");
    dialogs_.expectMessage("reading error");
    window.openSheet();
    dialogs_.verifyDone();
    EXPECT_EQ(window.sounding().points.pointCount, 11);

    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("no file chosen");
    window.openSheet();
    dialogs_.verifyDone();
}

TEST_F(WindowTest, SaveCurveAndModelAsCsvAsksBeforeReplacingAFile) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectMessage("Read VES curve first!");
    window.saveCurveAndModelCsv();
    dialogs_.verifyDone();

    const std::string gef = openGef(window);
    window.loadKTypeModel();
    window.computeModelCurve();
    const std::string target = writeFile("out.csv", "keep me");
    dialogs_.expectSave(target);
    dialogs_.expectQuestion(target + " already exists. Replace it?", false);
    window.saveCurveAndModelCsv();
    dialogs_.verifyDone();
    EXPECT_EQ(dialogs_.lastFileOptions().proposedName, (dir_ / "VES12_curve_model.csv").string());
    EXPECT_EQ(readBytes(dir_ / "out.csv"), "keep me");

    dialogs_.expectSave(target);
    dialogs_.expectQuestion(target + " already exists. Replace it?", true);
    window.saveCurveAndModelCsv();
    dialogs_.verifyDone();
    const std::string text = readBytes(dir_ / "out.csv");
    EXPECT_EQ(text.rfind("# ORMA curve and model\r\n# sounding," + gef + "\r\n# SSQ,", 0), 0u) << text;
    EXPECT_NE(text.find("# model,3,20,,,0,,\r\n"), std::string::npos) << text;

    // The file opens as a sheet with the composite curve on screen.
    const Sounding before = window.sounding();
    expectWorkDiscarded(gef);
    dialogs_.expectOpen(target);
    window.openSheet();
    dialogs_.verifyDone();
    for (int k = before.minGridIndex; k <= before.maxGridIndex; ++k) {
        if (!before.hasComposite(k)) continue;
        EXPECT_NEAR(window.sounding().composite(k), before.composite(k), 1e-5 * before.composite(k)) << k;
    }
}

}  // namespace
}  // namespace orma::ui::test
