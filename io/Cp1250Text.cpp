#include "io/Cp1250Text.h"

#include <iconv.h>

#include <cerrno>
#include <fstream>
#include <iterator>

namespace orma {

namespace {

/// Length of the UTF-8 sequence that starts with `lead`; 1 for a stray byte.
std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    if (lead < 0xF8) return 4;
    return 1;
}

/// Converts with iconv, putting '?' in place of every input unit it rejects.
std::string convert(std::string_view input, const char* to, const char* from, bool inputIsUtf8) {
    std::string out;
    if (input.empty()) return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter at all: keep plain ASCII, mark everything else.
        for (char c : input) out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
        return out;
    }
    out.reserve(input.size() * (inputIsUtf8 ? 1 : 2));
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: one unit of input cannot be converted.
        std::size_t skip = inputIsUtf8 ? utf8SequenceLength(static_cast<unsigned char>(*in)) : 1;
        if (skip > inLeft) skip = inLeft;
        out.push_back('?');
        in += skip;
        inLeft -= skip;
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string cp1250ToUtf8(std::string_view bytes) {
    bool ascii = true;
    for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(bytes);
    return convert(bytes, "UTF-8", "CP1250", false);
}

std::string utf8ToCp1250(std::string_view text) {
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(text);
    return convert(text, "CP1250", "UTF-8", true);
}

std::string cutToCharacters(std::string_view text, std::size_t maxCharacters) {
    std::size_t pos = 0;
    for (std::size_t count = 0; pos < text.size() && count < maxCharacters; ++count) {
        pos += utf8SequenceLength(static_cast<unsigned char>(text[pos]));
    }
    if (pos > text.size()) pos = text.size();
    return std::string(text.substr(0, pos));
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = last ? text.size() : end + 1;
    }
    return lines;
}

std::optional<std::string> readCp1250File(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return cp1250ToUtf8(bytes);
}

Cp1250LineWriter::~Cp1250LineWriter() { close(); }

bool Cp1250LineWriter::createNew(const std::string& path) {
    close();
    // "x": fail rather than replace a file that appeared in the meantime.
    file_ = std::fopen(path.c_str(), "wbx");
    if (!file_) return false;
    path_ = path;
    atFileStart_ = true;
    failed_ = false;
    return true;
}

bool Cp1250LineWriter::openForAppend(const std::string& path) {
    close();
    file_ = std::fopen(path.c_str(), "ab");
    if (!file_) return false;
    path_ = path;
    failed_ = false;
    atFileStart_ = std::ftell(file_) == 0;
    if (atFileStart_ && std::fseek(file_, 0, SEEK_END) == 0) atFileStart_ = std::ftell(file_) == 0;
    return true;
}

void Cp1250LineWriter::writeLine(std::string_view text) {
    if (!file_) return;
    std::string bytes = atFileStart_ ? std::string() : std::string("\r\n");
    bytes += utf8ToCp1250(text);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
    atFileStart_ = false;
}

bool Cp1250LineWriter::flush() {
    if (!file_) return !failed_;
    if (std::fflush(file_) != 0) failed_ = true;
    return !failed_;
}

bool Cp1250LineWriter::close() {
    if (!file_) return !failed_;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace orma
