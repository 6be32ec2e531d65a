// The canvas the plots draw on: colour order, exact XOR, GDI line ends.

#include <cmath>

#include <QPainter>
#include <QPen>
#include <gtest/gtest.h>

#include "support/QtTestEnvironment.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {
namespace {

int countPixels(const QImage& image, QRgb value) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == value;
    return n;
}

TEST(Canvas, ColoursAreBlueGreenRedValues) {
    Canvas canvas(10, 10);
    canvas.setPenColour(0x800000);  // navy
    canvas.moveTo(1, 5);
    canvas.lineTo(8, 5);
    EXPECT_EQ(canvas.image().pixel(3, 5), qRgb(0, 0, 0x80));
    EXPECT_EQ(toPixel(0x0000FF), qRgb(0xFF, 0, 0));
}

TEST(Canvas, AxisParallelLinesLeaveOutTheEndPixelSoChainsTouchEachPixelOnce) {
    Canvas canvas(20, 20);
    canvas.setPenMode(PenMode::Xor);
    canvas.setPenColour(0xFFFFFF);  // white ^ white = black
    canvas.moveTo(2, 2);
    canvas.lineTo(10, 2);
    canvas.lineTo(10, 9);
    canvas.lineTo(3, 9);   // right to left
    canvas.lineTo(3, 4);   // upwards
    const QImage& image = canvas.image();
    EXPECT_EQ(image.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(10, 2), qRgb(0, 0, 0));  // corner painted once, not flipped back
    EXPECT_EQ(image.pixel(10, 9), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(3, 9), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(3, 4), qRgb(255, 255, 255));  // the end pixel of the chain
    EXPECT_EQ(countPixels(image, qRgb(0, 0, 0)), 8 + 7 + 7 + 5);
}

TEST(Canvas, WidePensAreCentredOnTheLine) {
    Canvas canvas(20, 20);
    canvas.setPenColour(0);
    canvas.setPenWidth(3);
    canvas.moveTo(5, 10);
    canvas.lineTo(5, 15);
    for (int x = 3; x <= 7; ++x)
        EXPECT_EQ(canvas.image().pixel(x, 12), x >= 4 && x <= 6 ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) << x;
}

TEST(Canvas, XorPixelIsDestinationXorPenAndASecondDrawRestores) {
    Canvas canvas(60, 40);
    canvas.fill(0x336699);
    canvas.setPenColour(0xC0C0C0);
    canvas.moveTo(0, 20);
    canvas.lineTo(60, 20);
    const QImage before = canvas.image();
    const QPoint slanted[4] = {{3, 3}, {40, 30}, {55, 5}, {20, 38}};
    for (int width : {1, 2, 4}) {
        canvas.setPenMode(PenMode::Xor);
        canvas.setPenColour(0x00FF00);
        canvas.setPenWidth(width);
        canvas.polyline(slanted, 4);
        canvas.moveTo(30, 1);
        canvas.lineTo(30, 39);
        EXPECT_EQ(canvas.image().pixel(30, 10), before.pixel(30, 10) ^ (toPixel(0x00FF00) & 0xFFFFFF));
        canvas.polyline(slanted, 4);
        canvas.moveTo(30, 1);
        canvas.lineTo(30, 39);
        EXPECT_EQ(canvas.image(), before) << "width " << width;
    }
}

TEST(Canvas, WidePolylineFlipsEveryPixelOnceAtItsJoins) {
    Canvas canvas(40, 40);
    canvas.setPenMode(PenMode::Xor);
    canvas.setPenColour(0xFFFFFF);
    canvas.setPenWidth(2);
    const QPoint bend[3] = {{5, 5}, {30, 5}, {30, 30}};
    canvas.polyline(bend, 3);
    // A pixel painted twice would be white again inside the stroke.
    EXPECT_EQ(canvas.image().pixel(30, 5), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.image().pixel(29, 5), qRgb(0, 0, 0));
}

TEST(Canvas, TallWideCurveMatchesOneStrokeOfTheWholeCurve) {
    // A downward curve is stroked in bands of rows; the pixels must be those
    // of a single stroke, each flipped once under XOR.
    QPoint curve[60];
    for (int i = 0; i < 60; ++i) curve[i] = QPoint(200 + static_cast<int>(150 * std::sin(i * 0.3)), 5 + i * 8 + (i % 3));
    Canvas canvas(420, 500);
    canvas.setPenMode(PenMode::Xor);
    canvas.setPenColour(0xFFFFFF);
    canvas.setPenWidth(2);
    canvas.polyline(curve, 60);

    QImage reference(420, 500, QImage::Format_RGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    QPen pen(Qt::black);
    pen.setWidth(2);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawPolyline(curve, 60);
    painter.end();
    EXPECT_EQ(canvas.image(), reference);
}

TEST(Canvas, SnapshotsStayUnchangedByLaterDrawing) {
    Canvas canvas(30, 30);
    const QImage before = canvas.image();
    canvas.moveTo(0, 15);
    canvas.lineTo(30, 15);
    EXPECT_NE(canvas.image(), before);
    EXPECT_EQ(before.pixel(5, 15), qRgb(255, 255, 255));
}

TEST(Canvas, RectangleOutlineIncludesBothCorners) {
    Canvas canvas(20, 20);
    canvas.setPenMode(PenMode::Xor);
    canvas.setPenColour(0xFFFFFF);
    canvas.rectangle(2, 3, 12, 9);
    const QImage& image = canvas.image();
    for (QPoint p : {QPoint(2, 3), QPoint(12, 3), QPoint(12, 9), QPoint(2, 9)}) EXPECT_EQ(image.pixel(p), qRgb(0, 0, 0));
    EXPECT_EQ(countPixels(image, qRgb(0, 0, 0)), 2 * 11 + 2 * 5);
}

TEST(Canvas, ClipRectKeepsDrawingInside) {
    Canvas canvas(20, 20);
    canvas.setClipRect(5, 5, 10, 10);
    canvas.setPenColour(0);
    canvas.moveTo(0, 7);
    canvas.lineTo(20, 7);
    canvas.clearClip();
    EXPECT_EQ(canvas.image().pixel(4, 7), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.image().pixel(10, 7), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.image().pixel(11, 7), qRgb(255, 255, 255));
}

TEST(Canvas, OpaqueTextFillsItsCellTransparentTextDoesNot) {
    Canvas canvas(100, 40);
    canvas.fill(0x00FF00);
    canvas.setTextOpaque(true);
    canvas.setTextBackground(0xFFFFFF);
    canvas.textOut(2, 2, "i");
    EXPECT_EQ(canvas.image().pixel(2, 2), qRgb(255, 255, 255));  // top-left of the cell is background
    canvas.setTextOpaque(false);
    canvas.textOut(40, 2, "i");
    EXPECT_EQ(canvas.image().pixel(40, 2), qRgb(0, 255, 0));
    EXPECT_GT(canvas.textWidth("WW"), canvas.textWidth("W"));
    EXPECT_GT(canvas.textHeight("W"), 8);
}

}  // namespace
}  // namespace orma::ui
