#pragma once
// A four-branch sounding over a three-layer earth, shifted into a composite,
// with a four-layer model and its computed curve: what the plot tests and the
// benchmark draw.

#include <array>
#include <string>
#include <vector>

#include "core/BranchShift.h"
#include "core/Forward.h"
#include "core/PointProcessing.h"
#include "core/Sounding.h"

namespace orma::testing {

/// One reading of branch 1 appended to the sounding's point table.
inline void addPoint(Sounding& s, float ab2, float rho) {
    const int n = s.points.pointCount++;
    s.points.ab2[n] = ab2;
    s.points.rhoA[n] = rho;
    s.points.branch[n] = 1;
}

inline constexpr std::array<float, 25> kFieldAb2{1.0f,  1.3f,  1.68f, 2.18f, 2.82f,  3.66f,   4.74f,  6.15f,  7.97f,
                                                 10.3f, 13.4f, 17.4f, 22.5f, 29.1f,  37.8f,   49.0f,  63.5f,  82.3f,
                                                 107.f, 138.f, 179.2f, 232.3f, 301.1f, 390.17f, 505.73f};

/// Apparent resistivities of the K-type earth 10/100/20 ohm.m, bottoms at 1 and 10 m.
inline std::array<float, kGridSlots> kTypeCurve() {
    Sounding earth;
    earth.model.interfaceCount = 2;
    earth.model.resistivity[0] = 10;
    earth.model.resistivity[1] = 100;
    earth.model.resistivity[2] = 20;
    earth.model.depth[0] = 1;
    earth.model.depth[1] = 10;
    earth.model.depth[2] = kHalfSpaceDepth;
    earth.minGridIndex = 0;
    earth.maxGridIndex = 24;
    computeForward(earth);
    return earth.computedRho;
}

/// Branch b covers field spacings first..last (indices into kFieldAb2).
inline void loadFourBranchSounding(Sounding& s) {
    const auto curve = kTypeCurve();
    struct Span { int first, last; float mn2, factor; };
    const Span spans[4] = {{0, 9, 0.5f, 1.0f}, {7, 15, 2.0f, 1.08f}, {14, 21, 10.0f, 0.93f}, {19, 24, 40.0f, 1.12f}};
    int n = 0;
    for (int b = 0; b < 4; ++b) {
        for (int k = spans[b].first; k <= spans[b].last; ++k) {
            s.points.ab2[n] = kFieldAb2[k];
            s.points.mn2[n] = spans[b].mn2;
            s.points.rhoA[n] = curve[k] * spans[b].factor;
            s.points.sValue[n] = 1;
            s.points.branch[n] = b + 1;
            ++n;
        }
    }
    s.points.pointCount = n;
    std::vector<std::string> warnings;
    postProcessPoints(s, CurveSource::Gef, warnings);
    resetForNewCurve(s);
    shiftBranches(s, 2);
}

/// Four layers: 12, 90, 35 and 18 ohm.m with bottoms at 1.2, 7 and 30 m.
inline void setFourLayerModel(Sounding& s) {
    LayerModel& m = s.model;
    m.interfaceCount = 3;
    const float rho[4] = {12, 90, 35, 18};
    const float depth[4] = {1.2f, 7, 30, kHalfSpaceDepth};
    for (int i = 0; i < 4; ++i) {
        m.resistivity[i] = rho[i];
        m.depth[i] = depth[i];
    }
}

}  // namespace orma::testing
