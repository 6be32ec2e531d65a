#pragma once
// Draws a measured or computed curve through float pixel vertices, optionally
// smoothed by an open uniform B-spline.

#include <array>

#include <QPoint>

namespace orma::ui {

class Canvas;

struct CurveVertex {
    double x = 0, y = 0;
};

struct SmoothingOptions {
    bool on = true;
    int order = 3;         ///< 2 = polygon, 3 = quadratic B-spline, ...
    int resolution = 128;  ///< output points of the smoothed curve
};

class CurveDrawer {
public:
    /// Largest number of vertices a curve may have (one per grid slot).
    static constexpr int kMaxVertices = 150;
    /// The output buffer; a larger smoothing resolution is clamped to it, and a
    /// resolution below 2 is raised to 2 (the two ends).
    static constexpr int kMaxOutputPoints = 400;

    /// Draws vertices[0..count-1] with the canvas's current pen. Smoothing is
    /// used when `options.on`, `gridSpan` (maxGridIndex - minGridIndex) > 1 and
    /// there are at least three vertices; otherwise a polyline is drawn.
    /// Fewer than two vertices draw nothing; vertices beyond kMaxVertices are
    /// ignored. An order above the number of vertices is lowered to it (the
    /// spline is then a single Bezier-like arc through the end vertices); an
    /// order below 1 counts as 1.
    void draw(Canvas& canvas, const CurveVertex* vertices, int count, const SmoothingOptions& options,
              int gridSpan);

    /// The pixel points of the last draw (for tests and callers that need them).
    const QPoint* points() const { return out_.data(); }
    int pointCount() const { return outCount_; }

    /// Evaluates the B-spline only (no drawing); returns the number of points.
    int smooth(const CurveVertex* vertices, int count, int order, int resolution);

private:
    /// The spline point at parameter v (knots already set).
    CurveVertex evaluate(const CurveVertex* vertices, int n, int order, double v);
    void push(int x, int y);

    std::array<QPoint, kMaxOutputPoints> out_{};
    int outCount_ = 0;
    std::array<double, 2 * kMaxVertices + 2> knots_{};
    std::array<double, 2 * kMaxVertices + 2> basis_{};
};

}  // namespace orma::ui
