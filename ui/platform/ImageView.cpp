#include "ui/platform/ImageView.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/platform/Canvas.h"

namespace orma::ui {

namespace {

MouseButton toButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return MouseButton::Left;
        case Qt::MiddleButton: return MouseButton::Middle;
        case Qt::RightButton: return MouseButton::Right;
        default: return MouseButton::None;
    }
}

void call(const std::function<void(const MouseInput&)>& handler, QMouseEvent* event) {
    if (handler) handler(ImageView::toMouseInput(*event));
}

}  // namespace

ImageView::ImageView(Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setMouseTracking(true);  // moves without a button drive the hover and drawing modes
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click on the plot leaves the keyboard focus where it was: after a
    // model drawing that is the "..." button, so Enter starts the fit even
    // after the model was dragged. The menu keys work window-wide anyway.
    setFocusPolicy(Qt::NoFocus);
}

MouseInput ImageView::toMouseInput(const QMouseEvent& event) {
    MouseInput in;
    in.button = toButton(event.button());
    const Qt::MouseButtons held = event.buttons();
    in.leftHeld = held.testFlag(Qt::LeftButton);
    in.middleHeld = held.testFlag(Qt::MiddleButton);
    in.rightHeld = held.testFlag(Qt::RightButton);
    in.shift = event.modifiers().testFlag(Qt::ShiftModifier);
    in.ctrl = event.modifiers().testFlag(Qt::ControlModifier);
    const QPoint p = event.position().toPoint();
    in.x = p.x();
    in.y = p.y();
    return in;
}

void ImageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& image = canvas_.image();
    const QRect area = event->rect();
    painter.drawImage(area.topLeft(), image, area);
    // Where the bitmap is smaller than the widget (between a resize and the
    // redraw that follows it) show white rather than garbage.
    if (image.width() < width()) painter.fillRect(image.width(), 0, width() - image.width(), height(), Qt::white);
    if (image.height() < height()) painter.fillRect(0, image.height(), width(), height() - image.height(), Qt::white);
}

void ImageView::mousePressEvent(QMouseEvent* event) { call(onMouseDown, event); }
void ImageView::mouseMoveEvent(QMouseEvent* event) { call(onMouseMove, event); }
void ImageView::mouseReleaseEvent(QMouseEvent* event) { call(onMouseUp, event); }
void ImageView::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt delivers the second press of a double click only here; pass it on as
    // a press too, after the double click, so presses and releases pair up.
    call(onDoubleClick, event);
    call(onMouseDown, event);
}

void ImageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) onResize();
}

}  // namespace orma::ui
