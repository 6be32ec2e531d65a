#pragma once
// Soundings with a given model and a composite curve made by the forward
// computation itself, for the engine tests.

#include <initializer_list>
#include <memory>

#include "core/Forward.h"
#include "core/Sounding.h"

namespace orma::test {

/// A model of resistivities rho (N + 1) and interface depths (N) on grid rows kmin..kmax.
inline std::unique_ptr<Sounding> soundingWithModel(std::initializer_list<float> rho,
                                                   std::initializer_list<float> depth, int kmin = 0,
                                                   int kmax = 27) {
    auto s = std::make_unique<Sounding>();
    s->minGridIndex = kmin;
    s->maxGridIndex = kmax;
    s->model.interfaceCount = static_cast<int>(depth.size());
    int i = 0;
    for (float r : rho) s->model.resistivity[i++] = r;
    i = 0;
    for (float d : depth) s->model.depth[i++] = d;
    s->model.depth[i] = kHalfSpaceDepth;
    return s;
}

/// Makes the composite curve equal to the curve of the current model.
inline void setCompositeFromModel(Sounding& s) {
    computeForward(s);
    for (int k = s.minGridIndex; k <= s.maxGridIndex; ++k) s.branches.shiftedRho[k][0] = s.computedRho[k];
}

/// Replaces the model by new resistivities and depths (same layer count), flags kept.
inline void setModel(Sounding& s, std::initializer_list<float> rho, std::initializer_list<float> depth) {
    int i = 0;
    for (float r : rho) s.model.resistivity[i++] = r;
    i = 0;
    for (float d : depth) s.model.depth[i++] = d;
}

}  // namespace orma::test
