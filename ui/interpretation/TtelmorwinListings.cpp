// The hidden diagnostic listings of the Model menu: what the last fit left
// in its matrices, written onto the plot.

#include <algorithm>
#include <string>

#include "core/FitWorkspace.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/interpretation/plot/MatrixListing.h"
#include "ui/interpretation/plot/TextFormat.h"
#include "ui/platform/ImageView.h"

namespace orma::ui {

namespace {

template <typename... Args>
std::string formatted(const char* format, Args... args) {
    return std::string(FormattedText(format, args...).view());
}

}  // namespace

int Ttelmorwin::listingLayers() const { return std::clamp(sounding_.model.interfaceCount + 1, 1, kMaxLayers); }

int Ttelmorwin::listingGridRows() const { return std::clamp(sounding_.maxGridIndex + 1, 0, kMaxFitRows); }

void Ttelmorwin::listSampleDerivatives() {
    if (!sounding_.curveLoaded) return;
    const FitWorkspace& ws = *fitWorkspace_;
    const int layers = listingLayers();
    const int rows = std::clamp(sounding_.maxGridIndex + 25, 0, kMaxSamples);
    paintMatrixListing(*canvas_, plot_->geometry(), rows, layers, 15, [&](int r, int c) {
        const int k = c + 1;
        if (k < layers) return formatted("Dro[%d,%d] = %.3f-Dd= %.3f   ", r, k, ws.Dro[r][c], ws.Dd[r][c]);
        return formatted("Dro[%d,%d] = %.3f ", r, k, ws.Dro[r][c]);
    });
    plot_->forgetValueList();
    Img->update();
}

void Ttelmorwin::listSensitivities() {
    if (!sounding_.curveLoaded) return;
    const FitWorkspace& ws = *fitWorkspace_;
    const int layers = listingLayers();
    paintMatrixListing(*canvas_, plot_->geometry(), listingGridRows(), layers, 17, [&](int r, int c) {
        const int k = c + 1;
        if (k < layers) return formatted(" Sd[%d,%d] =  %.5f Sro =  %.5f  ", r, k, ws.Sd[r][k], ws.Sro[r][k]);
        return formatted(" Sro[%d,%d] =  %.5f ", r, k, ws.Sro[r][k]);
    });
    plot_->forgetValueList();
    Img->update();
}

void Ttelmorwin::listJacobian() {
    if (!sounding_.curveLoaded) return;
    plot_->redrawAll();
    const FitWorkspace& ws = *fitWorkspace_;
    const int columns = std::min(2 * listingLayers() - 1, kMaxParameters);
    paintMatrixListing(*canvas_, plot_->geometry(), listingGridRows(), columns, 12,
                       [&](int r, int c) { return formatted(" WJ[%d , %d] =  %.5f   ", r, c, ws.WJ[r][c]); });
    plot_->forgetValueList();
    Img->update();
}

void Ttelmorwin::listRightSingularVectors() {
    if (!sounding_.curveLoaded) return;
    const FitWorkspace& ws = *fitWorkspace_;
    const int size = std::min(2 * listingLayers(), kMaxParameters);
    plot_->redrawAll();
    paintMatrixListing(*canvas_, plot_->geometry(), size, size, 12,
                       [&](int r, int c) { return formatted(" V[%d,%d]= %.5f   ", r, c, ws.V[r][c]); });
    Img->update();
    dialogs_.message(" then");
    // The products of rows: an identity matrix over the columns the fit used.
    plot_->redrawAll();
    paintMatrixListing(*canvas_, plot_->geometry(), size, size, 12, [&](int r, int c) {
        double sum = 0;
        for (int i = 0; i < size; ++i) sum += ws.V[r][i] * ws.V[c][i];
        return formatted(" V[%d,%d]= %.5f   ", r, c, sum);
    });
    plot_->forgetValueList();
    Img->update();
}

void Ttelmorwin::listLeftSingularVectors() {
    if (!sounding_.curveLoaded) return;
    const FitWorkspace& ws = *fitWorkspace_;
    const int size = std::clamp(sounding_.maxGridIndex - sounding_.minGridIndex + 2, 0, kMaxFitRows);
    plot_->redrawAll();
    paintMatrixListing(*canvas_, plot_->geometry(), size, size, 12,
                       [&](int r, int c) { return formatted(" U[%d,%d]= %.5f   ", r, c, ws.UT[r][c]); });
    Img->update();
    dialogs_.message("->");
    plot_->redrawAll();
    paintMatrixListing(*canvas_, plot_->geometry(), size, size, 12, [&](int r, int c) {
        double sum = 0;
        for (int i = 0; i < size; ++i) sum += ws.UT[r][i] * ws.UT[c][i];
        return formatted(" UT[%d,%d]= %.5f   ", r, c, sum);
    });
    plot_->forgetValueList();
    Img->update();
}

}  // namespace orma::ui
