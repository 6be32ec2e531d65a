#include "io/ManualInput.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/BranchShift.h"
#include "core/DecimalText.h"
#include "core/PointProcessing.h"
#include "io/GefReader.h"

namespace orma {

namespace {

constexpr const char* kProcessedCaption = "ORMA-programme for VES interpretation - opened: ";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

/// A decimal integer, blanks around it allowed.
std::optional<int> parseInteger(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

/// "%.2f" with the desktop's decimal separator, whatever the C library's locale.
std::string twoDecimals(double value, std::string_view separator) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return withDecimalSeparator(std::string(buffer, end.ptr), separator);
}

/// Asks for an integer: OK with a number sets `value`, OK with anything else
/// says "Integer!"; either way the typed text is returned (nullopt on Cancel).
std::optional<std::string> askInteger(UserDialogs& dialogs, const char* caption, const char* prompt,
                                      const std::string& proposed, int& value) {
    const std::optional<std::string> answer = dialogs.inputQuery(caption, prompt, proposed);
    if (!answer) return std::nullopt;
    if (const std::optional<int> number = parseInteger(*answer)) value = *number;
    else dialogs.message(kManualNotAnInteger);
    return answer;
}

/// The grid tables as a fresh shift finds them: no branch values anywhere.
void resetGridTables(Sounding& sounding) {
    BranchTables& t = sounding.branches;
    for (int k = 0; k < kGridPoints; ++k) {
        for (int j = 0; j < kBranchColumns; ++j) {
            t.measuredAb2[k][j] = kMissing;
            t.shiftedRho[k][j] = kMissing;
        }
    }
    t.branchMn2.fill(kMissing);
}

void appendPoint(Sounding& sounding, int c, int k, float ab2, float rho, int branch) {
    PointTable& p = sounding.points;
    p.gridIndex[c] = k;
    p.ab2[c] = ab2;
    p.rhoA[c] = rho;
    p.branch[c] = branch;
    p.mn2[c] = kManualBranchMn2[branch - 1];
    p.sValue[c] = 0;
    p.pointCount = c + 1;
}

enum class RowAnswer { Value, EndOfBranch };

/// One row of typed input: asks until the answer is a usable resistivity, or
/// the branch ends (0, an empty answer or Cancel).
RowAnswer askResistivity(UserDialogs& dialogs, std::string_view separator, int k, float ab2, float& rho) {
    const std::string prompt =
        "row:" + std::to_string(k + 1) + ", AB/2=" + twoDecimals(ab2, separator) + " m -> REZISTIVITY: ";
    for (;;) {
        const std::optional<std::string> answer =
            dialogs.inputQuery("Enter rezistivity:  (end of branch - ENTER)", prompt, "0");
        // Cancel ends the branch like an empty answer; it never appends a reading.
        if (!answer || trimmed(*answer).empty()) return RowAnswer::EndOfBranch;
        // The desktop's separator or the point; a comma on a desktop whose
        // separator is the point is refused, as the message says.
        const std::optional<double> value = parseTypedDecimal(*answer, separator);
        if (!value) {
            dialogs.message(kManualDecimalPoint);
            continue;
        }
        if (*value == 0.0) return RowAnswer::EndOfBranch;
        const float asFloat = static_cast<float>(*value);
        if (!(asFloat > 0.0f) || !std::isfinite(asFloat)) {
            dialogs.message("The resistivity must be a number above 0 (typed: " + std::string(trimmed(*answer)) +
                            "). Enter it again, or 0 to end the branch.");
            continue;
        }
        rho = asFloat;
        return RowAnswer::Value;
    }
}

}  // namespace

float enteredAb2(int k) { return static_cast<float>(std::exp(std::log(10.0) * k * kGridStep)); }

int reprocessEnteredCurve(Sounding& sounding, UserDialogs& dialogs, ManualInputHost& host) {
    std::vector<std::string> messages;
    const int result = reprocessReadings(sounding, messages);
    for (const std::string& text : messages) dialogs.message(text);
    if (result != kSuccess) {
        dialogs.message(kManualReadingError);
        host.enteredCurveProcessed(false);
        return kFailed;
    }
    const bool editing = sounding.curveEditMode;
    resetForNewCurve(sounding);
    if (sounding.mouseDrawnCurve) sounding.curveEditMode = editing;
    else host.setCaption(kProcessedCaption + sounding.gefPath);
    for (const std::string& text : shiftBranches(sounding, 2)) dialogs.message(text);
    host.enteredCurveProcessed(true);
    return kSuccess;
}

bool enterCurveByKeyboard(Sounding& sounding, UserDialogs& dialogs, ManualInputHost& host) {
    askInteger(dialogs, "Enter VES point number or chainage: ", "VES point number: ",
               std::to_string(sounding.pointNumber), sounding.pointNumber);
    const std::string proposedProfile = host.activeProfileName();
    const std::optional<std::string> profileText = askInteger(dialogs, "Enter profile number:", "profile number: ",
                                                              proposedProfile, sounding.profileNumber);

    int branches = sounding.branches.branchCount;
    const std::optional<std::string> branchText =
        askInteger(dialogs, "Enter amount of branches of VES curve: ", "number of branches: ", "1", branches);
    if (branches < 1 || branches > kMaxBranches) {
        dialogs.message("May be the number of VES curve branches" + branchText.value_or(std::to_string(branches)) +
                        " is not correct. Once more: Ctrl+R");
        return false;
    }
    int omitted = sounding.minGridIndex;
    const std::optional<std::string> omittedText = askInteger(
        dialogs,
        "Number of omitted AB/2(measured from AB/2 1m=0,1.3m=1,1.68,2.18,2.82,3.66,4.74,6.15,7.97,10.29..): ",
        "omitted AB/2: ", "0", omitted);
    if (omitted < 0 || omitted > 25) {
        dialogs.message("Amount of omitted points AB/2 " + omittedText.value_or(std::to_string(omitted)) +
                        " may be wrong. Once more Ctrl+R");
        return false;
    }

    // Kept until the first reading is in: an input that ends without any
    // reading leaves the curve on screen as it was.
    const auto before = std::make_unique<Sounding>(sounding);
    sounding.minGridIndex = omitted;
    sounding.mouseDrawnCurve = false;
    sounding.gefPath = "manual pf " + profileText.value_or(proposedProfile) + " bod " +
                       std::to_string(sounding.pointNumber);
    host.setCaption("ORMA-programme for VES interpretation - interpreting: " + sounding.gefPath);
    sounding.model.interfaceCount = 0;
    resetGridTables(sounding);

    int c = 0;
    int k = omitted;
    int overlap = 0;
    const std::string separator = host.decimalSeparator();
    bool full = false;
    for (int g = 1; g <= branches && !full; ++g) {
        for (;;) {
            if (c >= kMaxPoints) {
                dialogs.message("A sounding holds at most 99 readings: the input ends here.");
                full = true;
                break;
            }
            const float ab2 = enteredAb2(k);
            float rho = 0;
            if (askResistivity(dialogs, separator, k, ab2, rho) == RowAnswer::EndOfBranch) break;
            if (ab2 > kLargestTypedAb2) {
                dialogs.message(kManualCheating);
                break;
            }
            appendPoint(sounding, c, k, ab2, rho, g);
            ++c;
            sounding.maxGridIndex = k;
            reprocessEnteredCurve(sounding, dialogs, host);
            ++k;
        }
        const int lastOfBranch = k - 1;
        if (g < branches && !full) {
            int points = overlap + 1;
            askInteger(dialogs, "Enter number of points of this overlay: ", "number of points of this overlay: ", "2",
                       points);
            overlap = points - 1;
            // The next branch repeats the last rows of this one, never rows above the grid.
            k = std::max(lastOfBranch - overlap, 0);
        }
    }

    if (c == 0) {
        sounding = *before;
        dialogs.message("No resistivity was entered: the curve on screen stays as it was.");
        return false;
    }
    sounding.branches.branchCount = branches;
    host.setCaption("ORMA-programme for interpretation of VES curves - opened: " + sounding.gefPath);
    return true;
}

bool enterCurveByMouse(Sounding& sounding, UserDialogs& dialogs, ManualInputHost& host) {
    // Nothing is stored until both grid indices are known to be sound.
    int pointNumber = sounding.pointNumber;
    askInteger(dialogs, "Enter number or chainage of VES point: ", "number or chainage of VES point: ",
               std::to_string(pointNumber), pointNumber);
    int profileNumber = sounding.profileNumber;
    const std::string proposedProfile = host.activeProfileName();
    const std::optional<std::string> profileText = askInteger(dialogs, "Enter number of profile:",
                                                              "number of profile: ", proposedProfile, profileNumber);
    int first = sounding.minGridIndex;
    askInteger(dialogs,
               "Amount of omitted AB/2 (mesured from AB/2 1m=0,1.3m=1,1.68,2.18,2.82,3.66,4.74,6.15,7.97,10.29..): ",
               "amount of omitted AB/2: ", "0", first);
    int last = sounding.maxGridIndex;
    askInteger(dialogs, "Enter number of the last point of VES curve 10=10.29, 15=37.8, 20=138, 23=301,1 : ",
               "number of the last point of VES curve: ", "20", last);
    if (first < 0 || last > kGridPoints - 1 || first > last) {
        dialogs.message("The curve must run from grid point " + std::to_string(first) + " to grid point " +
                        std::to_string(last) +
                        ": the omitted points may not be negative nor more than the last point, and the last "
                        "point may be 98 at most. Nothing was changed. Once more: M");
        return false;
    }

    sounding.pointNumber = pointNumber;
    sounding.profileNumber = profileNumber;
    sounding.minGridIndex = first;
    sounding.maxGridIndex = last;
    sounding.branches.branchCount = 1;
    sounding.gefPath = "by mouse pf " + profileText.value_or(proposedProfile) + " bod " + std::to_string(pointNumber);
    host.setCaption("ORMA-programme for VES interpretation - : " + sounding.gefPath);
    sounding.model.interfaceCount = 0;
    resetGridTables(sounding);
    for (int k = first; k <= last; ++k) {
        // The starting curve: resistivity numerically equal to AB/2, a 45 degree line.
        const float a = enteredAb2(k);
        appendPoint(sounding, k - first, k, a, a, 1);
        sounding.branches.shiftedRho[k][1] = a;
        sounding.branches.shiftedRho[k][0] = a;
    }
    sounding.mouseDrawnCurve = false;
    sounding.curveEditMode = false;
    reprocessEnteredCurve(sounding, dialogs, host);
    sounding.branches.branchCount = 1;
    host.setCaption("ORMA-manual input of VES curves:" + sounding.gefPath + ": EDIT THE CURVE BY MOUSE THEN F4 ");
    sounding.curveEditMode = true;
    sounding.mouseDrawnCurve = true;
    return true;
}

}  // namespace orma
