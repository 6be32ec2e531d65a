#include "ui/interpretation/ColourShape.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/platform/Canvas.h"

namespace orma::ui {

ColourShape::ColourShape(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFixedSize(40, 18);
    setCursor(Qt::PointingHandCursor);
}

void ColourShape::setColour(std::uint32_t colour) {
    colour_ = colour;
    update();
}

void ColourShape::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (pressed) pressed();
}

void ColourShape::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), toQColor(colour_));
    }
    QFrame::paintEvent(event);
}

}  // namespace orma::ui
