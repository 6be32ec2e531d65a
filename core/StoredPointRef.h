#pragma once
// Which point of the profile database a sounding was opened from: the
// locality, the profile and the point's place in it. The interpretation
// window keeps one while it shows a stored point; its model changes are then
// written back there, and the point cannot be transferred a second time.

namespace orma {

struct StoredPointRef {
    int locality = -1;
    int profile = -1;
    int index = -1;

    bool operator==(const StoredPointRef&) const = default;
};

}  // namespace orma
