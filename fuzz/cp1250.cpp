// The code page conversion on any bytes: Windows-1250 to UTF-8 and back gives
// the same bytes (the five the code page leaves undefined become '?'), any
// bytes taken as UTF-8 convert without harm, and cutting and splitting keep
// whole characters and lines.

#include "FuzzSupport.h"
#include "io/Cp1250Text.h"

using namespace orma;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::string utf8 = cp1250ToUtf8(bytes);
    const std::string back = utf8ToCp1250(utf8);
    FUZZ_CHECK(back.size() == bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool undefined = cp1250ToUtf8(bytes.substr(i, 1)) == "?";
        FUZZ_CHECK(back[i] == (undefined ? '?' : bytes[i]));
    }

    // The raw bytes as if they were UTF-8 (a damaged text typed or pasted).
    const std::string fromRaw = utf8ToCp1250(bytes);
    FUZZ_CHECK(fromRaw.size() <= bytes.size());
    FUZZ_CHECK(cp1250ToUtf8(fromRaw).size() >= fromRaw.size());

    const std::size_t cut = size > 0 ? data[0] % 64 : 0;
    const std::string prefix = cutToCharacters(utf8, cut);
    FUZZ_CHECK(utf8.compare(0, prefix.size(), prefix) == 0);
    FUZZ_CHECK(utf8ToCp1250(prefix).size() == std::min(cut, bytes.size()));

    std::size_t joined = 0;
    for (const std::string& line : splitLines(bytes)) {
        FUZZ_CHECK(line.find('\n') == std::string::npos);
        joined += line.size();
    }
    FUZZ_CHECK(joined <= bytes.size());
    return 0;
}
