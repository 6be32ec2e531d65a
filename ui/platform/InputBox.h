#pragma once
// The modal input box of the dialog port: caption, prompt, proposed text.
//
// A window manager cuts a title that is wider than its box ("Numb... 29..):"),
// and some captions carry what the user needs to answer (the AB/2 list of
// the omitted points). So the box is made as wide as its caption needs, up
// to most of the screen, and a long caption is also written inside the box,
// wrapped, above the prompt. The texts themselves are shown as given.

#include <optional>
#include <string>

class QWidget;

namespace orma::ui {

/// Captions wider than this (in the dialog's font) are also written in the box.
inline constexpr int kCaptionInBoxWidth = 300;

/// Shows the box over `parent` (may be null); the text typed, or nullopt on
/// Cancel, Escape or the close box.
std::optional<std::string> runInputBox(QWidget* parent, const std::string& caption, const std::string& prompt,
                                       const std::string& proposed);

}  // namespace orma::ui
