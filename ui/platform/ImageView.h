#pragma once
// The widget that shows a Canvas. Painting only copies the bitmap to the
// screen; everything is drawn onto the canvas beforehand. Mouse and resize
// events are passed on to plain callbacks, so window code can stay free of
// Qt event classes.

#include <functional>

#include <QWidget>

#include "ui/platform/MouseInput.h"

namespace orma::ui {

class Canvas;

class ImageView : public QWidget {
    Q_OBJECT
public:
    explicit ImageView(Canvas& canvas, QWidget* parent = nullptr);

    Canvas& canvas() { return canvas_; }

    std::function<void(const MouseInput&)> onMouseDown;
    std::function<void(const MouseInput&)> onMouseMove;
    std::function<void(const MouseInput&)> onMouseUp;
    /// The second press of a double click: onDoubleClick, then onMouseDown.
    std::function<void(const MouseInput&)> onDoubleClick;
    /// After the widget got its new size (width(), height()).
    std::function<void()> onResize;

    /// Translates a Qt mouse event (also used by tests that synthesise input).
    static MouseInput toMouseInput(const QMouseEvent& event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Canvas& canvas_;
};

}  // namespace orma::ui
