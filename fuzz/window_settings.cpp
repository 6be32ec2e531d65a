// The settings file ormawin.ini on any bytes: every value taken lies in its
// setting's range, and what is written from them reads back the same.

#include "FuzzSupport.h"
#include "io/WindowSettingsFile.h"

using namespace orma;

namespace {

void checkRanges(const DisplaySettings& s) {
    FUZZ_CHECK(s.inputMode >= 0 && s.inputMode <= 4);
    FUZZ_CHECK(s.smoothingOrder >= 1 && s.smoothingOrder <= 99);
    FUZZ_CHECK(s.smoothingResolution >= 2 && s.smoothingResolution <= 400);
    for (int width : {s.measuredLineWidth, s.compositeLineWidth, s.computedLineWidth, s.activeModelLineWidth,
                      s.modelLineWidth}) {
        FUZZ_CHECK(width >= 1 && width <= 100);
    }
    for (std::uint32_t colour : {s.compositeColour, s.computedColour, s.fixedValueColour, s.modelColour}) {
        FUZZ_CHECK(colour <= 0xFFFFFF);
    }
    for (std::uint32_t colour : s.branchColour) FUZZ_CHECK(colour <= 0xFFFFFF);
}

bool sameStored(const DisplaySettings& a, const DisplaySettings& b) {
    return a.inputMode == b.inputMode && a.smoothingOn == b.smoothingOn && a.smoothingOrder == b.smoothingOrder &&
           a.smoothingResolution == b.smoothingResolution && a.measuredLineWidth == b.measuredLineWidth &&
           a.compositeLineWidth == b.compositeLineWidth && a.computedLineWidth == b.computedLineWidth &&
           a.activeModelLineWidth == b.activeModelLineWidth && a.modelLineWidth == b.modelLineWidth &&
           a.compositeColour == b.compositeColour && a.computedColour == b.computedColour &&
           a.fixedValueColour == b.fixedValueColour && a.modelColour == b.modelColour &&
           a.branchColour == b.branchColour;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DisplaySettings settings;
    parseWindowSettings(fuzz::bytesOf(data, size), settings);
    checkRanges(settings);
    const std::string written = formatWindowSettings(settings);
    DisplaySettings back;
    back.smoothingResolution = 7;  // anything but what was written
    parseWindowSettings(written, back);
    FUZZ_CHECK(sameStored(settings, back));
    return 0;
}
