#pragma once
// The input options dialog (default way of entering a new curve). Created at
// start-up with the other forms.

#include <QDialog>

namespace orma::ui {

class Tpreferenceuzivatele : public QDialog {
    Q_OBJECT
public:
    explicit Tpreferenceuzivatele(QWidget* parent = nullptr);
};

}  // namespace orma::ui
