#pragma once
// The joint fit (laterally constrained inversion, core/LateralInversion.h) of
// every profile of a database that the unattended interpretation made
// (io/ProfileInterpretation.h): each profile's points start from their own
// fits, are fitted together, and the joint models go into the database and
// into the interpretation results, so the summary table shows them.

#include <functional>
#include <string>
#include <vector>

#include "core/LateralInversion.h"
#include "core/VesDatabase.h"
#include "io/ProfileInterpretation.h"

namespace orma {

/// What became of one profile.
struct ProfileJointFit {
    std::string profile;  ///< its name
    bool fitted = false;  ///< false: every point keeps its own model; `problem` says why
    std::string problem;
    LateralInversionSummary summary;
    std::vector<std::string> messages;  ///< what loading the points had to say
};

/// Told before each profile (index of total).
using JointFitProgress = std::function<void(int profile, int total, const std::string& name)>;

/// Fits every profile of `db` jointly with `layers` layers. Results whose
/// point went into the database (storedLocality ...) take the joint model
/// and are marked `joint`; those left out get `notJoint` with the reason.
std::vector<ProfileJointFit> fitProfilesJointly(VesDatabase& db, std::vector<InterpretedSounding>& results,
                                                int layers, const LateralInversionOptions& options,
                                                const JointFitProgress& progress = {});

}  // namespace orma
