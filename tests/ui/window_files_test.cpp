// GEF and RST files through the commands of the interpretation window.

#include <QPushButton>

#include "io/RstReader.h"
#include "window_fixture.h"

namespace orma::ui::test {
namespace {

constexpr const char* kGefCaption = "ORMA - programme for VES interpretation - opened: ";

TEST_F(WindowTest, OpenGefLoadsTheCurveShiftsItAndNamesTheFile) {
    Ttelmorwin& window = openWindow();
    const std::string path = openGef(window);
    dialogs_.verifyDone();
    EXPECT_EQ(dialogs_.lastFileOptions().filter, "soubor ap.TAMIR |*.GEF");
    EXPECT_EQ(dialogs_.lastFileOptions().defaultExtension, "GEF");
    EXPECT_TRUE(dialogs_.messages().empty());

    const Sounding& s = window.sounding();
    EXPECT_EQ(s.points.pointCount, 23);
    EXPECT_EQ(s.date, "2005-06-14");
    EXPECT_EQ(s.gefPath, path);
    EXPECT_EQ(s.branches.branchCount, 3);
    EXPECT_EQ(s.minGridIndex, 0);
    EXPECT_EQ(s.maxGridIndex, 18);
    EXPECT_TRUE(s.curveLoaded);
    EXPECT_TRUE(s.compositeBuilt);
    // Shifted onto branch 2: branch 1 is raised to branch 2's level.
    EXPECT_NEAR(s.composite(0), 1.2 * 11.7, 0.05);
    EXPECT_NEAR(s.composite(12), 1.2 * 54.9, 0.05);
    EXPECT_EQ(window.windowTitle().toStdString(), kGefCaption + path);
    EXPECT_TRUE(window.plot().plotDrawn);
    EXPECT_TRUE(window.spustit->isHidden());
}

TEST_F(WindowTest, GefCancelAndUnreadableFileSayWhatHappened) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("no file chosen");
    window.openGefFile();
    dialogs_.verifyDone();
    EXPECT_FALSE(window.sounding().curveLoaded);

    const std::string good = openGef(window);
    const std::string missing = (dir_ / "missing.GEF").string();
    dialogs_.expectOpen(missing);
    dialogs_.expectMessage("Cannot open GEF file.");
    dialogs_.expectMessage("reading error");
    window.openGefFile();
    dialogs_.verifyDone();
    // The previous curve stays usable; the caption names what was asked for.
    EXPECT_EQ(window.sounding().points.pointCount, 23);
    EXPECT_TRUE(window.sounding().compositeBuilt);
    EXPECT_EQ(window.windowTitle().toStdString(), kGefCaption + missing);
}

TEST_F(WindowTest, NewCurveDropsTheModelAndHidesTheButtons) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.loadKTypeModel();
    window.computeModelCurve();
    window.spustit->show();
    window.importdorezu->show();
    ASSERT_TRUE(window.sounding().computedCurveShown);

    expectWorkDiscarded((dir_ / "VES12.GEF").string());
    openGef(window);
    EXPECT_EQ(window.sounding().model.interfaceCount, 0);
    EXPECT_FALSE(window.sounding().computedCurveShown);
    EXPECT_TRUE(window.spustit->isHidden());
    EXPECT_TRUE(window.importdorezu->isHidden());
}

TEST_F(WindowTest, RstRecordsOpenFollowAndWrapAroundWithCaptions) {
    Ttelmorwin& window = openWindow();
    const std::string path = writeFile("ves.rst", twoRecordRst());
    const std::string captionStart = "ORMA-opened: " + path;

    dialogs_.expectOpen(path);
    window.openRstFirstCurve();
    dialogs_.verifyDone();
    EXPECT_EQ(dialogs_.lastFileOptions().filter, "soubor ap.KELDOR|*.RST");
    EXPECT_EQ(window.windowTitle().toStdString(),
              captionStart + " point: 100 pf: 3 loc: Hradek date: 2005-07-01");
    EXPECT_EQ(window.sounding().points.pointCount, 12);
    EXPECT_EQ(window.sounding().branches.branchCount, 2);
    EXPECT_TRUE(window.sounding().compositeBuilt);

    window.openNextRstCurve();
    EXPECT_EQ(window.windowTitle().toStdString(),
              captionStart + " point: 125 pf: 3 loc: Hradek date: 2005-07-02");
    EXPECT_EQ(window.sounding().operatorName, "Svoboda");
    EXPECT_EQ(window.sounding().points.pointCount, 8);

    dialogs_.expectMessage("End of file RST. First VES point is following.");
    window.openNextRstCurve();
    dialogs_.verifyDone();
    EXPECT_EQ(window.sounding().pointNumber, 100);
    EXPECT_EQ(window.sounding().rstRecordIndex, 1);

    // Preceding with fewer than two records consumed does nothing at all.
    window.openPreviousRstCurve();
    EXPECT_EQ(window.sounding().pointNumber, 100);

    window.openNextRstCurve();
    window.openPreviousRstCurve();
    EXPECT_EQ(window.sounding().pointNumber, 100);
    EXPECT_EQ(window.windowTitle().toStdString(),
              captionStart + " point: 100 pf: 3 loc: Hradek date: 2005-07-01");
}

TEST_F(WindowTest, RstOpenCancelledOrUnreadable) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("no file chosen ");
    window.openRstFirstCurve();

    dialogs_.expectOpen((dir_ / "nothing.rst").string());
    dialogs_.expectMessage("Cannot open RST file.");
    dialogs_.expectMessage("Cannot open RST file.");
    dialogs_.expectMessage("record not red");
    window.openRstFirstCurve();
    dialogs_.verifyDone();
    EXPECT_FALSE(window.sounding().curveLoaded);
}

TEST_F(WindowTest, AppendAndNewRstFilesReadBackThroughTheReader) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    // F12 without an open output file does nothing.
    window.writeRstToNewFile();

    const std::string first = (dir_ / "first.RST").string();
    dialogs_.expectSave(first);
    dialogs_.expectInput("Enter the operator name:", "operator name:", "Jan Novak");
    dialogs_.expectInput("Enter the locality name:", "locality name:", "Dolni Lhota");
    dialogs_.expectInput("Enter point number or chainage on the profile: ", " point: ", "100", "25");
    dialogs_.expectInput("Enter profile number:", " profile number:", "7", "1");
    window.appendRstToOpenFile();
    dialogs_.expectInput("Enter point number or chainage on the profile: ", " point: ", std::nullopt, "200");
    dialogs_.expectInput("Enter profile number:", " profile number:", "x7");
    dialogs_.expectMessage("Integer!");
    window.appendRstToOpenFile();
    dialogs_.verifyDone();

    // F12: the open file is closed and the sounding starts a new one.
    const std::string second = (dir_ / "second.RST").string();
    dialogs_.expectSave(second);
    dialogs_.expectInput("Enter the operator name:", "operator name:", std::nullopt);
    dialogs_.expectInput("Enter the locality name:", "locality name:", std::nullopt);
    dialogs_.expectInput("Enter point number or chainage on the profile: ", " point: ", std::nullopt, "300");
    dialogs_.expectInput("Enter profile number:", " profile number:", std::nullopt);
    window.writeRstToNewFile();
    dialogs_.verifyDone();
    EXPECT_FALSE(window.rstOutputOpen());

    Sounding check;
    check.rstPath = first;
    std::vector<std::string> messages;
    ASSERT_EQ(readRstRecord(check, 0, messages), CurveFileEnd::Done);
    EXPECT_EQ(check.operatorName, "Jan Novak");
    EXPECT_EQ(check.locality, "Dolni Lhota");
    EXPECT_EQ(check.pointNumber, 100);
    EXPECT_EQ(check.profileNumber, 7);
    ASSERT_EQ(readRstRecord(check, 1, messages), CurveFileEnd::Done);
    EXPECT_EQ(check.pointNumber, 200);
    EXPECT_EQ(check.profileNumber, 7);

    check.rstPath = second;
    ASSERT_EQ(readRstRecord(check, 0, messages), CurveFileEnd::Done);
    EXPECT_EQ(check.pointNumber, 300);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace orma::ui::test
