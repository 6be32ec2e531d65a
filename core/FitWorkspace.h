#pragma once
// The fixed-size work tables of the sensitivity computation, the SVD and the
// fit. The interpretation window owns one workspace for its whole life, so a
// fit never allocates. The tables keep their contents between fits (the hidden
// matrix listings show what the last fit left in them).

#include <array>

#include "core/AbGrid.h"
#include "core/AccurateForward.h"
#include "core/Sounding.h"

namespace orma {

inline constexpr int kMaxFitRows = kGridPoints;                   ///< grid rows of a curve
inline constexpr int kMaxParameters = 2 * kMaxLayers;             ///< WJ columns (59 used)
inline constexpr int kSamplesBelow = 20;                          ///< filter reach below a grid point
inline constexpr int kSamplesAbove = 4;                           ///< filter reach above a grid point
inline constexpr int kMaxSamples = kMaxFitRows + kSamplesBelow + kSamplesAbove;  ///< 123
/// Layer columns of Sro/Sd are 1-based (column k = layer k), so a 30-layer
/// model needs 31 columns.
inline constexpr int kLayerColumns = kMaxLayers + 1;

/// One free parameter of the fit, in the order rho1, h1, rho2, h2, ..., rhoL.
struct FitColumn {
    bool isThickness = false;
    int layer = 0;        ///< 1-based layer k
    int compensator = 0;  ///< thickness columns: the held-depth interface D below, 0 = none
};

struct FitWorkspace {
    // Sensitivities: transform derivatives per sample (row r = sample m + 20),
    // and their filtered curves per grid row.
    std::array<std::array<double, kMaxLayers>, kMaxSamples> Dro{};
    std::array<std::array<double, kMaxLayers>, kMaxSamples> Dd{};
    std::array<std::array<double, kLayerColumns>, kMaxFitRows> Sro{};
    std::array<std::array<double, kLayerColumns>, kMaxFitRows> Sd{};

    // SVD: WJ = U * diag * V^T; UT holds U transposed.
    std::array<std::array<double, kMaxParameters>, kMaxFitRows> WJ{};
    std::array<std::array<double, kMaxFitRows>, kMaxFitRows> UT{};
    std::array<std::array<double, kMaxParameters>, kMaxParameters> V{};
    std::array<double, kMaxFitRows> householder{};  ///< reflection vector scratch

    // Fit state.
    std::array<int, kMaxFitRows> rowGridOffset{};  ///< WJ row -> grid row j (k = f + j)
    std::array<double, kMaxFitRows> residual{};
    std::array<double, kMaxParameters> projectedResidual{};
    std::array<double, kMaxParameters + 1> dampingLevels{};
    std::array<double, kMaxParameters> step{};
    std::array<FitColumn, kMaxParameters> columns{};
    std::array<double, kMaxLayers> layerThickness{};
    std::array<double, kMaxLayers> fitResistivity{};
    std::array<double, kMaxLayers> fitThickness{};
    std::array<bool, kMaxLayers> depthHeld{};  ///< interface k (1-based) keeps its depth
    std::array<double, kMaxLayers> heldDepth{};

    // Last in the record, and kept last: placed before the SVD tables they
    // moved WJ, UT and V to other offsets within a page, and the SVD of 30
    // layers on 99 rows became a tenth to a quarter slower (the tables' rows,
    // read together in the Householder steps, then compete for the same
    // cache sets). Anything new goes here too.
    //
    // Derivatives for the forward computations at any spacings
    // (SensitivitiesAtSpacings.h): the spacing of every curve row, and for
    // the long filter its kernel derivatives per sample and per output node.
    std::array<double, kMaxFitRows> rowSpacing{};
    std::array<std::array<double, kMaxLayers>, kMaxLaggedSamples> laggedDro{};
    std::array<std::array<double, kMaxLayers>, kMaxLaggedSamples> laggedDd{};
    std::array<std::array<double, kMaxLayers>, kMaxLaggedNodes> nodeDro{};
    std::array<std::array<double, kMaxLayers>, kMaxLaggedNodes> nodeDd{};
};

}  // namespace orma
