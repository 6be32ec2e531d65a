#pragma once
// Whether the 13-tap filter of the standard forward computation computes a
// model's curve about right. Against the accurate filter it errs by 1 % or
// less where neighbouring layers differ by up to a factor of 10, 5 % over a
// basement 50 times more conductive than the layer above (or under a thin
// top layer 50 times more resistive than the one below), 10 % at a factor of
// 100 and 70 % at 1000. A search that roams the model space finds models out
// there (a thin top layer of 16 000 ohm-m over 200) whose curve the short
// filter gets so wrong that they seem to fit better than any true one: by
// the accurate filter such a model fits three times worse. They are no
// answer.

#include "core/ComputationOptions.h"
#include "core/Sounding.h"

namespace orma {

/// The largest difference, in natural-log units, between the standard and
/// the accurate curve at any row that still counts as the same curve (5 %,
/// about the scatter of field readings): a basement or a thin top layer up
/// to about 50 times more conductive, respectively resistive, than the layer
/// next to it. Beyond that the 13-tap filter's error decides which model
/// fits best, and only the accurate filter can judge.
inline constexpr double kFilterReachTolerance = 0.05;

/// True when `options` choose the accurate filter (nothing to check), or when
/// the curve of `model` by the 13-tap filter lies within kFilterReachTolerance
/// of its curve by the accurate filter at every row of the sounding's curve
/// that has a composite value. `scratch` is any copy of the sounding; its
/// model and computed curve are overwritten.
bool withinFilterReach(Sounding& scratch, const LayerModel& model, const ComputationOptions& options);

}  // namespace orma
