#pragma once
// The section window ("the left window"): the geoelectric section of the
// active profile. For now only the window itself, docked at the left edge of
// the screen beside the interpretation window.

#include <QWidget>

namespace orma::ui {

class TSection : public QWidget {
    Q_OBJECT
public:
    /// `interpretationWidth` is the width of the interpretation window, so
    /// that the two windows share the screen with a 5-pixel overlap.
    explicit TSection(int interpretationWidth, QWidget* parent = nullptr);
};

}  // namespace orma::ui
