#pragma once
// A mouse event in image pixels, free of toolkit types, so that code which
// decides what a gesture means can be tested without a window.

namespace orma::ui {

enum class MouseButton { None, Left, Middle, Right };

struct MouseInput {
    MouseButton button = MouseButton::None;  ///< the button pressed or released
    bool leftHeld = false, middleHeld = false, rightHeld = false;  ///< buttons down now
    bool shift = false, ctrl = false;
    int x = 0, y = 0;  ///< image pixels
};

}  // namespace orma::ui
