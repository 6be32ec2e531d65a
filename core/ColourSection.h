#pragma once
// The colour sections painted into a bitmap: the layered models of a
// profile's points (resistivity section) and their apparent-resistivity
// curves (pseudo-section), interpolated between neighbouring points.
//
// Everything is in pixels of the image (x to the right, rows downwards), so
// the section's own mapping of chainage and elevation decides where things
// go; this code knows nothing of metres or of the window.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/ColourScale.h"

namespace orma {

/// A bitmap of 0xFFRRGGBB pixels and the rectangle of it that may be painted:
/// columns left..right-1, rows top..bottom-1.
struct ColourRaster {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  ///< pixels from one row to the next
    int left = 0, top = 0, right = 0, bottom = 0;
};

/// One point's model: a column of layers hanging from the point.
struct ModelColumn {
    int x = 0;                       ///< image column of the point
    double top = 0.0;                ///< row of the point's elevation
    std::vector<double> interfaces;  ///< rows of the layer boundaries, downwards
    std::vector<double> logRho;      ///< log10 resistivity per layer: interfaces.size() + 1 values
};

/// Two neighbouring columns joined: boundaries in pairs of rows (one under
/// each point, from the tops to the common bottom), and between boundaries
/// k and k+1 the layers of each column that the band carries.
struct JoinedColumns {
    std::vector<double> rowsA, rowsB;  ///< boundary k under point A and under point B
    std::vector<int> layerA, layerB;   ///< band k: layer index in A and in B
};

/// Joins the layer boundaries of two columns. With equal layer counts,
/// boundary i of one joins boundary i of the other, so a layer that thickens
/// or dips is followed. With unequal counts, the boundaries of the column
/// with fewer layers join, in order, those of the other that lie nearest in
/// log depth; each boundary left over continues at the same relative position
/// between the joined boundaries above and below it, so the extra layer
/// thins out towards the other point.
JoinedColumns joinColumns(const ModelColumn& a, const ModelColumn& b, double bottom);

/// Paints the resistivity section: between every two neighbouring columns (by
/// x) each band's log resistivity is interpolated linearly in x, from the
/// terrain line down to row `bottom`. Nothing is painted left of the first
/// and right of the last column, nor above the terrain.
void paintModelSection(std::vector<ModelColumn> columns, double bottom, const ColourScale& scale,
                       ColourRaster& raster);

/// One point's apparent-resistivity curve on the AB/2 grid.
struct CurveColumn {
    int x = 0;                    ///< image column of the point
    double top = 0.0;             ///< row of the point's elevation
    double firstLogAb = 0.0;      ///< log10 AB/2 of the first value
    double logAbStep = 1.0;       ///< log10 AB/2 from one value to the next
    std::vector<double> logRho;   ///< log10 apparent resistivity; NaN where missing
};

/// The pseudo-depth: log10 AB/2 `logAtTop` at the terrain, growing downwards
/// by one decade per `pixelsPerDecade` rows.
struct PseudoDepthAxis {
    double logAtTop = 0.0;
    double pixelsPerDecade = 100.0;
};

/// Paints the pseudo-section: under each point its curve at pseudo-depth AB/2,
/// interpolated between neighbouring points linearly in x and in log AB/2
/// (log resistivity). A pixel is painted only where the curves of both
/// neighbours reach, so the section ends where the shorter curve ends.
void paintPseudoSection(std::vector<CurveColumn> columns, const PseudoDepthAxis& axis, const ColourScale& scale,
                        ColourRaster& raster);

}  // namespace orma
