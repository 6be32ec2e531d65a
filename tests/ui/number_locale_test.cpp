// Both windows on a Czech desktop: numbers shown with a decimal comma, input
// boxes and dialog fields proposing commas and taking commas or points back,
// refusals asked again. The desktop's locale is Qt's: the C library stays in
// "C" here, so the test runs the same whichever glibc locales are installed.

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTableWidget>

#include <clocale>
#include <cmath>

#include "SectionFixture.h"
#include "ui/interpretation/ParameterRangesDialog.h"
#include "ui/interpretation/plot/TextFormat.h"
#include "ui/platform/NumberText.h"
#include "ui/section/SectionColours.h"
#include "ui/section/TparUCM.h"

namespace orma::ui::test {
namespace {

class CzechDesktopTest : public SectionTest {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QStringLiteral("cs_CZ")));
        std::setlocale(LC_ALL, "C");
        SectionTest::SetUp();
    }
    void TearDown() override {
        SectionTest::TearDown();
        QLocale::setDefault(QLocale::c());
    }
};

/// Two points whose two-layer models hold 14.9731 and 2985.83 ohm·m.
VesDatabase twoModels() {
    VesDatabase db = orma::test::makeDatabase(1, 1, 2, 12, 2);
    db.localities[0].profiles[0].xScale = 2e-3f;
    db.localities[0].profiles[0].zScale = 2e-3f;
    for (VesPoint& p : db.localities[0].profiles[0].points) {
        p.resistivity[0] = 14.9731f;
        p.resistivity[1] = 2985.83f;
    }
    return db;
}

TEST_F(CzechDesktopTest, ShownNumbersCarryTheDecimalCommaAndOnlyNumbersDo) {
    EXPECT_EQ(decimalSeparator(), ",");
    EXPECT_EQ(FormattedText("SSQ =  %.6f %s", 0.008856, "(VES1.5)").view(), "SSQ =  0,008856 (VES1.5)");
    EXPECT_EQ(generalNumber(0.1).view(), "0,1");
    EXPECT_EQ(FormattedText("%.2f-  -%.2f %d%%", 95.5, 1.25, 7).view(), "95,50-  -1,25 7%");
    EXPECT_EQ(FormattedText("%-8.1e|%5.*f|%Lg", 1500.0, 1, 2.25, 0.5L).view(), "1,5e+03 |  2,2|0,5");
    EXPECT_EQ(fixedText(100.0, 1), "100,0");
    EXPECT_EQ(shownText("depth: AB/2 %.3g m", 1.3), "depth: AB/2 1,3 m");

    // The section's labels and the colour legend.
    VesDatabase db = twoModels();
    db.localities[0].profiles[0].points[0].profileChainage = 12.5f;
    section_->display().labels.chainageAlongTerrain = false;
    showDatabase(db);
    EXPECT_EQ(section_->view().pointLabel(db.localities[0].profiles[0].points[0]), "12,5");
    section_->menuItem("ResistivitySection1")->trigger();
    dialogs_.expectInput("Colour range", "Colours from and to, ohm\u00B7m (now 14,9731 to 2985,83; empty: from the profile):",
                         "0,5 0,9", "");
    section_->menuItem("ColourRange1")->trigger();
    const ColourLegendLayout& legend = section_->colours().legend();
    ASSERT_EQ(legend.labels.size(), 2u);
    EXPECT_EQ(legend.labels[0].text, "0,5");
    EXPECT_EQ(legend.labels[1].text, "0,9");

    // The parameter ranges table of the interpretation window.
    ParameterRangesDialog ranges;
    RangeSummary summary;
    summary.factor = 1.05;
    summary.bestSsq = 0.008856;
    summary.threshold = 0.0093;
    summary.parameterCount = 1;
    summary.ranges[0].layer = 1;
    summary.ranges[0].value = 95.5;
    summary.ranges[0].lower = 90.25;
    summary.ranges[0].upper = 101.75;
    summary.ranges[0].logStdDev = std::log(1.5);
    ranges.showRanges(summary, "13-point filter");
    EXPECT_EQ(ranges.table()->item(0, 1)->text(), "95,5");
    EXPECT_EQ(ranges.table()->item(0, 2)->text(), "90,25");
    EXPECT_EQ(ranges.table()->item(0, 4)->text(), QString::fromUtf8("\u00d7 1,5000"));
    EXPECT_TRUE(ranges.heading()->text().contains("0,008856"));
    ranges.close();
}

TEST_F(CzechDesktopTest, ColourRangeTakesBackWhatItProposesAndAsksAgainAfterARefusal) {
    showDatabase(twoModels());
    section_->menuItem("ResistivitySection1")->trigger();
    const std::string prompt = "Colours from and to, ohm\u00B7m (now 14,9731 to 2985,83; empty: from the profile):";
    dialogs_.expectInput("Colour range", prompt, "14,9731 2985,83", "");
    section_->menuItem("ColourRange1")->trigger();
    ASSERT_TRUE(section_->colours().typedRange());
    EXPECT_NEAR(std::pow(10.0, section_->colours().typedRange()->low), 14.9731, 1e-9);
    EXPECT_NEAR(std::pow(10.0, section_->colours().typedRange()->high), 2985.83, 1e-9);

    // "5,20" is a single number here: refused, asked again with the text,
    // and a point is taken as well as a comma.
    dialogs_.expectInput("Colour range", prompt, "5,20", "14,9731 2985,83");
    dialogs_.expectMessage("Enter two resistivities above zero, the lower first (for example 10 1000), "
                           "or nothing for the range of the profile.");
    dialogs_.expectInput("Colour range", prompt, "0.5 20,5", "5,20");
    section_->menuItem("ColourRange1")->trigger();
    ASSERT_TRUE(section_->colours().typedRange());
    EXPECT_NEAR(std::pow(10.0, section_->colours().typedRange()->low), 0.5, 1e-12);
    EXPECT_NEAR(std::pow(10.0, section_->colours().typedRange()->high), 20.5, 1e-12);
}

TEST_F(CzechDesktopTest, InputBoxesProposeCommasAndTakeCommasOrPoints) {
    showDatabase(spreadProfile(3));
    // The drift step: the float 0.001 proposed as 0,001.
    const char* drift = "Modify the step of the drift of VES curve ";
    dialogs_.expectInput(drift, "[log10 ohm.m]:", "0,01", "0,001");
    window_->typeDriftStep();
    EXPECT_FLOAT_EQ(window_->sounding().driftStep, 0.01f);
    dialogs_.expectInput(drift, "[log10 ohm.m]:", "0.2", "0,01");
    window_->typeDriftStep();
    EXPECT_FLOAT_EQ(window_->sounding().driftStep, 0.2f);

    // The section's step and limits.
    dialogs_.expectInput("Enter step of scale change in %:  ", "(now: 5%) : ", "12,5", "5");
    section_->typeScaleStep();
    EXPECT_EQ(section_->scaleStep(), 12.5f);
    dialogs_.expectInput("Enter step of scale change in %:  ", "(now: 12,5%) : ", "1,2,5", "12,5");
    dialogs_.expectMessage("Hmm!");
    dialogs_.expectInput("Enter step of scale change in %:  ", "(now: 12,5%) : ", "7.5", "1,2,5");
    section_->typeScaleStep();
    EXPECT_EQ(section_->scaleStep(), 7.5f);
    dialogs_.expectInput("Enter minimal displayed chainage:  ", "( now -1000000 m )", "-20,25", "-1000000");
    section_->typeMinChainage();
    EXPECT_EQ(section_->display().minChainage, -20.25f);
    dialogs_.expectInput("Enter minimal displayed chainage:  ", "( now -20,25 m )", std::nullopt, "-20,25");
    section_->typeMinChainage();

    // A scale is a whole number: a decimal is refused and asked again.
    const float scale = section_->database().activeProfile()->xScale;
    dialogs_.expectInput("Enter X scale of display:  ", "(now it is 1:500):1 /", "1000,5", "500");
    dialogs_.expectMessage("Integer!");
    dialogs_.expectInput("Enter X scale of display:  ", "(now it is 1:500):1 /", std::nullopt, "1000,5");
    section_->typeXScale();
    EXPECT_EQ(section_->database().activeProfile()->xScale, scale);
}

TEST_F(CzechDesktopTest, TypedCurveShowsCommasAndTakesTheCommaResistivity) {
    dialogs_.allowAnyMessages();  // the reprocessing of every point speaks too
    dialogs_.expectInput("Enter VES point number or chainage: ", "VES point number: ", "5");
    dialogs_.expectInput("Enter profile number:", "profile number: ", "1");
    dialogs_.expectInput("Enter amount of branches of VES curve: ", "number of branches: ", "1");
    dialogs_.expectInput("Number of omitted AB/2(measured from AB/2 1m=0,1.3m=1,1.68,2.18,2.82,3.66,4.74,6.15,7.97,10.29..): ",
                         "omitted AB/2: ", "0");
    const char* rho = "Enter rezistivity:  (end of branch - ENTER)";
    dialogs_.expectInput(rho, "row:1, AB/2=1,00 m -> REZISTIVITY: ", "95,5", "0");
    dialogs_.expectInput(rho, "row:2, AB/2=1,30 m -> REZISTIVITY: ", "96.5", "0");
    dialogs_.expectInput(rho, "row:3, AB/2=1,68 m -> REZISTIVITY: ", "97 ohm", "0");
    dialogs_.expectInput(rho, "row:3, AB/2=1,68 m -> REZISTIVITY: ", "", "0");
    window_->inputCurveManually();
    const PointTable& points = window_->sounding().points;
    ASSERT_EQ(points.pointCount, 2);
    EXPECT_FLOAT_EQ(points.rhoA[0], 95.5f);
    EXPECT_FLOAT_EQ(points.rhoA[1], 96.5f);
    EXPECT_NE(std::find(dialogs_.messages().begin(), dialogs_.messages().end(), "Point is the decimal sign"),
              dialogs_.messages().end());
}

TEST_F(CzechDesktopTest, DialogFieldsShowCommasAndReadBoth) {
    // The UCM options: values cut to four decimals, then shown with a comma.
    showDatabase(spreadProfile(3));
    TparUCM dialog;
    section_->setUcmDialog(&dialog);
    section_->ucmParameters().minorTextSize = 0.123456f;
    section_->ucmParameters().exaggeration = 2.5f;
    section_->runUcmDialog = [this](TparUCM& d) {
        EXPECT_EQ(d.mensivelikost->text(), "0,1234");
        EXPECT_EQ(d.prevyseni->text(), "2,5");
        d.vyskasipky->setText("1,2,5");
        dialogs_.expectMessage("'1,2,5' is not a number.");
        d.acceptIfValid();
        EXPECT_FALSE(d.edited());
        d.vyskasipky->setText("1,75");
        d.sirkasipky->setText("2.25");
        d.acceptIfValid();
    };
    section_->editUcmOptions();
    EXPECT_EQ(section_->ucmParameters().arrowHeight, 1.75f);
    EXPECT_EQ(section_->ucmParameters().arrowWidth, 2.25f);
    EXPECT_EQ(section_->ucmParameters().exaggeration, 2.5f);

    // The point dialog: a chainage of 15.5 shown as 15,5, a typed comma taken.
    VesDatabase db = orma::test::makeDatabase(1, 1, 3);
    db.currentPoint = 1;
    parameters_->prepareFromSection(db);
    EXPECT_EQ(parameters_->eMetraz->text().toStdString(), "15,5");
    parameters_->eZ->setText("312,25");
    parameters_->eX->setText("1001.5");
    parameters_->acceptIfValid();
    parameters_->applyToDatabase();
    EXPECT_EQ(db.localities[0].profiles[0].points[1].z, 312.25f);
    EXPECT_EQ(db.localities[0].profiles[0].points[1].x, 1001.5f);
}

}  // namespace
}  // namespace orma::ui::test
