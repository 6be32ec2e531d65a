// Shift and Edit menus: branch shifting, drift of the composite curve and its
// step, and the switch of composite-curve editing.

#include <charconv>
#include <cmath>
#include <string>

#include "core/BranchShift.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"

namespace orma::ui {
namespace {

constexpr const char* kDriftStepCaption = "Modify the step of the drift of VES curve ";
constexpr const char* kDriftStepPrompt = "[log10 ohm.m]:";
constexpr const char* kNotANumber = "Integer!";
constexpr const char* kShiftFirst = "Shift branches from 1 to 4!";
constexpr const char* kInterpretingCaption = "ORMA-interpreting VES curve:";

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
    // A step of inf or nan would turn the whole composite into nan.
    if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(value)) return false;
    step = static_cast<float>(value);
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
