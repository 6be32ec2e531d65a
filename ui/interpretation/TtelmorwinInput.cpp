// Manual input of a curve, typed (R) or drawn with the mouse (M). The prompt
// sequences live in io/ManualInput; the window proposes the profile name,
// shows the captions and redraws after every processed point.

#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/NumberText.h"

namespace orma::ui {

void Ttelmorwin::inputCurveManually() {
    if (!settleUnsavedInterpretation(LeavingFor::AnotherCurve)) return;
    // The typed curve replaces whatever was shown, a stored point included.
    openStoredPoint_.reset();
    const QString captionBefore = windowTitle();
    // An input that ends before its first reading leaves the curve, and so
    // the caption, as they were.
    if (!enterCurveByKeyboard(sounding_, dialogs_, *this)) setWindowTitle(captionBefore);
    plot_->redrawAll();
    Img->update();
}

void Ttelmorwin::inputCurveByMouse() {
    if (!settleUnsavedInterpretation(LeavingFor::AnotherCurve)) return;
    openStoredPoint_.reset();
    enterCurveByMouse(sounding_, dialogs_, *this);
    plot_->redrawAll();
    Img->update();
}

std::string Ttelmorwin::activeProfileName() {
    if (activeProfileNameSource) return activeProfileNameSource();
    return std::to_string(sounding_.profileNumber);
}

void Ttelmorwin::setCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

std::string Ttelmorwin::decimalSeparator() { return ui::decimalSeparator(); }

void Ttelmorwin::enteredCurveProcessed(bool ok) {
    if (ok) {
        afterNewCurve();
        // Typed or drawn readings are in no file: they are work to keep.
        interpretationChanged();
    }
    plot_->redrawAll();
    Img->update();
}

}  // namespace orma::ui
