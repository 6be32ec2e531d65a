#pragma once
// Small builders of GEF and RST files for the reader and writer tests.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/FileBytes.h"

namespace orma::test {

struct GefReading {
    double rho;
    double ab2;
    double mn2;
    int branch;
    double s = 0;
};

/// A scratch directory of its own for each test, removed afterwards.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / ("orma_io_" + name + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

/// A GEF file: four header lines (line 2 as given), one reading of 13 numbers per line.
inline std::string gefText(const std::string& line2, const std::vector<GefReading>& readings) {
    std::ostringstream out;
    out << "TAMIR3 export\r\n" << line2 << "\r\nheader 3\r\nheader 4\r\n";
    for (const GefReading& r : readings) {
        out << "1 2 " << r.rho << " 4 5 " << r.s << " 7 " << r.ab2 << " 9 " << r.mn2 << " 11 " << r.branch
            << " 13\r\n";
    }
    return out.str();
}

}  // namespace orma::test
