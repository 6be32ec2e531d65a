#pragma once
// Databases of made-up points for the database, file, section and benchmark
// code: every value differs from point to point, so a record moved to the
// wrong place or a column read into another shows.

#include <cmath>
#include <string>

#include "core/VesDatabase.h"

namespace orma::test {

/// Point `n` with `samples` samples on grid rows 2.. and `layers` layers;
/// the composite spans nABmn = 2 .. ABmx = 2 + samples - 1 (capped at 98).
inline VesPoint makePoint(int n, int samples = 12, int layers = 4) {
    VesPoint p;
    p.name = "VES " + std::to_string(100 + n);
    p.date = "2024-06-" + std::to_string(10 + n % 20);
    p.operatorName = "operator " + std::to_string(n);
    p.comment = "comment of point " + std::to_string(n);
    p.profileChainage = 10.0f * static_cast<float>(n) + 5.0f;
    p.terrainChainage = p.profileChainage + 0.5f;
    p.x = 1000.0f + static_cast<float>(n);
    p.y = -2000.0f - static_cast<float>(n);
    p.z = 300.0f + static_cast<float>(n % 7);
    p.ssq = static_cast<float>((n % 9) / 100.0);
    p.Mermx = samples;
    p.nABmn = 2;
    p.ABmx = std::min(2 + samples - 1, 98);
    p.MNmx = 3;
    p.MDLmx = layers - 1;
    for (int s = 0; s < samples; ++s) {
        // Spacings as a crew writes them, two decimals: every value reads back
        // from its "%f" text as the same float.
        p.ab2[s] = static_cast<float>(std::round(100.0 * std::pow(10.0, (s + 2) / 8.876)) / 100.0);
        p.mn2[s] = s < samples / 2 ? 0.5f : 2.0f;
        p.rhoA[s] = 50.0f + static_cast<float>(n) + 0.25f * static_cast<float>(s);
        p.branch[s] = s < samples / 2 ? 1 : 2;
    }
    for (int k = p.nABmn; k <= p.ABmx && k < kMaxPointSamples; ++k) p.composite[k] = 40.0f + 0.5f * static_cast<float>(k + n);
    for (int i = 0; i < layers; ++i) {
        p.resistivity[i] = 10.0f * static_cast<float>(i + 1) + static_cast<float>(n);
        p.depth[i] = i + 1 < layers ? 1.5f * static_cast<float>(i + 1) : kHalfSpaceDepth;
    }
    return p;
}

/// `localities` x `profiles` x `points` points (names "L<l>", "P<l>.<p>").
inline VesDatabase makeDatabase(int localities, int profiles, int points, int samples = 12, int layers = 4) {
    VesDatabase db;
    db.localities.clear();
    int n = 0;
    for (int l = 0; l < localities; ++l) {
        Locality locality;
        locality.name = "L" + std::to_string(l);
        locality.country = "country " + std::to_string(l);
        locality.region = "region " + std::to_string(l);
        for (int p = 0; p < profiles; ++p) {
            Profile profile;
            profile.name = "P" + std::to_string(l) + "." + std::to_string(p);
            profile.xScale = 1e-3f * static_cast<float>(p + 1);
            profile.zScale = 2e-3f * static_cast<float>(p + 1);
            for (int k = 0; k < points; ++k) profile.points.push_back(makePoint(n++, samples, layers));
            locality.profiles.push_back(std::move(profile));
        }
        db.localities.push_back(std::move(locality));
    }
    return db;
}

}  // namespace orma::test
