#pragma once
// The program's text files are single-byte Windows-1250 with CR LF line ends;
// in memory every text is UTF-8. These helpers convert at the file boundary.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/SafeFile.h"

namespace orma {

/// Windows-1250 bytes to UTF-8. The five bytes that the code page leaves
/// undefined become '?', so a damaged file still reads.
std::string cp1250ToUtf8(std::string_view bytes);

/// UTF-8 to Windows-1250. Characters the code page cannot hold, and bytes that
/// are not valid UTF-8, become '?' (one per character), never an error.
std::string utf8ToCp1250(std::string_view text);

/// Well-formed UTF-8: no overlong forms, no surrogates, nothing beyond
/// U+10FFFF, no sequence cut short.
bool isValidUtf8(std::string_view text);

/// True when a byte of the text lies beyond ASCII.
bool hasNonAscii(std::string_view text);

/// The first character of a UTF-8 text that Windows-1250 cannot hold (as
/// UTF-8; a byte that is no valid UTF-8 comes back as it is), or nullopt when
/// utf8ToCp1250 would keep every character.
std::optional<std::string> firstCharacterOutsideCp1250(std::string_view text);

/// The first `maxCharacters` characters of a UTF-8 text. Each character is one
/// byte in the file, so this is the cut to a fixed-size file field.
std::string cutToCharacters(std::string_view text, std::size_t maxCharacters);

/// The text with every control character (a lone CR, a tab, a NUL...) turned
/// into a blank: what a one-line header field of a file may hold.
std::string withoutControlCharacters(std::string_view text);

/// Splits text into lines at LF; one CR before each LF (and at the very end)
/// is dropped, so CR LF and plain LF files read alike. A final line break does
/// not start another line.
std::vector<std::string> splitLines(std::string_view text);

/// Reads a whole Windows-1250 file as UTF-8; nullopt when it is not a regular
/// file of at most 16 MB that can be read, with the reason in `problem`.
std::optional<std::string> readCp1250File(const std::string& path, std::string* problem = nullptr);

/// A Windows-1250 text file written line by line. Every line except the very
/// first of the file is preceded by CR LF, so the file never ends with a line
/// break and appending continues it seamlessly.
///
/// Lines are collected in memory and reach the disk only at flush() or
/// close(), through the saving-safely helpers (io/SafeFile.h): a new file
/// appears whole or not at all, and an append that fails is cut back, so a
/// flush is the unit of writing (e.g. one record).
class Cp1250LineWriter {
public:
    Cp1250LineWriter() = default;
    ~Cp1250LineWriter();
    Cp1250LineWriter(const Cp1250LineWriter&) = delete;
    Cp1250LineWriter& operator=(const Cp1250LineWriter&) = delete;

    /// Prepares a file that must not exist yet (an existing file is never
    /// overwritten): its temporary file is created at once, so false means
    /// that it exists or cannot be created.
    bool createNew(const std::string& path);
    /// Appends to a regular file, creating it when missing. False when the
    /// path is not a regular file or cannot be written.
    bool openForAppend(const std::string& path);

    bool isOpen() const { return open_; }
    const std::string& path() const { return path_; }

    /// Adds one line (UTF-8 in memory) with its leading CR LF where due.
    void writeLine(std::string_view text);
    /// Writes the lines collected since the last flush in one piece; false
    /// (and those lines dropped, the file as before) when that failed.
    bool flush();
    /// Flushes and closes; false when any write failed.
    bool close();
    /// Why the last failed call failed, one sentence for the user.
    const std::string& lastError() const { return lastError_; }

private:
    std::string path_;
    std::string pending_;
    std::unique_ptr<NewFileWriter> newFile_;
    bool open_ = false;
    bool atFileStart_ = true;
    bool failed_ = false;
    std::string lastError_;
};

}  // namespace orma
