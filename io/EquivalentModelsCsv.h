#pragma once
// The equivalent models of a global fit (core/EquivalentModels.h) as one CSV
// file, best first:
//
//     # ORMA equivalent models
//     # sounding,/data/pf1/VES12.GEF
//     # best SSQ,0.0312
//     # factor,1.05
//     # threshold,0.03276
//     # duplicate tolerance,0.01
//     model,SSQ,rho1 (ohm.m),rho2 (ohm.m),rho3 (ohm.m),depth1 (m),depth2 (m)
//     1,0.0312,150,30,400,2,10
//
// Layers count from 1, the half-space last (no depth). Numbers in the
// shortest form that reads back as the same value, with a decimal point.
// Windows-1250 text with CR LF, as the program's other files.

#include <string>
#include <string_view>

#include "core/EquivalentModels.h"
#include "io/SafeFile.h"

namespace orma {

/// The whole file as UTF-8 text with CR LF line ends. `soundingName` (the
/// file the curve came from) goes into the second line; empty leaves it out.
std::string formatEquivalentModelsCsv(const EquivalentModels& models, std::string_view soundingName);

/// Saves the text (converted to Windows-1250) whole or not at all.
FileResult saveEquivalentModelsCsv(const std::string& path, std::string_view text, ExistingFile existing);

}  // namespace orma
