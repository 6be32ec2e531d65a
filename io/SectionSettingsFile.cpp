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
    UcmField field;  ///< whose rule the value must pass
};

constexpr Entry kEntries[] = {
    {"převýšení_exportovaného_řezu_UCM_(float)", &UcmParameters::exaggeration, nullptr, UcmField::exaggeration},
    {"velikost_vyššího_textu_UCM_(float)", &UcmParameters::majorTextSize, nullptr, UcmField::majorTextSize},
    {"velikost_nižšího_textu_UCM_(float)", &UcmParameters::minorTextSize, nullptr, UcmField::minorTextSize},
    {"krok_ticu_x_UCM_(int)", nullptr, &UcmParameters::xTickStep, UcmField::xTickStep},
    {"krok_popisu_x_UCM_(int)", nullptr, &UcmParameters::xLabelStep, UcmField::xLabelStep},
    {"krok_ticu_z_UCM_(int)", nullptr, &UcmParameters::zTickStep, UcmField::zTickStep},
    {"krok_popisu_z_UCM_(int)", nullptr, &UcmParameters::zLabelStep, UcmField::zLabelStep},
    {"šířka_kříže_hloubky_rozhraní_VES_UCM_(float)", &UcmParameters::interfaceSignWidth, nullptr,
     UcmField::interfaceSignWidth},
    {"výška_kříže_hloubky_rozhraní_VES_UCM_(float)", &UcmParameters::interfaceSignHeight, nullptr,
     UcmField::interfaceSignHeight},
    {"šířka_šipky_nad_bodem_VES_UCM_(float)", &UcmParameters::arrowWidth, nullptr, UcmField::arrowWidth},
    {"výška_šipky_nad_bodem_VES_UCM_(float)", &UcmParameters::arrowHeight, nullptr, UcmField::arrowHeight},
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
        // The fixed text, then which file was looked for.
        return kSectionSettingsMissing + ("\n" + path.string());
    }
    const ReadResult in = readRegularFile(path);
    if (!in) return in.describe(path.string()) + " Default options are loaded.";
    const std::vector<std::string> lines = splitLines(cp1250ToUtf8(in.bytes));
    // Read by position, a file without its header would give every value to
    // the field before it.
    float ignored = 0.0f;
    if (!lines.empty() && readReal(valueWord(lines.front()), ignored)) {
        return path.string() + " has no header line (its first line holds a value) and is not read. Default "
                               "options are loaded.";
    }
    std::string unread, refused;
    for (std::size_t i = 0; i < std::size(kEntries); ++i) {
        const Entry& e = kEntries[i];
        const std::size_t lineIndex = i + 1;  // after the header
        const std::string where = std::to_string(lineIndex + 1) + " (" + e.key + ")";
        std::optional<double> value;
        if (lineIndex < lines.size()) {
            const std::string_view word = valueWord(lines[lineIndex]);
            float real = 0.0f;
            if (e.real != nullptr && readReal(word, real)) value = real;
            if (e.real == nullptr) {
                if (const std::optional<int> whole = parseInteger(word)) value = *whole;
            }
        }
        if (!value) {
            unread += (unread.empty() ? "" : ", ") + where;
        } else if (const std::optional<std::string> problem = ucmValueProblem(e.field, *value)) {
            refused += " Line " + where + ": " + *problem;
        } else if (e.real != nullptr) {
            parameters.*e.real = static_cast<float>(*value);
        } else {
            parameters.*e.integer = static_cast<int>(*value);
        }
    }
    if (unread.empty() && refused.empty()) return std::nullopt;
    std::string message = path.string() + ":";
    if (!unread.empty()) message += " No number on line " + unread + ".";
    return message + refused + " The default options are used there.";
}

Outcome writeSectionSettings(const std::filesystem::path& path, const UcmParameters& parameters) {
    const FileResult saved = writeWholeFile(path, utf8ToCp1250(formatSectionSettings(parameters)), ExistingFile::Replace);
    if (saved) return Outcome::success();
    return Outcome::failure(kSectionSettingsSaveError, saved.describe(path.string()));
}

}  // namespace orma
