// The GEF reader on any bytes: a result code, sane tables, the previous curve
// kept on failure, and a composite that the shift and the writer can take.

#include "FuzzSupport.h"
#include "core/BranchShift.h"
#include "io/Cp1250Text.h"
#include "io/GefReader.h"
#include "io/RstRecordText.h"

using namespace orma;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<Sounding> loaded = fuzz::loadedSounding();
    auto s = std::make_unique<Sounding>(*loaded);
    std::vector<std::string> messages;
    const CurveFileOutcome result = readGefText(*s, cp1250ToUtf8(fuzz::bytesOf(data, size)), messages);
    FUZZ_CHECK(result == CurveFileEnd::Done || result == CurveFileEnd::Failed);
    if (!result) {
        FUZZ_CHECK(s->points.pointCount == loaded->points.pointCount);
        FUZZ_CHECK(s->date == loaded->date);
        FUZZ_CHECK(s->grid.value == loaded->grid.value);
    }
    for (const std::string& text : messages) FUZZ_CHECK(!text.empty());
    shiftBranches(*s, 1 + static_cast<int>(size % 4));
    fuzz::checkSane(*s);
    if (!rstRecordProblem(*s)) FUZZ_CHECK(rstRecordLines(*s).size() > 5);
    return 0;
}
