// Reading the VES database file: line by line, keys skipped as the leading
// word of each line, every count and number checked, into a new database.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "io/CharClasses.h"
#include "io/Cp1250Text.h"
#include "io/SafeFile.h"
#include "io/VdbFile.h"

namespace orma {

namespace {

/// The file's lines in order, from a text in memory or read from a file in
/// pieces (a large database is never held whole). One line can be given back
/// to be read again (the line that old files have where newer ones have the
/// scale lines). A line handed out stays valid until the next call.
class LineSource {
public:
    /// Reads up to `size` bytes into `into`; 0 at the end, below 0 on an error.
    using Reader = std::function<std::ptrdiff_t(char* into, std::size_t size)>;

    explicit LineSource(std::string_view bytes) : text_(bytes), end_(bytes.size()), atEnd_(true) {}
    explicit LineSource(Reader reader) : reader_(std::move(reader)) {
        buffer_.resize(kPieceBytes);
        text_ = buffer_;
    }

    bool next(std::string_view& line) {
        if (held_) {
            line = heldText_;
            held_ = false;
            number_ = heldNumber_;
            return true;
        }
        if (!fetch(line)) {
            number_ = lastNumber_ + 1;  // where the missing line would be
            return false;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        number_ = ++lastNumber_;
        return true;
    }

    void holdBack(std::string_view line) {
        heldText_.assign(line);
        held_ = true;
        heldNumber_ = number_;
    }

    int number() const { return number_; }
    bool readFailed() const { return readFailed_; }

private:
    static constexpr std::size_t kPieceBytes = 1u << 20;

    bool fetch(std::string_view& line) {
        while (true) {
            const std::size_t newline = text_.substr(0, end_).find('\n', begin_);
            if (newline != std::string_view::npos) {
                line = text_.substr(begin_, newline - begin_);
                begin_ = newline + 1;
                return true;
            }
            if (atEnd_) {
                if (begin_ >= end_) return false;
                line = text_.substr(begin_, end_ - begin_);
                begin_ = end_;
                return true;
            }
            refill();
        }
    }

    /// Keeps the unfinished line at the front and reads more after it.
    void refill() {
        if (begin_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
            end_ -= begin_;
            begin_ = 0;
        }
        if (end_ == buffer_.size()) buffer_.resize(2 * buffer_.size());  // a line longer than a piece
        text_ = buffer_;
        const std::ptrdiff_t got = reader_(buffer_.data() + end_, buffer_.size() - end_);
        if (got > 0) {
            end_ += static_cast<std::size_t>(got);
        } else {
            readFailed_ = got < 0;
            atEnd_ = true;
        }
    }

    Reader reader_;
    std::string buffer_;
    std::string_view text_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    bool readFailed_ = false;
    int lastNumber_ = 0;
    int number_ = 0;
    bool held_ = false;
    std::string heldText_;
    int heldNumber_ = 0;
};

/// Whitespace-separated words of one line.
class Words {
public:
    explicit Words(std::string_view line) : line_(line) {}
    bool next(std::string_view& word) {
        while (pos_ < line_.size() && isLineBlank(line_[pos_])) ++pos_;
        if (pos_ >= line_.size()) return false;
        const std::size_t start = pos_;
        while (pos_ < line_.size() && !isLineBlank(line_[pos_])) ++pos_;
        word = line_.substr(start, pos_ - start);
        return true;
    }
    std::size_t position() const { return pos_; }

private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

/// A "%f" value: decimal or exponent notation, inf and nan as strtof takes
/// them; values beyond the float range do not scan.
bool parseReal(std::string_view word, float& value) {
    const char* begin = word.data();
    const char* end = begin + word.size();
    bool negative = false;
    if (begin < end && (*begin == '+' || *begin == '-')) {
        negative = *begin == '-';
        ++begin;
    }
    if (begin == end || *begin == '+' || *begin == '-') return false;
    float parsed = 0.0f;
    const auto result = std::from_chars(begin, end, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end) return false;
    value = negative ? -parsed : parsed;
    return true;
}

/// A "%i" value, decimal.
bool parseWhole(std::string_view word, int& value) {
    const char* begin = word.data();
    const char* end = begin + word.size();
    if (begin < end && *begin == '+') ++begin;
    if (begin == end || *begin == '+') return false;
    const auto result = std::from_chars(begin, end, value, 10);
    return result.ec == std::errc() && result.ptr == end;
}

/// Builds the new database; stops at the first fault and keeps its place.
class VdbParser {
public:
    explicit VdbParser(LineSource& lines) : lines_(lines) {}

    VdbReadResult run(std::vector<Locality>& localities) {
        std::string_view line;
        if (!lines_.next(line)) return fail("the file is empty");  // the file name line, otherwise ignored
        int lastLocality = 0;
        if (!readCount("mxindex_lokalit", -1, kMaxLocalities - 1, "localities in a database", lastLocality)) {
            return error_;
        }
        localities.resize(static_cast<std::size_t>(lastLocality + 1));
        for (Locality& locality : localities) {
            if (!readLocality(locality)) return error_;
        }
        return VdbReadResult{true, 0, {}};
    }

private:
    VdbReadResult fail(std::string reason) {
        error_ = VdbReadResult{false, lines_.number(), std::move(reason)};
        return error_;
    }
    bool failed(std::string reason) {
        fail(std::move(reason));
        return false;
    }

    bool nextLine(std::string_view& line, const char* what) {
        if (lines_.next(line)) return true;
        return failed(std::string("the file ends where ") + what + " should follow");
    }

    /// "key value" with an integer value inside first..last.
    bool readCount(const char* key, int first, int last, const char* limitText, int& value) {
        std::string_view line;
        if (!nextLine(line, key)) return false;
        Words words(line);
        std::string_view word;
        if (!words.next(word) || !words.next(word) || !parseWhole(word, value)) {
            return failed(std::string(key) + " is not a whole number");
        }
        return checkRange(key, value, first, last, limitText);
    }

    bool checkRange(const char* key, int value, int first, int last, const char* limitText) {
        if (value >= first && value <= last) return true;
        return failed(std::string(key) + " is " + std::to_string(value) + "; it must lie between " +
                      std::to_string(first) + " and " + std::to_string(last) + " (" + limitText + ")");
    }

    /// "key text": the rest of the line after the key and one blank, cut to the field.
    bool readText(const char* key, std::size_t fieldLength, std::string& text) {
        std::string_view line;
        if (!nextLine(line, key)) return false;
        Words words(line);
        std::string_view word;
        std::string_view rest;
        if (words.next(word)) {
            std::size_t start = words.position();
            if (start < line.size()) ++start;  // the one blank after the key
            rest = line.substr(start);
        }
        if (rest.size() > fieldLength) rest = rest.substr(0, fieldLength);
        text = cp1250ToUtf8(rest);
        return true;
    }

    bool readLocality(Locality& locality) {
        if (!readText("název_lokality", kNameFieldLength, locality.name) ||
            !readText("jméno_země", kNameFieldLength, locality.country) ||
            !readText("jméno_kraje", kNameFieldLength, locality.region)) {
            return false;
        }
        int lastProfile = 0;
        if (!readCount("mxindex_profilu", -1, kMaxProfiles - 1, "at most 20 profiles in a locality", lastProfile)) {
            return false;
        }
        locality.profiles.resize(static_cast<std::size_t>(lastProfile + 1));
        for (Profile& profile : locality.profiles) {
            if (!readProfile(profile)) return false;
        }
        return true;
    }

    bool readProfile(Profile& profile) {
        if (!readText("název_profilu", kNameFieldLength, profile.name)) return false;
        int lastPoint = 0;
        if (!readCount("mxindex_bodu", -1, kMaxVesPoints - 1, "at most 200 points in a profile", lastPoint)) {
            return false;
        }
        profile.points.resize(static_cast<std::size_t>(lastPoint + 1));
        for (VesPoint& point : profile.points) {
            if (!readPoint(point)) return false;
        }
        return readScales(profile);
    }

    /// Two scale lines, or (old files) none: then the line read here belongs
    /// to the next record.
    bool readScales(Profile& profile) {
        std::string_view line;
        if (!lines_.next(line)) {
            profile.xScale = kOldFileXScale;
            profile.zScale = kOldFileZScale;
            return true;
        }
        Words words(line);
        std::string_view key;
        if (!words.next(key) || key.front() != '_') {
            lines_.holdBack(line);
            profile.xScale = kOldFileXScale;
            profile.zScale = kOldFileZScale;
            return true;
        }
        if (!scaleValue(words, "__měřítko_X_pro_pf", profile.xScale)) return false;
        if (!nextLine(line, "__měřítko_Y_pro_pf")) return false;
        Words zWords(line);
        if (!zWords.next(key)) return failed("__měřítko_Y_pro_pf is not a number");
        return scaleValue(zWords, "__měřítko_Y_pro_pf", profile.zScale);
    }

    bool scaleValue(Words& words, const char* key, float& scale) {
        std::string_view word;
        if (!words.next(word) || !parseReal(word, scale)) return failed(std::string(key) + " is not a number");
        // Six decimals write any scale below 1:2000000 as 0.000000; such a
        // file still reads (the section shows it at the smallest scale).
        if (!std::isfinite(scale)) return failed(std::string(key) + " is not a finite number");
        return true;
    }

    /// "key value key value ...": values at the odd words.
    template <typename T, typename Parse>
    bool readPairs(std::string_view line, const char* const* keys, T* const* targets, int count, Parse parse,
                   const char* kind) {
        Words words(line);
        std::string_view word;
        for (int i = 0; i < count; ++i) {
            if (!words.next(word) || !words.next(word) || !parse(word, *targets[i])) {
                return failed(std::string(keys[i]) + " is not " + kind);
            }
        }
        return true;
    }

    bool readPoint(VesPoint& point) {
        if (!readText("název_bodu_VES", kNameFieldLength, point.name) ||
            !readText("datum_měření_bodu", kDateFieldLength, point.date) ||
            !readText("operátor_bodu", kOperatorFieldLength, point.operatorName) ||
            !readText("poznámka_k_bodu", kCommentFieldLength, point.comment)) {
            return false;
        }

        std::string_view line;
        static constexpr const char* kPositionKeys[] = {"metráž_dle_terénu", "X", "Y", "Z", "metráž_bodu_na_pf"};
        float* const position[] = {&point.terrainChainage, &point.x, &point.y, &point.z, &point.profileChainage};
        if (!nextLine(line, "the position line") ||
            !readPairs(line, kPositionKeys, position, 5, parseReal, "a number")) {
            return false;
        }
        for (int i = 0; i < 5; ++i) {
            if (!std::isfinite(*position[i])) return failed(std::string(kPositionKeys[i]) + " is not a finite number");
        }

        static constexpr const char* kSsqKey[] = {"chyba_SSQ_bodu_VES"};
        float* const ssq[] = {&point.ssq};
        if (!nextLine(line, "chyba_SSQ_bodu_VES") || !readPairs(line, kSsqKey, ssq, 1, parseReal, "a number")) {
            return false;
        }

        static constexpr const char* kCountKeys[] = {"ABmx", "MNmx", "MDLmx", "Mermx", "nABmn"};
        int* const counts[] = {&point.ABmx, &point.MNmx, &point.MDLmx, &point.Mermx, &point.nABmn};
        if (!nextLine(line, "the counts line") ||
            !readPairs(line, kCountKeys, counts, 5, parseWhole, "a whole number") ||
            !checkRange("ABmx", point.ABmx, 0, kGridPoints - 1, "an AB/2 grid index") ||
            !checkRange("MNmx", point.MNmx, 0, kMaxBranches, "at most 5 branches") ||
            !checkRange("MDLmx", point.MDLmx, 0, kMaxPointLayers - 1, "at most 30 layers in a model") ||
            !checkRange("Mermx", point.Mermx, 0, kMaxPointSamples, "at most 150 samples in a point") ||
            !checkRange("nABmn", point.nABmn, 0, kGridPoints - 1, "an AB/2 grid index")) {
            return false;
        }

        if (!nextLine(line, "the sample table header")) return false;
        for (int l = 0; l < point.Mermx; ++l) {
            if (!readSample(point, l)) return false;
        }
        if (!nextLine(line, "the model table header")) return false;
        for (int i = 0; i <= point.MDLmx; ++i) {
            if (!readLayer(point, i)) return false;
        }
        return true;
    }

    bool readSample(VesPoint& point, int l) {
        std::string_view line;
        if (!nextLine(line, "a sample line")) return false;
        Words words(line);
        std::string_view word;
        float composite = 0.0f;
        const bool ok = words.next(word) && parseReal(word, point.ab2[l]) && words.next(word) &&
                        parseReal(word, point.mn2[l]) && words.next(word) && parseReal(word, point.rhoA[l]) &&
                        words.next(word) && parseWhole(word, point.branch[l]) && words.next(word) &&
                        parseReal(word, composite);
        if (!ok) return failed("a sample line needs AO, MO, Rmer, a whole iMN and Rsnesená");
        const int k = point.nABmn + l;
        if (l <= point.ABmx && k < kMaxPointSamples) point.composite[k] = composite;
        return true;
    }

    bool readLayer(VesPoint& point, int i) {
        std::string_view line;
        if (!nextLine(line, "a model line")) return false;
        Words words(line);
        std::string_view word;
        const bool ok = words.next(word) && parseReal(word, point.resistivity[i]) && words.next(word) &&
                        parseReal(word, point.depth[i]);
        if (!ok) return failed("a model line needs Rmodelu and Dmodeluminusjefix");
        return true;
    }

    LineSource& lines_;
    VdbReadResult error_;
};

}  // namespace

VdbReadResult parseVdb(std::string_view bytes, VesDatabase& db) {
    LineSource lines(bytes);
    std::vector<Locality> fresh;
    VdbReadResult result = VdbParser(lines).run(fresh);
    if (result.ok) db.localities.swap(fresh);
    return result;
}

bool readVdbFile(const std::string& path, VesDatabase& db, std::string& message) {
    // A database is read in pieces rather than whole; what is read, and how
    // (a regular file only, opened without waiting, of bounded size), is what
    // readRegularFile of io/SafeFile.h does for the other files.
    const auto refuse = [&](FileProblem problem, int error = 0) {
        FileResult why;
        why.problem = problem;
        why.error = error;
        why.limit = kMaxVdbFileBytes;
        // What is no file of a database says so; a file that will not open
        // gets the message it always got.
        const bool notADatabase = problem == FileProblem::Directory || problem == FileProblem::NotRegular ||
                                  problem == FileProblem::TooLarge;
        message = notADatabase || problem == FileProblem::Failed ? why.describe(path) : kVdbCannotOpen;
        return false;
    };
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return refuse(FileProblem::Missing);
    if (S_ISDIR(status.st_mode)) return refuse(FileProblem::Directory);
    if (!S_ISREG(status.st_mode)) return refuse(FileProblem::NotRegular);
    if (static_cast<std::uint64_t>(status.st_size) > kMaxVdbFileBytes) return refuse(FileProblem::TooLarge);
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return refuse(FileProblem::Missing);
    // The name may have been switched to something else since the stat().
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return refuse(FileProblem::NotRegular);
    }
    std::uint64_t total = 0;
    bool tooLarge = false;
    int readError = 0;
    LineSource lines([&](char* into, std::size_t size) -> std::ptrdiff_t {
        while (true) {
            const ssize_t got = ::read(descriptor, into, size);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) readError = errno;
            if (got > 0) total += static_cast<std::uint64_t>(got);
            // A file that grew past the bound while being read ends there.
            if (total > kMaxVdbFileBytes) {
                tooLarge = true;
                return -1;
            }
            return got;
        }
    });
    std::vector<Locality> fresh;
    const VdbReadResult result = VdbParser(lines).run(fresh);
    ::close(descriptor);
    if (tooLarge) return refuse(FileProblem::TooLarge);
    if (lines.readFailed()) return refuse(FileProblem::Failed, readError);
    if (result.ok) {
        db.localities.swap(fresh);
        return true;
    }
    message = "Line " + std::to_string(result.line) + " of " + path + ": " + result.reason +
              ". The file was not opened; the database stays as it was.";
    return false;
}

}  // namespace orma
