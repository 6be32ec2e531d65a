// The section on screen: full redraw, selection of a point by a click with
// the XOR move of the highlight, the double click, and the canvas font.

#include <QAction>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

#include "io/UserDialogs.h"
#include "io/VdbCommands.h"
#include "ui/platform/Canvas.h"
#include "ui/platform/ImageView.h"
#include "ui/section/SectionView.h"
#include "ui/section/TSection.h"

namespace orma::ui {

namespace {

/// The bitmap grows beyond twice the screen for a larger section, up to
/// this size; a section larger still is cut at its right and bottom edge.
constexpr int kMaxCanvasSide = 8192;
constexpr long long kMaxCanvasPixels = 48LL * 1024 * 1024;

}  // namespace

void TSection::redrawSection() {
    refreshChoiceMenus();
    view_->redrawAll();
    const SectionGeometry& g = view_->geometry();
    const int wantedWidth = std::min(std::max(view_->shownWidth(), canvas_->width()), kMaxCanvasSide);
    const int wantedHeight = std::min(std::max(g.imageHeight, canvas_->height()), kMaxCanvasSide);
    if ((wantedWidth > canvas_->width() || wantedHeight > canvas_->height()) &&
        static_cast<long long>(wantedWidth) * wantedHeight <= kMaxCanvasPixels) {
        canvas_->resize(wantedWidth, wantedHeight);
        view_->redrawAll();
    }
    imgRez->resize(std::min(view_->shownWidth(), canvas_->width()), std::min(g.imageHeight, canvas_->height()));
    imgRez->update();
    setCaption(captionText());
}

void TSection::imgRezMouseDown(const MouseInput& in) {
    if (in.button != MouseButton::Left || db_.activePointCount() == 0) return;
    if (view_->nearestPoint(in.x) < 0) return;
    // Asked before anything is looked up: a transfer adds a point and redraws.
    if (link_.settleInterpretation && !link_.settleInterpretation(false)) return;
    const int k = view_->nearestPoint(in.x);
    if (k < 0) return;
    const VesPoint& point = db_.activeProfile()->points[k];
    if (point.hasNoCurve() && db_.activePointCount() >= 2) {
        // A point without an interpreted curve was once deleted by the click
        // itself; now the user decides.
        const std::string question = "The VES point " + point.name +
                                     " has no interpreted curve (its composite curve spans a single AB/2 spacing). "
                                     "Delete it from the profile?";
        if (dialogs_.askYesNo(question)) {
            db_.currentPoint = k;
            deleteSelectedPointNow();
            return;
        }
    }
    const int previous = db_.currentPoint;
    const int count = db_.activePointCount();
    const std::vector<std::string> messages =
        link_.sounding != nullptr ? loadPointIntoSounding(point, *link_.sounding) : std::vector<std::string>{};
    // The highlight moves without a full redraw: both points drawn twice in
    // XOR, once with the old and once with the new selection.
    if (previous >= 0 && previous < count) view_->drawPoint(previous);
    view_->drawPoint(k);
    db_.currentPoint = k;
    rememberReopenedPoint();
    if (previous >= 0 && previous < count) view_->drawPoint(previous);
    view_->drawPoint(k);
    imgRez->update();
    if (link_.reopenStoredPoint) link_.reopenStoredPoint(messages);
    else showMessages(messages);
}

void TSection::editSelectedPoint() {
    if (db_.activePointCount() == 0) {
        openDatabase();
        return;
    }
    editParameters();
}

void TSection::toggleDepthRanges() {
    if (QAction* item = menuItem("Rozsahyhloubek1")) display_.depthRangesShown = item->isChecked();
    redrawSection();
}

void TSection::chooseFont() {
    const QFont current = canvas_->font();
    FontChoice initial;
    initial.family = current.family().toStdString();
    initial.pointSize = QFontInfo(current).pointSize();
    initial.bold = current.bold();
    initial.italic = current.italic();
    if (const std::optional<FontChoice> chosen = dialogs_.chooseFont(initial)) {
        QFont font(QString::fromStdString(chosen->family), std::max(1, chosen->pointSize));
        font.setBold(chosen->bold);
        font.setItalic(chosen->italic);
        font.setStyleStrategy(QFont::NoAntialias);
        canvas_->setFont(font);
    }
    redrawSection();
}

}  // namespace orma::ui
