// The scanf/printf patterns of the file formats on any text: scanning stays
// inside the text, and every number scanned is written back ("%f", "%i") to a
// text that scans to the same number (within the six decimals of "%f").

#include <cmath>

#include "FuzzSupport.h"
#include "io/FormatPatterns.h"

using namespace orma;

namespace {

void checkRealRoundTrip(float value) {
    float back = 0.0f;
    FUZZ_CHECK(scanPattern(formatFixed(value), "%f", {&back}).conversions == 1);
    if (std::isnan(value)) {
        FUZZ_CHECK(std::isnan(back));
    } else if (std::isinf(value)) {
        FUZZ_CHECK(back == value);
    } else {
        FUZZ_CHECK(std::fabs(static_cast<double>(back) - value) <= 5e-7 + 1.2e-7 * std::fabs(value));
    }
}

void checkIntegerRoundTrip(int value) {
    int back = 0;
    FUZZ_CHECK(scanPattern(formatPattern("%i", {value}), "%i", {&back}).conversions == 1);
    FUZZ_CHECK(back == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text = fuzz::bytesOf(data + 1, size - 1);
    switch (data[0] % 5) {
        case 0: {
            float r = 0, a = 0, m = 0;
            int s = 0;
            const ScanResult scanned = scanPattern(text, "r%f s%i a%f m%f", {&r, &s, &a, &m});
            FUZZ_CHECK(scanned.conversions >= 0 && scanned.conversions <= 4 && scanned.consumed <= text.size());
            if (scanned.conversions == 4) {
                // A data line written from what was read reads back the same.
                float r2 = 0, a2 = 0, m2 = 0;
                int s2 = 0;
                const std::string line = formatPattern("r %f s%i a%f m%f", {r, s, a, m});
                FUZZ_CHECK(scanPattern(line, "r%f s%i a%f m%f", {&r2, &s2, &a2, &m2}).conversions == 4);
                FUZZ_CHECK(s2 == s);
                checkRealRoundTrip(r);
                checkRealRoundTrip(a);
                checkRealRoundTrip(m);
            }
            break;
        }
        case 1: {
            float v[12];
            int branch = 0;
            const ScanResult scanned =
                scanPattern(text, "%f %f %f %f %f %f %f %f %f %f %f %i %f",
                            {&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &branch,
                             &v[11]});
            FUZZ_CHECK(scanned.consumed <= text.size());
            for (int i = 0; i < std::min(scanned.conversions, 11); ++i) checkRealRoundTrip(v[i]);
            if (scanned.conversions >= 12) checkIntegerRoundTrip(branch);
            break;
        }
        case 2: {
            std::string first, second;
            const ScanResult scanned = scanPattern(text, "%s %s", {&first, &second});
            FUZZ_CHECK(scanned.consumed <= text.size());
            if (scanned.conversions >= 1) FUZZ_CHECK(!first.empty() && first.size() <= text.size());
            break;
        }
        case 3: {
            int value = 0;
            if (scanPattern(text, "b %i", {&value}).conversions == 1) {
                checkIntegerRoundTrip(value);
                int back = 0;
                FUZZ_CHECK(scanPattern(formatPattern("b %i", {value}), "b %i", {&back}).conversions == 1);
                FUZZ_CHECK(back == value);
            }
            break;
        }
        default: {
            if (const std::optional<int> value = parseInteger(text)) {
                FUZZ_CHECK(parseInteger(std::to_string(*value)) == value);
            }
            float value = 0.0f;
            if (scanPattern(text, "%f", {&value}).conversions == 1) checkRealRoundTrip(value);
            break;
        }
    }
    return 0;
}
