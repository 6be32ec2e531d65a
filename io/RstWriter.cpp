#include "io/RstWriter.h"

#include <climits>
#include <filesystem>
#include <memory>
#include <system_error>

#include "core/Outcome.h"
#include "io/FormatPatterns.h"
#include "io/RstReader.h"
#include "io/SafeFile.h"

namespace orma {

namespace {

std::string cleanText(std::string_view text) {
    return cutToCharacters(withoutControlCharacters(text), kMaxNameLength);
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error) || std::filesystem::is_symlink(path, error);
}

/// Asks until a name of a file that does not exist yet is chosen; nullopt on Cancel.
std::optional<std::string> chooseNewFile(const Sounding& sounding, UserDialogs& dialogs) {
    while (true) {
        const std::optional<std::string> chosen = dialogs.saveFile(
            FileDialogOptions{kRstSaveFilter, kRstExtension, sounding.rstPath, kRstSaveTitle});
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
    if (answer) field = cleanText(*answer);
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

void stopOutput(Sounding& sounding, RstOutputFile& output) {
    output.close();
    sounding.rstOutputOpen = false;
}

}  // namespace

std::optional<std::string> rstAppendTargetProblem(const std::string& path) {
    const ReadResult read = readRegularFile(path);
    if (!read) return read.describe(path) + " No record is appended to it.";
    if (read.bytes.empty()) return std::nullopt;
    const std::string text = cp1250ToUtf8(read.bytes);
    auto probe = std::make_unique<Sounding>();
    std::vector<std::string> ignored;
    if (text.front() != 'n' || !readRstRecordText(*probe, text, 0, ignored)) {
        return "The file " + path + " is not an RST file (it does not start with a record that reads), "
               "so no record is appended to it.";
    }
    return std::nullopt;
}

void proposeNextPointNumber(Sounding& sounding) {
    const long long step = static_cast<long long>(sounding.pointNumber) - sounding.previousPointNumber;
    const long long next = sounding.pointNumber + step;
    sounding.previousPointNumber = sounding.pointNumber;
    if (step < INT_MIN || step > INT_MAX || next < INT_MIN || next > INT_MAX) {
        sounding.pointStep = 0;  // the current number is proposed again
        return;
    }
    sounding.pointStep = static_cast<int>(step);
    sounding.pointNumber = static_cast<int>(next);
}

CurveFileOutcome writeRstRecord(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs,
                                bool newFile) {
    if (!sounding.compositeBuilt) return CurveFileOutcome::failed();
    if (const std::optional<std::string> problem = rstRecordProblem(sounding)) {
        dialogs.message(*problem);
        return CurveFileOutcome::failed();
    }
    if (newFile) {
        if (output.isOpen()) output.close();
        sounding.rstOutputOpen = false;
        const std::optional<std::string> path = chooseNewFile(sounding, dialogs);
        if (!path) return CurveFileOutcome::cannotOpen();
        sounding.rstPath = *path;
        if (!output.createNew(*path)) {
            dialogs.message(Outcome::failure(kRstCannotCreate, output.lastError()).text());
            return CurveFileOutcome::cannotOpen();
        }
        sounding.rstOutputOpen = true;
        askText(dialogs, kOperatorCaption, kOperatorPrompt, sounding.operatorName);
        askText(dialogs, kLocalityCaption, kLocalityPrompt, sounding.locality);
    } else if (!output.isOpen()) {
        return writeRstRecord(sounding, output, dialogs, true);
    } else if (const std::optional<std::string> problem = rstAppendTargetProblem(output.path())) {
        // The file was changed or replaced behind the program's back.
        stopOutput(sounding, output);
        dialogs.message(*problem);
        return CurveFileOutcome::cannotOpen();
    }

    proposeNextPointNumber(sounding);
    askInteger(dialogs, kPointCaption, kPointPrompt, sounding.pointNumber);
    askInteger(dialogs, kProfileCaption, kProfilePrompt, sounding.profileNumber);

    for (const std::string& line : rstRecordLines(sounding)) output.writeLine(line);
    // The whole record goes to the disk at once, so that a record the user was
    // told about is there even if the program ends abnormally, and a failed
    // one leaves nothing of itself.
    if (!output.flush()) {
        const std::string why = output.lastError();
        stopOutput(sounding, output);
        dialogs.message(std::string(kRstWriteFailed) + " " + why);
        return CurveFileOutcome::cannotOpen();
    }
    return CurveFileOutcome::done();
}

CurveFileOutcome appendRstRecord(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs) {
    return writeRstRecord(sounding, output, dialogs, !output.isOpen());
}

CurveFileOutcome saveRstRecordToNewFile(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs) {
    if (!output.isOpen()) return CurveFileOutcome::failed();
    closeRstOutput(sounding, output, dialogs);
    const CurveFileOutcome result = writeRstRecord(sounding, output, dialogs, true);
    if (output.isOpen()) closeRstOutput(sounding, output, dialogs);
    return result;
}

void closeRstOutput(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs) {
    sounding.rstOutputOpen = false;
    if (!output.isOpen()) return;
    if (!output.close()) dialogs.message(std::string(kRstWriteFailed) + " " + output.lastError());
}

}  // namespace orma
