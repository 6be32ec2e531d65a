#pragma once
// The layered model on the plot: the XOR step line, the value list in the
// right margin and the optional value labels along the step line.

#include <array>
#include <string>

#include "core/Sounding.h"

namespace orma::ui {

struct PlotContext;

/// What the value list in the right margin shows now. Its texts are opaque,
/// so painting a line with the text it already shows changes nothing: only
/// the lines that differ are painted again (a drag changes one value).
struct ValueListOnCanvas {
    bool valid = false;  ///< false after the canvas was cleared or written over
    std::array<std::string, kMaxLayers> resistivity;
    std::array<std::string, kMaxLayers> depth;
};

struct ModelLineStyle {
    int selectedLayer = -1;      ///< drawn with the active line width
    int selectedInterface = -1;  ///< drawn with the active line width
    /// While a model is being drawn the last corner's depth is the free
    /// corner; otherwise the half-space reaches below the plot.
    bool drawingInProgress = false;
};

/// Whether the model can be drawn: a boundary, and a positive first
/// resistivity and depth.
bool modelDrawable(const PlotContext& ctx);

/// The step line in XOR; a second call with the same data removes it.
///
/// The half-space is drawn down to the plot's bottom without touching the
/// stored model (its depth entry keeps the half-space sentinel). Depths are
/// kept within the plot's height and everything is clipped to the plot frame;
/// the line is laid out as axis-parallel bars that meet without overlapping,
/// so that every pixel flips exactly once, also at corners of wide lines.
void xorModelLines(const PlotContext& ctx, const ModelLineStyle& style);

/// "Model:", the resistivities and the depths in the right margin; the lines
/// `shown` already holds are left as they are, and `shown` is brought up to date.
void paintModelValueList(const PlotContext& ctx, const ModelLineStyle& style, ValueListOnCanvas& shown);

/// Resistivity and depth labels next to the step line (transparent text).
void paintModelLabels(const PlotContext& ctx, const ModelLineStyle& style);

}  // namespace orma::ui
