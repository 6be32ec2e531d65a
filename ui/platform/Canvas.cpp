#include "ui/platform/Canvas.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include <QPen>
#include <QString>

namespace orma::ui {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QColor toQColor(Colour colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QRgb toPixel(Colour colour) {
    return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

QFont Canvas::defaultFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

Canvas::Canvas() : Canvas(1, 1) {}

Canvas::Canvas(int width, int height) : font_(defaultFont()), metrics_(font_) { resize(width, height); }

Canvas::~Canvas() { endPainting(); }

void Canvas::resize(int width, int height) {
    endPainting();
    image_ = QImage(width > 0 ? width : 1, height > 0 ? height : 1, QImage::Format_RGB32);
    image_.fill(Qt::white);
    position_ = QPoint(0, 0);
}

const QImage& Canvas::image() const {
    endPainting();
    return image_;
}

QImage& Canvas::pixelsForWriting() {
    endPainting();
    return image_;
}

void Canvas::endPainting() const {
    if (painter_.isActive()) painter_.end();
}

QPainter& Canvas::painter() {
    if (!painter_.isActive()) {
        // Starting on an image whose data is shared with a snapshot detaches it
        // first, so snapshots taken through image() stay untouched.
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setRenderHint(QPainter::TextAntialiasing, true);
        painter_.setFont(font_);
        if (clipped_) painter_.setClipRect(clip_);
    }
    return painter_;
}

void Canvas::applyPen() {
    QPainter& p = painter();
    QPen pen(toQColor(penColour_));
    pen.setWidth(penWidth_ > 1 ? penWidth_ : 0);  // 0 = one-pixel cosmetic pen
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.setCompositionMode(penMode_ == PenMode::Xor ? QPainter::RasterOp_SourceXorDestination
                                                  : QPainter::CompositionMode_SourceOver);
}

void Canvas::fill(Colour colour) {
    endPainting();
    image_.fill(toQColor(colour));
}

void Canvas::setPenColour(Colour colour) { penColour_ = colour & 0xFFFFFF; }

void Canvas::setPenWidth(int width) { penWidth_ = width > 0 ? width : 1; }

void Canvas::setPenMode(PenMode mode) { penMode_ = mode; }

void Canvas::moveTo(int x, int y) { position_ = QPoint(x, y); }

void Canvas::lineTo(int x, int y) {
    const QPoint to(x, y);
    if (to == position_) return;
    const int half = penWidth_ / 2;
    // Axis-parallel lines are filled as exact bars: start pixel in, end pixel
    // out, whatever the direction, so chained segments never overlap.
    if (to.y() == position_.y()) {
        const int step = to.x() > position_.x() ? 1 : -1;
        const int first = position_.x(), last = to.x() - step;
        fillRect(std::min(first, last), y - half, std::abs(last - first) + 1, penWidth_);
    } else if (to.x() == position_.x()) {
        const int step = to.y() > position_.y() ? 1 : -1;
        const int first = position_.y(), last = to.y() - step;
        fillRect(x - half, std::min(first, last), penWidth_, std::abs(last - first) + 1);
    } else {
        applyPen();
        painter().drawLine(position_, to);
    }
    position_ = to;
}

void Canvas::polyline(const QPoint* points, int count) {
    if (count <= 0) return;
    if (count == 1) {
        position_ = points[0];
        return;
    }
    applyPen();
    if (penWidth_ > 1 && std::is_sorted(points, points + count,
                                        [](const QPoint& a, const QPoint& b) { return a.y() < b.y(); })) {
        strokeInRowBands(points, count);
    } else {
        painter().drawPolyline(points, count);
    }
    position_ = points[count - 1];
}

void Canvas::strokeInRowBands(const QPoint* points, int count) {
    // The raster engine hands every fill of more than about a hundred rows to
    // a worker thread and waits for it, which costs far more than the drawing
    // itself. A curve running downwards is therefore stroked band by band,
    // each band clipped to its rows and drawn from the part of the curve that
    // reaches a little beyond them, so inside the band the pixels are those of
    // one stroke of the whole curve and no pixel is painted twice.
    QPainter& p = painter();
    const int reach = 2 * penWidth_ + 2;  // beyond caps and mitres
    const int firstRow = points[0].y() - reach, lastRow = points[count - 1].y() + reach;
    int from = 0;
    for (int top = firstRow; top <= lastRow; top += kRowBand) {
        const int bottom = top + kRowBand;  // exclusive
        while (from + 1 < count && points[from + 1].y() < top - reach) ++from;
        int to = from + 1;
        while (to + 1 < count && points[to].y() < bottom + reach) ++to;
        QRect band(QPoint(-0x3FFFFFFF, top), QPoint(0x3FFFFFFF, bottom - 1));
        if (clipped_) band = band.intersected(clip_);
        if (band.isEmpty()) continue;
        p.setClipRect(band);
        p.drawPolyline(points + from, to - from + 1);
    }
    if (clipped_) p.setClipRect(clip_);
    else p.setClipping(false);
}

void Canvas::rectangle(int left, int top, int right, int bottom) {
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    // Four bars that do not overlap: top and bottom own the corners.
    const int w = penWidth_, half = penWidth_ / 2;
    const int outerLeft = left - half, outerWidth = right - left + w;
    fillRect(outerLeft, top - half, outerWidth, w);
    if (bottom - top >= w) fillRect(outerLeft, bottom - half, outerWidth, w);
    const int innerTop = top - half + w, innerBottom = bottom - half;  // exclusive
    fillRect(outerLeft, innerTop, w, innerBottom - innerTop);
    if (right - left >= w) fillRect(right - half, innerTop, w, innerBottom - innerTop);
}

void Canvas::fillRect(int left, int top, int w, int h) {
    if (w <= 0 || h <= 0) return;
    QPainter& p = painter();
    p.setCompositionMode(penMode_ == PenMode::Xor ? QPainter::RasterOp_SourceXorDestination
                                                  : QPainter::CompositionMode_SourceOver);
    const QColor colour = toQColor(penColour_);
    // Tall bars in bands of rows, for the same reason as in strokeInRowBands.
    for (int y = top; y < top + h; y += kRowBand) p.fillRect(QRect(left, y, w, std::min(kRowBand, top + h - y)), colour);
}

void Canvas::setClipRect(int left, int top, int right, int bottom) {
    clip_ = QRect(QPoint(left, top), QPoint(right, bottom));
    clipped_ = true;
    if (painter_.isActive()) painter_.setClipRect(clip_);
}

void Canvas::clearClip() {
    clipped_ = false;
    if (painter_.isActive()) painter_.setClipping(false);
}

void Canvas::setFontBold(bool bold) {
    if (font_.bold() == bold) return;
    font_.setBold(bold);
    metrics_ = QFontMetrics(font_);
    if (painter_.isActive()) painter_.setFont(font_);
}

void Canvas::setFont(const QFont& font) {
    font_ = font;
    metrics_ = QFontMetrics(font_);
    if (painter_.isActive()) painter_.setFont(font_);
}

void Canvas::setFontColour(Colour colour) { fontColour_ = colour & 0xFFFFFF; }

void Canvas::setTextOpaque(bool opaque) { textOpaque_ = opaque; }

void Canvas::setTextBackground(Colour colour) { textBackground_ = colour & 0xFFFFFF; }

void Canvas::textOut(int x, int y, std::string_view text) {
    if (text.empty()) return;
    const QString s = toQString(text);
    QPainter& p = painter();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (textOpaque_) p.fillRect(QRect(x, y, metrics_.horizontalAdvance(s), metrics_.height()), toQColor(textBackground_));
    p.setPen(toQColor(fontColour_));
    p.drawText(QPoint(x, y + metrics_.ascent()), s);
}

int Canvas::textWidth(std::string_view text) const { return metrics_.horizontalAdvance(toQString(text)); }

int Canvas::textHeight(std::string_view /*text*/) const {
    // One line of any text is as tall as the font's line height.
    return metrics_.height();
}

}  // namespace orma::ui
