#pragma once
// The VES point parameters dialog of the section window (chainage, position
// and description of a point). Created at start-up with the other forms.

#include <QDialog>

namespace orma::ui {

class TVESparametryEdit : public QDialog {
    Q_OBJECT
public:
    explicit TVESparametryEdit(QWidget* parent = nullptr);
};

}  // namespace orma::ui
