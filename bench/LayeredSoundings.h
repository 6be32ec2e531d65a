#pragma once
// The alternating layered models the engine benchmarks compute.

#include <cmath>
#include <memory>

#include "core/Sounding.h"

namespace orma::bench {

/// A sounding on grid rows kmin..kmax with a model of `layers` layers whose
/// resistivities alternate low and high and whose depths grow by 30 % a layer.
inline std::unique_ptr<Sounding> layeredSounding(int layers, int kmin, int kmax) {
    auto s = std::make_unique<Sounding>();
    s->minGridIndex = kmin;
    s->maxGridIndex = kmax;
    s->model.interfaceCount = layers - 1;
    for (int i = 0; i < layers; ++i) {
        s->model.resistivity[i] = i % 2 == 0 ? 40.0f + 10.0f * i : 400.0f - 5.0f * i;
        s->model.depth[i] = 1.2f * std::pow(1.3f, static_cast<float>(i));
    }
    s->model.depth[layers - 1] = kHalfSpaceDepth;
    return s;
}

}  // namespace orma::bench
