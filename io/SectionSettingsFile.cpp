#include "io/SectionSettingsFile.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

#include "io/Cp1250Text.h"
#include "io/FormatPatterns.h"
#include "io/SafeFile.h"

namespace orma {
namespace {

constexpr const char* kHeader = "soubor nastavení a inicializačních parametrů programu ORMA";

/// One line of the file: its key and where its value lives.
struct Entry {
    const char* key;
    float UcmParameters::*real;
    int UcmParameters::*integer;
};

constexpr Entry kEntries[] = {
    {"převýšení_exportovaného_řezu_UCM_(float)", &UcmParameters::exaggeration, nullptr},
    {"velikost_vyššího_textu_UCM_(float)", &UcmParameters::majorTextSize, nullptr},
    {"velikost_nižšího_textu_UCM_(float)", &UcmParameters::minorTextSize, nullptr},
    {"krok_ticu_x_UCM_(int)", nullptr, &UcmParameters::xTickStep},
    {"krok_popisu_x_UCM_(int)", nullptr, &UcmParameters::xLabelStep},
    {"krok_ticu_z_UCM_(int)", nullptr, &UcmParameters::zTickStep},
    {"krok_popisu_z_UCM_(int)", nullptr, &UcmParameters::zLabelStep},
    {"šířka_kříže_hloubky_rozhraní_VES_UCM_(float)", &UcmParameters::interfaceSignWidth, nullptr},
    {"výška_kříže_hloubky_rozhraní_VES_UCM_(float)", &UcmParameters::interfaceSignHeight, nullptr},
    {"šířka_šipky_nad_bodem_VES_UCM_(float)", &UcmParameters::arrowWidth, nullptr},
    {"výška_šipky_nad_bodem_VES_UCM_(float)", &UcmParameters::arrowHeight, nullptr},
};

/// The second blank-separated word of a line, as "%s %f" / "%s %i" scan it.
std::string_view valueWord(std::string_view line) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t i = 0;
    while (i < line.size() && blank(line[i])) ++i;
    while (i < line.size() && !blank(line[i])) ++i;
    while (i < line.size() && blank(line[i])) ++i;
    std::size_t end = i;
    while (end < line.size() && !blank(line[end])) ++end;
    return line.substr(i, end - i);
}

bool readReal(std::string_view word, float& target) {
    if (!word.empty() && word.front() == '+') word.remove_prefix(1);
    float value = 0.0f;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || result.ec != std::errc() || result.ptr != word.data() + word.size() || !std::isfinite(value)) {
        return false;
    }
    target = value;
    return true;
}

}  // namespace

std::filesystem::path sectionSettingsPath(const std::filesystem::path& directory) {
    return directory / kSectionSettingsFileName;
}

std::string formatSectionSettings(const UcmParameters& p) {
    std::string text = std::string(kHeader) + "\r\n";
    for (const Entry& e : kEntries) {
        text += e.key;
        text += ' ';
        text += e.real != nullptr ? formatFixed(p.*e.real) : std::to_string(p.*e.integer);
        text += "\r\n";
    }
    return text;
}

std::optional<std::string> readSectionSettings(const std::filesystem::path& path, UcmParameters& parameters) {
    parameters = UcmParameters{};
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !std::filesystem::is_symlink(path, error)) {
        return std::string(kSectionSettingsMissing);
    }
    const ReadResult in = readRegularFile(path);
    if (!in) return in.describe(path.string()) + " Default options are loaded.";
    const std::vector<std::string> lines = splitLines(cp1250ToUtf8(in.bytes));
    std::string unread;
    for (std::size_t i = 0; i < std::size(kEntries); ++i) {
        const Entry& e = kEntries[i];
        const std::size_t lineIndex = i + 1;  // after the header
        bool ok = false;
        if (lineIndex < lines.size()) {
            const std::string_view word = valueWord(lines[lineIndex]);
            if (e.real != nullptr) {
                ok = readReal(word, parameters.*e.real);
            } else if (const std::optional<int> value = parseInteger(word)) {
                parameters.*e.integer = *value;
                ok = true;
            }
        }
        if (!ok) unread += (unread.empty() ? "" : ", ") + std::to_string(lineIndex + 1) + " (" + e.key + ")";
    }
    if (unread.empty()) return std::nullopt;
    return path.string() + ": no number on line " + unread + "; the default options are used there.";
}

std::optional<std::string> writeSectionSettings(const std::filesystem::path& path, const UcmParameters& parameters) {
    const FileResult saved = writeWholeFile(path, utf8ToCp1250(formatSectionSettings(parameters)), ExistingFile::Replace);
    if (saved) return std::nullopt;
    return std::string(kSectionSettingsSaveError);
}

}  // namespace orma
