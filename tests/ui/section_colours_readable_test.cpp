// The colour views as a user reads them: the legend labelled at its ends
// too, the pseudo-section on its own AB/2 axes with no model over it, no "0"
// for points without a model, interface marks that show on any colour, and
// fits that keep the legend and the right-hand labels inside the window.

#include <QAction>
#include <QScrollArea>
#include <QScrollBar>
#include <cmath>

#include "SectionFixture.h"
#include "ui/section/SectionColours.h"

namespace orma::ui::test {
namespace {

/// Four points 20 m apart, three layers from 15 to 2986 ohm·m (the sample
/// database's range).
VesDatabase wideRangeProfile() {
    VesDatabase db = orma::test::makeDatabase(1, 1, 4, 12, 3);
    Profile& profile = db.localities[0].profiles[0];
    profile.xScale = 2e-3f;
    profile.zScale = 2e-3f;
    for (std::size_t k = 0; k < profile.points.size(); ++k) {
        VesPoint& p = profile.points[k];
        p.profileChainage = 100.0f + 20.0f * static_cast<float>(k);
        p.z = 300.0f + static_cast<float>(k);
        p.resistivity[0] = 300.0f;
        p.resistivity[1] = k == 1 ? 15.0f : 40.0f;
        p.resistivity[2] = k == 2 ? 2986.0f : 900.0f;
        p.depth[0] = 2.0f;
        p.depth[1] = 6.0f;
        p.ssq = 0.0f;
    }
    return db;
}

class ColoursReadableTest : public SectionTest {
protected:
    void choose(const char* item) { section_->menuItem(item)->trigger(); }
    const SectionGeometry& g() { return section_->view().geometry(); }
    QRgb pixel(int x, int y) const { return section_->canvas().image().pixel(x, y); }
    const VesPoint& point(int k) {
        return section_->database().activeProfile()->points[static_cast<std::size_t>(k)];
    }
    int px(int k) { return g().px(point(k).profileChainage); }
    std::vector<std::string> legendTexts() {
        std::vector<std::string> texts;
        for (const ColourLegendLabel& label : section_->colours().legend().labels)
            texts.push_back(label.text);
        return texts;
    }
    /// Dark pixels in a band around point k's column below its arrow, the
    /// column itself left out (the fit error bar).
    int darkBelow(int k) {
        int dark = 0;
        const int x = px(k);
        for (int y = g().py(point(k).z) + 2; y < g().boxBottom; ++y)
            for (int dx = -14; dx <= 14; ++dx)
                if (dx != 0) dark += qGray(pixel(x + dx, y)) < 128;
        return dark;
    }
};

TEST_F(ColoursReadableTest, TheLegendNamesItsEndsBesideTheDecadesWithoutOverlap) {
    showDatabase(wideRangeProfile());
    choose("ResistivitySection1");
    EXPECT_EQ(legendTexts(), (std::vector<std::string>{"15", "100", "1000", "2986"}));
    const ColourLegendLayout& legend = section_->colours().legend();
    EXPECT_EQ(legend.labels.front().x, legend.barLeft);
    EXPECT_EQ(legend.labels.back().x, legend.barRight);
    const Canvas& canvas = section_->canvas();
    for (std::size_t i = 1; i < legend.labels.size(); ++i) {
        const ColourLegendLabel& a = legend.labels[i - 1];
        const ColourLegendLabel& b = legend.labels[i];
        EXPECT_LT(a.x + canvas.textWidth(a.text) / 2, b.x - canvas.textWidth(b.text) / 2)
            << a.text << " " << b.text;
    }

    // An end next to a decade gives way to it: 90 to 1100 reads 100, 1000.
    VesDatabase db = wideRangeProfile();
    for (VesPoint& p : db.localities[0].profiles[0].points) {
        p.resistivity[0] = 90.0f;
        p.resistivity[1] = 300.0f;
        p.resistivity[2] = 1100.0f;
    }
    showDatabase(db);
    EXPECT_EQ(legendTexts(), (std::vector<std::string>{"100", "1000"}));
}

TEST_F(ColoursReadableTest, ThePseudoSectionHasItsOwnDepthAxesAndNoModelOverIt) {
    VesDatabase db = wideRangeProfile();
    showDatabase(db);
    choose("PseudoSection1");
    EXPECT_FALSE(section_->view().modelsDrawn());
    const QImage withModels = section_->canvas().image().copy();
    // The models leave no trace: other resistivities and another upper
    // boundary (the deepest one sets the frame) change no pixel.
    for (VesPoint& p : db.localities[0].profiles[0].points) {
        p.resistivity[0] *= 2.0f;
        p.resistivity[1] *= 3.0f;
        p.depth[0] = 3.5f;
    }
    showDatabase(db);
    EXPECT_EQ(section_->canvas().image(), withModels);

    // The AB/2 axes hang from the first and the last point: the composite
    // curves start at grid row 2 (1.68 m) and reach row 13 (29 m), which
    // meets the box's bottom under the lowest point (the first).
    const std::vector<SectionColours::DepthLabel>& labels = section_->colours().depthLabels();
    std::vector<std::string> left, right;
    for (const SectionColours::DepthLabel& label : labels) (label.right ? right : left).push_back(label.text);
    EXPECT_EQ(left, (std::vector<std::string>{"2", "5", "10", "20"}));
    EXPECT_EQ(right, left);
    const double lowestTop = (g().elevationTop - point(0).z) * g().pixelsPerMetreZ;
    const double rowsPerDecade = (g().boxBottom - lowestTop) / (13 * kGridStep - 2 * kGridStep);
    for (const SectionColours::DepthLabel& label : labels) {
        const double top = (g().elevationTop - point(label.right ? 3 : 0).z) * g().pixelsPerMetreZ;
        EXPECT_NEAR(label.tickRow, top + (std::log10(label.ab2) - 2 * kGridStep) * rowsPerDecade, 1.5)
            << label.text << (label.right ? " right" : " left") << " top " << top;
        if (label.right)
            EXPECT_GT(label.x, g().boxRight);
        else
            EXPECT_LT(label.x + section_->canvas().textWidth(label.text), g().boxLeft);
    }
    // The right-hand labels are inside what the window shows.
    EXPECT_GE(section_->image().width(), section_->colours().labelsRight());

    // The other views keep the elevation labels and the models.
    choose("ResistivitySection1");
    EXPECT_TRUE(section_->view().modelsDrawn());
    EXPECT_TRUE(section_->colours().depthLabels().empty());
}

TEST_F(ColoursReadableTest, AFlatImportedProfileStillGetsAReadablePseudoSection) {
    // A quick import: every Z is 0 and no point has a model, so the section
    // spans no height at all.
    VesDatabase db = wideRangeProfile();
    for (VesPoint& p : db.localities[0].profiles[0].points) {
        p.z = 0.0f;
        p.MDLmx = 0;
        std::fill(p.resistivity.begin(), p.resistivity.end(), 0.0f);
    }
    showDatabase(db);
    const int flatBox = g().boxBottom - g().boxTop;
    choose("PseudoSection1");
    // Grid rows 2 to 13: 1.24 decades at five text heights at least.
    const double decades = 11 * kGridStep;
    EXPECT_GE(g().boxBottom - g().py(0.0), decades * 5 * g().textHeight - 1);
    EXPECT_GT(g().boxBottom - g().boxTop, flatBox);
    std::vector<int> rows;
    for (const SectionColours::DepthLabel& label : section_->colours().depthLabels())
        if (!label.right) rows.push_back(label.y);
    ASSERT_GE(rows.size(), 2u);
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_GE(rows[i] - rows[i - 1], g().textHeight) << i;
    // The legend stays below the box, and the bottom curve value is painted.
    EXPECT_GT(section_->colours().legend().barTop, g().boxBottom);
    EXPECT_NE(pixel(px(1), g().boxBottom - 2), 0xFFFFFFFFu);
    // Back to the schematic: the flat frame of before.
    choose("Schematic1");
    EXPECT_EQ(g().boxBottom - g().boxTop, flatBox);
}

TEST_F(ColoursReadableTest, APointWithoutAModelShowsNoZeroInAnyView) {
    VesDatabase db = wideRangeProfile();
    VesPoint& bare = db.localities[0].profiles[0].points[1];  // imported, not interpreted
    bare.MDLmx = 0;
    std::fill(bare.resistivity.begin(), bare.resistivity.end(), 0.0f);
    std::fill(bare.depth.begin(), bare.depth.end(), 0.0f);
    showDatabase(db);
    EXPECT_EQ(darkBelow(1), 0) << "schematic";
    EXPECT_GT(darkBelow(2), 20) << "a point with a model has its labels";
    choose("ResistivitySection1");
    EXPECT_EQ(darkBelow(1), 0) << "resistivity section";
    // A one-layer model is a model: its resistivity is written.
    db.localities[0].profiles[0].points[1].resistivity[0] = 120.0f;
    showDatabase(db);
    EXPECT_GT(darkBelow(1), 5);
}

TEST_F(ColoursReadableTest, InterfaceMarksAreBlackOnAWhiteBandOverAnyColour) {
    showDatabase(wideRangeProfile());
    choose("ResistivitySection1");
    const int s = SectionGeometry::kMarkerSize;
    for (int k = 0; k < 4; ++k) {
        for (int m = 0; m < 2; ++m) {
            const int row =
                g().pyRounded(static_cast<double>(point(k).z) - point(k).depth[static_cast<std::size_t>(m)]);
            // The mark's last column is left out, as a line's end point is.
            for (int x = px(k) - s / 2; x < px(k) + s / 2; ++x) {
                EXPECT_EQ(pixel(x, row) & 0xFFFFFF, k == 0 ? 0x0000FFu : 0u) << k << "/" << m << " x " << x;
                EXPECT_EQ(pixel(x, row - 1), 0xFFFFFFFFu) << k << "/" << m << " x " << x;
                EXPECT_EQ(pixel(x, row + 1), 0xFFFFFFFFu) << k << "/" << m << " x " << x;
            }
        }
    }
}

TEST_F(ColoursReadableTest, FitsKeepTheLegendAndTheRightLabelsInsideTheWindow) {
    dialogs_.allowAnyMessages();  // showing it looks for the sample database
    section_->show();
    section_->resize(500, 600);
    QApplication::processEvents();
    dialogs_.allowAnyMessages(false);
    VesDatabase db = wideRangeProfile();
    for (VesPoint& p : db.localities[0].profiles[0].points) p.z += 1000.0f;  // four-digit elevations
    db.localities[0].profiles[0].zScale = 1e-2f;  // far too tall: the fit comes down from above
    db.localities[0].profiles[0].xScale = 2e-2f;  // and far too wide
    showDatabase(db);
    const auto legendInside = [this](const char* when) {
        QApplication::processEvents();
        const QScrollArea& area = section_->scrollArea();
        const ColourLegendLayout& legend = section_->colours().legend();
        EXPECT_FALSE(area.verticalScrollBar()->isVisible()) << when;
        EXPECT_LE(section_->image().height(), area.viewport()->height()) << when;
        EXPECT_LT(legend.barBottom + 4 + g().textHeight, area.viewport()->height()) << when;
    };
    for (const char* view : {"ResistivitySection1", "PseudoSection1"}) {
        choose(view);
        section_->fitToHeight();
        legendInside(view);
        // Still wider than the window: the horizontal bar stays, below the legend.
        EXPECT_TRUE(section_->scrollArea().horizontalScrollBar()->isVisible()) << view;

        section_->fitAll();
        legendInside(view);
        const QScrollArea& area = section_->scrollArea();
        EXPECT_FALSE(area.horizontalScrollBar()->isVisible()) << view;
        EXPECT_LE(section_->image().width(), area.viewport()->width()) << view;
        EXPECT_GE(section_->image().width(), area.viewport()->width() - 2) << view;
        const int labelsRight =
            std::max(section_->view().axisLabelsRight(), section_->colours().labelsRight());
        EXPECT_GT(labelsRight, g().boxRight) << view;
        EXPECT_LE(labelsRight, area.viewport()->width()) << view;

        // Zoomed in again, one Fit all still fits.
        db.localities[0].profiles[0].zScale = 1e-2f;
        db.localities[0].profiles[0].xScale = 2e-2f;
        showDatabase(db);
    }
}

}  // namespace
}  // namespace orma::ui::test
