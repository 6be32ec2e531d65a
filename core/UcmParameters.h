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

/// The fields of the parameters, in the order of the export options dialog.
enum class UcmField {
    exaggeration,
    minorTextSize,
    majorTextSize,
    xLabelStep,
    xTickStep,
    zLabelStep,
    zTickStep,
    interfaceSignWidth,
    interfaceSignHeight,
    arrowWidth,
    arrowHeight,
};

/// The values a field accepts: the one rule for the options dialog, the
/// settings file and the command line. A step of 0 is taken only where it
/// switches something off (an X tic step of 0: no chainage axis; a Z label
/// step of 0: no elevation axes); sizes are never negative, text sizes never
/// below the 0.01 a script can still write, the exaggeration within 0.01 and
/// 1000 (beyond it the script's coordinates lose all sense).
struct UcmFieldRange {
    double lowest;
    double highest;
    bool whole;  ///< an integer field
};
UcmFieldRange ucmFieldRange(UcmField field);

/// Why `value` is not taken for `field` ("The Z axes tic step must be 1 m or
/// more."); nullopt when it is. Real fields are judged as the float they are
/// stored in.
std::optional<std::string> ucmValueProblem(UcmField field, double value);

struct UcmParametersProblem {
    UcmField field;       ///< the first field, in dialog order, that is refused
    std::string message;
};

/// The first refused value of `parameters` (they cannot be exported then);
/// nullopt when every value is accepted.
std::optional<UcmParametersProblem> ucmParametersProblem(const UcmParameters& parameters);

}  // namespace orma
