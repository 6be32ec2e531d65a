#include "core/FilterReach.h"

#include <array>
#include <cmath>

#include "core/Forward.h"

namespace orma {

bool withinFilterReach(Sounding& scratch, const LayerModel& model, const ComputationOptions& options) {
    if (options.accurateForward) return true;
    scratch.model = model;
    if (computeForward(scratch, options) != kSuccess) return false;
    const std::array<float, kGridSlots> standard = scratch.computedRho;
    ComputationOptions accurate = options;
    accurate.accurateForward = true;
    if (computeForward(scratch, accurate) != kSuccess) return false;
    for (int k = scratch.minGridIndex; k <= scratch.maxGridIndex; ++k) {
        if (!scratch.hasComposite(k)) continue;
        const double ratio = static_cast<double>(standard[k]) / static_cast<double>(scratch.computedRho[k]);
        if (!(std::fabs(std::log(ratio)) <= kFilterReachTolerance)) return false;
    }
    return true;
}

}  // namespace orma
