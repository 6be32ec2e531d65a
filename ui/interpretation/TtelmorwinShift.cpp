// Shift and Edit menus: branch shifting, drift of the composite curve and its
// step, and the switch of composite-curve editing.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "core/BranchShift.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"

namespace orma::ui {
namespace {

constexpr const char* kDriftStepCaption = "Modify the step of the drift of VES curve ";
constexpr const char* kDriftStepPrompt = "[log10 ohm.m]:";
constexpr const char* kNotANumber = "Integer!";
constexpr const char* kShiftFirst = "Shift branches from 1 to 4!";
constexpr const char* kInterpretingCaption = "ORMA-interpreting VES curve:";
constexpr const char* kDriftOutOfRange =
    "The drift would move the curve beyond the numbers the program can hold; the curve stays where it is.";

/// The step as the user sees it: 15 significant digits of the single-precision
/// value (0.001 shows as 0.00100000004749745), independent of the locale.
std::string formatDriftStep(float step) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(step),
                                   std::chars_format::general, 15);
    return std::string(buffer, end.ptr);
}

/// A typed step. Both '.' and ',' are taken as the decimal separator, so the
/// value reads the same whatever the desktop's locale; surrounding blanks are
/// ignored, anything else after the number is refused.
bool parseDriftStep(std::string text, float& step) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    if (first == std::string::npos) return false;
    text = text.substr(first, last - first + 1);
    for (char& ch : text) {
        if (ch == ',') ch = '.';
    }
    const char* begin = text.data();
    if (*begin == '+') ++begin;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size()) return false;
    // A step of inf or nan would turn the whole composite into nan; so would
    // one that is finite as a double but not as the float it is kept in
    // (1e39), or one whose factor 10^step is not (a step of 39 decades).
    const float asFloat = static_cast<float>(value);
    if (!std::isfinite(asFloat) || !std::isfinite(std::pow(10.0f, std::fabs(asFloat)))) return false;
    step = asFloat;
    return true;
}

/// Every value the drift moves stays a finite, positive single-precision number.
bool driftStaysFinite(const Sounding& s, int direction) {
    const double shift = direction * static_cast<double>(s.driftStep);
    const int first = std::max(s.minGridIndex, 0);
    const int last = std::min(s.maxGridIndex, kGridPoints - 1);
    const int branches = std::min(s.branches.branchCount, kMaxBranches);
    for (int k = first; k <= last; ++k) {
        for (int j = 0; j <= branches; ++j) {
            const float value = s.branches.shiftedRho[k][j];
            if (!(value > 0)) continue;
            const float moved = static_cast<float>(std::pow(10.0, std::log10(static_cast<double>(value)) + shift));
            if (!(moved > 0) || !std::isfinite(moved)) return false;
        }
    }
    return true;
}

}  // namespace

void Ttelmorwin::shiftOnto(int reference) {
    showMessages(shiftBranches(sounding_, reference));
    // A full redraw keeps the model and its computed curve on the canvas in
    // step with their shown-flags.
    plot_->redrawAll();
    Img->update();
}

void Ttelmorwin::na1vtev1Click() { shiftOnto(1); }
void Ttelmorwin::na2vtev1Click() { shiftOnto(2); }
void Ttelmorwin::na3vtev1Click() { shiftOnto(3); }
void Ttelmorwin::na4vtev1Click() { shiftOnto(4); }

void Ttelmorwin::drift(int direction) {
    if (sounding_.compositeBuilt && !driftStaysFinite(sounding_, direction)) {
        dialogs_.message(kDriftOutOfRange);
        return;
    }
    if (!driftComposite(sounding_, direction)) return;
    plot_->redrawAll();
    Img->update();
}

void Ttelmorwin::PosunsnesenkivkyVESdovychrezistivit1Click() { drift(+1); }
void Ttelmorwin::PosunsnesenkivkyVESdonichrezistivit1Click() { drift(-1); }

void Ttelmorwin::PosunsnesenkivkyVESkroklogohmm1Click() {
    const auto typed = dialogs_.inputQuery(kDriftStepCaption, kDriftStepPrompt, formatDriftStep(sounding_.driftStep));
    if (!typed) return;
    float step = 0.0f;
    if (parseDriftStep(*typed, step)) sounding_.driftStep = step;
    else dialogs_.message(kNotANumber);
}

void Ttelmorwin::Editovatsnesenoukivku1Click() {
    // Ending curve editing takes its crosshair off the canvas too.
    if (sounding_.curveEditMode) editor_->hideCrosshair();
    Img->update();
    switch (toggleCurveEdit(sounding_)) {
        case CurveEditToggle::NeedsComposite:
            dialogs_.message(kShiftFirst);
            break;
        case CurveEditToggle::Started:
        case CurveEditToggle::Ended:
            break;
        case CurveEditToggle::EndedAndCommitted:
            setCaption(kInterpretingCaption + sounding_.gefPath);
            plot_->redrawAll();
            Img->update();
            break;
    }
}

}  // namespace orma::ui
