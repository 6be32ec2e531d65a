// Reading the VES database file: line by line, keys skipped as the leading
// word of each line, every count and number checked, into a new database.

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>

#include "io/Cp1250Text.h"
#include "io/SafeFile.h"
#include "io/VdbFile.h"
#include "io/VdbLines.h"
#include "io/VdbValueRules.h"

namespace orma {

namespace {

using vdb::LineSource;
using vdb::parseReal;
using vdb::parseWhole;
using vdb::Words;

/// Texts are kept as the file's bytes while it is read (at most this many
/// bytes per letter of the field) and decoded once the whole file has told
/// its encoding.
constexpr std::size_t kMaxBytesPerLetter = 4;

/// Whether the profiles carry their scale lines: the first profile tells,
/// and every other one must agree.
enum class ScaleLayout { NotYetKnown, WithScales, WithoutScales };

/// Builds the new database; stops at the first fault and keeps its place.
class VdbParser {
public:
    explicit VdbParser(LineSource& lines) : lines_(lines) {}

    VdbReadResult run(std::vector<Locality>& localities) {
        std::string_view line;
        // The file name line, otherwise ignored.
        if (!lines_.next(line)) return lines_.lineTooLong() ? fail(tooLongReason()) : fail("the file is empty");
        int lastLocality = 0;
        if (!readCount("mxindex_lokalit", -1, kMaxLocalities - 1, "localities in a database", lastLocality)) {
            return error_;
        }
        localities.resize(static_cast<std::size_t>(lastLocality + 1));
        for (Locality& locality : localities) {
            if (!readLocality(locality)) return error_;
        }
        if (!readToTheEnd()) return error_;
        if (lines_.startsWithUtf8Mark() && lines_.firstNonUtf8Line() != 0) {
            error_ = VdbReadResult::refusedAt(
                lines_.firstNonUtf8Line(),
                "the file starts with the mark of UTF-8 text, but this line is no UTF-8");
            return error_;
        }
        // A file saved by a text editor as UTF-8 reads as such; the program's
        // own files (Windows-1250) are never valid UTF-8, as their keys hold
        // Czech letters.
        decodeTexts(localities, lines_.startsWithUtf8Mark() || (lines_.sawNonAscii() && lines_.firstNonUtf8Line() == 0));
        return VdbReadResult{};
    }

private:
    VdbReadResult fail(std::string reason) {
        error_ = VdbReadResult::refusedAt(lines_.number(), std::move(reason));
        return error_;
    }
    bool failed(std::string reason) {
        error_ = VdbReadResult::refusedAt(lines_.number(), std::move(reason));
        return false;
    }
    static std::string tooLongReason() {
        return "the line is longer than " + std::to_string(vdb::kMaxLineBytes) +
               " bytes, which no line of a database is";
    }

    bool nextLine(std::string_view& line, const char* what) {
        if (lines_.next(line)) return true;
        if (lines_.lineTooLong()) return failed(tooLongReason());
        return failed(std::string("the file ends where ") + what + " should follow");
    }

    /// After the last record only blank lines may follow: anything else is
    /// a record that the counts before it do not promise.
    bool readToTheEnd() {
        std::string_view line;
        while (lines_.next(line)) {
            Words words(line);
            std::string_view word;
            if (words.next(word)) {
                return failed("the database ends before this line (the counts of localities, profiles and points "
                              "promise no more records)");
            }
        }
        if (lines_.lineTooLong()) return failed(tooLongReason());
        return true;
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

    /// "key text": the rest of the line after the key and one blank, as the
    /// file's bytes (decoded and cut to the field at the end).
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
        text.assign(rest.substr(0, fieldLength * kMaxBytesPerLetter));
        return true;
    }

    static void decodeText(std::string& text, std::size_t fieldLength, bool utf8) {
        text = utf8 ? cutToCharacters(text, fieldLength) : cp1250ToUtf8(std::string_view(text).substr(0, fieldLength));
    }

    static void decodeTexts(std::vector<Locality>& localities, bool utf8) {
        for (Locality& locality : localities) {
            decodeText(locality.name, kNameFieldLength, utf8);
            decodeText(locality.country, kNameFieldLength, utf8);
            decodeText(locality.region, kNameFieldLength, utf8);
            for (Profile& profile : locality.profiles) {
                decodeText(profile.name, kNameFieldLength, utf8);
                for (VesPoint& point : profile.points) {
                    decodeText(point.name, kNameFieldLength, utf8);
                    decodeText(point.date, kDateFieldLength, utf8);
                    decodeText(point.operatorName, kOperatorFieldLength, utf8);
                    decodeText(point.comment, kCommentFieldLength, utf8);
                }
            }
        }
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

    /// Two scale lines, or (files written before profiles kept their scales)
    /// none in the whole file: then the line read here belongs to the next
    /// record. A file with scale lines that lacks them after a profile was
    /// cut or damaged there.
    bool readScales(Profile& profile) {
        std::string_view line;
        const bool more = lines_.next(line);
        if (!more && lines_.lineTooLong()) return failed(tooLongReason());
        Words words(line);
        std::string_view key;
        const bool scaleLine = more && words.next(key) && key.front() == '_';
        if (layout_ == ScaleLayout::NotYetKnown) layout_ = scaleLine ? ScaleLayout::WithScales : ScaleLayout::WithoutScales;
        if (layout_ == ScaleLayout::WithoutScales) {
            if (scaleLine) {
                return failed("a scale line, but the first profile of the file has none (a file either has them "
                              "after every profile or nowhere)");
            }
            if (more) lines_.holdBack(line);
            profile.xScale = kOldFileXScale;
            profile.zScale = kOldFileZScale;
            return true;
        }
        if (!more) return failed("the file ends where __měřítko_X_pro_pf should follow");
        if (!scaleLine) {
            return failed("__měřítko_X_pro_pf should be here, as after the first profile; the line holds something else");
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
        return check(vdb::scaleProblem(key, scale));
    }

    /// Fails with the problem when there is one.
    bool check(std::string problem) { return problem.empty() || failed(std::move(problem)); }

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
            if (!check(vdb::finiteProblem(kPositionKeys[i], *position[i]))) return false;
        }

        static constexpr const char* kSsqKey[] = {"chyba_SSQ_bodu_VES"};
        float* const ssq[] = {&point.ssq};
        if (!nextLine(line, "chyba_SSQ_bodu_VES") || !readPairs(line, kSsqKey, ssq, 1, parseReal, "a number") ||
            !check(vdb::finiteProblem(kSsqKey[0], point.ssq))) {
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
        if (!check(vdb::finiteProblem("AO", point.ab2[l])) || !check(vdb::finiteProblem("MO", point.mn2[l])) ||
            !check(vdb::finiteProblem("Rmer", point.rhoA[l])) || !check(vdb::branchProblem(point.branch[l])) ||
            !check(vdb::finiteProblem("Rsnesená", composite))) {
            return false;
        }
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
        if (!check(vdb::layerProblem(point.resistivity[i], point.depth[i], i, point.MDLmx))) return false;
        // The half-space's line carries nothing more; what follows its two
        // numbers is skipped, as readers always did.
        if (i == point.MDLmx || !words.next(word)) return true;
        DepthRange& range = point.depthRange[static_cast<std::size_t>(i)];
        if (!parseReal(word, range.min) || !words.next(word) || !parseReal(word, range.max) || words.next(word)) {
            return failed("an interface's model line holds Rmodelu and Dmodeluminusjefix, and may add the least "
                          "and the greatest depth of its range; it holds something else");
        }
        return check(vdb::depthRangeProblem(range, i));
    }

    LineSource& lines_;
    VdbReadResult error_;
    ScaleLayout layout_ = ScaleLayout::NotYetKnown;
};

}  // namespace

VdbReadResult parseVdb(std::string_view bytes, VesDatabase& db) {
    LineSource lines(bytes);
    std::vector<Locality> fresh;
    VdbReadResult result = VdbParser(lines).run(fresh);
    if (result.ok) db.localities.swap(fresh);
    return result;
}

Outcome readVdbFile(const std::string& path, VesDatabase& db) {
    // A database is read in pieces rather than whole, from a file opened as
    // every other file is (a regular file only, without waiting, of bounded
    // size: openRegularFile of io/SafeFile.h).
    const auto refuse = [&](FileProblem problem, int error = 0) {
        FileResult why;
        why.problem = problem;
        why.error = error;
        why.limit = kMaxVdbFileBytes;
        // What is no file of a database says so; a file that will not open
        // gets the message it always got.
        const bool notADatabase = problem == FileProblem::Directory || problem == FileProblem::NotRegular ||
                                  problem == FileProblem::TooLarge;
        return Outcome::failure(notADatabase || problem == FileProblem::Failed ? why.describe(path)
                                                                               : kVdbCannotOpen);
    };
    const OpenedFile opened = openRegularFile(path, kMaxVdbFileBytes);
    // Whatever else keeps a file from opening is told as it always was.
    if (!opened) return refuse(opened.problem == FileProblem::Failed ? FileProblem::Missing : opened.problem);
    const int descriptor = opened.descriptor;
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
        return Outcome::success();
    }
    return Outcome::failure("Line " + std::to_string(result.line) + " of " + path + ": " + result.message +
                            ". The file was not opened; the database stays as it was.");
}

}  // namespace orma
