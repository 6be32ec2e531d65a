#include "ui/interpretation/editing/ModelHistory.h"

#include <cstring>

namespace orma::ui {

namespace {

bool sameModel(const LayerModel& a, const LayerModel& b) {
    return a.interfaceCount == b.interfaceCount && a.resistivity == b.resistivity && a.depth == b.depth &&
           a.depthFixed == b.depthFixed && a.resistivityFixed == b.resistivityFixed &&
           a.thicknessFixed == b.thicknessFixed;
}

}  // namespace

ModelSnapshot ModelSnapshot::of(const Sounding& sounding) {
    ModelSnapshot snapshot;
    snapshot.model = sounding.model;
    snapshot.computedRho = sounding.computedRho;
    snapshot.computedPacked = sounding.computedPacked;
    snapshot.ssq = sounding.ssq;
    snapshot.computedCurveShown = sounding.computedCurveShown;
    return snapshot;
}

void ModelSnapshot::restoreInto(Sounding& sounding) const {
    sounding.model = model;
    sounding.computedRho = computedRho;
    sounding.computedPacked = computedPacked;
    sounding.ssq = ssq;
    sounding.computedCurveShown = computedCurveShown;
}

bool ModelSnapshot::operator==(const ModelSnapshot& other) const {
    // The fit error compares by its bits: a NaN equals itself here.
    return sameModel(model, other.model) && computedRho == other.computedRho &&
           computedPacked == other.computedPacked && computedCurveShown == other.computedCurveShown &&
           std::memcmp(&ssq, &other.ssq, sizeof ssq) == 0;
}

void ModelHistory::reset(const Sounding& sounding) {
    snapshots_.clear();
    snapshots_.push_back(ModelSnapshot::of(sounding));
    cursor_ = 0;
}

bool ModelHistory::record(const Sounding& sounding) {
    ModelSnapshot snapshot = ModelSnapshot::of(sounding);
    if (!snapshots_.empty() && snapshots_[cursor_] == snapshot) return false;
    if (!snapshots_.empty()) snapshots_.resize(cursor_ + 1);
    snapshots_.push_back(std::move(snapshot));
    if (snapshots_.size() > kCapacity) snapshots_.erase(snapshots_.begin());
    cursor_ = snapshots_.size() - 1;
    return true;
}

bool ModelHistory::undo(Sounding& sounding) {
    record(sounding);
    if (!canUndo()) return false;
    --cursor_;
    snapshots_[cursor_].restoreInto(sounding);
    return true;
}

void ModelHistory::restoreCurrent(Sounding& sounding) const {
    if (!snapshots_.empty()) snapshots_[cursor_].restoreInto(sounding);
}

bool ModelHistory::redo(Sounding& sounding) {
    if (!canRedo()) return false;
    ++cursor_;
    snapshots_[cursor_].restoreInto(sounding);
    return true;
}

}  // namespace orma::ui
