#include "LoadSounding.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "core/BranchShift.h"
#include "core/PointProcessing.h"
#include "io/CharClasses.h"
#include "io/GefReader.h"
#include "io/RstReader.h"
#include "io/SheetReader.h"

namespace orma::cli {

namespace {

std::string lowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), asciiLower);
    return extension;
}

}  // namespace

void printMessages(const std::string& path, const std::vector<std::string>& messages, std::size_t from) {
    for (std::size_t i = from; i < messages.size(); ++i) std::cerr << "ormacli: " << path << ": " << messages[i] << '\n';
}

std::unique_ptr<Sounding> loadSounding(const std::string& path, int record, int reference,
                                       std::vector<std::string>& messages) {
    const std::size_t firstMessage = messages.size();
    const std::string extension = lowerExtension(path);
    auto sounding = std::make_unique<Sounding>();
    CurveFileOutcome result = CurveFileOutcome::failed();
    if (extension == ".gef") {
        sounding->gefPath = path;
        result = readGefFile(*sounding, messages);
    } else if (extension == ".rst") {
        // Unlike the window, a missing record is an error here, not a silent
        // return to the first one.
        sounding->rstPath = path;
        result = readRstRecord(*sounding, record, messages);
        if (result == CurveFileEnd::EndOfFile) {
            std::cerr << "ormacli: " << path << ": there is no record " << record << '\n';
            return nullptr;
        }
    } else if (extension == ".csv" || extension == ".txt") {
        // A field sheet takes the GEF file's road.
        sounding->gefPath = path;
        result = readSheetFile(*sounding, messages);
    } else {
        std::cerr << "ormacli: " << path << ": not a .GEF, .RST, .csv or .txt file\n";
        return nullptr;
    }
    if (result) {
        resetForNewCurve(*sounding);
        for (std::string& text : shiftBranches(*sounding, reference)) messages.push_back(std::move(text));
    }
    if (result == CurveFileEnd::CannotOpen) {
        // One line: the reason the reader gave, or that the file is missing.
        const bool reasonGiven = messages.size() > firstMessage + 1;
        if (!reasonGiven) std::cerr << "ormacli: cannot open " << path << ": no such file\n";
        printMessages(path, messages, firstMessage + 1);
        return nullptr;
    }
    // Every reader and shift message is said, also when the file failed.
    printMessages(path, messages, firstMessage);
    if (!result) {
        std::cerr << "ormacli: " << path << ": reading error (no readings with a valid AB/2)\n";
        return nullptr;
    }
    return sounding;
}

}  // namespace orma::cli
