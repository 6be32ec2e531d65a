// Writing the VES database file: the text is formatted (Windows-1250 bytes)
// and put on the disk as a new file, whole or not at all. Numbers read back
// as the floats that were written; a text the code page cannot hold, or a
// value the reader would refuse, stops the save before a byte is written.

#include <algorithm>
#include <charconv>
#include <functional>
#include <string>
#include <utility>

#include "io/Cp1250Text.h"
#include "io/RoundTripFixedText.h"
#include "io/SafeFile.h"
#include "io/VdbCommands.h"
#include "io/VdbFile.h"
#include "io/VdbValueRules.h"

namespace orma {

namespace {

/// The keys and table headers, converted to the file's code page once.
struct Keys {
    std::string fileName = utf8ToCp1250("název_souboru: ");
    std::string localityCount = "mxindex_lokalit: ";
    std::string localityName = utf8ToCp1250("název_lokality: ");
    std::string country = utf8ToCp1250("jméno_země: ");
    std::string region = utf8ToCp1250("jméno_kraje: ");
    std::string profileCount = "mxindex_profilu: ";
    std::string profileName = utf8ToCp1250("název_profilu: ");
    std::string pointCount = "mxindex_bodu: ";
    std::string pointName = utf8ToCp1250("název_bodu_VES: ");
    std::string date = utf8ToCp1250("datum_měření_bodu: ");
    std::string operatorName = utf8ToCp1250("operátor_bodu: ");
    std::string comment = utf8ToCp1250("poznámka_k_bodu: ");
    std::string terrainChainage = utf8ToCp1250("metráž_dle_terénu: ");
    std::string profileChainage = utf8ToCp1250(" metráž_bodu_na_pf: ");
    std::string ssq = "chyba_SSQ_bodu_VES: ";
    std::string sampleHeader = utf8ToCp1250("  AO  MO  Rmer  iMN  Rsnesená");
    std::string modelHeader = " Rmodelu  Dmodeluminusjefix";
    std::string xScale = utf8ToCp1250("__měřítko_X_pro_pf: ");
    std::string zScale = utf8ToCp1250("__měřítko_Y_pro_pf: ");
};

const Keys& keys() {
    static const Keys instance;
    return instance;
}

/// The text of a file being written. With a sink, the text goes to it in
/// pieces of about a megabyte at line starts, so that a large database is
/// never held in memory twice.
class VdbText {
public:
    using Sink = std::function<bool(std::string_view)>;
    static constexpr std::size_t kPieceBytes = 1u << 20;

    VdbText() = default;
    explicit VdbText(Sink sink) : sink_(std::move(sink)) { out_.reserve(kPieceBytes + 4096); }

    /// Starts the next line: every line but the first follows a CR LF.
    VdbText& line() {
        if (sink_ && out_.size() >= kPieceBytes) flush();
        if (!first_) out_ += "\r\n";
        first_ = false;
        return *this;
    }
    /// Hands what is buffered to the sink; false once the sink failed.
    bool flush() {
        if (sink_ && ok_ && !out_.empty()) ok_ = sink_(out_);
        out_.clear();
        return ok_;
    }
    VdbText& raw(std::string_view bytes) {
        out_ += bytes;
        return *this;
    }
    VdbText& real(float value) {
        appendRoundTripFixed(out_, value);
        return *this;
    }
    VdbText& whole(int value) {
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        out_.append(digits, result.ptr);
        return *this;
    }
    /// A text field: cut to its length, kept on its line, in the code page.
    VdbText& text(std::string_view value, std::size_t fieldLength) {
        std::string cut = cutToCharacters(value, fieldLength);
        std::replace(cut.begin(), cut.end(), '\n', ' ');
        out_ += utf8ToCp1250(cut);
        return *this;
    }
    std::string take() { return std::move(out_); }
    void reserve(std::size_t bytes) { out_.reserve(bytes); }

private:
    Sink sink_;
    std::string out_;
    bool first_ = true;
    bool ok_ = true;
};

void writePoint(VdbText& out, const VesPoint& point) {
    const Keys& k = keys();
    out.line().raw(k.pointName).text(point.name, kNameFieldLength);
    out.line().raw(k.date).text(point.date, kDateFieldLength);
    out.line().raw(k.operatorName).text(point.operatorName, kOperatorFieldLength);
    out.line().raw(k.comment).text(point.comment, kCommentFieldLength);
    out.line().raw(k.terrainChainage).real(point.terrainChainage).raw(" X: ").real(point.x).raw(" Y: ");
    out.real(point.y).raw(" Z: ").real(point.z).raw(k.profileChainage).real(point.profileChainage);
    out.line().raw(k.ssq).real(point.ssq);
    out.line().raw("ABmx: ").whole(point.ABmx).raw(" MNmx: ").whole(point.MNmx).raw(" MDLmx: ").whole(point.MDLmx);
    out.raw(" Mermx: ").whole(point.Mermx).raw(" nABmn: ").whole(point.nABmn);
    out.line().raw(k.sampleHeader);
    const int samples = std::clamp(point.Mermx, 0, kMaxPointSamples);
    // The sample lines are most of a file: each is put together in place.
    char sampleLine[2 + 5 * (kMaxRoundTripFixedLength + 1) + 16];
    for (int l = 0; l < samples; ++l) {
        const int index = point.nABmn + l;
        const bool inCurve = l <= point.ABmx && index >= 0 && index < kMaxPointSamples;
        char* p = sampleLine;
        *p++ = ' ';
        *p++ = ' ';
        p = writeRoundTripFixed(p, point.ab2[l]);
        *p++ = ' ';
        p = writeRoundTripFixed(p, point.mn2[l]);
        *p++ = ' ';
        p = writeRoundTripFixed(p, point.rhoA[l]);
        *p++ = ' ';
        p = std::to_chars(p, p + 12, point.branch[l]).ptr;
        *p++ = ' ';
        p = writeRoundTripFixed(p, inCurve ? point.composite[index] : 0.0f);
        out.line().raw(std::string_view(sampleLine, static_cast<std::size_t>(p - sampleLine)));
    }
    out.line().raw(k.modelHeader);
    const int interfaces = std::clamp(point.MDLmx, 0, kMaxPointLayers - 1);
    for (int i = 0; i <= interfaces; ++i) {
        out.line().raw("  ").real(point.resistivity[i]).raw(" ").real(point.depth[i]);
        // Readers of two numbers per line skip the range that follows.
        const DepthRange& range = point.depthRange[static_cast<std::size_t>(i)];
        if (i < interfaces && range.known()) out.raw(" ").real(range.min).raw(" ").real(range.max);
    }
}

void writeDatabase(VdbText& out, const VesDatabase& db, std::string_view fileNameLine) {
    const Keys& k = keys();
    out.line().raw(k.fileName).text(fileNameLine, std::string_view::npos);
    out.line().raw(k.localityCount).whole(db.mxindex_lokalit());
    for (const Locality& locality : db.localities) {
        out.line().raw(k.localityName).text(locality.name, kNameFieldLength);
        out.line().raw(k.country).text(locality.country, kNameFieldLength);
        out.line().raw(k.region).text(locality.region, kNameFieldLength);
        out.line().raw(k.profileCount).whole(locality.mxindex_profilu());
        for (const Profile& profile : locality.profiles) {
            out.line().raw(k.profileName).text(profile.name, kNameFieldLength);
            out.line().raw(k.pointCount).whole(profile.mxindex_bodu());
            for (const VesPoint& point : profile.points) writePoint(out, point);
            out.line().raw(k.xScale).real(profile.xScale);
            out.line().raw(k.zScale).real(profile.zScale);
        }
    }
}

}  // namespace

std::string formatVdb(const VesDatabase& db, std::string_view fileNameLine) {
    VdbText out;
    std::size_t bytes = 1024;
    for (const Locality& locality : db.localities) {
        for (const Profile& profile : locality.profiles) {
            for (const VesPoint& point : profile.points) bytes += 1024 + 64 * static_cast<std::size_t>(point.Mermx);
        }
    }
    out.reserve(bytes);
    writeDatabase(out, db, fileNameLine);
    return out.take();
}

namespace {

/// Where a point sits, for a message: "VES point 3 of profile P1 in locality Lom".
std::string pointPlace(const Locality& locality, const Profile& profile, std::size_t index) {
    return "VES point " + std::to_string(index + 1) + " of profile " + profile.name + " in locality " + locality.name;
}

/// The first text of the database that Windows-1250 cannot hold, named.
std::string unwritableText(const VesDatabase& db) {
    const auto letterIn = [](const std::string& text, const std::string& what) -> std::string {
        const std::optional<std::string> letter = firstCharacterOutsideCp1250(text);
        if (!letter) return {};
        return "The " + what + " \"" + text + "\" holds the letter \"" + *letter +
               "\", which a database file (Windows-1250 text) cannot hold. Change it and save again.";
    };
    for (const Locality& locality : db.localities) {
        for (const auto& [text, what] : {std::pair{&locality.name, "name of a locality"},
                                          std::pair{&locality.country, "country of locality "},
                                          std::pair{&locality.region, "region of locality "}}) {
            const std::string whose = text == &locality.name ? std::string() : locality.name;
            if (std::string problem = letterIn(*text, what + whose); !problem.empty()) return problem;
        }
        for (const Profile& profile : locality.profiles) {
            if (std::string problem = letterIn(profile.name, "name of a profile in locality " + locality.name);
                !problem.empty()) {
                return problem;
            }
            for (std::size_t k = 0; k < profile.points.size(); ++k) {
                const VesPoint& point = profile.points[k];
                const std::string place = pointPlace(locality, profile, k);
                for (const auto& [text, what] : {std::pair{&point.name, "name of "}, std::pair{&point.date, "date of "},
                                                  std::pair{&point.operatorName, "operator of "},
                                                  std::pair{&point.comment, "comment of "}}) {
                    if (std::string problem = letterIn(*text, what + place); !problem.empty()) return problem;
                }
            }
        }
    }
    return {};
}

/// The first value of the database that the reader would refuse, named.
std::string unreadableValue(const VesDatabase& db) {
    for (const Locality& locality : db.localities) {
        for (const Profile& profile : locality.profiles) {
            for (std::size_t k = 0; k < profile.points.size(); ++k) {
                if (std::string problem = vdb::pointProblem(profile.points[k]); !problem.empty()) {
                    return "In " + pointPlace(locality, profile, k) + " (" + profile.points[k].name + ") " + problem +
                           ": a file holding it would not open again.";
                }
            }
            for (const auto& [key, scale] : {std::pair{"__měřítko_X_pro_pf", profile.xScale},
                                              std::pair{"__měřítko_Y_pro_pf", profile.zScale}}) {
                if (std::string problem = vdb::scaleProblem(key, scale); !problem.empty()) {
                    return "In profile " + profile.name + " of locality " + locality.name + " " + problem +
                           ": a file holding it would not open again.";
                }
            }
        }
    }
    return {};
}

}  // namespace

Outcome checkVdbWritable(const VesDatabase& db) {
    if (std::string problem = unwritableText(db); !problem.empty()) return Outcome::failure(kVdbCannotCreate, problem);
    if (std::string problem = unreadableValue(db); !problem.empty()) return Outcome::failure(kVdbCannotCreate, problem);
    return Outcome::success();
}

Outcome writeVdbFile(const VesDatabase& db, const std::string& path) {
    if (Outcome writable = checkVdbWritable(db); !writable) return writable;
    NewFileWriter file;
    if (const FileResult opened = file.open(path, ExistingFile::Refuse); !opened) {
        return Outcome::failure(kVdbCannotCreate, opened.describe(path));
    }
    FileResult written;
    VdbText out([&file, &written](std::string_view piece) {
        written = file.write(piece);
        return static_cast<bool>(written);
    });
    writeDatabase(out, db, path);
    // Leaving without commit() removes the temporary file.
    if (!out.flush()) return Outcome::failure(kVdbCannotCreate, written.describe(path));
    if (const FileResult committed = file.commit(); !committed) {
        return Outcome::failure(kVdbCannotCreate, committed.describe(path));
    }
    return Outcome::success();
}

}  // namespace orma
