#include "core/PointNumber.h"

#include <charconv>
#include <cstddef>

namespace orma {
namespace {

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// True when the four characters ending at `end` (inclusive) are ".GEF" or ".gef".
bool endsGefExtensionAt(std::string_view name, std::size_t end) {
    if (end < 3) return false;
    const std::string_view four = name.substr(end - 3, 4);
    return four == ".GEF" || four == ".gef";
}

/// The characters the scan collects from the name.
std::string collectNumberText(std::string_view name) {
    std::string text;
    bool digitSeen = false;
    std::size_t lastCollected = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (endsGefExtensionAt(name, i)) break;
        const char c = name[i];
        const bool candidate = isDigit(c) || (!digitSeen && (c == '-' || c == '+'));
        if (!candidate) continue;
        const bool adjacent = !text.empty() && lastCollected + 1 == i;
        if (!adjacent && text.size() >= 2) break;
        text.push_back(c);
        lastCollected = i;
        digitSeen = digitSeen || isDigit(c);
    }
    return text;
}

}  // namespace

PointNumberResult pointNumberFromFileName(std::string_view filePath, CurveSource source,
                                          int recordPointNumber) {
    if (source == CurveSource::Rst) return {recordPointNumber, {}};

    const std::string text = collectNumberText(baseName(filePath));
    bool anyDigit = false;
    for (char c : text) anyDigit = anyDigit || isDigit(c);
    if (!anyDigit) return {0, {}};

    // Signs are only collected before the first digit, so a second sign is always
    // a sign followed by another sign.
    if (text.size() >= 2 && !isDigit(text[0]) && !isDigit(text[1]))
        return {std::nullopt, "'" + text + "' is not a valid integer"};
    // from_chars takes no leading '+'.
    std::string_view digits = text;
    if (digits.front() == '+') digits.remove_prefix(1);
    int value = 0;
    const auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (status == std::errc::result_out_of_range)
        return {std::nullopt, "'" + text + "' is too large for a point number"};
    if (status != std::errc() || end != digits.data() + digits.size())
        return {std::nullopt, "'" + text + "' is not a valid integer"};
    return {value, {}};
}

}  // namespace orma
