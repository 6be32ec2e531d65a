#pragma once
// A layered model's values without its flags, with its fit error: what the
// parameter ranges and the equivalent models of a global fit report.

#include <array>

#include "core/Sounding.h"

namespace orma {

struct ModelValues {
    int interfaceCount = 0;
    std::array<float, kMaxLayers> resistivity{};
    std::array<float, kMaxLayers> depth{};
    double ssq = 0.0;

    double thickness(int i) const {
        return i == 0 ? static_cast<double>(depth[0])
                      : static_cast<double>(depth[static_cast<std::size_t>(i)]) - static_cast<double>(depth[static_cast<std::size_t>(i - 1)]);
    }
};

inline ModelValues modelValuesOf(const LayerModel& model, double ssq) {
    ModelValues values;
    values.interfaceCount = model.interfaceCount;
    values.resistivity = model.resistivity;
    values.depth = model.depth;
    values.ssq = ssq;
    return values;
}

}  // namespace orma
