#pragma once
// The band of the equivalent models of a global fit, drawn lightly behind
// everything else on the plot: the envelope of their step lines (pale blue)
// and of their computed curves (pale rose); where the two cross, the tints
// multiply. It belongs to the model the global fit gave: once the model is
// another, the band is not drawn.

#include <vector>

#include "core/ComputationOptions.h"
#include "core/EquivalentBand.h"
#include "core/EquivalentModels.h"
#include "core/Sounding.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {

struct PlotContext;

/// The tints, 0x00BBGGRR, multiplied into the white plot.
inline constexpr Colour kModelBandTint = 0xF5DCC8;  // RGB(200, 220, 245)
inline constexpr Colour kCurveBandTint = 0xD2D2FA;  // RGB(250, 210, 210)

struct EquivalentBandPicture {
    LayerModel model;                ///< the model the band belongs to (the global fit's best)
    ComputationOptions computation;  ///< the forward computation of the fit and of the curves
    EquivalentModels equivalent;     ///< the models, best first, and each value's span
    std::vector<BandStep> steps;     ///< the envelope of their step lines
    CurveEnvelope curves;            ///< the envelope of their curves

    /// The same layers, resistivities and depths (held or not).
    bool belongsTo(const LayerModel& other) const;
};

/// Tints the plot area under the band (copy mode, inside the plot frame).
void paintEquivalentBand(const PlotContext& ctx, const EquivalentBandPicture& band);

}  // namespace orma::ui
