#pragma once
// One VES point as the interpretation window holds it: header, measured points,
// branch grid tables with the composite curve, the layered model and its curve.
// All tables are fixed-size; nothing is allocated per sounding.

#include <array>
#include <string>

#include "core/AbGrid.h"

namespace orma {

inline constexpr int kPointSlots = 150;   ///< slots of the float point columns
inline constexpr int kMaxPoints = 99;     ///< a sounding holds at most 99 points
inline constexpr int kMaxBranches = 5;    ///< branch numbers 1..5
inline constexpr int kBranchColumns = 6;  ///< column 0 composite, 1..5 branches
inline constexpr int kMaxLayers = 30;
inline constexpr int kFlagSlots = 99;

inline constexpr float kMissing = -999.0f;       ///< missing value in grid tables
inline constexpr float kNoSMean = 1e8f;          ///< missing s value
inline constexpr float kHalfSpaceDepth = 1e12f;  ///< depth entry of the half-space
inline constexpr float kMinResistivity = 1e-6f;

/// Header texts are cut to these lengths (the fields of the stored records).
inline constexpr std::size_t kMaxDateLength = 39;
inline constexpr std::size_t kMaxNameLength = 99;

/// Result codes shared by readers and computations.
enum ResultCode : int { kFailed = -1, kCannotOpen = 0, kSuccess = 1, kEndOfFile = -2 };

/// Where the current curve came from.
enum class CurveSource : int { None = -1, Rst = 0, Gef = 1 };

/// Measured readings in file order.
struct PointTable {
    std::array<float, kPointSlots> ab2{};
    std::array<float, kPointSlots> mn2{};
    std::array<float, kPointSlots> rhoA{};
    std::array<float, kPointSlots> sValue{};
    std::array<int, kMaxPoints> branch{};     ///< 1..5; 0 = in no branch
    std::array<int, kMaxPoints> gridIndex{};  ///< AbGrid index after snapping
    std::array<double, kPointSlots> logAb2{};
    std::array<double, kPointSlots> logRhoA{};
    int pointCount = 0;
};

using GridTable = std::array<std::array<float, kBranchColumns>, kGridSlots>;

/// Per-branch grid tables: row = grid index, column 0 = composite, 1..5 = branches.
struct BranchTables {
    std::array<float, kBranchColumns> branchMn2{};  ///< MN/2 of the branch's last point
    GridTable measuredAb2{};  ///< -999 where none
    GridTable sMean{};        ///< 1e8 where none
    GridTable branchRho{};    ///< geometric mean of repeated readings; 0 where none
    GridTable shiftedRho{};   ///< after the branch shift; -999 where none
    int branchCount = 0;      ///< the largest branch number among the points
};

/// Horizontally layered earth: interfaceCount + 1 layers, the last the half-space.
struct LayerModel {
    int interfaceCount = 0;  ///< 0 = no model
    std::array<float, kMaxLayers> resistivity{};
    std::array<float, kMaxLayers> depth{};  ///< bottom of layer i; half-space = 1e12
    std::array<int, kFlagSlots> depthFixed{};
    std::array<int, kFlagSlots> resistivityFixed{};
    std::array<int, kFlagSlots> thicknessFixed{};

    int layerCount() const { return interfaceCount + 1; }
    bool exists() const { return interfaceCount > 0; }
    /// Thickness of layer i (i < interfaceCount).
    double thickness(int i) const {
        return i == 0 ? static_cast<double>(depth[0])
                      : static_cast<double>(depth[i]) - static_cast<double>(depth[i - 1]);
    }
};

struct Sounding {
    // Header; survives from one curve to the next until a reader or prompt replaces it.
    std::string date;
    std::string locality;
    std::string operatorName;
    int pointNumber = 0;
    int previousPointNumber = -25;
    int pointStep = 0;
    int profileNumber = 1;
    CurveSource source = CurveSource::None;
    int rstRecordIndex = 0;
    std::string gefPath;
    std::string rstPath = "ves.rst";

    PointTable points;
    AbGrid grid;
    int minGridIndex = 0;
    int maxGridIndex = 0;
    BranchTables branches;

    LayerModel model;
    LayerModel modelMemory;  ///< copy/paste buffer of the model commands
    std::array<float, kGridSlots> computedRho{};
    std::array<float, kGridSlots> computedPacked{};  ///< computedRho from minGridIndex on
    double ssq = 0.0;

    float driftStep = 0.001f;  ///< log10 ohm-m per drift command
    bool averageOverlaps = true;
    bool curveLoaded = false;
    bool compositeBuilt = false;
    bool computedCurveShown = false;
    bool rstOutputOpen = false;
    bool curveEditMode = false;
    bool mouseDrawnCurve = false;

    /// Composite apparent resistivity at grid row k (> 0 present; 0 or -999 a gap).
    float composite(int k) const { return branches.shiftedRho[k][0]; }
    bool hasComposite(int k) const { return branches.shiftedRho[k][0] > 0.0f; }
};

}  // namespace orma
