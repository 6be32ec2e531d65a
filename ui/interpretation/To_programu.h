#pragma once
// The About window: what the program is for. Shown modally from the Help
// menu, closed with the window's close box.

#include <QDialog>

namespace orma::ui {

class To_programu : public QDialog {
    Q_OBJECT
public:
    explicit To_programu(QWidget* parent = nullptr);
};

}  // namespace orma::ui
