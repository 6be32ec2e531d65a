#pragma once
// A profile of the database as a laterally constrained inversion
// (LateralInversion.h): each VES point becomes a sounding with its stored
// composite curve and model, and the joint models go back into the points.

#include <string>
#include <vector>

#include "core/ComputationOptions.h"
#include "core/LateralInversion.h"
#include "core/VesDatabase.h"

namespace orma {

struct ProfileInversion {
    std::vector<LciSounding> soundings;  ///< one per point, in the profile's order
    std::vector<std::string> messages;   ///< what loading the points had to say (values left out of a curve)
};

/// The layer count most of the profile's models have (the fewest layers when
/// counts are equally common); 0 when no point has a model.
int commonLayerCount(const Profile& profile);

/// One sounding per point: its name, its chainage on the profile, the stored
/// composite curve and the stored model with its held values (negative
/// numbers). A point without an interpreted curve gets no record, so the
/// inversion names it and leaves it out. With measured spacings, every
/// curve row is computed at the stored readings' AB/2 that snapped to it.
ProfileInversion profileInversion(const Profile& profile, const ComputationOptions& options);

/// Writes the models of the soundings that took part into their points (the
/// profile must be the one the problem was made from): layer count,
/// resistivities and depths with held values as negative numbers, and the
/// SSQ; a point whose model changed loses its depth ranges. Nothing else of
/// a point changes; points left out keep everything.
void applyProfileInversion(const ProfileInversion& problem, Profile& profile);

}  // namespace orma
