#pragma once
// The display options dialog of the interpretation window. Created at
// start-up with the other forms.

#include <QDialog>

namespace orma::ui {

class Tparzobr : public QDialog {
    Q_OBJECT
public:
    explicit Tparzobr(QWidget* parent = nullptr);
};

}  // namespace orma::ui
