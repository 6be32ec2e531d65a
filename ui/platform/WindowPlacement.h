#pragma once
// Where the two top-level windows stand on the screen. The arithmetic works
// on frames (the window manager's title bar and borders included), so both
// title bars, which name the open file and the database, stay on the screen:
// the interpretation window's frame takes the right seven tenths of the
// screen's available area, the section window's frame the rest on the left,
// both as high as that area, meeting without covering each other.
//
// The window manager tells its frame sizes only after it has framed a window,
// so a window is first placed by its frame's corner with the frame's size
// guessed as the client's, and placed again once the real frame is known.

#include <QMargins>
#include <QRect>
#include <functional>

class QWidget;

namespace orma::ui {

/// Frames of the two windows on an available screen area.
struct DockedFrames {
    QRect section;         ///< the left window
    QRect interpretation;  ///< the right window, seven tenths of the width
};

/// The interpretation window's frame: the right 7/10 of `available`, full height.
QRect interpretationFrameOn(const QRect& available);
/// The section window's frame: from the left of `available` up to the pixel
/// before `rightNeighbourLeft` (the interpretation frame's left edge), full
/// height, at least `minimumWidth` wide.
QRect sectionFrameOn(const QRect& available, int rightNeighbourLeft, int minimumWidth = 200);
/// Both frames side by side on `available`.
DockedFrames dockedFrames(const QRect& available);
/// The client area a frame holds, given the window manager's frame margins
/// (left border, title bar, right border, bottom border).
QRect clientInside(const QRect& frame, const QMargins& margins);

/// The frame margins the window manager has given `window` so far (none
/// before it is framed, and none without a window manager).
QMargins frameMarginsOf(const QWidget& window);

/// Places `window`'s frame on `frame` with the frame margins it has now.
void placeFrame(QWidget& window, const QRect& frame);

/// Places `window`'s frame on `target()` now, and again whenever the window
/// manager changes the frame's margins (it frames the window once it is
/// shown) — not when the user moves or resizes it. `target` is asked anew
/// each time.
void keepFrameAt(QWidget& window, std::function<QRect()> target);

}  // namespace orma::ui
