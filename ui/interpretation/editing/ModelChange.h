#pragma once
// The undo bracket of one change of the model: made before the change (the
// model is kept to come back to), ended after it (a point to undo to, and the
// write-back of a re-opened point). Ending is the default, so no path out of
// a change forgets it; a path that changed nothing worth a step dismisses it.

#include "ui/interpretation/editing/EditorSurface.h"

namespace orma::ui {

class ModelChange {
public:
    explicit ModelChange(EditorSurface& surface) : surface_(&surface) { surface.keepModelForUndo(); }
    ~ModelChange() { finish(); }
    ModelChange(const ModelChange&) = delete;
    ModelChange& operator=(const ModelChange&) = delete;

    /// Ends the change now, where the order of what follows matters.
    void finish() {
        if (surface_ == nullptr) return;
        EditorSurface* surface = surface_;
        surface_ = nullptr;
        surface->modelChanged();
    }
    /// Leaves the change unended: the gesture was refused or cancelled.
    void dismiss() { surface_ = nullptr; }

private:
    EditorSurface* surface_;
};

}  // namespace orma::ui
