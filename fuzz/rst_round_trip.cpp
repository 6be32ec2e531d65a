// Write -> read: a sounding read from any bytes (as a GEF file, or as an RST
// record when the text starts with 'n') and shifted is written as an RST
// record; unless the writer refuses it with a reason, the record reads back
// onto the same grid rows with the same composite values (to the six
// decimals of the file) and the same date.

#include <cmath>

#include "FuzzSupport.h"
#include "core/BranchShift.h"
#include "io/Cp1250Text.h"
#include "io/GefReader.h"
#include "io/RstReader.h"
#include "io/RstRecordText.h"

using namespace orma;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = cp1250ToUtf8(fuzz::bytesOf(data, size));
    auto original = std::make_unique<Sounding>();
    std::vector<std::string> messages;
    const bool asRst = !text.empty() && text.front() == 'n';
    const CurveFileOutcome result =
        asRst ? readRstRecordText(*original, text, 0, messages) : readGefText(*original, text, messages);
    if (!result) return 0;
    shiftBranches(*original, 2);
    if (const std::optional<std::string> problem = rstRecordProblem(*original)) {
        FUZZ_CHECK(!problem->empty());
        return 0;
    }

    std::string record;
    for (const std::string& line : rstRecordLines(*original)) record += (record.empty() ? "" : "\r\n") + line;
    // Through the bytes of the file, as the writer and the reader see them.
    const std::string onDisk = cp1250ToUtf8(utf8ToCp1250(record));
    auto back = std::make_unique<Sounding>();
    messages.clear();
    FUZZ_CHECK(readRstRecordText(*back, onDisk, 0, messages) == CurveFileEnd::Done);
    shiftBranches(*back, 2);

    for (int k = 0; k < kGridPoints; ++k) {
        FUZZ_CHECK(back->hasComposite(k) == original->hasComposite(k));
        if (!original->hasComposite(k)) continue;
        const double expected = original->composite(k);
        FUZZ_CHECK(std::fabs(back->composite(k) - expected) <= 6e-7 + 1e-4 * expected);
    }
    if (original->date.empty() || original->date.front() != ' ') FUZZ_CHECK(back->date == original->date);
    return 0;
}
