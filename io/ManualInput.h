#pragma once
// Entering a curve without a file: typed, branch by branch, one apparent
// resistivity per AB/2 grid point; or drawn with the mouse from a starting
// line over a chosen grid range. Both talk to the user through the dialog
// port only, fill the point table the way a file reader does, and process it
// like a freshly read curve.

#include <string>

#include "core/Sounding.h"
#include "io/UserDialogs.h"

namespace orma {

/// What the input asks of the window between its prompts.
class ManualInputHost {
public:
    virtual ~ManualInputHost() = default;
    /// The name of the active profile of the section window, proposed at the
    /// profile prompt.
    virtual std::string activeProfileName() = 0;
    virtual void setCaption(const std::string& caption) = 0;
    /// The desktop's decimal separator: typed resistivities take it or the
    /// point, and the prompts show their AB/2 with it.
    virtual std::string decimalSeparator() = 0;
    /// The points in memory were processed as a new curve (`ok`) or could not
    /// be ("error - reading" has been said): the window redraws.
    virtual void enteredCurveProcessed(bool ok) = 0;
};

/// MN/2 of the points of branch g = 1..5 of an entered curve.
inline constexpr float kManualBranchMn2[kMaxBranches] = {0.2f, 1.0f, 5.0f, 20.0f, 100.0f};
/// The largest AB/2 that typed input takes.
inline constexpr double kLargestTypedAb2 = 1000.0;

inline constexpr const char* kManualNotAnInteger = "Integer!";
inline constexpr const char* kManualDecimalPoint = "Point is the decimal sign";
inline constexpr const char* kManualCheating = "They must be cheating!";
inline constexpr const char* kManualReadingError = "error - reading";

/// The AB/2 of grid index k as the input stores it (single precision).
float enteredAb2(int k);

/// Turns the point table in memory into a loaded curve: reader
/// post-processing, reset for a new curve (curve editing stays on while a
/// mouse-drawn curve is being shaped), caption, and the shift onto branch 2.
/// Returns kSuccess or kFailed ("error - reading").
int reprocessEnteredCurve(Sounding& sounding, UserDialogs& dialogs, ManualInputHost& host);

/// "Manual input" (R): point number, profile, branches, omitted points, then
/// one resistivity per grid row, branch after branch. The curve grows on
/// screen point by point. Returns true when a curve was entered; false when
/// the input ended before any reading (the curve on screen then stays).
bool enterCurveByKeyboard(Sounding& sounding, UserDialogs& dialogs, ManualInputHost& host);

/// "Manual input by mouse" (M): a starting curve at 45 degrees over the chosen
/// grid range, to be shaped with the mouse and committed with F4. Returns
/// false, changing nothing, when the grid range was refused.
bool enterCurveByMouse(Sounding& sounding, UserDialogs& dialogs, ManualInputHost& host);

}  // namespace orma
