#include "FuzzSupport.h"

#include "core/BranchShift.h"
#include "io/GefReader.h"

namespace orma::fuzz {

std::unique_ptr<Sounding> loadedSounding() {
    auto s = std::make_unique<Sounding>();
    const std::string text =
        "TAMIR\r\n01.02.2023 10:00\r\nh3\r\nh4\r\n"
        "1 2 100 4 5 3 7 1.0 9 0.5 11 1 13\r\n1 2 120 4 5 3 7 1.3 9 0.5 11 1 13\r\n"
        "1 2 150 4 5 3 7 1.68 9 0.5 11 1 13\r\n1 2 230 4 5 3 7 1.68 9 2 11 2 13\r\n"
        "1 2 260 4 5 3 7 2.18 9 2 11 2 13\r\n1 2 300 4 5 3 7 2.82 9 2 11 2 13\r\n";
    std::vector<std::string> messages;
    FUZZ_CHECK(readGefText(*s, text, messages) == CurveFileEnd::Done);
    shiftBranches(*s, 2);
    return s;
}

}  // namespace orma::fuzz
