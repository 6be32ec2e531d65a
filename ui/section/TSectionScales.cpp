// Choosing what the section shows and how large: the active locality and
// profile, the per-profile scales (typed, stepped, fitted to the window) and
// the displayed limits.

#include <QScrollArea>
#include <QSize>

#include <cmath>

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
    if (denominator > 0) scale = static_cast<float>(1.0 / static_cast<double>(denominator));
    redrawSection();
}

void TSection::MtkoX1Click() { typeScale(true); }
void TSection::MtkoZ1Click() { typeScale(false); }

void TSection::stepScale(bool xScale, bool increase) {
    Profile* profile = db_.activeProfile();
    if (profile == nullptr) return;
    float& scale = xScale ? profile->xScale : profile->zScale;
    const float stepped = static_cast<float>(scale * (100.0 + (increase ? scaleStep_ : -scaleStep_)) * 0.01);
    // A step of 100 % or more down, or one that overflows, leaves the scale.
    if (std::isfinite(stepped) && stepped > 0.0f) scale = stepped;
    redrawSection();
}

void TSection::zvtimtkoX2Click() { stepScale(true, true); }
void TSection::zmenimtkoX2Click() { stepScale(true, false); }
void TSection::zvtimtkoX1Click() { stepScale(false, true); }
void TSection::zmenimtkoX1Click() { stepScale(false, false); }

void TSection::Krokzmnymtek1Click() {
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

void TSection::MinimlnX1Click() {
    typeLimit(display_.minChainage, "Enter minimal displayed chainage:  ",
              "( now " + boxText(display_.minChainage) + " m )", kHmm);
}

void TSection::MinimlnZ1Click() {
    typeLimit(display_.maxChainage, "Enter maximal displayed chainage:  ",
              "( now: " + boxText(display_.maxChainage) + " m )", kHmmm);
}

// The item captioned "Minimal Z" sets the highest elevation shown.
void TSection::MaximlnZ1Click() {
    typeLimit(display_.maxElevation, "Enter maximal displayed Z:  ",
              "( now: " + boxText(display_.maxElevation) + " m )", kInteger);
}

QSize TSection::clientSize() const { return scroll_->viewport()->size(); }

void TSection::fitWidth() {
    Profile* profile = db_.activeProfile();
    if (profile == nullptr) return;
    const SectionGeometry& g = view_->geometry();
    const double span = g.chainageRight - g.chainageLeft;
    if (!(span > 0.0)) return;
    const double pixelsPerMetre = clientSize().width() / span;
    profile->xScale = static_cast<float>(pixelsPerMetre / SectionGeometry::kDotsPerMetre);
}

void TSection::fitHeight() {
    Profile* profile = db_.activeProfile();
    if (profile == nullptr) return;
    const SectionGeometry& g = view_->geometry();
    const double span = g.elevationTop - g.elevationBottom;
    if (!(span > 0.0)) return;
    // A colour view's legend strip sits below the section and needs its rows too.
    const int rowsForSection = clientSize().height() - colours_->extraHeight(g);
    if (rowsForSection <= 0) return;
    const double pixelsPerMetre = rowsForSection / span;
    profile->zScale = static_cast<float>(pixelsPerMetre / SectionGeometry::kDotsPerMetre);
}

// Two passes: the margins are pixels, so the world span of the image shrinks
// as the scale grows and the second pass comes close to the window's size.
void TSection::Fitnaku1Click() {
    for (int pass = 0; pass < 2; ++pass) {
        fitWidth();
        redrawSection();
    }
}

void TSection::Fitninavku1Click() {
    for (int pass = 0; pass < 2; ++pass) {
        fitHeight();
        redrawSection();
    }
}

void TSection::Fitniez1Click() {
    for (int pass = 0; pass < 4; ++pass) {
        fitWidth();
        fitHeight();
        redrawSection();
    }
}

void TSection::Fitniez2Click() { Fitniez1Click(); }

}  // namespace orma::ui
