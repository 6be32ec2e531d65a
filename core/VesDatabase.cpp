#include "core/VesDatabase.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace orma {

namespace {

template <typename T>
bool inRange(int index, const std::vector<T>& items) {
    return index >= 0 && index < static_cast<int>(items.size());
}

Profile newProfile(float xScale, float zScale) {
    Profile profile;
    profile.xScale = xScale;
    profile.zScale = zScale;
    return profile;
}

/// A short decimal for messages: "%f" without its trailing zeros, written
/// with a point whatever locale the process has.
std::string decimal(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed, 6);
    std::string text(buffer, result.ec == std::errc() ? result.ptr : buffer);
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

VesDatabase::VesDatabase() {
    Locality first;
    first.profiles.push_back(newProfile(kInitialXScale, kInitialZScale));
    localities.push_back(std::move(first));
}

Locality* VesDatabase::activeLocality() {
    return inRange(currentLocality, localities) ? &localities[currentLocality] : nullptr;
}

const Locality* VesDatabase::activeLocality() const {
    return inRange(currentLocality, localities) ? &localities[currentLocality] : nullptr;
}

Profile* VesDatabase::activeProfile() {
    Locality* locality = activeLocality();
    if (locality == nullptr || !inRange(currentProfile, locality->profiles)) return nullptr;
    return &locality->profiles[currentProfile];
}

const Profile* VesDatabase::activeProfile() const {
    const Locality* locality = activeLocality();
    if (locality == nullptr || !inRange(currentProfile, locality->profiles)) return nullptr;
    return &locality->profiles[currentProfile];
}

VesPoint* VesDatabase::selectedPoint() {
    Profile* profile = activeProfile();
    if (profile == nullptr || !inRange(currentPoint, profile->points)) return nullptr;
    return &profile->points[currentPoint];
}

const VesPoint* VesDatabase::selectedPoint() const {
    const Profile* profile = activeProfile();
    if (profile == nullptr || !inRange(currentPoint, profile->points)) return nullptr;
    return &profile->points[currentPoint];
}

int VesDatabase::activePointCount() const {
    const Profile* profile = activeProfile();
    return profile == nullptr ? 0 : static_cast<int>(profile->points.size());
}

Outcome addLocality(VesDatabase& db) {
    if (db.mxindex_lokalit() > kMaxLocalities - 2) return Outcome::failure(kTooManyLocalities);
    Locality locality;
    locality.profiles.push_back(newProfile(kInitialXScale, kInitialZScale));
    db.localities.push_back(std::move(locality));
    db.currentLocality = db.mxindex_lokalit();
    db.currentProfile = 0;
    db.currentPoint = -1;
    db.markChanged();
    return Outcome::success();
}

Outcome addProfile(VesDatabase& db) {
    Locality* locality = db.activeLocality();
    if (locality == nullptr) return Outcome::failure({});
    if (locality->mxindex_profilu() > kMaxProfiles - 2) return Outcome::failure(kTooManyProfiles);
    locality->profiles.push_back(newProfile(kNewProfileXScale, kNewProfileZScale));
    db.currentProfile = locality->mxindex_profilu();
    db.currentPoint = -1;
    db.markChanged();
    return Outcome::success();
}

Outcome deleteSelectedPoint(VesDatabase& db) {
    Profile* profile = db.activeProfile();
    if (profile == nullptr) return Outcome::failure({});
    if (profile->mxindex_bodu() < 1) return Outcome::failure(kLastPointUndeletable);
    // Without a selection there is nothing to delete (the loop of old started
    // at index -1 and wrote before the first point).
    if (!inRange(db.currentPoint, profile->points)) return Outcome::failure({});
    profile->points.erase(profile->points.begin() + db.currentPoint);
    db.currentPoint = std::min(db.currentPoint, profile->mxindex_bodu());
    db.markChanged();
    return Outcome::success();
}

void settleSelectionAfterOpen(VesDatabase& db, int previousLocality, int previousProfile) {
    db.currentLocality = inRange(previousLocality, db.localities) ? previousLocality : 0;
    const Locality* locality = db.activeLocality();
    db.currentProfile = locality != nullptr && inRange(previousProfile, locality->profiles) ? previousProfile : 0;
    db.currentPoint = db.activePointCount() > 0 ? 0 : -1;
}

std::vector<std::string> loadPointIntoSounding(const VesPoint& point, Sounding& sounding) {
    std::vector<std::string> messages;

    LayerModel& model = sounding.model;
    const int interfaces = std::clamp(point.MDLmx, 0, kMaxPointLayers - 1);
    model.interfaceCount = interfaces;
    model.resistivityFixed.fill(0);
    model.depthFixed.fill(0);
    for (int i = 0; i <= interfaces; ++i) {
        model.resistivity[i] = std::fabs(point.resistivity[i]);
        model.depth[i] = std::fabs(point.depth[i]);
        model.resistivityFixed[i] = point.resistivity[i] < 0.0f ? 1 : 0;
        model.depthFixed[i] = point.depth[i] < 0.0f ? 1 : 0;
    }

    PointTable& table = sounding.points;
    const int stored = std::clamp(point.Mermx, 0, kMaxPointSamples);
    const int count = std::min(stored, kMaxPoints);
    table.pointCount = count;
    for (int s = 0; s < count; ++s) {
        table.ab2[s] = point.ab2[s];
        table.mn2[s] = point.mn2[s];
        table.rhoA[s] = point.rhoA[s];
        table.branch[s] = point.branch[s];
        table.sValue[s] = 0.0f;
    }
    if (stored > count) {
        std::string spacings;
        for (int s = count; s < stored; ++s) spacings += (spacings.empty() ? "" : ", ") + decimal(point.ab2[s]);
        messages.push_back("The VES point " + point.name + " holds " + std::to_string(stored) +
                           " readings and a curve takes 99: readings 100 to " + std::to_string(stored) +
                           " (AB/2 = " + spacings + " m) were not loaded.");
    }

    // Every grid table starts empty, so nothing of the previous curve shows through.
    BranchTables& tables = sounding.branches;
    for (auto& row : tables.shiftedRho) row.fill(kMissing);
    for (auto& row : tables.measuredAb2) row.fill(kMissing);
    for (auto& row : tables.branchRho) row.fill(0.0f);
    for (auto& row : tables.sMean) row.fill(kNoSMean);
    const int branches = std::clamp(point.MNmx, 0, kMaxBranches);
    const int first = std::clamp(point.nABmn, 0, kGridSlots - 1);
    const int last = std::clamp(point.ABmx, 0, kGridSlots - 1);
    std::string unusable;
    for (int k = first; k <= last; ++k) {
        // Gaps stay gaps; a value no curve can have (below zero, not finite)
        // becomes one too, and is named.
        float value = point.composite[k];
        if (!(std::isfinite(value) && value > 0.0f)) {
            if (value != kMissing && value != 0.0f) {
                unusable += (unusable.empty() ? "" : ", ") + decimal(static_cast<float>(abGridValue(k)));
            }
            value = kMissing;
        }
        for (int j = 0; j <= branches; ++j) tables.shiftedRho[k][j] = value;
    }
    if (!unusable.empty()) {
        messages.push_back("The composite curve of the VES point " + point.name +
                           " has values below zero or not a number at AB/2 = " + unusable +
                           " m; they are left out of the curve.");
    }
    tables.branchMn2.fill(0.0f);
    for (int s = 0; s < count; ++s) {
        if (table.branch[s] >= 1 && table.branch[s] <= kMaxBranches) tables.branchMn2[table.branch[s]] = table.mn2[s];
    }
    tables.branchCount = branches;

    sounding.maxGridIndex = point.ABmx;
    sounding.minGridIndex = point.nABmn;
    sounding.ssq = point.ssq;
    sounding.curveLoaded = true;
    sounding.compositeBuilt = true;
    sounding.gefPath = point.name;
    return messages;
}

bool VesPoint::hasDepthRanges() const {
    return std::any_of(depthRange.begin(), depthRange.end(), [](const DepthRange& r) { return r.known(); });
}

bool VesPoint::sameModelValuesAs(const VesPoint& other) const {
    if (MDLmx != other.MDLmx) return false;
    const int last = std::clamp(MDLmx, 0, kMaxPointLayers - 1);
    for (int i = 0; i <= last; ++i) {
        if (std::fabs(resistivity[i]) != std::fabs(other.resistivity[i]) ||
            (i < last && std::fabs(depth[i]) != std::fabs(other.depth[i]))) {
            return false;
        }
    }
    return true;
}

void storeSoundingInPoint(const Sounding& sounding, VesPoint& point) {
    const LayerModel& model = sounding.model;
    const VesPoint before = point;
    point.MDLmx = std::clamp(model.interfaceCount, 0, kMaxPointLayers - 1);
    point.resistivity.fill(0.0f);
    point.depth.fill(0.0f);
    for (int i = 0; i <= point.MDLmx; ++i) {
        point.resistivity[i] = model.resistivityFixed[i] == 1 ? -model.resistivity[i] : model.resistivity[i];
        point.depth[i] = model.depthFixed[i] == 1 ? -model.depth[i] : model.depth[i];
    }
    if (!point.sameModelValuesAs(before)) point.depthRange.fill(DepthRange{});

    const PointTable& table = sounding.points;
    point.Mermx = std::clamp(table.pointCount, 0, std::min(kMaxPoints, kMaxPointSamples));
    point.ab2.fill(0.0f);
    point.mn2.fill(0.0f);
    point.rhoA.fill(0.0f);
    point.branch.fill(0);
    for (int s = 0; s < point.Mermx; ++s) {
        point.ab2[s] = table.ab2[s];
        point.mn2[s] = table.mn2[s];
        point.rhoA[s] = table.rhoA[s];
        point.branch[s] = table.branch[s];
    }

    point.composite.fill(0.0f);
    const int last = std::clamp(sounding.maxGridIndex, -1, kMaxPointSamples - 1);
    for (int k = 0; k <= last; ++k) point.composite[k] = sounding.branches.shiftedRho[k][0];
    point.ABmx = sounding.maxGridIndex;
    point.nABmn = sounding.minGridIndex;
    point.MNmx = sounding.branches.branchCount;
    point.ssq = static_cast<float>(sounding.ssq);
}

}  // namespace orma
