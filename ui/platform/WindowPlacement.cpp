#include "ui/platform/WindowPlacement.h"

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <algorithm>
#include <utility>

namespace orma::ui {

QRect interpretationFrameOn(const QRect& available) {
    const int width = available.width() * 7 / 10;
    return QRect(available.right() + 1 - width, available.top(), width, available.height());
}

QRect sectionFrameOn(const QRect& available, int rightNeighbourLeft, int minimumWidth) {
    const int width = std::max(minimumWidth, rightNeighbourLeft - available.left());
    return QRect(available.left(), available.top(), width, available.height());
}

DockedFrames dockedFrames(const QRect& available) {
    DockedFrames frames;
    frames.interpretation = interpretationFrameOn(available);
    frames.section = sectionFrameOn(available, frames.interpretation.left());
    return frames;
}

QRect clientInside(const QRect& frame, const QMargins& margins) { return frame.marginsRemoved(margins); }

QMargins frameMarginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

namespace {

void placeFrameWith(QWidget& window, const QRect& frame, const QMargins& margins) {
    const QRect client = clientInside(frame, margins);
    window.resize(client.size());
    // A top-level window's position is its frame's corner, so that the
    // window manager keeps the title bar inside the given rectangle.
    window.move(frame.topLeft());
}

/// Watches one window for the window manager's frame.
class FrameKeeper : public QObject {
public:
    FrameKeeper(QWidget& window, std::function<QRect()> target)
        : QObject(&window), window_(window), target_(std::move(target)) {
        window.installEventFilter(this);
    }

    void place() {
        placed_ = frameMarginsOf(window_);
        placeFrameWith(window_, target_(), placed_);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && !busy_) {
            const QEvent::Type type = event->type();
            if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) &&
                frameMarginsOf(window_) != placed_) {
                busy_ = true;
                place();
                busy_ = false;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget& window_;
    std::function<QRect()> target_;
    QMargins placed_;
    bool busy_ = false;
};

}  // namespace

void placeFrame(QWidget& window, const QRect& frame) {
    placeFrameWith(window, frame, frameMarginsOf(window));
}

void keepFrameAt(QWidget& window, std::function<QRect()> target) {
    auto* keeper = new FrameKeeper(window, std::move(target));
    keeper->place();
}

}  // namespace orma::ui
