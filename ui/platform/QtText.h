#pragma once
// Texts of the program (UTF-8 std::string) handed to Qt.

#include <QString>

#include <string>

namespace orma::ui {

inline QString toQString(const std::string& text) { return QString::fromStdString(text); }

}  // namespace orma::ui
