#pragma once
// One point of the laterally constrained inversion (LateralInversion.h): its
// accepted model between linearisations, its block of the normal equations,
// and its trial for a step of the joint problem. Every function here works on
// one point with a fit workspace of the calling thread, so points can be
// handled on several threads at once.

#include <array>
#include <vector>

#include "core/ComputationOptions.h"
#include "core/FitWorkspace.h"
#include "core/LateralConstraints.h"
#include "core/Sounding.h"

namespace orma {

struct LciPointState {
    Sounding* sounding = nullptr;  ///< model: accepted resistivities (floats), start depths and flags
    int parameters = 0;            ///< free values M
    int offset = 0;                ///< column of the first of them in the joint problem
    std::array<FitColumn, kMaxParameters> columns{};
    std::array<double, kMaxLayers> resistivity{};  ///< accepted, as the records hold them
    std::array<double, kMaxLayers> thickness{};    ///< accepted
    TiedLogValues tied;                            ///< of the accepted model
    double ssq = 0.0;                              ///< of the accepted model
    int rows = 0;                                  ///< data rows of the last linearisation

    // The linearisation: J'J (M x M, row-major) and J'r of the point's data rows.
    std::vector<double> normal;
    std::vector<double> gradient;

    // The trial of the current step.
    std::array<double, kMaxLayers> trialResistivity{};
    std::array<double, kMaxLayers> trialThickness{};
    TiedLogValues trialTied;
    double trialSsq = 0.0;  ///< infinite when the step gives no model or no curve
};

/// Takes the stored model as the accepted one and lays out its columns.
void startLciPoint(LciPointState& point, FitWorkspace& ws, const ComputationOptions& options);

/// The accepted model's curve, SSQ and normal-equation block. False when the
/// curve cannot be computed.
bool lineariseLciPoint(LciPointState& point, FitWorkspace& ws, const ComputationOptions& options);

/// The trial for the point's share of `step` (a layer squeezed above a held
/// interface shortens it, as in the fit): trialResistivity, trialThickness,
/// trialTied and trialSsq.
void tryLciPoint(LciPointState& point, const double* step, FitWorkspace& ws,
                 const ComputationOptions& options);

/// The trial becomes the accepted model.
void acceptLciTrial(LciPointState& point);

/// Writes the accepted model into the record (depths rebuilt, held
/// interfaces exactly where they were) and computes its curve and SSQ.
void finishLciPoint(LciPointState& point, FitWorkspace& ws, const ComputationOptions& options);

}  // namespace orma
