#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/SectionFrame.h"
#include "core/UcmParameters.h"

namespace orma {
namespace {

TEST(UcmSteps, FrameSizeChoosesTheSteps) {
    // 0..300 m of points (a 315 m frame) and a 60 m high image.
    UcmParameters p;
    adjustUcmSteps(p, 315.0, 60.0);
    EXPECT_EQ(p.xTickStep, 10);
    EXPECT_EQ(p.xLabelStep, 50);
    EXPECT_EQ(p.zLabelStep, 5);
    EXPECT_EQ(p.zTickStep, 1);  // kept
    UcmParameters small;
    adjustUcmSteps(small, 100.0, 49.9);
    EXPECT_EQ(small, UcmParameters{});
    UcmParameters tall;
    adjustUcmSteps(tall, 150.0, 100.0);
    EXPECT_EQ(tall.zTickStep, 2);
    EXPECT_EQ(tall.zLabelStep, 10);
    EXPECT_EQ(tall.xLabelStep, 20);
    EXPECT_EQ(tall.xTickStep, 5);
}

TEST(UcmSteps, OneRuleRefusesWhatTheExportCannotUse) {
    UcmParameters p;
    EXPECT_FALSE(ucmParametersProblem(p));
    p.xTickStep = 0;   // no chainage axis
    p.zLabelStep = 0;  // no elevation axes
    EXPECT_FALSE(ucmParametersProblem(p));

    struct Case {
        UcmField field;
        double value;
        const char* refusal;  ///< nullptr: taken
    };
    const Case cases[] = {
        {UcmField::exaggeration, 1e-30, "The distortion of scale Z/X must be 0.01 or more."},
        {UcmField::exaggeration, -5.0, "The distortion of scale Z/X must be 0.01 or more."},
        {UcmField::exaggeration, 0.01, nullptr},
        {UcmField::exaggeration, 1000.0, nullptr},
        {UcmField::exaggeration, 1000.5, "The distortion of scale Z/X must be 1000 or less."},
        {UcmField::exaggeration, 1e300, "The distortion of scale Z/X must be 1000 or less."},
        {UcmField::exaggeration, std::nan(""), "The distortion of scale Z/X must be 0.01 or more."},
        {UcmField::minorTextSize, 0.005, "The minor characters size must be 0.01 pxl or more."},
        {UcmField::majorTextSize, 0.15, nullptr},
        {UcmField::interfaceSignWidth, -1.0, "The width of VES interface sign must be 0 m or more."},
        {UcmField::arrowHeight, 0.0, nullptr},
        {UcmField::arrowWidth, 1001.0, "The width of VES point arrow must be 1000 m or less."},
        {UcmField::zTickStep, 0.0, "The Z axes tic step must be 1 m or more."},
        {UcmField::xLabelStep, 0.0, "The X axes label step must be 1 m or more."},
        {UcmField::xTickStep, -5.0, "The X axes tic step must be 0 m or more."},
        {UcmField::xTickStep, 2.5, "The X axes tic step must be a whole number."},
        {UcmField::zLabelStep, 100001.0, "The Z axes label step must be 100000 m or less."},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> problem = ucmValueProblem(c.field, c.value);
        EXPECT_EQ(problem.value_or("taken"), c.refusal != nullptr ? c.refusal : "taken")
            << static_cast<int>(c.field) << " = " << c.value;
    }

    // The whole set names the first refused field in the dialog's order.
    UcmParameters bad;
    bad.arrowHeight = -1.0f;
    bad.majorTextSize = 0.0f;
    const std::optional<UcmParametersProblem> first = ucmParametersProblem(bad);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->field, UcmField::majorTextSize);
    EXPECT_EQ(first->message, "The major characters size must be 0.01 pxl or more.");
}

TEST(ExportFrame, PointsInterfacesAndLimitsMakeTheFrame) {
    Profile profile;
    profile.zScale = 1.0f / 1000.0f;  // 14.17 pixels per metre
    VesPoint a, b;
    a.profileChainage = 100;
    a.z = 250;
    a.MDLmx = 1;
    a.depth[0] = -20;  // a held depth counts with its value
    a.depth[1] = 1e12f;  // the substratum does not
    b.profileChainage = 400;
    b.z = 260;
    profile.points = {a, b};
    const ExportFrame f = exportFrame(profile, SectionLimits{}, 10);
    EXPECT_DOUBLE_EQ(f.cmin, 100.0);
    EXPECT_DOUBLE_EQ(f.cmax, 400.0);
    const double ppm = 360.0 * 39.37007874 * static_cast<double>(profile.zScale);
    EXPECT_NEAR(f.zB, 230.0 - 30.0 / ppm, 1e-9);
    EXPECT_NEAR(f.zT - f.zB, (static_cast<int>(30.0 * ppm) + 60) / ppm, 1e-9);
    SectionLimits limits;
    limits.maxChainage = 300.0f;
    EXPECT_DOUBLE_EQ(exportFrame(profile, limits, 10).cmax, 300.0);
}

TEST(FittedScale, FillsThePixelsAndKeepsTheScaleWhenThereIsNothingToFit) {
    constexpr double dots = 360.0 * 39.37007874;
    // 500 m of image into 1000 pixels.
    EXPECT_DOUBLE_EQ(*fittedScale(400.0, 500.0, 1000.0, dots), 1000.0 / 500.0 / dots);
    // A flat profile without models, or a single chainage: the image is all
    // margins, which a fit would blow up pass after pass.
    EXPECT_FALSE(fittedScale(0.0, 0.01, 1000.0, dots));
    EXPECT_FALSE(fittedScale(-1.0, 5.0, 1000.0, dots));
    EXPECT_FALSE(fittedScale(10.0, 5.0, 0.0, dots));
    EXPECT_FALSE(fittedScale(std::numeric_limits<double>::quiet_NaN(), 5.0, 100.0, dots));
    // Points a few centimetres apart stop at 1:10.
    EXPECT_DOUBLE_EQ(*fittedScale(0.05, 0.07, 1000.0, dots), kLargestFittedScale);
}

}  // namespace
}  // namespace orma
