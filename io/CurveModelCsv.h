#pragma once
// The interpreted sounding as one CSV file for spreadsheets and other
// programs: the composite curve with the model's curve, the layered model and
// its fit error.
//
//     # ORMA curve and model
//     # sounding,/data/pf1/VES12.GEF
//     # SSQ,0.0123
//     # model,layer,resistivity (ohm.m),thickness (m),depth (m),resistivity fixed,thickness fixed,depth fixed
//     # model,1,150,2,2,0,0,0
//     # model,2,30,8,10,0,0,1
//     # model,3,400,,,0,,
//     AB/2 (m),rhoa measured (ohm.m),rhoa computed (ohm.m)
//     1.3,148.2,150.1
//
// The model and the SSQ stand in '#' lines, so the file reads back through
// the sheet reader as the sounding's composite curve (one branch, the MN/2
// unknown). Layers count from 1, the half-space last with no thickness or
// depth; fixed flags are 1 for held. Numbers are written in the shortest form
// that reads back as the same value, with a decimal point; cells that hold a
// comma are quoted. Curve rows are the grid points of the curve's range that
// have a composite value; without a measured curve, every grid point of the
// range. Windows-1250 text with CR LF, as the program's other files.

#include <string>
#include <string_view>

#include "core/Sounding.h"
#include "io/SafeFile.h"
#include "io/UserDialogs.h"

namespace orma {

inline constexpr const char* kCurveCsvFilter = "curve and model|*.csv";
inline constexpr const char* kCurveCsvTitle = "Save curve and model as CSV";
inline constexpr const char* kCurveCsvExtension = "csv";

/// What the file holds; a part that is off leaves out its column or lines.
struct CurveCsvParts {
    bool measured = true;  ///< the composite curve (rhoa measured)
    bool computed = true;  ///< the model's curve computedRho (rhoa computed)
    bool model = true;     ///< the model lines, and the SSQ when there is a measured curve
};

/// The whole file as UTF-8 text with CR LF line ends. `soundingName` (the
/// file the curve came from) goes into the second line; empty leaves it out.
std::string formatCurveModelCsv(const Sounding& sounding, CurveCsvParts parts, std::string_view soundingName);

/// Saves the text (converted to Windows-1250) whole or not at all.
FileResult saveCurveModelCsv(const std::string& path, std::string_view text, ExistingFile existing);

/// Options of the save dialog, proposing NAME_curve_model.csv beside the sounding's file.
FileDialogOptions curveCsvSaveDialogOptions(const Sounding& sounding);

}  // namespace orma
