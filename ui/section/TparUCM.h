#pragma once
// The UCM export options dialog of the section window. Created at start-up
// with the other forms.

#include <QDialog>

namespace orma::ui {

class TparUCM : public QDialog {
    Q_OBJECT
public:
    explicit TparUCM(QWidget* parent = nullptr);
};

}  // namespace orma::ui
