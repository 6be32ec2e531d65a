#include "io/QuickImport.h"

#include <memory>

#include "core/PointNumber.h"
#include "io/Cp1250Text.h"
#include "io/GefReader.h"

namespace orma {
namespace {

std::string chainageText(int chainage) { return std::to_string(chainage); }

}  // namespace

std::string QuickImportReport::summary(const std::string& profileName) const {
    std::string text = "Quick import into profile " + profileName + ": " + std::to_string(imported) + " of " +
                       std::to_string(total) + " GEF files imported as new VES points";
    text += cancelled ? "; the import was cancelled, the points imported so far stay." : ".";
    if (!skipped.empty()) {
        text += "\n" + std::to_string(skipped.size()) + (skipped.size() == 1 ? " file was" : " files were") +
                " skipped:";
    }
    return text;
}

QuickImportReport quickImportFiles(Profile& profile, const std::vector<std::filesystem::path>& files,
                                   const ImportProgress& progress) {
    QuickImportReport report;
    report.total = static_cast<int>(files.size());
    auto sounding = std::make_unique<Sounding>();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (progress && !progress(static_cast<int>(i), report.total)) {
            report.cancelled = true;
            break;
        }
        const std::string path = files[i].string();
        const std::string fileName = files[i].filename().string();
        if (static_cast<int>(profile.points.size()) >= kMaxVesPoints) {
            report.skipped.push_back(fileName + ": the profile already holds " + std::to_string(kMaxVesPoints) +
                                     " VES points");
            continue;
        }
        *sounding = Sounding{};
        std::vector<std::string> messages;
        if (openGefCurve(*sounding, path, messages) != CurveFileEnd::Done) {
            std::string reason = "does not read";
            for (const std::string& m : messages) {
                if (m != kReadingError) {
                    reason = m;
                    break;
                }
            }
            report.skipped.push_back(fileName + ": " + reason);
            continue;
        }
        const PointNumberResult number = pointNumberFromFileName(path, sounding->source, sounding->pointNumber);
        if (!number.number) {
            report.skipped.push_back(fileName + ": " + number.error);
            continue;
        }
        const float chainage = static_cast<float>(*number.number);
        bool taken = false;
        for (const VesPoint& p : profile.points) taken = taken || p.profileChainage == chainage;
        if (taken) {
            report.skipped.push_back(fileName + ": the chainage " + chainageText(*number.number) +
                                     " m is already taken in the profile");
            continue;
        }
        VesPoint point;
        point.name = cutToCharacters(files[i].stem().string(), kNameFieldLength);
        point.date = cutToCharacters(sounding->date, kDateFieldLength);
        point.terrainChainage = chainage;
        point.x = chainage;
        point.profileChainage = chainage;
        storeSoundingInPoint(*sounding, point);
        profile.points.push_back(std::move(point));
        ++report.imported;
    }
    if (progress && !report.cancelled) progress(report.total, report.total);
    return report;
}

FileDialogOptions quickImportDialogOptions(const std::string& lastFile) {
    FileDialogOptions options;
    options.filter = kQuickImportFilter;
    options.defaultExtension = "GEF";
    options.proposedName = lastFile;
    options.title = kQuickImportDialogTitle;
    return options;
}

}  // namespace orma
