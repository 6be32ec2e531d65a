// Choosing what the section shows and how large: the active locality and
// profile, the per-profile scales (typed, stepped, fitted to the window) and
// the displayed limits.

#include <QScrollArea>
#include <QScrollBar>
#include <QSize>

#include <algorithm>
#include <cmath>

#include "core/SectionFrame.h"
#include "io/FormatPatterns.h"
#include "io/UserDialogs.h"
#include "ui/platform/NumberText.h"
#include "ui/section/SectionColours.h"
#include "ui/section/SectionView.h"
#include "ui/section/TSection.h"
#include "ui/section/TVESparametryEdit.h"

namespace orma::ui {

namespace {

constexpr const char* kInteger = "Integer!";
constexpr const char* kHmm = "Hmm!";
constexpr const char* kHmmm = "Hmmm!";
constexpr const char* kScaleNotPositive =
    "The scale is 1 : a whole number of 1 or more (1000 gives 1:1000); the scale stays as it was.";

}  // namespace

void TSection::chooseLocality(int n) {
    if (n >= 0 && n <= db_.mxindex_lokalit()) db_.currentLocality = n;
    db_.currentProfile = 0;
    db_.currentPoint = db_.activePointCount() > 0 ? 0 : -1;
    forgetReopenedPoint();
    redrawSection();
    if (link_.profileChosen) link_.profileChosen();
}

void TSection::chooseProfile(int n) {
    const Locality* locality = db_.activeLocality();
    if (locality != nullptr && n >= 0 && n <= locality->mxindex_profilu()) db_.currentProfile = n;
    db_.currentPoint = db_.activePointCount() > 0 ? 0 : -1;
    forgetReopenedPoint();
    redrawSection();
    if (link_.profileChosen) link_.profileChosen();
}

void TSection::typeScale(bool xScale) {
    Profile* profile = db_.activeProfile();
    if (profile == nullptr) return;
    float& scale = xScale ? profile->xScale : profile->zScale;
    // The current denominator, cut down to a multiple of ten (1 more first, so
    // that 1e-5 stored as 9.99999e-6 still offers 100000).
    const double shown = 10.0 * std::trunc((1.0 / static_cast<double>(scale) + 1.0) * 0.1);
    long long denominator = std::isfinite(shown) && std::fabs(shown) < 2e9 ? static_cast<long long>(shown) : 0;
    const std::string current = std::to_string(denominator);
    const std::optional<int> typed = askUntilRead<int>(
        dialogs_, xScale ? "Enter X scale of display:  " : "Enter Z scale of display:  ",
        "(now it is 1:" + current + "):1 /", current, kInteger,
        [](const std::string& text) { return parseInteger(text); });
    if (typed) {
        if (*typed <= 0) {
            dialogs_.message(kScaleNotPositive);
            redrawSection();
            return;
        }
        denominator = *typed;
    }
    // Confirmed or not, the (cut) denominator is applied; a stored scale
    // whose denominator cuts to 0 stays.
    const float before = scale;
    if (denominator > 0) scale = static_cast<float>(1.0 / static_cast<double>(denominator));
    if (scale != before) databaseChanged();
    redrawSection();
}

void TSection::typeXScale() { typeScale(true); }
void TSection::typeZScale() { typeScale(false); }

void TSection::stepScale(bool xScale, bool increase) {
    Profile* profile = db_.activeProfile();
    if (profile == nullptr) return;
    float& scale = xScale ? profile->xScale : profile->zScale;
    const float stepped = static_cast<float>(scale * (100.0 + (increase ? scaleStep_ : -scaleStep_)) * 0.01);
    // A step of 100 % or more down, or one that overflows, leaves the scale.
    if (std::isfinite(stepped) && stepped > 0.0f && stepped != scale) {
        scale = stepped;
        databaseChanged();
    }
    redrawSection();
}

void TSection::increaseXScale() { stepScale(true, true); }
void TSection::decreaseXScale() { stepScale(true, false); }
void TSection::increaseZScale() { stepScale(false, true); }
void TSection::decreaseZScale() { stepScale(false, false); }

void TSection::typeScaleStep() {
    const std::string current = boxText(scaleStep_);
    const std::optional<float> typed = askUntilRead<float>(dialogs_, "Enter step of scale change in %:  ",
                                                           "(now: " + current + "%) : ", current, kHmm, typedFloat);
    if (typed) scaleStep_ = *typed;
}

void TSection::typeLimit(float& limit, const char* caption, const std::string& prompt, const char* badNumber) {
    if (const std::optional<float> typed = askUntilRead<float>(dialogs_, caption, prompt, boxText(limit), badNumber, typedFloat))
        limit = *typed;
    redrawSection();
}

void TSection::typeMinChainage() {
    typeLimit(display_.minChainage, "Enter minimal displayed chainage:  ",
              "( now " + boxText(display_.minChainage) + " m )", kHmm);
}

void TSection::typeMaxChainage() {
    typeLimit(display_.maxChainage, "Enter maximal displayed chainage:  ",
              "( now: " + boxText(display_.maxChainage) + " m )", kHmmm);
}

// The item captioned "Minimal Z" sets the highest elevation shown.
void TSection::typeMaxElevation() {
    typeLimit(display_.maxElevation, "Enter maximal displayed Z:  ",
              "( now: " + boxText(display_.maxElevation) + " m )", kInteger);
}

QSize TSection::clientSize() const { return scroll_->viewport()->size(); }

SectionRange TSection::pointsRange() const {
    const Profile* profile = db_.activeProfile();
    if (profile == nullptr || profile->points.empty()) return {};
    return sectionRange(*profile, SectionLimits{display_.minChainage, display_.maxChainage, display_.minElevation,
                                                display_.maxElevation});
}

// The margins, the legend strip and the axis labels beside the box are
// pixels that no scale changes: the points' span gets what they leave, so
// one pass fits exactly, from a scale too large as well as too small.
void TSection::fitWidth(int pixels) {
    Profile* profile = db_.activeProfile();
    if (profile == nullptr) return;
    const SectionGeometry& g = view_->geometry();
    const double span = pointsRange().maxChainage - pointsRange().minChainage;
    const int shown = std::max(g.imageWidth, view_->axisLabelsRight() + 1);
    const int fixed = shown - pixelPosition(span * g.pixelsPerMetreX);
    const std::optional<double> scale = fittedScale(span, span, pixels - fixed, SectionGeometry::kDotsPerMetre);
    if (scale) profile->xScale = static_cast<float>(*scale);
}

void TSection::fitHeight(int pixels) {
    Profile* profile = db_.activeProfile();
    if (profile == nullptr) return;
    const SectionGeometry& g = view_->geometry();
    const double span = pointsRange().maxElevation - pointsRange().minElevation;
    const int fixed = g.imageHeight - pixelPosition(span * g.pixelsPerMetreZ);
    const std::optional<double> scale = fittedScale(span, span, pixels - fixed, SectionGeometry::kDotsPerMetre);
    if (scale) profile->zScale = static_cast<float>(*scale);
}

QSize TSection::fitArea(bool width, bool height) const {
    // A scroll bar that shows after the fit would cover what was fitted
    // (the axis labels on the right, the legend below).
    QSize area = scroll_->maximumViewportSize();
    const int shownWidth = imgRez->width(), shownHeight = imgRez->height();
    if (!width && shownWidth > area.width()) area.rheight() -= scroll_->horizontalScrollBar()->sizeHint().height();
    if (!height && shownHeight > area.height()) area.rwidth() -= scroll_->verticalScrollBar()->sizeHint().width();
    return area;
}

void TSection::fitPasses(int passes, bool width, bool height) {
    const Profile* profile = db_.activeProfile();
    const float xBefore = profile != nullptr ? profile->xScale : 0.0f;
    const float zBefore = profile != nullptr ? profile->zScale : 0.0f;
    const QSize area = fitArea(width, height);
    for (int pass = 0; pass < passes; ++pass) {
        if (width) fitWidth(area.width());
        if (height) fitHeight(area.height());
        redrawSection();
    }
    // The scales are saved with the database.
    if (profile != nullptr && (profile->xScale != xBefore || profile->zScale != zBefore)) databaseChanged();
}

// A second pass takes in what the first changed besides the scale (the
// labels of other ticks).
void TSection::fitToWidth() { fitPasses(2, true, false); }

void TSection::fitToHeight() { fitPasses(2, false, true); }

void TSection::fitAll() { fitPasses(4, true, true); }

}  // namespace orma::ui
