#include "io/UcmWriter.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <utility>

#include "io/Cp1250Text.h"
#include "io/SafeFile.h"
#include "io/TemporaryFiles.h"

namespace orma {
namespace {

constexpr const char* kIndent9 = "         ";
constexpr const char* kIndent8 = "        ";
constexpr const char* kTab = "\t ";

/// printf "%.Nf" without the process locale.
std::string fixed(double value, int decimals) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return "0";
    return std::string(buffer, result.ptr);
}

/// printf "%12.0f."
std::string coordinate(double value) {
    std::string text = fixed(value, 0);
    if (text.size() < 12) text.insert(0, 12 - text.size(), ' ');
    return text + ".";
}

/// Integer part toward zero, held inside the int range.
int truncated(double value) {
    if (!(value > -2e9)) return -2000000000;
    if (!(value < 2e9)) return 2000000000;
    return static_cast<int>(value);
}

class Script {
public:
    explicit Script(bool breakBeforeFirst) : breakBefore_(breakBeforeFirst) {}

    void line(const std::string& indent, const std::string& text) {
        if (breakBefore_) out_ += "\r\n";
        breakBefore_ = true;
        out_ += indent;
        out_ += text;
    }
    void at9(const std::string& text) { line(kIndent9, text); }
    void comment(const std::string& text) { line("", text); }
    void point(double x, double y) {
        at9("SET XUR=" + coordinate(x));
        at9("SET YUR=" + coordinate(y));
        at9("PNT");
    }
    void segment(double x1, double y1, double x2, double y2) {
        line(kIndent8, "KEY 'PLACE LINE'");
        point(x1, y1);
        point(x2, y2);
        at9("RST");
    }
    void text(const std::string& placeIndent, const std::string& keyLine, double x, double y) {
        line(placeIndent, "KEY 'PLACE TEXT'");
        at9(keyLine);
        point(x, y);
        at9("RST");
    }
    void textSize(float size) {
        at9("KEY 'ACTIVE TXW " + fixed(size, 2) + "'");
        at9("KEY 'ACTIVE TXH " + fixed(size, 2) + "'");
    }
    std::string take() { return std::move(out_); }

private:
    bool breakBefore_;
    std::string out_;
};

/// A user's text (a name) inside a script line: it stays on its line
/// (control characters become blanks) and inside the script's quotes (an
/// apostrophe becomes the typographic one, which the drawing shows alike).
std::string scriptText(const std::string& text) {
    std::string out;
    for (char c : withoutControlCharacters(text)) {
        if (c == '\'') out += "\u2019";
        else out += c;
    }
    return out;
}

/// Script coordinates of a chainage and an elevation.
struct Mapping {
    double s = 0.2;  ///< X scale, 1 / exaggeration
    double r = 1.0;  ///< Y scale
    double X(double x) const { return x * 1000.0 * s; }
    double Y(double z) const { return z * 1000.0 * r; }
};

std::string pointLabel(const VesPoint& p, const Profile& profile, const SectionLabelSwitches& labels) {
    std::string label = labels.chainageAlongTerrain ? fixed(std::fabs(p.terrainChainage), 0)
                                                    : fixed(std::fabs(p.profileChainage), 1);
    if (labels.profileNamePrefix) label = scriptText(profile.name) + label;
    return label;
}

void writeHeader(Script& m, const std::string& localityName, const std::string& profileName,
                 const UcmParameters& p) {
    m.comment(";  ucm soubor vysledku VES z lokality: " + scriptText(localityName) + " - profil " +
              scriptText(profileName));
    m.comment("; Pomoc se skriptem i s programem poskytne jeho autor, telefonický kontakt najdete v příručce.");
    for (const char* text : {"KEY 'NOECHO'", "SET WWSECT=0", "SET WWBYTE=0", "SET A0=ACTANG", "SET A10=XAXSCL",
                             "SET A11=YAXSCL", "SET A12=ZAXSCL", "SET UCASC=ACTAB", "SET R1=UCWRD(1)",
                             "SET R2=UCWRD(2)", "SET R3=UCWRD(3)"}) {
        m.at9(text);
    }
    m.comment("START:");
    for (const char* text : {"MSG 'ms'", "MSG 'er'", "MSG 'pr'", "KEY 'COLORTABLE DEFAULT'", "KEY 'ACTIVE COLOR 0'",
                             "KEY 'ACTIVE STYLE 0'", "KEY 'ACTIVE HIGHT 0'", "KEY 'ACTIVE ANGLE=0'"}) {
        m.at9(text);
    }
    m.textSize(p.minorTextSize);
    m.at9("KEY 'ACTIVE FONT 3'");
    m.at9("KEY 'ACTIVE WEIGHT 0'");
    m.at9("KEY 'ACTIVE ANGLE=0'");
}

void writeChainageAxis(Script& m, const Mapping& map, const UcmParameters& p, double xL, double xR, double zB,
                       double a, double b) {
    if (p.xTickStep <= 0) return;
    m.comment(";                osa X");
    m.segment(map.X(xL), map.Y(zB), map.X(xR), map.Y(zB));
    m.at9("KEY 'ACTIVE TXJ CT'");
    const int tick = p.xTickStep;
    const bool labelled = p.xLabelStep > tick && p.xLabelStep != 0;
    for (int k = truncated(std::floor(xR / tick) * tick); k >= truncated(xL); k -= tick) {
        if (labelled && k % p.xLabelStep == 0) {
            m.comment(";         osa X fous");
            m.segment(map.X(k), map.Y(zB), map.X(k), map.Y(zB) - b);
            m.comment(";         osa X popis");
            m.text(kIndent8, "KEY " + std::to_string(k), map.X(k), map.Y(zB) - 2.0 * b);
        } else {
            m.comment(";         osa X fous");
            m.segment(map.X(k), map.Y(zB), map.X(k), map.Y(zB) - a);
        }
    }
}

void writeElevationAxes(Script& m, const Mapping& map, const UcmParameters& p, double xL, double xR, double zB,
                        double zT, double a, double b) {
    if (p.zLabelStep <= 0) return;
    m.comment(";                osa Y");
    m.segment(map.X(xL), map.Y(zB), map.X(xL), map.Y(zT));
    m.comment(";                osa Y");
    m.segment(map.X(xR), map.Y(zB), map.X(xR), map.Y(zT));
    const int tick = p.zTickStep;
    if (tick <= 0) return;  // no ticks rather than an endless walk
    const bool labelled = p.zLabelStep >= tick;
    for (int k = truncated(std::floor(zT / tick) * tick); k >= truncated(zB); k -= tick) {
        if (labelled && k % p.zLabelStep == 0) {
            m.at9("KEY 'ACTIVE TXJ RC'");
            m.comment(";         osa Z fous");
            m.segment(map.X(xL), map.Y(k), map.X(xL) - b, map.Y(k));
            m.comment(";         osa Z popis");
            m.text(kIndent8, "KEY " + std::to_string(k), map.X(xL) - 2.0 * b, map.Y(k));
            m.at9("KEY 'ACTIVE TXJ LC'");
            m.comment(";         osa Z fous vpravo");
            m.segment(map.X(xR), map.Y(k), map.X(xR) + b, map.Y(k));
            m.comment(";         osa Z popis");
            m.text(kIndent8, "KEY " + std::to_string(k), map.X(xR) + 2.0 * b, map.Y(k));
        } else {
            m.comment(";         osa Z malej fous");
            m.segment(map.X(xL), map.Y(k), map.X(xL) - a, map.Y(k));
            m.comment(";         osa Z malej fous");
            m.segment(map.X(xR), map.Y(k), map.X(xR) + a, map.Y(k));
        }
    }
}

void writeTitles(Script& m, const Mapping& map, const UcmParameters& p, const ExportFrame& f,
                 const std::string& localityName, const Profile& profile) {
    const double z0 = profile.points.front().z;
    m.at9("KEY 'ACTIVE FONT 1'");
    m.textSize(p.majorTextSize);
    m.at9("KEY 'ACTIVE TXJ LB'");
    m.at9("KEY 'ACTIVE LEVEL 26'");
    m.text(kIndent9, "KEY 'Geologicko-geofyzikální řez podle VES'", map.X(f.cmin),
           map.Y(p.arrowHeight * 16 * 1.1 + z0));
    m.at9("KEY 'ACTIVE TXJ LB'");
    m.text(kIndent9, "KEY 'lokalita:" + scriptText(localityName) + ", profil:" + scriptText(profile.name) + "'",
           map.X(f.cmin), map.Y(p.arrowHeight * 6 * 1.1 + z0));
    m.at9("KEY 'ACTIVE TXJ CC'");
    m.textSize(p.minorTextSize);
    m.at9("KEY 'ACTIVE LEVEL 27'");
    m.at9("KEY 'ACTIVE ANGLE = 90'");
    const double middle = map.Y((f.zB + f.zT) * 0.5);
    m.text(kIndent9, "KEY 'nadmořská výška [m]'", map.X(f.cmin - 7.5 - p.arrowWidth * 15.0), middle);
    m.text(kIndent9, "KEY 'nadmořská výška [m]'", map.X(f.cmax + 7.5 + p.arrowWidth * 15.0), middle);
    m.at9("KEY 'ACTIVE TXJ CT'");
    m.at9("KEY 'ACTIVE ANGLE = 0'");
    m.text(kIndent9, "KEY 'metráž profilu [m]'", map.X((f.cmin + f.cmax) * 0.5), map.Y(f.zB - p.arrowHeight * 2.0));
}

void writeTerrainLine(Script& b, const Mapping& map, const Profile& profile) {
    b.at9("KEY 'ACTIVE FONT 3'");
    b.at9("KEY 'ACTIVE LEVEL 21'");
    b.comment(";        relief terenu");
    b.at9("KEY 'PLACE LSTRING'");
    b.at9("KEY 'ACTIVE WEIGHT 1'");
    b.at9("KEY 'ACTIVE COLOR 114'");
    // Vertices by increasing chainage; equal chainages give one vertex, and
    // the last one is repeated for them, so the line has one per point.
    double previous = -1e14;
    std::size_t chosen = 0;
    for (std::size_t step = 0; step < profile.points.size(); ++step) {
        double best = 1e14;
        for (std::size_t i = 0; i < profile.points.size(); ++i) {
            const double c = profile.points[i].profileChainage;
            if (c > previous && c < best) {
                best = c;
                chosen = i;
            }
        }
        const VesPoint& p = profile.points[chosen];
        previous = p.profileChainage;
        b.point(map.X(p.profileChainage), map.Y(p.z));
    }
    b.at9("RST");
    b.at9("KEY 'ACTIVE COLOR 0'");
}

void writePoint(Script& b, const Mapping& map, const UcmParameters& p, const ExportFrame& f, const VesPoint& point,
                const Profile& profile, const SectionLabelSwitches& labels) {
    const double x = point.profileChainage;
    const double z = point.z;
    b.at9("KEY 'ACTIVE LEVEL 23'");
    b.segment(map.X(x), map.Y(z + p.arrowHeight), map.X(x), map.Y(z));
    b.segment(map.X(x - p.arrowWidth * 0.5), map.Y(z + p.arrowHeight * 0.25), map.X(x), map.Y(z));
    b.segment(map.X(x + p.arrowWidth * 0.5), map.Y(z + p.arrowHeight * 0.25), map.X(x), map.Y(z));

    b.textSize(p.majorTextSize);
    b.at9("KEY 'ACTIVE TXJ CB'");
    b.at9("KEY 'ACTIVE LEVEL 22'");
    b.text(kIndent9, "KEY " + pointLabel(point, profile, labels), map.X(x), map.Y(z + p.arrowHeight * 1.1));

    b.textSize(p.minorTextSize);
    b.at9("KEY 'ACTIVE LEVEL 24'");
    b.at9("KEY 'ACTIVE TXJ CC'");
    const int interfaces = std::min(std::max(point.MDLmx, 0), kMaxPointLayers - 1);
    double above = 0.0;
    for (int j = 0; j <= interfaces; ++j) {
        // The substratum reaches down to the frame's bottom.
        const double d = j < interfaces ? std::fabs(static_cast<double>(point.depth[j])) : z - f.zB;
        if (j < interfaces) {
            b.segment(map.X(x - p.interfaceSignWidth), map.Y(z - d), map.X(x + p.interfaceSignWidth), map.Y(z - d));
            b.segment(map.X(x), map.Y(z - d - p.interfaceSignHeight), map.X(x), map.Y(z - d + p.interfaceSignHeight));
        }
        b.at9("KEY 'ACTIVE LEVEL 25'");
        const double middle = j == 0 ? z - d * 0.5 : z - (d + above) * 0.5;
        const double rho = std::fabs(static_cast<double>(point.resistivity[j]));
        b.text(kIndent9, "KEY " + std::to_string(truncated(rho)), map.X(x), map.Y(middle));
        b.at9("KEY 'ACTIVE LEVEL 24'");
        above = d;
    }
}

void writeClosing(Script& b) {
    const std::pair<const char*, const char*> lines[] = {
        {kTab, "GO FINISH"},
        {"", "ERR1:"},
        {kTab, "SET MSG='erChyba v posledni operaci.  RELERR='+RELERR"},
        {kTab, "MSG MSG"},
        {kTab, "GO EXITUC"},
        {"", "FINISH:"},
        {kTab, "KEY 'NULL'"},
        {kTab, "MSG 'er '"},
        {kTab, "MSG 'cf '"},
        {"", "EXITUC:"},
        {kTab, "MSG 'msOstatni si dodelej sam.'"},
        {kTab, "MSG 'st '"},
        {kTab, "MSG 'prkonec prikazu'"},
        {kTab, "KEY 'ECHO'"},
        {kTab, "SET WWSECT=0"},
        {kTab, "SET WWBYTE=0"},
        {kTab, "SET ACTANG=A0"},
        {kTab, "SET XAXSCL=A10"},
        {kTab, "SET YAXSCL=A11"},
        {kTab, "SET ZAXSCL=A12"},
        {kTab, "SET UCWRD(1)=R1"},
        {kTab, "SET UCWRD(2)=R2"},
        {kTab, "SET UCWRD(3)=R3"},
        {kTab, "SET ACTAB=UCASC"},
        {kTab, "END"},
    };
    for (const auto& [indent, text] : lines) b.line(indent, text);
}

}  // namespace

UcmScripts formatUcmScripts(const std::string& localityName, const Profile& profile, const ExportFrame& frame,
                            UcmParameters& parameters, const SectionLabelSwitches& labels) {
    UcmScripts scripts;
    if (profile.points.empty()) return scripts;
    Mapping map;
    map.s = 1.0 / static_cast<double>(parameters.exaggeration);
    const double xL = frame.cmin - 7.5;
    const double xR = frame.cmax + 7.5;
    const double a = 650.0 * map.s;
    const double b = 950.0 * map.s;
    adjustUcmSteps(parameters, xR - xL, frame.zT - frame.zB);

    Script m(false);
    writeHeader(m, localityName, profile.name, parameters);
    writeChainageAxis(m, map, parameters, xL, xR, frame.zB, a, b);
    writeElevationAxes(m, map, parameters, xL, xR, frame.zB, frame.zT, a, b);
    writeTitles(m, map, parameters, frame, localityName, profile);
    scripts.main = m.take();

    Script second(true);
    writeTerrainLine(second, map, profile);
    for (const VesPoint& point : profile.points) writePoint(second, map, parameters, frame, point, profile, labels);
    writeClosing(second);
    scripts.second = second.take();
    return scripts;
}

std::string ucmSecondFileName(const std::string& mainPath) { return mainPath + "_b"; }

std::string ucmFileExistsMessage(const std::string& path) { return "File" + path + "exists already. Choose other name!"; }

std::optional<std::string> writeUcmFiles(const std::string& mainPath, const UcmScripts& scripts) {
    const std::string secondPath = ucmSecondFileName(mainPath);
    NewFileWriter mainFile, secondFile;
    for (const auto& [writer, path] : {std::pair{&mainFile, &mainPath}, std::pair{&secondFile, &secondPath}}) {
        const FileResult opened = writer->open(*path, ExistingFile::Refuse);
        if (opened.problem == FileProblem::Exists) return ucmFileExistsMessage(*path);
        if (!opened) return std::string(kUcmCannotOpen) + " " + opened.describe(*path);
    }
    FileResult written = mainFile.write(utf8ToCp1250(scripts.main));
    if (written) written = secondFile.write(utf8ToCp1250(scripts.second));
    if (!written) return std::string(kUcmCannotOpen) + " " + written.describe(mainPath);
    // The companion appears first: a reader (or the CAD system) that finds the
    // main script always finds its closing part too. Until the main script is
    // in place, a signal that ends the program takes the companion away again.
    if (const FileResult done = secondFile.commit(); !done) {
        return std::string(kUcmCannotOpen) + " " + done.describe(secondPath);
    }
    RemovedOnSignal companionAlone(secondPath);
    if (const FileResult done = mainFile.commit(); !done) {
        // Both files or neither: the companion just made goes again.
        ::unlink(secondPath.c_str());
        return std::string(kUcmCannotOpen) + " " + done.describe(mainPath);
    }
    return std::nullopt;
}

}  // namespace orma
