#include "ui/interpretation/plot/CurveDrawer.h"

#include <algorithm>

#include "ui/platform/Canvas.h"

namespace orma::ui {

void CurveDrawer::push(int x, int y) {
    // Repeated pixels add nothing but degenerate joins to the stroke.
    if (outCount_ > 0 && out_[outCount_ - 1] == QPoint(x, y)) return;
    if (outCount_ < kMaxOutputPoints) out_[outCount_++] = QPoint(x, y);
}

CurveVertex CurveDrawer::evaluate(const CurveVertex* vertices, int n, int order, double v) {
    const double* u = knots_.data();
    double* b = basis_.data();
    // Only the `order` basis functions of the knot span holding v are not
    // zero; the Cox-de Boor recursion is run over them alone, in place.
    int span = order - 1 + static_cast<int>(v);
    span = std::clamp(span, order - 1, n);
    while (span > order - 1 && v < u[span]) --span;
    while (span < n && v >= u[span + 1]) ++span;
    const int first = span - order + 1;
    for (int k = first; k <= span + 1; ++k) b[k] = 0.0;
    b[span] = 1.0;
    for (int d = 2; d <= order; ++d) {
        for (int k = span - d + 1; k <= span; ++k) {
            double value = 0;
            const double leftSpan = u[k + d - 1] - u[k];
            if (leftSpan != 0) value += (v - u[k]) / leftSpan * b[k];
            const double rightSpan = u[k + d] - u[k + 1];
            if (rightSpan != 0) value += (u[k + d] - v) / rightSpan * b[k + 1];
            b[k] = value;
        }
    }
    CurveVertex p;
    for (int k = first; k <= span; ++k) {
        p.x += b[k] * vertices[k].x;
        p.y += b[k] * vertices[k].y;
    }
    return p;
}

int CurveDrawer::smooth(const CurveVertex* vertices, int count, int order, int resolution) {
    outCount_ = 0;
    count = std::min(count, kMaxVertices);
    if (count < 2) return 0;
    const int n = count - 1;
    const int t = std::clamp(order, 1, count);
    const int res = std::clamp(resolution, 2, kMaxOutputPoints);
    for (int j = 0; j <= n + t; ++j) knots_[j] = j < t ? 0.0 : (j <= n ? j - t + 1.0 : n - t + 2.0);
    const double step = (n - t + 2.0) / (res - 1);
    for (int i = 0; i < res - 1; ++i) {
        const CurveVertex p = evaluate(vertices, n, t, i * step);
        push(static_cast<int>(p.x), static_cast<int>(p.y));
    }
    push(static_cast<int>(vertices[n].x), static_cast<int>(vertices[n].y));
    return outCount_;
}

void CurveDrawer::draw(Canvas& canvas, const CurveVertex* vertices, int count, const SmoothingOptions& options,
                       int gridSpan) {
    outCount_ = 0;
    count = std::min(count, kMaxVertices);
    if (count < 2) return;
    if (options.on && gridSpan > 1 && count > 2) {
        smooth(vertices, count, options.order, options.resolution);
    } else {
        for (int i = 0; i < count; ++i) push(static_cast<int>(vertices[i].x), static_cast<int>(vertices[i].y));
    }
    canvas.polyline(out_.data(), outCount_);
}

}  // namespace orma::ui
