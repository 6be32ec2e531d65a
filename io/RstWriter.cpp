#include "io/RstWriter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <optional>
#include <system_error>

#include "io/FormatPatterns.h"
#include "io/RstReader.h"

namespace orma {

namespace {

/// A header text must stay on its line and within its field.
std::string headerText(std::string_view text, std::size_t maxLength) {
    std::string clean(text);
    for (char& c : clean) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return cutToCharacters(clean, maxLength);
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error) || std::filesystem::is_symlink(path, error);
}

/// Asks until a name of a file that does not exist yet is chosen; nullopt on Cancel.
std::optional<std::string> chooseNewFile(const Sounding& sounding, UserDialogs& dialogs) {
    while (true) {
        const std::optional<std::string> chosen =
            dialogs.saveFile(FileDialogOptions{kRstSaveFilter, kRstExtension, sounding.rstPath});
        if (!chosen || chosen->empty()) {
            // Asking again after Cancel would leave the user no way out.
            dialogs.message(kRstNoFileChosenOnSave);
            return std::nullopt;
        }
        if (!fileExists(*chosen)) return chosen;
        dialogs.message(kRstFileExists);
    }
}

void askText(UserDialogs& dialogs, const char* caption, const char* prompt, std::string& field) {
    const std::optional<std::string> answer = dialogs.inputQuery(caption, prompt, field);
    if (answer) field = headerText(*answer, kMaxNameLength);
}

void askInteger(UserDialogs& dialogs, const char* caption, const char* prompt, int& field) {
    const std::optional<std::string> answer = dialogs.inputQuery(caption, prompt, std::to_string(field));
    if (!answer) return;
    if (const std::optional<int> value = parseInteger(*answer)) {
        field = *value;
    } else {
        dialogs.message(kIntegerExpected);
    }
}

/// The MN/2 written for output branch e: that of measured branch e, or, when
/// that branch is empty, of the nearest measured one, so that every written
/// line passes the reader's MN/2 check.
float outputMn2(const Sounding& sounding, int e) {
    const auto& mn2 = sounding.branches.branchMn2;
    const int b = std::clamp(sounding.branches.branchCount, 1, kMaxBranches);
    if (mn2[e] > 0.0f) return mn2[e];
    for (int d = 1; d < kBranchColumns; ++d) {
        if (e - d >= 1 && mn2[e - d] > 0.0f) return mn2[e - d];
        if (e + d <= b && mn2[e + d] > 0.0f) return mn2[e + d];
    }
    return mn2[e];
}

int truncatedS(float sMean) {
    if (!std::isfinite(sMean)) return 0;
    const double t = std::trunc(static_cast<double>(sMean));
    return static_cast<int>(std::clamp(t, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

void writeRecord(const Sounding& sounding, RstOutputFile& output) {
    const BranchTables& tables = sounding.branches;
    output.writeLine(formatPattern("n %s", {headerText(sounding.operatorName, kMaxNameLength)}));
    output.writeLine(formatPattern("b %i", {sounding.pointNumber}));
    output.writeLine(formatPattern("p %i", {sounding.profileNumber}));
    output.writeLine(formatPattern("l %s", {headerText(sounding.locality, kMaxNameLength)}));
    output.writeLine(formatPattern("d %s", {headerText(sounding.date, kMaxDateLength)}));

    const int measured = std::clamp(tables.branchCount, 0, kMaxBranches);
    const int outputBranches = rstOutputBranchCount(sounding);
    const int first = std::clamp(sounding.minGridIndex, 0, kGridPoints - 1);
    const int last = std::clamp(sounding.maxGridIndex, 0, kGridPoints - 1);
    for (int e = 1; e <= outputBranches; ++e) {
        const float mn2 = outputMn2(sounding, e);
        for (int k = first; k <= last; ++k) {
            if (!inRstOutputBranch(k, e, outputBranches)) continue;
            for (int l = 1; l <= measured; ++l) {
                const float rho = tables.shiftedRho[k][l];
                if (!(rho > 0.0f)) continue;
                output.writeLine(formatPattern(
                    "r %f s%i a%f m%f", {rho, truncatedS(tables.sMean[k][l]), sounding.grid.value[k], mn2}));
                break;
            }
        }
    }
}

}  // namespace

int rstOutputBranchCount(const Sounding& sounding) {
    const int b = std::clamp(sounding.branches.branchCount, 0, kMaxBranches);
    if (b == 0) return 0;
    int count = 0;
    const int first = std::max({sounding.minGridIndex, 6 * (b - 1), 0});
    const int last = std::min(sounding.maxGridIndex, kGridPoints - 1);
    for (int k = first; k <= last; ++k) {
        if (sounding.branches.shiftedRho[k][b] > 0.0f) ++count;
    }
    return count < 3 ? std::max(b - 1, 1) : b;
}

bool inRstOutputBranch(int k, int e, int outputBranches) {
    return k >= 6 * e - 6 && (e == outputBranches || k < 6 * e + 2);
}

int writeRstRecord(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs, bool newFile) {
    if (!sounding.compositeBuilt) return kFailed;
    if (newFile) {
        if (output.isOpen()) output.close();
        sounding.rstOutputOpen = false;
        const std::optional<std::string> path = chooseNewFile(sounding, dialogs);
        if (!path) return kCannotOpen;
        sounding.rstPath = *path;
        if (!output.createNew(*path)) {
            dialogs.message(kRstCannotCreate);
            return kCannotOpen;
        }
        sounding.rstOutputOpen = true;
        askText(dialogs, kOperatorCaption, kOperatorPrompt, sounding.operatorName);
        askText(dialogs, kLocalityCaption, kLocalityPrompt, sounding.locality);
    } else if (!output.isOpen()) {
        return writeRstRecord(sounding, output, dialogs, true);
    }

    sounding.pointStep = sounding.pointNumber - sounding.previousPointNumber;
    sounding.previousPointNumber = sounding.pointNumber;
    sounding.pointNumber += sounding.pointStep;
    askInteger(dialogs, kPointCaption, kPointPrompt, sounding.pointNumber);
    askInteger(dialogs, kProfileCaption, kProfilePrompt, sounding.profileNumber);

    writeRecord(sounding, output);
    // Pushed out at once, so that a record the user was told about is on disk
    // even if the program ends abnormally.
    if (!output.flush()) {
        output.close();
        sounding.rstOutputOpen = false;
        dialogs.message(kRstWriteFailed);
        return kCannotOpen;
    }
    return kSuccess;
}

int appendRstRecord(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs) {
    return writeRstRecord(sounding, output, dialogs, !output.isOpen());
}

int saveRstRecordToNewFile(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs) {
    if (!output.isOpen()) return kFailed;
    closeRstOutput(sounding, output, dialogs);
    const int result = writeRstRecord(sounding, output, dialogs, true);
    if (output.isOpen()) closeRstOutput(sounding, output, dialogs);
    return result;
}

void closeRstOutput(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs) {
    sounding.rstOutputOpen = false;
    if (!output.isOpen()) return;
    if (!output.close()) dialogs.message(kRstWriteFailed);
}

}  // namespace orma
