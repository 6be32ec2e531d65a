// Writing the VES database file: the whole text is formatted in memory
// (Windows-1250 bytes) and then put on the disk as a new file in one piece.

#include <algorithm>
#include <charconv>
#include <functional>
#include <string>

#include "io/Cp1250Text.h"
#include "io/FixedFloatText.h"
#include "io/SafeFile.h"
#include "io/VdbFile.h"

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
        appendFixed6(out_, value);
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
    char sampleLine[2 + 5 * (kMaxFixed6Length + 1) + 16];
    for (int l = 0; l < samples; ++l) {
        const int index = point.nABmn + l;
        const bool inCurve = l <= point.ABmx && index >= 0 && index < kMaxPointSamples;
        char* p = sampleLine;
        *p++ = ' ';
        *p++ = ' ';
        p = writeFixed6(p, point.ab2[l]);
        *p++ = ' ';
        p = writeFixed6(p, point.mn2[l]);
        *p++ = ' ';
        p = writeFixed6(p, point.rhoA[l]);
        *p++ = ' ';
        p = std::to_chars(p, p + 12, point.branch[l]).ptr;
        *p++ = ' ';
        p = writeFixed6(p, inCurve ? point.composite[index] : 0.0f);
        out.line().raw(std::string_view(sampleLine, static_cast<std::size_t>(p - sampleLine)));
    }
    out.line().raw(k.modelHeader);
    const int interfaces = std::clamp(point.MDLmx, 0, kMaxPointLayers - 1);
    for (int i = 0; i <= interfaces; ++i) {
        out.line().raw("  ").real(point.resistivity[i]).raw(" ").real(point.depth[i]);
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

bool writeVdbFile(const VesDatabase& db, const std::string& path) {
    NewFileWriter file;
    if (!file.open(path, ExistingFile::Refuse)) return false;
    VdbText out([&file](std::string_view piece) { return static_cast<bool>(file.write(piece)); });
    writeDatabase(out, db, path);
    // Leaving without commit() removes the temporary file.
    return out.flush() && static_cast<bool>(file.commit());
}

}  // namespace orma
