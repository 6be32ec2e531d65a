#pragma once
// The parameters of the section's export as a CAD user-command script: the
// vertical exaggeration, text sizes, axis steps and sign sizes. They live in
// the section settings file between runs and are edited in the export
// options dialog.

#include <optional>
#include <string>

namespace orma {

struct UcmParameters {
    float exaggeration = 5.0f;         ///< Z/X of the exported section
    float majorTextSize = 0.15f;
    float minorTextSize = 0.1f;
    int xTickStep = 5;                 ///< m
    int xLabelStep = 10;               ///< m
    int zTickStep = 1;                 ///< m
    int zLabelStep = 2;                ///< m
    float interfaceSignWidth = 2.25f;  ///< m
    float interfaceSignHeight = 0.15f; ///< m
    float arrowWidth = 1.0f;           ///< m
    float arrowHeight = 1.0f;          ///< m

    bool operator==(const UcmParameters&) const = default;
};

/// Steps fitted to the size of the exported frame: wider frames get sparser
/// chainage labels, taller ones sparser elevation labels. `xSpan` is the
/// frame width xR - xL, `zSpan` its height zT - zB, both in metres. The new
/// steps replace the stored ones, so they are kept afterwards.
void adjustUcmSteps(UcmParameters& parameters, double xSpan, double zSpan);

/// Why parameters cannot be exported (an exaggeration of zero or below, an
/// elevation tick step of zero or below while elevations are labelled, a
/// chainage label step of zero); nullopt when they can.
std::optional<std::string> ucmParametersProblem(const UcmParameters& parameters);

}  // namespace orma
