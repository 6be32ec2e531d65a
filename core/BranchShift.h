#pragma once
// Branch shifting: each measured branch is moved by one constant factor so that
// it continues the reference branch, and the shifted branches are merged into
// the composite curve. Also the drift of the finished composite and the commit
// of a mouse-drawn curve. These functions change only the record; the window
// draws and shows the messages they return.

#include <string>
#include <vector>

#include "core/Sounding.h"

namespace orma {

/// Rebuilds the branch grid tables from the point table, shifts every branch
/// onto `reference` (1..4 from the user, 2 after a load) and forms the
/// composite. Returns the "Between branch ..." messages, one per neighbouring
/// pair without a common grid row, and one naming any value that would leave
/// the range of float numbers (it takes no part in the curve). Without any
/// point in the table nothing changes (no composite is built).
std::vector<std::string> shiftBranches(Sounding& sounding, int reference);

/// Moves every shifted branch and the composite by direction * driftStep
/// decades. Returns false (and changes nothing) when no composite exists or a
/// value would leave the range of float numbers.
bool driftComposite(Sounding& sounding, int direction);

enum class CurveEditToggle { NeedsComposite, Started, Ended, EndedAndCommitted };

/// The data half of the curve-editing switch (F4): starts editing, or ends it
/// and commits a mouse-drawn curve into branch 1 and the point table.
CurveEditToggle toggleCurveEdit(Sounding& sounding);

}  // namespace orma
