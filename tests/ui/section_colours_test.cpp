// The colour views of the section window: the menu, the resistivity section
// under the drawing, the moving highlight over colours, the legend and the
// typed colour range.

#include <QAction>
#include <QMenu>
#include <QScrollArea>

#include <cmath>
#include <cstdlib>

#include "SectionFixture.h"
#include "ui/section/SectionColours.h"

namespace orma::ui::test {
namespace {

/// Two points 20 m apart at one elevation with the same model: 20 ohm·m
/// down to 5 m, 400 ohm·m below.
VesDatabase twoEqualPoints() {
    VesDatabase db = orma::test::makeDatabase(1, 1, 2, 12, 2);
    Profile& profile = db.localities[0].profiles[0];
    profile.xScale = 2e-3f;  // 28 pixels per metre
    profile.zScale = 2e-3f;
    for (int k = 0; k < 2; ++k) {
        VesPoint& p = profile.points[static_cast<std::size_t>(k)];
        p.profileChainage = 100.0f + 20.0f * k;
        p.z = 300.0f;
        p.resistivity[0] = 20.0f;
        p.resistivity[1] = -400.0f;  // held: the sign is no part of the colour
        p.depth[0] = 5.0f;
    }
    return db;
}

bool closeColours(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3 && std::abs(qBlue(a) - qBlue(b)) <= 3;
}

class SectionColoursTest : public SectionTest {
protected:
    void choose(const char* item) {
        QAction* action = section_->menuItem(item);
        ASSERT_NE(action, nullptr) << item;
        action->trigger();
    }
    QRgb pixel(int x, int y) const { return section_->canvas().image().pixel(x, y); }
    const SectionGeometry& g() { return section_->view().geometry(); }
    int px(int k) { return g().px(section_->database().activeProfile()->points[static_cast<std::size_t>(k)].profileChainage); }
};

TEST_F(SectionColoursTest, MenuOffersTheViewsAndTheSchematicComesBackUnchanged) {
    showDatabase(spreadProfile(4));
    const QImage schematic = section_->canvas().image().copy();
    const int schematicHeight = g().imageHeight;
    auto* colour = section_->findChild<QMenu*>("Barva1");
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->title().toStdString(), "Colour");
    EXPECT_EQ(section_->menuItem("Schematic1")->text().toStdString(), "Schematic (as before)");
    EXPECT_EQ(section_->menuItem("ResistivitySection1")->text().toStdString(), "Resistivity section");
    EXPECT_EQ(section_->menuItem("PseudoSection1")->text().toStdString(), "Apparent resistivity pseudo-section");
    EXPECT_EQ(section_->menuItem("ColourRange1")->text().toStdString(), "Colour range...");
    EXPECT_TRUE(section_->menuItem("Schematic1")->isChecked());

    for (const char* view : {"ResistivitySection1", "PseudoSection1"}) {
        choose(view);
        EXPECT_TRUE(section_->menuItem(view)->isChecked());
        EXPECT_NE(section_->canvas().image(), schematic) << view;
        // The legend strip below the section is part of the shown image.
        EXPECT_GT(g().imageHeight, schematicHeight) << view;
        EXPECT_EQ(section_->image().height(), g().imageHeight) << view;
    }
    choose("Schematic1");
    EXPECT_EQ(g().imageHeight, schematicHeight);
    EXPECT_EQ(section_->canvas().image(), schematic);
}

TEST_F(SectionColoursTest, EqualModelsPaintEachLayerInItsColourUnderTheDrawing) {
    showDatabase(twoEqualPoints());
    choose("ResistivitySection1");
    const ColourScale& scale = section_->colours().scale();
    EXPECT_NEAR(scale.range().low, std::log10(20.0), 1e-9);
    EXPECT_NEAR(scale.range().high, std::log10(400.0), 1e-9);
    const QRgb layer1 = scale.colourOf(std::log10(20.0));
    const QRgb layer2 = scale.colourOf(std::log10(400.0));
    const int top = g().py(300.0), boundary = g().pyRounded(295.0);
    // Between the points, clear of the labels written at each point.
    for (int x = px(0) + 25; x <= px(1) - 25; ++x) {
        for (int y = top + 2; y < boundary - 1; ++y) ASSERT_EQ(pixel(x, y), layer1) << x << "," << y;
        for (int y = boundary + 1; y < g().boxBottom - 1; ++y) ASSERT_EQ(pixel(x, y), layer2) << x << "," << y;  // above the ticks
        EXPECT_EQ(pixel(x, top - 3), 0xFFFFFFFFu);  // above the terrain
    }
    // Outside the first and last point nothing is painted (only the
    // points' own labels are there).
    for (int y = top + 2; y < g().boxBottom; ++y) {
        for (int x : {px(0) - 1, px(0) - 9, px(1) + 1, px(1) + 9}) {
            EXPECT_NE(pixel(x, y), layer1) << x << "," << y;
            EXPECT_NE(pixel(x, y), layer2) << x << "," << y;
        }
    }
    // The section's drawing stays on top: the terrain line and the grey box.
    EXPECT_EQ(pixel((px(0) + px(1)) / 2, top), 0xFF008000u);
    EXPECT_EQ(pixel(g().boxLeft, (top + boundary) / 2), 0xFF808080u);
}

TEST_F(SectionColoursTest, HighlightMovesOverTheColoursWithoutAFullRedraw) {
    showDatabase(spreadProfile(3, 4));
    choose("ResistivitySection1");
    const auto fullRedrawWith = [this](int current) {
        section_->database().currentPoint = current;
        section_->redrawSection();
        return section_->canvas().image().copy();
    };
    const QImage selected2 = fullRedrawWith(2);
    const QImage selected0 = fullRedrawWith(0);
    clickPoint(2);
    EXPECT_EQ(section_->canvas().image(), selected2);
    clickPoint(0);
    EXPECT_EQ(section_->canvas().image(), selected0);
}

TEST_F(SectionColoursTest, LegendLabelsSitOnTheirColoursAndATypedRangeClamps) {
    showDatabase(twoEqualPoints());
    choose("ResistivitySection1");
    const auto checkLegend = [this](const char* when) {
        const ColourLegendLayout& legend = section_->colours().legend();
        ASSERT_FALSE(legend.labels.empty()) << when;
        for (const ColourLegendLabel& label : legend.labels) {
            EXPECT_TRUE(closeColours(pixel(label.x, legend.barTop + 1), section_->colours().scale().colourOf(label.log10Value)))
                << when << " " << label.text;
            // The label's text is written centred under its column.
            int dark = 0;
            for (int x = label.x - 12; x <= label.x + 12; ++x)
                for (int y = legend.barBottom + 5; y < legend.barBottom + 5 + g().textHeight; ++y)
                    dark += qGray(pixel(x, y)) < 100;
            EXPECT_GT(dark, 5) << when << " " << label.text;
        }
    };
    checkLegend("from the models");
    // 20..400 holds one decade; its ends are named too.
    std::vector<std::string> texts;
    for (const ColourLegendLabel& label : section_->colours().legend().labels) texts.push_back(label.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"20", "100", "400"}));

    const int x = (px(0) + px(1)) / 2;
    const int inLayer1 = g().py(300.0) + 10, inLayer2 = g().boxBottom - 3;
    dialogs_.expectInput("Colour range", "Colours from and to, ohm\u00B7m (now 20 to 400; empty: from the profile):",
                         "100 1000", "");
    choose("ColourRange1");
    EXPECT_EQ(pixel(x, inLayer1), ColourScale::ramp(0.0));  // 20 is below the range
    EXPECT_EQ(pixel(x, inLayer2), section_->colours().scale().colourOf(std::log10(400.0)));
    checkLegend("typed");
    EXPECT_EQ(section_->colours().legend().labels.size(), 2u);

    // A bad entry is refused and asked again; Cancel then changes nothing; an
    // empty entry goes back to the models' range.
    dialogs_.expectInput("Colour range", "Colours from and to, ohm\u00B7m (now 100 to 1000; empty: from the profile):",
                         "1000 100", "100 1000");
    dialogs_.expectMessage("Enter two resistivities above zero, the lower first (for example 10 1000), "
                           "or nothing for the range of the profile.");
    dialogs_.expectInput("Colour range", "Colours from and to, ohm\u00B7m (now 100 to 1000; empty: from the profile):",
                         std::nullopt, "1000 100");
    choose("ColourRange1");
    EXPECT_EQ(pixel(x, inLayer1), ColourScale::ramp(0.0));
    dialogs_.expectInput("Colour range", "Colours from and to, ohm\u00B7m (now 100 to 1000; empty: from the profile):",
                         " ", "100 1000");
    choose("ColourRange1");
    EXPECT_FALSE(section_->colours().typedRange());
    EXPECT_EQ(pixel(x, inLayer1), section_->colours().scale().colourOf(std::log10(20.0)));
}

TEST_F(SectionColoursTest, PointsWithoutModelOrCurveLeaveAGapAndAreNamed) {
    VesDatabase db = spreadProfile(3, 2);
    VesPoint& bare = db.localities[0].profiles[0].points[1];
    bare.resistivity[0] = 0.0f;  // imported, not interpreted
    for (float& value : bare.composite) value = 0.0f;
    showDatabase(db);
    for (const char* view : {"ResistivitySection1", "PseudoSection1"}) {
        choose(view);
        // Columns on either side of the bare point stay white: nothing is
        // bridged across it.
        int painted = 0;
        for (int x = px(0) + 20; x < px(2) - 20; ++x)
            for (int y = g().boxTop + 1; y < g().boxBottom; y += 3) painted += qGray(pixel(x, y)) < 250 && qGray(pixel(x, y)) > 0;
        EXPECT_LT(painted, 200) << view;  // only the bare point's own marks and labels
        // The legend names it.
        int dark = 0;
        const ColourLegendLayout& legend = section_->colours().legend();
        for (int x = g().boxLeft; x < g().imageWidth; ++x)
            for (int y = legend.barBottom + 6 + g().textHeight; y < g().imageHeight; ++y) dark += qGray(pixel(x, y)) < 100;
        EXPECT_GT(dark, 20) << view;
    }
}

TEST_F(SectionColoursTest, FitToTheHeightLeavesRoomForTheLegend) {
    showDatabase(spreadProfile(4));
    section_->show();
    section_->resize(1000, 700);
    choose("ResistivitySection1");
    section_->fitToHeight();
    const int clientHeight = section_->scrollArea().viewport()->height();
    EXPECT_NEAR(section_->image().height(), clientHeight, clientHeight * 0.05);
}

TEST_F(SectionColoursTest, JpegOfEachViewIsWhatTheWindowShows) {
    showDatabase(twoEqualPoints());
    for (const char* view : {"ResistivitySection1", "PseudoSection1"}) {
        choose(view);
        const std::string file = path(std::string(view) + ".jpg");
        dialogs_.expectSave(file);
        section_->saveSectionAsJpeg();
        QImage jpeg;
        ASSERT_TRUE(jpeg.load(QString::fromStdString(file))) << view;
        ASSERT_EQ(jpeg.size(), section_->image().size()) << view;  // the legend strip included
        // Lossy, but close everywhere on average and in every coloured area.
        const QImage shown = section_->canvas().image().copy(0, 0, jpeg.width(), jpeg.height());
        double difference = 0.0;
        for (int y = 0; y < jpeg.height(); ++y)
            for (int x = 0; x < jpeg.width(); ++x)
                difference += std::abs(qGray(jpeg.pixel(x, y)) - qGray(shown.pixel(x, y)));
        EXPECT_LT(difference / (jpeg.width() * jpeg.height()), 3.0) << view;
        const int x = (px(0) + px(1)) / 2, y = g().py(300.0) + 10;
        EXPECT_TRUE(std::abs(qRed(jpeg.pixel(x, y)) - qRed(shown.pixel(x, y))) < 16 &&
                    std::abs(qGreen(jpeg.pixel(x, y)) - qGreen(shown.pixel(x, y))) < 16 &&
                    std::abs(qBlue(jpeg.pixel(x, y)) - qBlue(shown.pixel(x, y))) < 16)
            << view;
        EXPECT_NE(shown.pixel(x, y), 0xFFFFFFFFu) << view;
    }
}

}  // namespace
}  // namespace orma::ui::test
