#pragma once
// A file's bytes read or written whole, for tests that compare files byte for byte.

#include <fstream>
#include <iterator>
#include <string>

namespace orma::test {

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

/// Empty when the file cannot be read.
inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace orma::test
