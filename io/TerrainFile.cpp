#include "io/TerrainFile.h"

#include <charconv>
#include <cmath>

#include "io/Cp1250Text.h"
#include "io/FormatPatterns.h"
#include "io/SafeFile.h"

namespace orma {
namespace {

class Tokens {
public:
    explicit Tokens(std::string_view text) : text_(text) {}
    std::optional<std::string_view> next() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) {
            if (text_[pos_] == '\n') ++line_;
            ++pos_;
        }
        if (pos_ >= text_.size()) return std::nullopt;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
        return text_.substr(start, pos_ - start);
    }
    /// The 1-based line of the token last handed out.
    int line() const { return line_; }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

std::optional<float> number(std::optional<std::string_view> token) {
    if (!token) return std::nullopt;
    std::string_view word = *token;
    if (!word.empty() && word.front() == '+') word.remove_prefix(1);
    float value = 0.0f;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || result.ec != std::errc() || result.ptr != word.data() + word.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

TerrainFileContents readTerrainText(std::string_view text) {
    TerrainFileContents contents;
    contents.opened = true;
    Tokens tokens(text);
    const auto name = tokens.next();
    if (name) contents.name = std::string(*name);
    const auto count = name ? tokens.next() : std::nullopt;
    const std::optional<int> n = count ? parseInteger(*count) : std::nullopt;
    contents.headerComplete = name.has_value() && n.has_value();
    contents.count = n.value_or(0);
    if (contents.count > kMaxTerrainVertices) {
        contents.vertexProblem = kTerrainTooManyVertices;
        return contents;
    }
    for (int j = 0; j < contents.count; ++j) {
        const auto x = number(tokens.next());
        const auto z = x ? number(tokens.next()) : std::nullopt;
        if (!x || !z) {
            contents.vertexProblem = kTerrainReadingError;
            contents.vertices.clear();
            return contents;
        }
        contents.vertices.push_back({*x, *z});
    }
    // A count that is smaller than the list would drop vertices without a word.
    if (const auto extra = contents.headerComplete ? tokens.next() : std::nullopt) {
        contents.vertexProblem = "The terrain file announces " + std::to_string(contents.count) +
                                 " points in its first line, but more follows them: line " +
                                 std::to_string(tokens.line()) + " holds '" + cutToCharacters(*extra, 20) +
                                 "'. Correct the number of points; the VES points are unchanged.";
        contents.vertices.clear();
    }
    return contents;
}

TerrainFileContents readTerrainFile(const std::filesystem::path& path) {
    const ReadResult in = readRegularFile(path);
    if (!in) return {};
    return readTerrainText(cp1250ToUtf8(in.bytes));
}

std::string terrainHeaderMessage(const TerrainFileContents& contents) {
    return "name of terrain file: " + contents.name + " number of points: " + std::to_string(contents.count);
}

}  // namespace orma
