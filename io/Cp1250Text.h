#pragma once
// The program's text files are single-byte Windows-1250 with CR LF line ends;
// in memory every text is UTF-8. These helpers convert at the file boundary.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orma {

/// Windows-1250 bytes to UTF-8. The five bytes that the code page leaves
/// undefined become '?', so a damaged file still reads.
std::string cp1250ToUtf8(std::string_view bytes);

/// UTF-8 to Windows-1250. Characters the code page cannot hold, and bytes that
/// are not valid UTF-8, become '?' (one per character), never an error.
std::string utf8ToCp1250(std::string_view text);

/// The first `maxCharacters` characters of a UTF-8 text. Each character is one
/// byte in the file, so this is the cut to a fixed-size file field.
std::string cutToCharacters(std::string_view text, std::size_t maxCharacters);

/// Splits text into lines at LF; one CR before each LF (and at the very end)
/// is dropped, so CR LF and plain LF files read alike. A final line break does
/// not start another line.
std::vector<std::string> splitLines(std::string_view text);

/// Reads a whole Windows-1250 file as UTF-8; nullopt when it cannot be opened.
std::optional<std::string> readCp1250File(const std::string& path);

/// A Windows-1250 text file being written line by line. Every line except the
/// very first of the file is preceded by CR LF, so the file never ends with a
/// line break and appending continues it seamlessly.
class Cp1250LineWriter {
public:
    Cp1250LineWriter() = default;
    ~Cp1250LineWriter();
    Cp1250LineWriter(const Cp1250LineWriter&) = delete;
    Cp1250LineWriter& operator=(const Cp1250LineWriter&) = delete;

    /// Creates a file that must not exist yet (an existing file is never
    /// overwritten). False when it exists or cannot be created.
    bool createNew(const std::string& path);
    /// Opens a file for appending, creating it when missing.
    bool openForAppend(const std::string& path);

    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }

    /// Writes one line (UTF-8 in memory) with its leading CR LF where due.
    void writeLine(std::string_view text);
    /// Pushes what was written to the disk; false when any write failed.
    bool flush();
    /// Closes the file; false when any write or the close itself failed.
    bool close();

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    bool atFileStart_ = true;
    bool failed_ = false;
};

}  // namespace orma
