#include "io/ReadingsCommit.h"

#include <algorithm>

#include "core/PointProcessing.h"

namespace orma {

Outcome commitReadings(Sounding& sounding, const PointTable& fresh, CurveSource source,
                       std::vector<std::string>& messages) {
    const PointTable previousPoints = sounding.points;
    const AbGrid previousGrid = sounding.grid;

    sounding.points = fresh;
    const int count = std::clamp(fresh.pointCount, 0, kMaxPoints);
    for (int s = 0; s < count; ++s) sounding.grid.value[s] = fresh.ab2[s];

    if (postProcessPoints(sounding, source, messages) == kSuccess) return Outcome::success();
    sounding.points = previousPoints;
    sounding.grid = previousGrid;
    return Outcome::failure({});
}

}  // namespace orma
