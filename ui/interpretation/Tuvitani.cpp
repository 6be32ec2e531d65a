#include "ui/interpretation/Tuvitani.h"

#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace orma::ui {
namespace {

constexpr int kWidth = 345;
constexpr int kHeight = 555;

// Picture axes: resistivity 1..1000 ohm.m across, AB/2 1..1000 m downwards.
constexpr double kDecades = 3.0;

/// A smooth K-type curve (10, 100, 20 ohm.m): low near the surface, a
/// resistive middle layer, a conductive base. Only a picture, not a model
/// computation.
double pictureLogRho(double logAb2) {
    const auto step = [](double x, double at, double width) { return 1.0 / (1.0 + std::exp(-(x - at) / width)); };
    return 1.0 + 1.0 * step(logAb2, 0.75, 0.22) - 0.7 * step(logAb2, 1.85, 0.25);
}

}  // namespace

Tuvitani::Tuvitani(QWidget* parent) : QDialog(parent), picture_(picture()) {
    setObjectName("uvitani");
    setWindowTitle("ORMA");
    setModal(true);
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);  // a plain movement over the window closes it
}

QImage Tuvitani::picture() {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const QRect plot(30, 16, kPictureWidth - 50, kPictureHeight - 28);
    const auto px = [&](double logRho) { return plot.left() + logRho / kDecades * plot.width(); };
    const auto py = [&](double logAb2) { return plot.top() + logAb2 / kDecades * plot.height(); };

    // Logarithmic grid: decades darker than the lines between them.
    for (int d = 0; d < 3; ++d) {
        for (int m = 1; m < 10; ++m) {
            const double v = d + std::log10(static_cast<double>(m));
            p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), m == 1 ? 2 : 1));
            p.drawLine(QPointF(px(v), plot.top()), QPointF(px(v), plot.bottom()));
            p.drawLine(QPointF(plot.left(), py(v)), QPointF(plot.right(), py(v)));
        }
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(plot);
    QFont small = p.font();
    small.setPointSize(7);
    p.setFont(small);
    for (int d = 0; d <= 3; ++d) {
        const QString label = QString::number(std::pow(10.0, d));
        p.drawText(QRectF(px(d) - 20, 0, 40, plot.top() - 2), Qt::AlignHCenter | Qt::AlignBottom, label);
        if (d > 0) p.drawText(QRectF(0, py(d) - 6, plot.left() - 3, 12), Qt::AlignRight | Qt::AlignVCenter, label);
    }

    p.setRenderHint(QPainter::Antialiasing, true);
    // The layered model as a step line: 10 ohm.m to 1 m, 100 ohm.m to 10 m, 20 ohm.m below.
    p.setPen(QPen(QColor(0x00, 0xB0, 0x00), 2));
    QPainterPath model;
    model.moveTo(px(1.0), py(0.0));
    model.lineTo(px(1.0), py(0.0) + 1);
    model.lineTo(px(1.0), py(std::log10(3.0)));
    model.lineTo(px(2.0), py(std::log10(3.0)));
    model.lineTo(px(2.0), py(std::log10(40.0)));
    model.lineTo(px(std::log10(20.0)), py(std::log10(40.0)));
    model.lineTo(px(std::log10(20.0)), plot.bottom());
    p.drawPath(model);

    // The apparent-resistivity curve and the measured points on it.
    QPainterPath curve;
    for (int i = 0; i <= 120; ++i) {
        const double a = kDecades * i / 120.0;
        const QPointF point(px(pictureLogRho(a)), py(a));
        if (i == 0) curve.moveTo(point); else curve.lineTo(point);
    }
    p.setPen(QPen(Qt::black, 2));
    p.drawPath(curve);
    p.setPen(QPen(QColor(0x00, 0x00, 0x80), 1));
    for (int k = 0; k <= 26; k += 2) {
        const double a = k / 8.876;
        const QPointF c(px(pictureLogRho(a) + 0.02 * std::sin(k * 1.7)), py(a));
        p.drawLine(c + QPointF(-3, 0), c + QPointF(3, 0));
        p.drawLine(c + QPointF(0, -3), c + QPointF(0, 3));
    }
    return image;
}

void Tuvitani::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xF0, 0xF0, 0xF0));
    QFont big = font();
    big.setPointSize(40);
    big.setBold(true);
    p.setFont(big);
    p.setPen(QColor(0x00, 0x00, 0x80));
    p.drawText(QRect(0, 20, width(), 90), Qt::AlignCenter, "ORMA");
    QFont line = font();
    line.setPointSize(11);
    p.setFont(line);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 120, width(), 30), Qt::AlignCenter, "programme for VES curves interpretattion ");
    line.setPointSize(10);
    p.setFont(line);
    p.drawText(QRect(0, 155, width(), 26), Qt::AlignCenter, "ORMA 2005 verze 43");
    const int left = (width() - picture_.width()) / 2;
    p.drawImage(left, height() - picture_.height() - 40, picture_);
}

void Tuvitani::mousePressEvent(QMouseEvent*) { FormMouseDown(); }
void Tuvitani::mouseMoveEvent(QMouseEvent*) { FormMouseMove(); }

void Tuvitani::FormMouseDown() { accept(); }
void Tuvitani::FormMouseMove() { accept(); }

}  // namespace orma::ui
