#pragma once
// Undo and redo of model changes: a list of snapshots of the model (with its
// fix flags), its computed curve and its fit error, one taken at the end of
// every change, and a cursor on the one the window shows.
//
// A snapshot is only added when it differs from the one under the cursor, so
// gestures that change nothing leave no empty steps. Loading another sounding
// starts a new history.

#include <array>
#include <cstddef>
#include <vector>

#include "core/Sounding.h"

namespace orma::ui {

struct ModelSnapshot {
    LayerModel model;
    std::array<float, kGridSlots> computedRho{};
    std::array<float, kGridSlots> computedPacked{};
    double ssq = 0.0;
    bool computedCurveShown = false;

    static ModelSnapshot of(const Sounding& sounding);
    /// Puts model, computed curve, fit error and its shown-flag back.
    void restoreInto(Sounding& sounding) const;
    bool operator==(const ModelSnapshot& other) const;
};

class ModelHistory {
public:
    /// At most this many snapshots are kept; the oldest go first.
    static constexpr std::size_t kCapacity = 200;

    /// A new history whose only snapshot is the sounding as it is.
    void reset(const Sounding& sounding);
    /// Adds the sounding's state after the cursor (dropping any redo steps)
    /// unless it equals the snapshot under the cursor. Returns true if added.
    bool record(const Sounding& sounding);
    /// Before a change: the state to come back to, unless its model is empty
    /// (an empty model is nothing to go back to).
    void keepBeforeChange(const Sounding& sounding) {
        if (sounding.model.interfaceCount > 0) record(sounding);
    }

    bool canUndo() const { return cursor_ > 0; }
    bool canRedo() const { return cursor_ + 1 < snapshots_.size(); }
    /// Steps back and restores that snapshot into `sounding`. A state that
    /// was never recorded is recorded first, so redo can bring it back.
    bool undo(Sounding& sounding);
    bool redo(Sounding& sounding);
    /// Restores the snapshot under the cursor (an unfinished change is
    /// dropped).
    void restoreCurrent(Sounding& sounding) const;

    std::size_t size() const { return snapshots_.size(); }
    std::size_t cursor() const { return cursor_; }

private:
    std::vector<ModelSnapshot> snapshots_;
    std::size_t cursor_ = 0;
};

}  // namespace orma::ui
