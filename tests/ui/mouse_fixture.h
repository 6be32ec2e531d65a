#pragma once
// The interpretation window driven by real Qt mouse events sent to its image,
// at pixel positions computed with the plot's own mapping.

#include <QApplication>
#include <QMouseEvent>

#include "ui/interpretation/editing/ModelEditor.h"
#include "window_fixture.h"

namespace orma::ui::test {

class MouseWindowTest : public WindowTest {
protected:
    /// A window with the three-branch curve opened and shifted.
    Ttelmorwin& windowWithCurve() {
        Ttelmorwin& window = openWindow();
        openGef(window);
        return window;
    }

    const PlotGeometry& g() const { return window_->plot().geometry(); }

    void send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int x, int y,
              Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QWidget& image = window_->image();
        const QPointF local(x, y);
        QMouseEvent event(type, local, image.mapToGlobal(local), button, held, keys);
        QApplication::sendEvent(&image, &event);
    }
    void move(int x, int y, Qt::MouseButtons held = Qt::NoButton) {
        send(QEvent::MouseMove, Qt::NoButton, held, x, y);
    }
    void press(Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        send(QEvent::MouseButtonPress, button, button, x, y, keys);
    }
    void release(Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        send(QEvent::MouseButtonRelease, button, Qt::NoButton, x, y, keys);
    }
    void click(Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        press(button, x, y, keys);
        release(button, x, y, keys);
    }
    /// Hover to (x, y), press the left button there, drag to (toX, toY), release.
    void drag(int x, int y, int toX, int toY) {
        move(x, y);
        press(Qt::LeftButton, x, y);
        move((x + toX) / 2, (y + toY) / 2, Qt::LeftButton);
        move(toX, toY, Qt::LeftButton);
        release(Qt::LeftButton, toX, toY);
    }

    /// Draws a model with the mouse: a right click starts, each corner is
    /// reached by a move and fixed by a left click, the last one is the
    /// half-space reached by a move and ended by a right click.
    void drawModel(const std::vector<QPoint>& corners) {
        const QPoint start((g().x0 + g().x1) / 2, (g().y0 + g().y1) / 2);
        click(Qt::RightButton, start.x(), start.y());
        for (std::size_t i = 0; i < corners.size(); ++i) {
            move(corners[i].x(), corners[i].y());
            click(i + 1 < corners.size() ? Qt::LeftButton : Qt::RightButton, corners[i].x(), corners[i].y());
        }
    }

    /// The point halfway along boundary k, and halfway down layer k.
    QPoint onBoundary(int k) const {
        const LayerModel& m = window_->sounding().model;
        return {(g().xOf(m.resistivity[k]) + g().xOf(m.resistivity[k + 1])) / 2, g().yOf(m.depth[k])};
    }
    QPoint onLayer(int k) const {
        const LayerModel& m = window_->sounding().model;
        const int top = k == 0 ? g().y0 : g().yOf(m.depth[k - 1]);
        const int bottom = k == m.interfaceCount ? g().y1 : g().yOf(m.depth[k]);
        return {g().xOf(m.resistivity[k]), (top + bottom) / 2};
    }
};

}  // namespace orma::ui::test
