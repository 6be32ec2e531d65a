#pragma once
// Whether the 13-tap filter of the standard forward computation computes a
// model's curve about right. Against the accurate filter it errs by about
// 0.3 % where the layers grow more resistive downwards, 10 % over a basement
// 100 times more conductive and 70 % over one 1000 times more conductive. A
// search that roams the model space finds models far out there (a thin top
// layer of 80 000 ohm-m over 300) whose curve the short filter gets so wrong
// that they seem to fit better than any true one: they are no answer.

#include "core/ComputationOptions.h"
#include "core/Sounding.h"

namespace orma {

/// The largest difference, in natural-log units, between the standard and
/// the accurate curve at any row that still counts as the same curve (about
/// 20 %): it lets through every model the standard method is used for and
/// stops the ones where the filter's error is the fit.
inline constexpr double kFilterReachTolerance = 0.2;

/// True when `options` choose the accurate filter (nothing to check), or when
/// the curve of `model` by the 13-tap filter lies within kFilterReachTolerance
/// of its curve by the accurate filter at every row of the sounding's curve
/// that has a composite value. `scratch` is any copy of the sounding; its
/// model and computed curve are overwritten.
bool withinFilterReach(Sounding& scratch, const LayerModel& model, const ComputationOptions& options);

}  // namespace orma
