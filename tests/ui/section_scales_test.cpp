// Scales, limits, choices, images and the UCM export of the section window.

#include <QImage>
#include <QLineEdit>

#include <fstream>
#include <iterator>

#include "SectionFixture.h"
#include "io/VdbCommands.h"
#include "io/SectionSettingsFile.h"
#include "ui/section/TparUCM.h"
#include "support/FileBytes.h"

namespace orma::ui::test {
namespace {

using orma::test::readBytes;
using orma::test::writeBytes;

std::string bytesOf(const fs::path& path) { return readBytes(path.string()); }

class ScalesTest : public SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        showDatabase(spreadProfile(5));
    }
    Profile& profile() { return *section_->database().activeProfile(); }
};

TEST_F(ScalesTest, TypedScalesOfferTheDenominatorAndRefuseNonsense) {
    profile().xScale = 1e-5f;
    dialogs_.expectInput("Enter X scale of display:  ", "(now it is 1:100000):1 /", std::nullopt, "100000");
    section_->typeXScale();
    EXPECT_FLOAT_EQ(profile().xScale, 1e-5f);  // cancel keeps 1:100000

    // A refusal asks again with the text typed; Cancel then keeps the scale.
    dialogs_.expectInput("Enter X scale of display:  ", "(now it is 1:100000):1 /", "abc");
    dialogs_.expectMessage("Integer!");
    dialogs_.expectInput("Enter X scale of display:  ", "(now it is 1:100000):1 /", std::nullopt, "abc");
    section_->typeXScale();
    EXPECT_FLOAT_EQ(profile().xScale, 1e-5f);

    dialogs_.expectInput("Enter Z scale of display:  ", "(now it is 1:500):1 /", "2000");
    section_->typeZScale();
    EXPECT_FLOAT_EQ(profile().zScale, 1.0f / 2000.0f);

    for (const char* typed : {"0", "-50"}) {
        dialogs_.expectInput("Enter Z scale of display:  ", "(now it is 1:2000):1 /", typed);
        dialogs_.expectMessage(
            "The scale is 1 : a whole number of 1 or more (1000 gives 1:1000); the scale stays as it was.");
        section_->typeZScale();
        EXPECT_FLOAT_EQ(profile().zScale, 1.0f / 2000.0f);
    }
}

TEST_F(ScalesTest, StepsLimitsAndChoices) {
    const float start = profile().xScale;
    section_->increaseXScale();
    section_->decreaseXScale();
    EXPECT_NEAR(profile().xScale / start, 0.9975, 1e-6);

    dialogs_.expectInput("Enter step of scale change in %:  ", "(now: 5%) : ", "12.5", "5");
    section_->typeScaleStep();
    EXPECT_EQ(section_->scaleStep(), 12.5f);
    dialogs_.expectInput("Enter step of scale change in %:  ", "(now: 12.5%) : ", "x");
    dialogs_.expectMessage("Hmm!");
    dialogs_.expectInput("Enter step of scale change in %:  ", "(now: 12.5%) : ", std::nullopt, "x");
    section_->typeScaleStep();
    EXPECT_EQ(section_->scaleStep(), 12.5f);
    // A step of 100 % down would make the scale 0: the scale stays.
    dialogs_.expectInput("Enter step of scale change in %:  ", "(now: 12.5%) : ", "100");
    section_->typeScaleStep();
    const float before = profile().xScale;
    section_->decreaseXScale();
    EXPECT_EQ(profile().xScale, before);

    dialogs_.expectInput("Enter minimal displayed chainage:  ", "( now -1000000 m )", "20", "-1000000");
    section_->typeMinChainage();
    EXPECT_EQ(section_->display().minChainage, 20.0f);
    dialogs_.expectInput("Enter maximal displayed chainage:  ", "( now: 1000000 m )", "?");
    dialogs_.expectMessage("Hmmm!");
    dialogs_.expectInput("Enter maximal displayed chainage:  ", "( now: 1000000 m )", std::nullopt, "?");
    section_->typeMaxChainage();
    dialogs_.expectInput("Enter maximal displayed Z:  ", "( now: 10000 m )", "x");
    dialogs_.expectMessage("Integer!");
    dialogs_.expectInput("Enter maximal displayed Z:  ", "( now: 10000 m )", std::nullopt, "x");
    section_->typeMaxElevation();
    EXPECT_EQ(section_->display().maxElevation, 10000.0f);

    // Profile 7 of a locality with one profile: the profile stays, point 0 is selected.
    section_->database().currentPoint = 3;
    int chosen = 0;
    InterpretationLink link;
    link.profileChosen = [&] { ++chosen; };
    section_->setInterpretationLink(link);
    section_->chooseProfile(7);
    EXPECT_EQ(section_->database().currentProfile, 0);
    EXPECT_EQ(section_->database().currentPoint, 0);
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(section_->menuItem("pf0")->isVisible());
    EXPECT_FALSE(section_->menuItem("pf1")->isVisible());
}

TEST_F(ScalesTest, FitToTheWidthFillsTheWindow) {
    section_->show();
    section_->resize(1000, 700);
    section_->fitToWidth();
    const int client = section_->scrollArea().viewport()->width();
    EXPECT_NEAR(section_->image().width(), client, client * 0.03);
    section_->fitAll();
    const int clientHeight = section_->scrollArea().viewport()->height();
    EXPECT_NEAR(section_->image().height(), clientHeight, clientHeight * 0.05);
}

TEST_F(ScalesTest, FitAllOfAFlatProfileOrOneChainageKeepsAFiniteScale) {
    section_->show();
    section_->resize(1000, 700);
    // A new profile filled by a quick import: every Z is 0, no models.
    for (VesPoint& p : profile().points) {
        p.z = 0.0f;
        p.MDLmx = 0;
    }
    profile().zScale = 5e-4f;
    section_->redrawSection();
    section_->fitAll();
    EXPECT_EQ(profile().zScale, 5e-4f) << "nothing to fit in height: the scale stays";
    EXPECT_GT(profile().xScale, 0.0f);
    EXPECT_LE(profile().xScale, 0.1f);
    dialogs_.expectInput("Enter Z scale of display:  ", "(now it is 1:2000):1 /", std::nullopt);
    section_->typeZScale();

    // Once a model is stored the section has a height again, and the fit takes it.
    profile().points[2].MDLmx = 1;
    profile().points[2].depth[0] = 12.0f;
    profile().points[2].depth[1] = 1e12f;
    section_->fitAll();
    const int clientHeight = section_->scrollArea().viewport()->height();
    EXPECT_NEAR(section_->image().height(), clientHeight, clientHeight * 0.05);

    // A single point: nothing to fit in width.
    profile().points.resize(1);
    const float x = profile().xScale;
    section_->fitAll();
    EXPECT_EQ(profile().xScale, x);
}

TEST_F(ScalesTest, SettingsFileDefaultsAndEnd) {
    // The fixed text, then the file looked for.
    dialogs_.expectMessage("ini file not found! default options loaded. \n" +
                           sectionSettingsPath(dir_).string());
    section_->loadSettingsFile();
    EXPECT_EQ(section_->ucmParameters(), UcmParameters{});
    section_->ucmParameters().xLabelStep = 25;
    section_->endProgram();
    EXPECT_EQ(programClosed_, 1);
    UcmParameters back;
    EXPECT_FALSE(readSectionSettings(sectionSettingsPath(dir_), back));
    EXPECT_EQ(back.xLabelStep, 25);
}

TEST_F(ScalesTest, UcmOptionsDialogTakesCheckedValuesOnly) {
    TparUCM dialog;
    section_->setUcmDialog(&dialog);
    section_->ucmParameters().minorTextSize = 0.123456f;
    section_->runUcmDialog = [this](TparUCM& d) {
        EXPECT_EQ(d.mensivelikost->text(), "0.1234");  // cut to four decimals
        EXPECT_EQ(d.prevyseni->text(), "5");
        d.krokticy->setText("0");
        dialogs_.expectMessage("The Z axes tic step must be 1 m or more.");
        d.acceptIfValid();
        EXPECT_FALSE(d.edited());
        d.krokticy->setText("2");
        d.krokpopx->setText("x");
        dialogs_.expectMessage("Integer!");
        d.acceptIfValid();
        d.restoreOriginalValues();  // back: the stored values again
        EXPECT_EQ(d.krokticy->text(), "1");
        d.prevyseni->setText("10");
        d.acceptIfValid();
    };
    section_->editUcmOptions();
    EXPECT_EQ(section_->ucmParameters().exaggeration, 10.0f);
    EXPECT_EQ(section_->ucmParameters().zTickStep, 1);
}

TEST_F(ScalesTest, UcmExportWritesTheSampleFixtureAndNeverOverwrites) {
    dialogs_.allowAnyMessages();
    section_->database() = VesDatabase{};
    ASSERT_TRUE(openDatabaseFile(section_->database(),
                                 std::string(ORMA_SOURCE_DIR) + "/samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb",
                                 dialogs_));
    dialogs_.allowAnyMessages(false);
    section_->display().resetAfterOpen();
    section_->redrawSection();
    const std::string out = path("P1.UCM");
    dialogs_.expectSave(out);
    section_->exportUcm();
    const std::string fixture = std::string(ORMA_SOURCE_DIR) + "/samples/ucm/P1.UCM";
    EXPECT_EQ(bytesOf(out), bytesOf(fixture));
    EXPECT_EQ(bytesOf(out + "_b"), bytesOf(fixture + "_b"));

    // The same name again, then a name whose "_b" file is taken, then cancel.
    writeBytes(path("B.UCM_b"), "keep");
    dialogs_.expectSave(out);
    dialogs_.expectMessage("File" + out + "exists already. Choose other name!");
    dialogs_.expectSave(path("B.UCM"));
    dialogs_.expectMessage("File" + path("B.UCM_b") + "exists already. Choose other name!");
    dialogs_.expectSave(std::nullopt);
    dialogs_.expectMessage("No file chosen.");
    section_->exportUcm();
    EXPECT_FALSE(fs::exists(path("B.UCM")));
    EXPECT_EQ(bytesOf(path("B.UCM_b")), "keep");
}

TEST_F(ScalesTest, JpegAndPrintOfTheSectionAreReadable) {
    dialogs_.expectSave(path("section.jpg"));
    section_->saveSectionAsJpeg();
    QImage jpeg;
    ASSERT_TRUE(jpeg.load(QString::fromStdString(path("section.jpg"))));
    EXPECT_EQ(jpeg.size(), section_->image().size());

    section_->resize(800, 600);
    section_->show();
    dialogs_.expectPrinterSetup(PrinterChoice{"", path("section.pdf"), false});
    section_->choosePrinter();
    section_->printSection();
    EXPECT_EQ(bytesOf(path("section.pdf")).substr(0, 5), "%PDF-");
}

TEST_F(ScalesTest, TerrainImportDrapesThePointsOrChangesNothing) {
    // Points 5, 15 ... 45 m along the terrain, a 3-4-5 slope from X 0.
    writeBytes(path("terrain.txt"), "pf 2\r\n0\t100\r\n300\t500\r\n");
    for (VesPoint& p : profile().points) p.terrainChainage = p.profileChainage;
    dialogs_.expectOpen(path("nothing.txt"));
    dialogs_.expectMessage("File" + path("nothing.txt") + "does not exist. Choose other!");
    dialogs_.expectOpen(path("terrain.txt"));
    dialogs_.expectMessage("name of terrain file: pf number of points: 2");
    section_->loadTerrainHeights();
    // The anchor at 5 m lies on the slope 5 m across, the next point 10 m
    // further along it, 6 m across and 8 m up.
    EXPECT_FLOAT_EQ(profile().points[0].z, 100.0f + 5.0f * 4.0f / 3.0f);
    EXPECT_NEAR(profile().points[1].profileChainage, 11.0f, 1e-4);
    EXPECT_NEAR(profile().points[1].z - profile().points[0].z, 8.0f, 1e-4);

    const std::vector<VesPoint> before = profile().points;
    writeBytes(path("bad.txt"), "pf 3\r\n0 100\r\n10 x\r\n");
    dialogs_.expectOpen(path("bad.txt"));
    dialogs_.expectMessage("name of terrain file: pf number of points: 3");
    dialogs_.expectMessage("Terrain reading error!");
    section_->loadTerrainHeights();
    EXPECT_EQ(profile().points[1].z, before[1].z);
    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("No file chosen.");
    section_->loadTerrainHeights();
}

}  // namespace
}  // namespace orma::ui::test
