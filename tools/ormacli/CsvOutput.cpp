#include "CsvOutput.h"

#include <filesystem>
#include <iostream>

#include "Commands.h"

namespace orma::cli {

bool csvTargetIsFree(const std::string& command, const std::string& target) {
    if (target == "-") return true;
    std::error_code error;
    if (std::filesystem::exists(target, error) || std::filesystem::is_symlink(target, error)) {
        std::cerr << "ormacli " << command << ": " << target << " already exists; the CSV goes to a new file\n";
        return false;
    }
    return true;
}

int writeCsvOutput(const std::string& command, const std::string& target, const Sounding& sounding,
                   CurveCsvParts parts, const std::string& soundingName) {
    const std::string text = formatCurveModelCsv(sounding, parts, soundingName);
    if (target == "-") {
        std::cout << text;
        return kExitOk;
    }
    const FileResult saved = saveCurveModelCsv(target, text, ExistingFile::Refuse);
    if (!saved) {
        std::cerr << "ormacli " << command << ": " << saved.describe(target) << '\n';
        return kExitDataError;
    }
    return kExitOk;
}

}  // namespace orma::cli
