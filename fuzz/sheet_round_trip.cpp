// Field sheets on any bytes: the reader gives a result code, sane tables and
// named messages, keeps the previous curve when it fails; a sheet that reads
// is shifted, written as the curve CSV file and read back through the sheet
// reader: one reading per composite row, on that row, with the very same
// value, and after the shift the same composite (to the rounding of the
// shift's logarithms).

#include <cmath>

#include "FuzzSupport.h"
#include "core/BranchShift.h"
#include "io/Cp1250Text.h"
#include "io/CurveModelCsv.h"
#include "io/SheetReader.h"

using namespace orma;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<Sounding> loaded = fuzz::loadedSounding();
    auto original = std::make_unique<Sounding>(*loaded);
    std::vector<std::string> messages;
    const CurveFileOutcome result = readSheetBytes(*original, fuzz::bytesOf(data, size), messages);
    FUZZ_CHECK(result == CurveFileEnd::Done || result == CurveFileEnd::Failed);
    for (const std::string& text : messages) FUZZ_CHECK(!text.empty());
    if (!result) {
        FUZZ_CHECK(!messages.empty());
        FUZZ_CHECK(original->points.pointCount == loaded->points.pointCount);
        FUZZ_CHECK(original->points.ab2 == loaded->points.ab2);
        return 0;
    }
    shiftBranches(*original, 2);
    fuzz::checkSane(*original);

    // Through the bytes of the file, as the writer and the reader see them.
    const std::string csv = utf8ToCp1250(formatCurveModelCsv(*original, CurveCsvParts{true, false, false}, {}));
    auto back = std::make_unique<Sounding>();
    messages.clear();
    const CurveFileOutcome again = readSheetBytes(*back, csv, messages);
    std::vector<int> rows;
    for (int k = 0; k < kGridPoints; ++k) {
        if (original->hasComposite(k)) rows.push_back(k);
    }
    if (rows.empty()) return 0;
    FUZZ_CHECK(again == CurveFileEnd::Done);
    FUZZ_CHECK(back->points.pointCount == static_cast<int>(rows.size()));
    for (std::size_t s = 0; s < rows.size(); ++s) {
        FUZZ_CHECK(back->points.gridIndex[s] == rows[s]);
        FUZZ_CHECK(back->points.rhoA[s] == original->composite(rows[s]));
    }
    shiftBranches(*back, 2);
    for (int k = 0; k < kGridPoints; ++k) {
        FUZZ_CHECK(back->hasComposite(k) == original->hasComposite(k));
        if (!original->hasComposite(k)) continue;
        const double expected = original->composite(k);
        FUZZ_CHECK(std::fabs(back->composite(k) - expected) <= 1e-6 * expected);
    }
    return 0;
}
