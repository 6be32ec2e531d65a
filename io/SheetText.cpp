#include "io/SheetText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "io/Cp1250Text.h"

namespace orma {

namespace {

void appendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

/// UTF-16 without its byte-order mark; unpaired surrogates and a trailing odd
/// byte become '?'.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unitAt = [&](std::size_t i) -> std::uint32_t {
        const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
        const auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
        return static_cast<std::uint32_t>(hi) << 8 | lo;
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const std::uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? '?' : unit);
    }
    if (i < bytes.size()) out.push_back('?');
    return out;
}

bool isSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpaceOrTab(text.front())) text.remove_prefix(1);
    while (!text.empty() && (isSpaceOrTab(text.back()) || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

/// Every blank-separated word of the line is a number written with a
/// decimal comma or point, and at least one uses a comma: "5 1,5 1400,5".
bool isBlankSeparatedWithDecimalCommas(std::string_view line) {
    bool numbers = true;
    bool comma = false;
    const std::size_t words = forEachSheetCell(line, SheetSeparator::Blank, [&](std::size_t, SheetCell& word) {
        if (!parseSheetNumber(word.text, true)) return numbers = false;
        // "5, 1, 140" is a comma-separated line with blanks after the commas:
        // a decimal comma stands between two digits.
        const std::size_t at = word.text.find(',');
        if (at == std::string::npos) return true;
        if (at == 0 || at + 1 >= word.text.size() || !std::isdigit(static_cast<unsigned char>(word.text[at - 1])) ||
            !std::isdigit(static_cast<unsigned char>(word.text[at + 1]))) {
            return numbers = false;
        }
        comma = true;
        return true;
    });
    return numbers && comma && words >= 2;
}

}  // namespace

std::string sheetTextToUtf8(std::string_view bytes) {
    std::string text;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        text = std::string(bytes.substr(3));
    } else if (bytes.starts_with("\xFF\xFE")) {
        text = utf16ToUtf8(bytes.substr(2), false);
    } else if (bytes.starts_with("\xFE\xFF")) {
        text = utf16ToUtf8(bytes.substr(2), true);
    } else if (isValidUtf8(bytes)) {
        text = std::string(bytes);
    } else {
        text = cp1250ToUtf8(bytes);
    }
    if (text.find('\n') == std::string::npos) std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

SheetSeparator detectSheetSeparator(const std::vector<std::string_view>& contentLines) {
    if (contentLines.empty()) return SheetSeparator::Comma;
    const std::string_view first = contentLines.front();
    if (first.find(';') != std::string_view::npos) return SheetSeparator::Semicolon;
    if (first.find('\t') != std::string_view::npos) return SheetSeparator::Tab;
    if (first.find(',') == std::string_view::npos) return SheetSeparator::Blank;
    // A header line cannot tell "5,1,1400" from "5 1,5 1400,5"; the first
    // lines of numbers can.
    const std::size_t look = std::min<std::size_t>(contentLines.size(), 5);
    for (std::size_t i = 0; i < look; ++i) {
        if (isBlankSeparatedWithDecimalCommas(contentLines[i])) return SheetSeparator::Blank;
    }
    return SheetSeparator::Comma;
}

std::size_t forEachSheetCell(std::string_view line, SheetSeparator separator,
                             const std::function<bool(std::size_t column, SheetCell& cell)>& visit) {
    std::size_t count = 0;
    SheetCell cell;
    if (separator == SheetSeparator::Blank) {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && (isSpaceOrTab(line[i]) || line[i] == '\r')) ++i;
            if (i >= line.size()) break;
            const std::size_t start = i;
            while (i < line.size() && !isSpaceOrTab(line[i]) && line[i] != '\r') ++i;
            cell.text.assign(line.substr(start, i - start));
            cell.quoted = false;
            if (!visit(count++, cell)) break;
        }
        return count;
    }
    const char sep = static_cast<char>(separator);
    std::size_t i = 0;
    while (true) {
        cell.text.clear();
        cell.quoted = false;
        while (i < line.size() && isSpaceOrTab(line[i]) && line[i] != sep) ++i;
        if (i < line.size() && line[i] == '"') {
            cell.quoted = true;
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        cell.text.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell.text.push_back(line[i++]);
            }
            // Anything between the closing quote and the separator joins the cell.
            const std::size_t end = std::min(line.find(sep, i), line.size());
            cell.text += trimmed(line.substr(i, end - i));
            i = end;
        } else {
            const std::size_t end = std::min(line.find(sep, i), line.size());
            cell.text.assign(trimmed(line.substr(i, end - i)));
            i = end;
        }
        if (!visit(count++, cell)) break;
        if (i >= line.size()) break;
        ++i;  // past the separator
    }
    return count;
}

std::optional<double> parseSheetNumber(std::string_view cell, bool decimalComma) {
    std::string_view text = trimmed(cell);
    std::string number;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') number.push_back('-');
        ++i;
    }
    std::size_t digits = 0;
    bool separatorSeen = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            number.push_back(c);
            ++digits;
        } else if ((c == '.' || (c == ',' && decimalComma)) && !separatorSeen) {
            number.push_back('.');
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        number.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.push_back(text[i++]);
        std::size_t exponentDigits = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            number.push_back(text[i++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0.0;
    const auto [end, status] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (status != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace orma
