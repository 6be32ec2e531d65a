#include "io/Cp1250Text.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <unordered_map>

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

/// The upper half of the code page, asked of iconv once: UTF-8 of bytes
/// 0x80..0xFF ("?" where the code page defines nothing), and the way back.
/// Converting per call would open an iconv descriptor for every line.
struct CodePageTables {
    std::array<std::string, 128> toUtf8;
    std::unordered_map<std::uint32_t, char> fromCodePoint;

    CodePageTables() {
        for (std::string& text : toUtf8) text.assign(1, '?');
        iconv_t cd = iconv_open("UTF-8", "CP1250");
        if (cd == reinterpret_cast<iconv_t>(-1)) return;
        for (int b = 0x80; b <= 0xFF; ++b) {
            char in[1] = {static_cast<char>(b)};
            char out[8];
            char* inPtr = in;
            char* outPtr = out;
            std::size_t inLeft = 1;
            std::size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) continue;
            std::string utf8(out, static_cast<std::size_t>(outPtr - out));
            std::size_t length = 0;
            const std::uint32_t codePoint = decodeUtf8(utf8, 0, length);
            toUtf8[b - 0x80] = std::move(utf8);
            fromCodePoint.emplace(codePoint, static_cast<char>(b));
        }
        iconv_close(cd);
    }

    /// The code point at `pos`, with its length in bytes; 0xFFFFFFFF (length
    /// 1) for a byte that does not start a valid sequence.
    static std::uint32_t decodeUtf8(std::string_view text, std::size_t pos, std::size_t& length) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        length = utf8SequenceLength(lead);
        if (length == 1) return lead < 0x80 ? lead : 0xFFFFFFFFu;
        if (pos + length > text.size()) {
            length = 1;
            return 0xFFFFFFFFu;
        }
        std::uint32_t codePoint = lead & (0x7Fu >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[pos + i]);
            if ((next & 0xC0) != 0x80) {
                length = 1;
                return 0xFFFFFFFFu;
            }
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        return codePoint;
    }
};

const CodePageTables& tables() {
    static const CodePageTables instance;
    return instance;
}

bool isAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

bool hasNonAscii(std::string_view text) { return !isAscii(text); }

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t codePoint = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            codePoint = lead & 0x0F;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4;
            codePoint = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            codePoint = codePoint << 6 | (next & 0x3F);
        }
        const std::uint32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint < 0xE000)) return false;
        i += length;
    }
    return true;
}

std::optional<std::string> firstCharacterOutsideCp1250(std::string_view text) {
    if (isAscii(text)) return std::nullopt;
    const CodePageTables& t = tables();
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = 1;
        const std::uint32_t codePoint = CodePageTables::decodeUtf8(text, pos, length);
        if (codePoint >= 0x80 && !t.fromCodePoint.contains(codePoint)) return std::string(text.substr(pos, length));
        pos += length;
    }
    return std::nullopt;
}

std::string cp1250ToUtf8(std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    const CodePageTables& t = tables();
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) out.push_back(c);
        else out += t.toUtf8[b - 0x80];
    }
    return out;
}

std::string utf8ToCp1250(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    const CodePageTables& t = tables();
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = 1;
        const std::uint32_t codePoint = CodePageTables::decodeUtf8(text, pos, length);
        pos += length;
        if (codePoint < 0x80) {
            out.push_back(static_cast<char>(codePoint));
            continue;
        }
        const auto found = t.fromCodePoint.find(codePoint);
        out.push_back(found == t.fromCodePoint.end() ? '?' : found->second);
    }
    return out;
}

std::string cutToCharacters(std::string_view text, std::size_t maxCharacters) {
    std::size_t pos = 0;
    for (std::size_t count = 0; pos < text.size() && count < maxCharacters; ++count) {
        pos += utf8SequenceLength(static_cast<unsigned char>(text[pos]));
    }
    if (pos > text.size()) pos = text.size();
    return std::string(text.substr(0, pos));
}

std::string withoutControlCharacters(std::string_view text) {
    std::string clean(text);
    for (char& c : clean) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return clean;
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

std::optional<std::string> readCp1250File(const std::string& path, std::string* problem) {
    const ReadResult read = readRegularFile(path);
    if (!read) {
        if (problem) *problem = read.describe(path);
        return std::nullopt;
    }
    return cp1250ToUtf8(read.bytes);
}

Cp1250LineWriter::~Cp1250LineWriter() { close(); }

bool Cp1250LineWriter::createNew(const std::string& path) {
    close();
    auto writer = std::make_unique<NewFileWriter>();
    if (const FileResult opened = writer->open(path, ExistingFile::Refuse); !opened) {
        lastError_ = opened.describe(path);
        return false;
    }
    newFile_ = std::move(writer);
    path_ = path;
    open_ = true;
    atFileStart_ = true;
    failed_ = false;
    return true;
}

bool Cp1250LineWriter::openForAppend(const std::string& path) {
    close();
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        lastError_ = FileResult{std::filesystem::is_directory(status) ? FileProblem::Directory
                                                                       : FileProblem::NotRegular}
                         .describe(path);
        return false;
    }
    path_ = path;
    open_ = true;
    failed_ = false;
    atFileStart_ = !std::filesystem::exists(status) || std::filesystem::file_size(path, error) == 0;
    return true;
}

void Cp1250LineWriter::writeLine(std::string_view text) {
    if (!open_) return;
    if (!atFileStart_) pending_ += "\r\n";
    pending_ += utf8ToCp1250(text);
    atFileStart_ = false;
}

bool Cp1250LineWriter::flush() {
    if (!open_) return !failed_;
    FileResult written;
    if (newFile_) {
        written = newFile_->write(pending_);
        if (written) written = newFile_->commit();
        newFile_.reset();  // from now on the file exists and further lines are appended
    } else if (!pending_.empty()) {
        written = appendToFile(path_, pending_);
    }
    pending_.clear();
    if (!written) {
        failed_ = true;
        lastError_ = written.describe(path_);
        // Nothing of these lines is in the file, so the next line starts where the file ends.
        std::error_code error;
        atFileStart_ = !std::filesystem::exists(path_, error) || std::filesystem::file_size(path_, error) == 0;
    }
    return written ? !failed_ : false;
}

bool Cp1250LineWriter::close() {
    if (!open_) return !failed_;
    const bool flushed = flush();
    open_ = false;
    newFile_.reset();
    return flushed && !failed_;
}

}  // namespace orma
