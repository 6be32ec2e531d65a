#include "io/InterpretationRecovery.h"

#include <filesystem>
#include <system_error>

#include "io/RecoveryCopy.h"
#include "io/SafeFile.h"
#include "io/VdbFile.h"

namespace orma {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCannotKeep =
    "The recovery copy of the interpretation cannot be written: if the program ended now, the model and curve "
    "that are in no database yet would be lost. Transfer the sounding into the profile (<-) to keep them.";
constexpr const char* kRecoveredName = "recovered interpretation";

}  // namespace

fs::path interpretationRecoveryPath(const fs::path& directory) {
    return directory.empty() ? fs::path() : directory / kInterpretationRecoveryName;
}

Outcome writeInterpretationRecovery(const Sounding& sounding, const fs::path& path) {
    if (path.empty()) return Outcome::failure(kCannotKeep, "Neither XDG_STATE_HOME nor HOME names a folder for it.");
    if (const std::error_code error = makeRecoveryDirectory(path.parent_path())) {
        return Outcome::failure(kCannotKeep, path.parent_path().string() + ": " + error.message());
    }
    VesDatabase db;
    Locality& locality = db.localities.front();
    locality.name = kRecoveredName;
    Profile& profile = locality.profiles.front();
    profile.name = kRecoveredName;
    VesPoint point;
    storeSoundingInPoint(sounding, point);
    const std::string fileName =
        fs::path(sounding.source == CurveSource::Rst ? sounding.rstPath : sounding.gefPath).filename().string();
    point.name = (fileName.empty() ? std::string(kRecoveredName) : fileName).substr(0, kNameFieldLength);
    profile.points.push_back(point);
    const FileResult written = writeWholeFile(path, formatVdb(db, kInterpretationRecoveryName), ExistingFile::Replace);
    if (!written) return Outcome::failure(kCannotKeep, written.describe(path.string()));
    return Outcome::success();
}

std::optional<RecoveredInterpretation> readInterpretationRecovery(const fs::path& path, std::string& message) {
    message.clear();
    std::error_code error;
    if (path.empty() || !fs::exists(fs::symlink_status(path, error))) return std::nullopt;
    VesDatabase db;
    if (const Outcome read = readVdbFile(path.string(), db); !read) {
        message = read.text();
        return std::nullopt;
    }
    const Profile* profile = db.localities.empty() || db.localities.front().profiles.empty()
                                 ? nullptr
                                 : &db.localities.front().profiles.front();
    if (profile == nullptr || profile->points.size() != 1) {
        message = path.string() + " holds no recovered interpretation.";
        return std::nullopt;
    }
    return RecoveredInterpretation{profile->points.front(), recoveryCopyTime(path)};
}

void removeInterpretationRecovery(const fs::path& path) {
    std::error_code error;
    if (!path.empty()) fs::remove(path, error);
}

}  // namespace orma
