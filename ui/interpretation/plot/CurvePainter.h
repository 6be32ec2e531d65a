#pragma once
// The measured branches, the composite curve and the model's computed curve.

namespace orma::ui {

struct PlotContext;

inline constexpr int kCrossHalfSize = 2;

/// Crosses at every measured point and one line per branch (1..5, in branch
/// colours) through the per-spacing averages of its points. Every grid index
/// takes part, including spacings beyond 1250 m.
void paintMeasuredBranches(const PlotContext& ctx);

/// The composite curve at the exact grid positions of its spacings.
void paintCompositeCurve(const PlotContext& ctx);

/// The computed curve in XOR (aqua, 2 px); drawing it twice removes it.
void xorComputedCurve(const PlotContext& ctx);

/// Red 2 px segments of every branch from its shifted value at grid row k-1
/// to the one at k and on to k+1, where those values exist.
void paintEditedCurvePoint(const PlotContext& ctx, int k);

/// "SSQ = " with the value, below the plot, ending at its horizontal middle;
/// a non-empty `note` (the forward computation, when not the standard one)
/// follows the value.
void paintSsqText(const PlotContext& ctx, double ssq, const char* note = "");

/// Red "rho-  -AB/2" texts at every computed point.
void paintComputedValues(const PlotContext& ctx);

}  // namespace orma::ui
