// Shift and Edit menus: branch shifting, drift of the composite curve and its
// step, and the switch of composite-curve editing.

#include <algorithm>
#include <cmath>
#include <string>

#include "core/BranchShift.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/NumberText.h"

namespace orma::ui {
namespace {

constexpr const char* kDriftStepCaption = "Modify the step of the drift of VES curve ";
constexpr const char* kDriftStepPrompt = "[log10 ohm.m]:";
constexpr const char* kNotANumber = "Integer!";
constexpr const char* kShiftFirst = "Shift branches from 1 to 4!";
constexpr const char* kInterpretingCaption = "ORMA-interpreting VES curve:";
constexpr const char* kDriftOutOfRange =
    "The drift would move the curve beyond the numbers the program can hold; the curve stays where it is.";

/// A typed step. A step of inf or nan would turn the whole composite into
/// nan; so would one that is finite as a double but not as the float it is
/// kept in (1e39), or one whose factor 10^step is not (a step of 39 decades).
std::optional<float> readDriftStep(const std::string& text) {
    const std::optional<float> step = typedFloat(text);
    if (!step || !std::isfinite(std::pow(10.0f, std::fabs(*step)))) return std::nullopt;
    return step;
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

void Ttelmorwin::drift(int direction) {
    if (sounding_.compositeBuilt && !driftStaysFinite(sounding_, direction)) {
        dialogs_.message(kDriftOutOfRange);
        return;
    }
    if (!driftComposite(sounding_, direction)) return;
    plot_->redrawAll();
    Img->update();
}

void Ttelmorwin::driftToHigherResistivity() { drift(+1); }
void Ttelmorwin::driftToLowerResistivity() { drift(-1); }

void Ttelmorwin::typeDriftStep() {
    if (const std::optional<float> step = askUntilRead<float>(dialogs_, kDriftStepCaption, kDriftStepPrompt,
                                                              boxText(sounding_.driftStep), kNotANumber, readDriftStep))
        sounding_.driftStep = *step;
}

void Ttelmorwin::toggleCurveEditing() {
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
