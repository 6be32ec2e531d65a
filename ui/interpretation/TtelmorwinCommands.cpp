// Model menu and Print menu commands: delete/copy/paste of the model, the
// value labels (V, P), printing and the printer setup.

#include <QImage>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/WindowMessages.h"
#include "ui/interpretation/editing/ModelChange.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/interpretation/plot/PlotContext.h"
#include "ui/platform/Canvas.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/Printing.h"

namespace orma::ui {

namespace {

constexpr const char* kInputCurveFirst = "Input VES curve!";
constexpr const char* kPrintLinePrefix = "ORMA-programme for VES iterpretation - opened: ";

/// Entries 0..n of the model: what the model clipboard holds.
void copyModel(const LayerModel& from, LayerModel& to) {
    const int n = std::clamp(from.interfaceCount, 0, kMaxLayers - 1);
    to.interfaceCount = n;
    for (int k = 0; k <= n; ++k) {
        to.resistivity[k] = from.resistivity[k];
        to.depth[k] = from.depth[k];
        to.depthFixed[k] = from.depthFixed[k];
        to.resistivityFixed[k] = from.resistivityFixed[k];
        to.thicknessFixed[k] = from.thicknessFixed[k];
    }
}

}  // namespace

void Ttelmorwin::copyCurrentModel() { copyModel(sounding_.model, sounding_.modelMemory); }

void Ttelmorwin::pasteModel() {
    ModelChange change(*this);
    editor_->reset();
    copyModel(sounding_.modelMemory, sounding_.model);
    if (sounding_.curveLoaded && sounding_.model.interfaceCount > 0) forwardAndDraw(kForwardFailed);
    else removeComputedCurve();
    showFitButtons(sounding_.curveLoaded && sounding_.model.interfaceCount > 0);
    plot_->redrawAll();
    change.finish();
    Img->update();
}

void Ttelmorwin::toggleModelValues() {
    if (plot_->modelLabelsWanted) {
        plot_->modelLabelsWanted = false;
        plot_->modelLabelsDrawn = false;
        plot_->redrawAll();
    } else {
        plot_->modelLabelsWanted = true;
        plot_->drawModelLabels();
    }
    Img->update();
}

void Ttelmorwin::showComputedCurveValues() {
    plot_->drawComputedValues();
    Img->update();
}

void Ttelmorwin::printPlot() {
    if (!sounding_.curveLoaded || !plot_->plotDrawn) {
        dialogs_.message(kInputCurveFirst);
        return;
    }
    // The file-name line goes into the bottom margin and stays there until
    // the next full redraw.
    const PlotGeometry& g = plot_->geometry();
    Canvas& canvas = *canvas_;
    canvas.setFontBold(false);
    canvas.setFontColour(kBlack);
    canvas.setTextBackground(kWhite);
    canvas.setTextOpaque(true);
    canvas.textOut(Img->width() / 15, (g.imageHeight + g.y1) / 2 - g.textHeight / 5,
                   kPrintLinePrefix + sounding_.gefPath);
    Img->update();

    const std::optional<PrinterChoice> chosenTarget = choosePrintTarget(printerChoice_, dialogs_);
    if (!chosenTarget) return;
    const PrinterChoice& target = *chosenTarget;
    const PrintOutcome printed = printImage(clientAreaImage(), target, windowTitle().toStdString());
    if (!printed.ok) {
        dialogs_.message(printed.error);
        return;
    }
    showStatus(printedStatus(target));
}

QImage Ttelmorwin::clientAreaImage() const {
    // The plot's bitmap with the buttons over it, as the window shows them.
    QImage image = canvas_->image().copy();
    QPainter painter(&image);
    for (QPushButton* button : {spustit, importdorezu}) {
        if (!button->isHidden()) button->render(&painter, button->pos());
    }
    return image;
}

void Ttelmorwin::choosePrinter() {
    if (const std::optional<PrinterChoice> chosen = dialogs_.printerSetup(printerChoice_)) printerChoice_ = *chosen;
}

}  // namespace orma::ui
