// Model menu, the "..." button, the Image and Help menus: forward task,
// preset models, fit optimisation, JPEG of the plot, About.

#include <QDialog>

#include <algorithm>
#include <QImage>
#include <QPushButton>

#include "core/Fit.h"
#include "core/Forward.h"
#include "io/JpegWriter.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/WindowMessages.h"
#include "ui/interpretation/editing/ModelChange.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/Canvas.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/NumberText.h"
#include "ui/platform/ReplaceQuestion.h"

namespace orma::ui {
namespace {

constexpr const char* kForwardFailedAfterPreset = "Forward task unsuccessful.";
constexpr const char* kJpegFilter = "souboryJPG|*.jpg|souboryJPG|*.JPG";
constexpr const char* kJpegExtension = "jpg";
constexpr const char* kNoCurveToFit = "There is no composite curve to fit the model to.";
constexpr const char* kNoModelToFit =
    "There is no model to fit: draw one first (F6, or a right click in the plot, then corners with the left button).";

/// The status line after a fit: the SSQ reached, from where, and how.
std::string fitStatusText(const FitSummary& summary) {
    switch (summary.status) {
        case FitStatus::NoComposite:
        case FitStatus::InvalidModel:
        case FitStatus::ForwardFailed:
            return "The fit was refused; the model stays as it was.";
        default:
            break;
    }
    std::string text = shownText("Fit: SSQ = %.6f (was %.6f), %d linearisations", summary.ssq,
                                 summary.startSsq, summary.linearisations);
    if (summary.passes > 1) text += ", " + std::to_string(summary.passes) + " passes";
    switch (summary.status) {
        case FitStatus::NoImprovement:
            return text + (summary.ssq < summary.startSsq ? "." : "; no better model found.");
        case FitStatus::IterationLimit:
        case FitStatus::PassLimit:
            return text + "; stopped at the limit, Enter goes on.";
        default:
            return text + ".";
    }
}

}  // namespace

int Ttelmorwin::forwardAndDraw(const char* failureMessage) {
    // The old curve goes first, drawn once more in XOR with its own values.
    if (sounding_.computedCurveShown) {
        plot_->toggleComputedCurve();
        sounding_.computedCurveShown = false;
    }
    const int result = computeForward(sounding_, computation_);
    if (result != kSuccess) {
        dialogs_.message(failureMessage);
    } else {
        plot_->toggleComputedCurve();
        sounding_.computedCurveShown = true;
    }
    Img->update();
    return result;
}

void Ttelmorwin::computeModelCurve() {
    if (!sounding_.curveLoaded || sounding_.model.interfaceCount <= 0) return;
    forwardAndDraw(kForwardFailed);
    modelChanged();
}

void Ttelmorwin::loadPresetModel(float r0, float r1, float r2) {
    editor_->reset();
    LayerModel& model = sounding_.model;
    model.interfaceCount = 2;
    model.depth[0] = 1.0f;
    model.depth[1] = 10.0f;
    model.depth[2] = kHalfSpaceDepth;
    model.resistivity[0] = r0;
    model.resistivity[1] = r1;
    model.resistivity[2] = r2;
}

void Ttelmorwin::showPresetModel() {
    // The old model's curve and SSQ do not belong to the new model.
    sounding_.computedCurveShown = false;
    plot_->redrawAll();
    Img->update();
}

void Ttelmorwin::loadKTypeModel() {
    const ModelChange change(*this);
    loadPresetModel(10.0f, 100.0f, 20.0f);
    showPresetModel();
}

void Ttelmorwin::loadHTypeModel() {
    const ModelChange change(*this);
    loadPresetModel(200.0f, 20.0f, 500.0f);
    showPresetModel();
}

void Ttelmorwin::loadATypeModel() {
    const ModelChange change(*this);
    loadPresetModel(10.0f, 100.0f, 500.0f);
    showPresetModel();
}

void Ttelmorwin::loadQTypeModel() {
    const ModelChange change(*this);
    loadPresetModel(1000.0f, 100.0f, 20.0f);
    forwardAndDraw(kForwardFailedAfterPreset);
    plot_->redrawAll();  // draws the model anew, so it counts as shown
    Img->update();
}

bool Ttelmorwin::fitPossible() {
    // Say what is missing, in the order the user has to supply it.
    bool compositeValue = false;
    for (int k = std::max(sounding_.minGridIndex, 0); k <= std::min(sounding_.maxGridIndex, kGridPoints - 1); ++k) {
        compositeValue = compositeValue || sounding_.hasComposite(k);
    }
    if (!sounding_.curveLoaded || !sounding_.compositeBuilt || !compositeValue) {
        dialogs_.message(kNoCurveToFit);
        return false;
    }
    if (sounding_.model.interfaceCount <= 0) {
        dialogs_.message(kNoModelToFit);
        return false;
    }
    return true;
}

void Ttelmorwin::runFit(bool widenRanges) {
    if (!fitPossible()) return;
    ModelChange change(*this);
    const FitSummary summary = fitModel(sounding_, *fitWorkspace_, computation_);
    if (!summary.outcome) dialogs_.message(summary.outcome.text());
    // The record now holds the final model and its curve; draw them afresh
    // (model line on top, its curve and SSQ).
    if (!summary.refused()) sounding_.computedCurveShown = true;
    showStatus(fitStatusText(summary));
    plot_->redrawAll();
    if (widenRanges && !settings_.scaleLocked && plot_->widenRangesToModel()) plot_->redrawAll();
    change.finish();
    Img->update();
}

void Ttelmorwin::optimizeFit() { runFit(false); }

void Ttelmorwin::optimizeFitAndWidenRanges() { runFit(true); }

void Ttelmorwin::savePlotAsJpeg() {
    FileDialogOptions options;
    options.filter = kJpegFilter;
    options.defaultExtension = kJpegExtension;
    options.title = "Save the plot as a JPEG picture";
    const auto chosen = dialogs_.saveFile(options);
    if (!chosen || !mayReplaceFile(*chosen, dialogs_)) return;
    const QImage rgb = canvas_->image().convertToFormat(QImage::Format_RGB888);
    const JpegWriteResult written = writeJpeg(*chosen, rgb.constBits(), rgb.width(), rgb.height(),
                                              static_cast<std::size_t>(rgb.bytesPerLine()));
    if (!written.ok) {
        dialogs_.message(written.error);
        return;
    }
    showStatus("Plot saved as " + *chosen);
}

void Ttelmorwin::showAbout() {
    if (aboutWindow_ != nullptr) aboutWindow_->exec();
}

}  // namespace orma::ui
