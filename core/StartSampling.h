#pragma once
// Start models spread over the model space, for the global fit
// (core/GlobalFit.h).
//
// The spread is a Latin hypercube in 2L - 1 dimensions: the L log10
// resistivities and the L - 1 log10 interface depths. Each dimension's range
// is cut into `count` equal strata, each stratum of each dimension is used by
// exactly one start (at a random point inside it), and the strata are paired
// across the dimensions by independent random permutations. So no stretch of
// any one value is left unvisited, for any count and any layer count, and the
// pairings are as free as plain random draws. A low-discrepancy sequence
// (Sobol, Halton) would spread pairs more evenly, but needs direction tables
// for up to 59 dimensions and is at its best only at powers of its base;
// with a few dozen starts the single values matter more than the pairs.
//
// The ranges come from the curve (and stay within core/ModelLimits.h):
// resistivities from a twentieth of the smallest apparent resistivity to
// twenty times the largest, since a thin or deep layer shows far less than
// its own contrast; interfaces from a fifth of the shortest AB/2 to the
// longest, the depths a Schlumberger curve can see. The interface depths of
// one start are drawn stratified and then sorted, so every start is a
// layered model with its interfaces spread over that window; drawing log
// thicknesses one by one instead would put most deep interfaces of a
// many-layer model below anything the curve sees.
//
// The same seed gives the same starts on every platform: the generator is
// std::mt19937_64, whose sequence the C++ standard fixes, turned into numbers
// by code of our own (the standard distributions may differ between
// libraries).

#include <cstdint>
#include <optional>
#include <vector>

#include "core/Sounding.h"

namespace orma {

/// The window the starts are drawn from, in log10 units.
struct StartBox {
    double minLogResistivity = 0.0;
    double maxLogResistivity = 0.0;
    double minLogDepth = 0.0;
    double maxLogDepth = 0.0;
};

/// The window for the sounding's composite curve; none when the curve has no
/// composite value.
std::optional<StartBox> startBoxFor(const Sounding& sounding);

/// `count` models of `layers` layers (1..30), without hold flags, spread over
/// the box as described above. Deterministic for a given seed.
std::vector<LayerModel> latinHypercubeStarts(const StartBox& box, int layers, int count, std::uint64_t seed);

/// Gives a start model of the held model's layer count the values the
/// interpreter holds in `held` (its flags: held resistivities, thicknesses
/// and depths take held's values) and held's flags. Between two held depths
/// the free thicknesses of the start are scaled by one factor so that they
/// fill the space the held values leave. A start with a different layer count
/// is left as it is.
void imposeHeldValues(LayerModel& start, const LayerModel& held);

/// True when the model holds any value (a flag set on one of its layers).
bool holdsAnyValue(const LayerModel& model);

/// The free values of a model (what the fit moves): resistivities and
/// thicknesses not held, a thickness above a held depth not counted.
int freeValueCount(const LayerModel& model);

/// Hops from a fitted model into neighbouring valleys: the model with one
/// free value at a time multiplied by `factor`, then divided by it (a
/// thickness moves the interfaces below it along, down to the next held
/// depth, whose layer gives or takes the difference and keeps at least a
/// millimetre), the held values given back (imposeHeldValues). 2 * freeValueCount(held flags) models, in the
/// order of the values: rho1 up, rho1 down, h1 up, h1 down, rho2 up ...
/// A thin layer made thinner and more extreme, or a valley along which the
/// fit does not move (an equivalence it cannot resolve), is reached this way.
std::vector<LayerModel> hopStarts(const LayerModel& fitted, const LayerModel& held, double factor);

}  // namespace orma
