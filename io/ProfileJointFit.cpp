#include "io/ProfileJointFit.h"

#include "core/LateralInversionProfile.h"

namespace orma {

namespace {

/// The summary's sentence about the point `name`, or a plain one.
std::string leftOutSentence(const LateralInversionSummary& summary, const std::string& name) {
    const std::string start = "The VES point " + name + " ";
    for (const std::string& sentence : summary.leftOut)
        if (sentence.starts_with(start)) return sentence;
    return "The VES point " + name + " is left out of the joint fit.";
}

}  // namespace

std::vector<ProfileJointFit> fitProfilesJointly(VesDatabase& db, std::vector<InterpretedSounding>& results,
                                                int layers, const LateralInversionOptions& options,
                                                const JointFitProgress& progress) {
    std::vector<ProfileJointFit> reports;
    int total = 0;
    for (const Locality& locality : db.localities) total += static_cast<int>(locality.profiles.size());
    for (int l = 0; l < static_cast<int>(db.localities.size()); ++l) {
        for (int p = 0; p < static_cast<int>(db.localities[l].profiles.size()); ++p) {
            Profile& profile = db.localities[l].profiles[p];
            ProfileJointFit& report = reports.emplace_back();
            report.profile = profile.name;
            if (progress) progress(static_cast<int>(reports.size()), total, profile.name);
            ProfileInversion problem = profileInversion(profile, options.computation);
            report.messages = problem.messages;
            const Outcome run = runLateralInversion(problem.soundings, layers, options, report.summary);
            report.fitted = static_cast<bool>(run);
            if (run) applyProfileInversion(problem, profile);
            else report.problem = run.text();
            for (InterpretedSounding& r : results) {
                if (r.storedLocality != l || r.storedProfile != p || r.storedPoint < 0) continue;
                const auto index = static_cast<std::size_t>(r.storedPoint);
                if (!run) {
                    r.notJoint = report.problem;
                } else if (problem.soundings[index].included) {
                    r.point = profile.points[index];
                    r.joint = true;
                } else {
                    r.notJoint = leftOutSentence(report.summary, profile.points[index].name);
                }
            }
        }
    }
    return reports;
}

}  // namespace orma
