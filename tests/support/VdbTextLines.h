#pragma once
// A .vdb file as text lines, for tests that damage or edit single lines.

#include <string>
#include <vector>

#include "io/Cp1250Text.h"

namespace orma::test {

/// The file as text lines (UTF-8), split at the CR LF the writer puts between them.
inline std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = bytes.find("\r\n", start);
        lines.push_back(cp1250ToUtf8(bytes.substr(start, end - start)));
        if (end == std::string::npos) return lines;
        start = end + 2;
    }
}

/// The lines as a Windows-1250 file, CR LF between them.
inline std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + utf8ToCp1250(lines[i]);
    return text;
}

}  // namespace orma::test
