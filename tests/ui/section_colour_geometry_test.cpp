// The resistivity section in the section window between two points whose
// models and elevations differ: every pixel between them (clear of the
// section's own drawing) holds the colour computed here from the points'
// chainages, elevations and models alone.

#include <QAction>
#include <cmath>

#include "SectionFixture.h"
#include "ui/section/SectionColours.h"

namespace orma::ui::test {
namespace {

class SectionColourGeometryTest : public SectionTest {};

TEST_F(SectionColourGeometryTest, ColoursBetweenTwoPointsFollowTheirModelsAndTerrain) {
    VesDatabase db = orma::test::makeDatabase(1, 1, 2, 12, 2);
    Profile& profile = db.localities[0].profiles[0];
    profile.xScale = 2e-3f;
    profile.zScale = 2e-3f;
    VesPoint& a = profile.points[0];
    VesPoint& b = profile.points[1];
    a.profileChainage = 100.0f;
    a.z = 300.0f;
    a.resistivity[0] = 20.0f;
    a.resistivity[1] = -400.0f;  // held: the sign is no part of the colour
    a.depth[0] = 5.0f;
    b.profileChainage = 124.0f;
    b.z = 297.0f;
    b.resistivity[0] = 50.0f;
    b.resistivity[1] = 110.0f;
    b.depth[0] = -9.0f;  // a held depth
    showDatabase(db);
    section_->menuItem("ResistivitySection1")->trigger();

    // The colour range is that of the models shown.
    const LogRange range{std::log10(20.0), std::log10(400.0)};
    const ColourScale& scale = section_->colours().scale();
    EXPECT_NEAR(scale.range().low, range.low, 1e-9);
    EXPECT_NEAR(scale.range().high, range.high, 1e-9);

    const SectionGeometry& g = section_->view().geometry();
    const QImage image = section_->canvas().image();
    const int xa = g.px(a.profileChainage), xb = g.px(b.profileChainage);
    ASSERT_GT(xb - xa, 100);
    const auto row = [&g](double elevation) { return (g.elevationTop - elevation) * g.pixelsPerMetreZ; };
    int checked = 0;
    for (int x = xa + 30; x <= xb - 30; ++x) {
        const double t = double(x - xa) / double(xb - xa);
        const double top = row(a.z) + t * (row(b.z) - row(a.z));
        const double boundary = row(a.z - 5.0) + t * (row(b.z - 9.0) - row(a.z - 5.0));
        for (int y = g.boxTop + 1; y < g.boxBottom - 8; ++y) {
            const double centre = y + 0.5;
            // Clear of the terrain line and of where the two colours meet.
            if (std::fabs(centre - top) < 2.5 || std::fabs(centre - boundary) < 1.0) continue;
            const QRgb pixel = image.pixel(x, y);
            if (centre < top) {
                EXPECT_EQ(pixel, 0xFFFFFFFFu) << "above the terrain at " << x << "," << y;
                continue;
            }
            const double logRho = centre < boundary ? (1 - t) * std::log10(20.0) + t * std::log10(50.0)
                                                    : (1 - t) * std::log10(400.0) + t * std::log10(110.0);
            const double steps = (logRho - range.low) / (range.high - range.low) * 255.0;
            const int index = static_cast<int>(std::floor(steps + 0.5));
            const bool halfWay = std::fabs(steps - std::floor(steps) - 0.5) < 1e-6;
            const bool fits = pixel == ColourScale::ramp(index / 255.0) ||
                              (halfWay && pixel == ColourScale::ramp((index - 1) / 255.0));
            EXPECT_TRUE(fits) << "pixel " << x << "," << y << ": log rho " << logRho << ", step " << steps;
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);
}

}  // namespace
}  // namespace orma::ui::test
