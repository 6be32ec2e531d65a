// The RST reader on any bytes, for one of the first three records: a result
// code, sane tables, the previous curve and header kept unless the record read.

#include "FuzzSupport.h"
#include "core/BranchShift.h"
#include "io/Cp1250Text.h"
#include "io/RstReader.h"
#include "io/RstRecordText.h"

using namespace orma;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<Sounding> loaded = fuzz::loadedSounding();
    const int record = size > 0 ? data[0] % 3 : 0;
    auto s = std::make_unique<Sounding>(*loaded);
    std::vector<std::string> messages;
    const CurveFileOutcome result =
        readRstRecordText(*s, cp1250ToUtf8(fuzz::bytesOf(data, size)), record, messages);
    FUZZ_CHECK(result == CurveFileEnd::Done || result == CurveFileEnd::Failed ||
               result == CurveFileEnd::EndOfFile);
    if (!result) {
        FUZZ_CHECK(s->points.pointCount == loaded->points.pointCount);
        FUZZ_CHECK(s->operatorName == loaded->operatorName && s->date == loaded->date);
        FUZZ_CHECK(s->pointNumber == loaded->pointNumber);
        FUZZ_CHECK(s->grid.value == loaded->grid.value);
    } else {
        FUZZ_CHECK(s->source == CurveSource::Rst);
        FUZZ_CHECK(s->operatorName.size() <= 4 * kMaxNameLength && s->date.size() <= 4 * kMaxDateLength);
    }
    shiftBranches(*s, 1 + static_cast<int>(size % 4));
    fuzz::checkSane(*s);
    if (!rstRecordProblem(*s)) FUZZ_CHECK(rstRecordLines(*s).size() > 5);
    return 0;
}
