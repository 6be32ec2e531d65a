#pragma once
// The values a .vdb file may carry: what the reader refuses (naming the line)
// the writer refuses too (naming the point), so that every file the program
// writes opens again. Used by io/VdbReader.cpp and io/VdbWriter.cpp only.

#include <string>

#include "core/VesDatabase.h"

namespace orma::vdb {

/// Each returns why the value cannot stand in a database file, or an empty
/// text when it can. `key` names the value as the file does.

/// Positions, the SSQ, the readings and the composite values: finite numbers.
std::string finiteProblem(const std::string& key, float value);

/// A reading's branch: 1..5, or 0 for a reading that belongs to no branch (the
/// readers keep such a reading in the table, in no branch).
std::string branchProblem(int branch, const std::string& which = {});

/// Layer `layer` of a model with `interfaces` interfaces. Without a model
/// (no interface) the one layer line only needs finite numbers. A model's
/// resistivities lie within the model limits and its boundaries above 0 and
/// at most the deepest depth a model holds; a held value is stored negative,
/// so its magnitude counts. The half-space's depth entry only needs to be
/// finite.
std::string layerProblem(float resistivity, float depth, int layer, int interfaces);

/// The depth range of interface `interfaceIndex` (0-based): both depths
/// finite, above 0, the least not above the greatest, at most the deepest
/// depth a model holds.
std::string depthRangeProblem(const DepthRange& range, int interfaceIndex);

/// A profile's display scale (1/N of 1:N): a finite number above 0.
std::string scaleProblem(const char* key, float scale);

/// The first value of a point that its file could not carry, or empty.
std::string pointProblem(const VesPoint& point);

}  // namespace orma::vdb
