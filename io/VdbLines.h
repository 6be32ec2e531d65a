#pragma once
// The lines of a .vdb file as its reader takes them: from a text in memory or
// from a file in pieces (a large database is never held whole), each line
// bounded in length, with what the bytes say about their encoding. Used by
// io/VdbReader.cpp only.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace orma::vdb {

/// The longest line a database file may hold (without its CR LF). The
/// longest line the program writes is a comment of 399 letters or the file's
/// own path; a line of 64 KiB is no line of a database but damage, and
/// capping it keeps a hostile file from taking memory.
inline constexpr std::size_t kMaxLineBytes = 64u * 1024u;

/// The file's lines in order. One line can be given back to be read again
/// (the line that old files have where newer ones have the scale lines). A
/// line handed out stays valid until the next call.
class LineSource {
public:
    /// Reads up to `size` bytes into `into`; 0 at the end, below 0 on an error.
    using Reader = std::function<std::ptrdiff_t(char* into, std::size_t size)>;

    explicit LineSource(std::string_view bytes);
    explicit LineSource(Reader reader);

    /// The next line without its CR LF (and without a byte-order mark at the
    /// very start); false at the end of the file, on a read error, and at a
    /// line longer than kMaxLineBytes (lineTooLong()).
    bool next(std::string_view& line);
    void holdBack(std::string_view line);

    /// The line last handed out, or where the missing line would be.
    int number() const { return number_; }
    bool readFailed() const { return readFailed_; }
    bool lineTooLong() const { return tooLong_; }

    /// What the lines read so far say about the encoding: a UTF-8 byte-order
    /// mark at the start, bytes beyond ASCII, and the first line that is no
    /// valid UTF-8 (0: none).
    bool startsWithUtf8Mark() const { return utf8Mark_; }
    bool sawNonAscii() const { return nonAscii_; }
    int firstNonUtf8Line() const { return firstNonUtf8Line_; }

private:
    static constexpr std::size_t kPieceBytes = 1u << 20;

    bool fetch(std::string_view& line);
    void refill();
    void noteEncoding(std::string_view line);

    Reader reader_;
    std::string buffer_;
    std::string_view text_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    bool readFailed_ = false;
    bool tooLong_ = false;
    int lastNumber_ = 0;
    int number_ = 0;
    bool held_ = false;
    std::string heldText_;
    int heldNumber_ = 0;
    bool utf8Mark_ = false;
    bool nonAscii_ = false;
    int firstNonUtf8Line_ = 0;
};

/// Whitespace-separated words of one line.
class Words {
public:
    explicit Words(std::string_view line) : line_(line) {}
    bool next(std::string_view& word);
    std::size_t position() const { return pos_; }

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

/// A "%f" value: decimal or exponent notation, inf and nan as strtof takes
/// them (the parser refuses what is not finite, naming it); values beyond the
/// float range do not scan.
bool parseReal(std::string_view word, float& value);

/// A "%i" value, decimal.
bool parseWhole(std::string_view word, int& value);

}  // namespace orma::vdb
