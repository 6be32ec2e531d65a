#include "core/TerrainDrape.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

namespace orma {
namespace {

std::string number(double value) {
    // Chainages are shown to the centimetre; no locale, no streams.
    const long long centimetres = std::llround(value * 100.0);
    const long long whole = centimetres / 100;
    const long long rest = std::llabs(centimetres % 100);
    std::string text = (centimetres < 0 && whole == 0 ? "-" : "") + std::to_string(whole);
    if (rest != 0) text += (rest < 10 ? ".0" : ".") + std::to_string(rest % 10 == 0 ? rest / 10 : rest);
    return text;
}

float segment(double x1, double z1, double x2, double z2) {
    return static_cast<float>(std::sqrt((x2 - x1) * (x2 - x1) + (z2 - z1) * (z2 - z1)));
}

/// The point with the smallest chainage along the terrain (the first of
/// equal ones), and whether every such chainage is zero.
std::size_t anchorIndex(const std::vector<VesPoint>& points, bool& allZero) {
    float minimum = 1e8f, maximum = -1e8f;
    std::size_t anchor = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (points[k].terrainChainage < minimum) {
            minimum = points[k].terrainChainage;
            anchor = k;
        }
        if (points[k].terrainChainage > maximum) maximum = points[k].terrainChainage;
    }
    allZero = minimum == 0.0f && maximum == 0.0f;
    return anchor;
}

}  // namespace

DrapeOutcome drapeProfileOnTerrain(Profile& profile, const std::vector<TerrainVertex>& vertices) {
    DrapeOutcome outcome;
    if (profile.points.empty()) {
        outcome.message = "The profile " + profile.name + " has no VES points to place on the terrain.";
        return outcome;
    }
    if (vertices.empty()) {
        outcome.message = "The terrain file holds no vertices; the VES points are unchanged.";
        return outcome;
    }
    if (static_cast<int>(vertices.size()) > kMaxTerrainVertices) {
        outcome.message = "The terrain has " + std::to_string(vertices.size()) + " vertices; at most " +
                          std::to_string(kMaxTerrainVertices) + " are taken. The VES points are unchanged.";
        return outcome;
    }
    for (std::size_t j = 0; j < vertices.size(); ++j) {
        // Positions as the point parameters dialog takes them; beyond, the
        // lengths along the terrain could overflow.
        if (!(std::fabs(vertices[j].x) <= kMaxTerrainCoordinate && std::fabs(vertices[j].z) <= kMaxTerrainCoordinate)) {
            outcome.message = "Terrain vertex " + std::to_string(j + 1) +
                              " lies beyond 10000000 m. The VES points are unchanged.";
            return outcome;
        }
    }
    for (std::size_t j = 1; j < vertices.size(); ++j) {
        if (!(vertices[j].x > vertices[j - 1].x)) {
            outcome.message = "Terrain vertex " + std::to_string(j + 1) + " (X " + number(vertices[j].x) +
                              ") does not lie beyond the one before it (X " + number(vertices[j - 1].x) +
                              "): the vertices must follow in increasing X. The VES points are unchanged.";
            return outcome;
        }
    }

    std::vector<VesPoint> points = profile.points;
    bool allZero = false;
    std::size_t anchor = anchorIndex(points, allZero);
    if (allZero) {
        for (VesPoint& p : points) p.terrainChainage = p.profileChainage;
        anchor = anchorIndex(points, allZero);
    }

    // The anchor's elevation on the terrain, and the vertex where its walk stopped.
    VesPoint& a = points[anchor];
    const float c = a.profileChainage;
    const std::size_t n = vertices.size();
    std::size_t j0 = n;
    for (std::size_t j = 0; j < n; ++j) {
        if (vertices[j].x == c) {
            a.z = vertices[j].z;
            j0 = j;
            break;
        }
        if (vertices[j].x > c) {
            if (j == 0) {
                outcome.message = "The VES point " + a.name + " (chainage " + number(c) +
                                  " m) lies before the first terrain vertex (X " + number(vertices[0].x) +
                                  "). The VES points are unchanged.";
                return outcome;
            }
            const TerrainVertex& p = vertices[j - 1];
            const TerrainVertex& q = vertices[j];
            a.z = p.z + (q.z - p.z) * (c - p.x) / (q.x - p.x);
            j0 = j;
            break;
        }
    }

    // Lengths along the terrain polyline, counted from the anchor, whose
    // value is its chainage on the profile.
    std::vector<float> along(n, 0.0f);
    double previousX = c, previousZ = a.z;
    float previousAlong = c;
    for (std::size_t j = j0; j < n; ++j) {
        along[j] = previousAlong + segment(previousX, previousZ, vertices[j].x, vertices[j].z);
        previousX = vertices[j].x;
        previousZ = vertices[j].z;
        previousAlong = along[j];
    }
    previousX = c;
    previousZ = a.z;
    previousAlong = c;
    for (std::size_t j = j0; j-- > 0;) {
        along[j] = previousAlong - segment(previousX, previousZ, vertices[j].x, vertices[j].z);
        previousX = vertices[j].x;
        previousZ = vertices[j].z;
        previousAlong = along[j];
    }

    for (VesPoint& point : points) {
        const float t = point.terrainChainage;
        for (std::size_t j = 0; j < n; ++j) {
            if (along[j] == t) {
                point.z = vertices[j].z;
                point.profileChainage = vertices[j].x;
                break;
            }
            if (along[j] > t) {
                if (j == 0) {
                    outcome.message = "The VES point " + point.name + " (chainage along the terrain " + number(t) +
                                      " m) lies before the first terrain vertex (" + number(along[0]) +
                                      " m along the terrain). The VES points are unchanged.";
                    return outcome;
                }
                const float w = (t - along[j - 1]) / (along[j] - along[j - 1]);
                point.z = vertices[j - 1].z + (vertices[j].z - vertices[j - 1].z) * w;
                point.profileChainage = vertices[j - 1].x + (vertices[j].x - vertices[j - 1].x) * w;
                break;
            }
        }
    }
    for (const VesPoint& point : points) {
        if (!std::isfinite(point.z) || !std::isfinite(point.profileChainage)) {
            outcome.message = "The VES point " + point.name +
                              " gets no finite position on this terrain. The VES points are unchanged.";
            return outcome;
        }
    }
    // A terrain steeper than the floats can follow puts points that lie apart
    // along it onto one chainage of the profile, where the section could no
    // longer tell them apart.
    std::vector<std::size_t> order(points.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::stable_sort(order.begin(), order.end(), [&points](std::size_t left, std::size_t right) {
        return points[left].profileChainage < points[right].profileChainage;
    });
    for (std::size_t i = 1; i < order.size(); ++i) {
        const VesPoint& first = points[order[i - 1]];
        const VesPoint& second = points[order[i]];
        if (first.profileChainage == second.profileChainage) {
            outcome.message = "The VES points " + first.name + " and " + second.name + " (" +
                              number(first.terrainChainage) + " and " + number(second.terrainChainage) +
                              " m along the terrain) would both lie at chainage " + number(first.profileChainage) +
                              " m on the profile: the terrain is too steep there to tell them apart, and two points "
                              "of a profile never share a chainage. The VES points are unchanged.";
            return outcome;
        }
    }
    profile.points = std::move(points);
    outcome.done = true;
    outcome.alongTerrain = std::move(along);
    return outcome;
}

}  // namespace orma
