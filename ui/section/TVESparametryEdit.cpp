#include "ui/section/TVESparametryEdit.h"

namespace orma::ui {

TVESparametryEdit::TVESparametryEdit(QWidget* parent) : QDialog(parent) {
    setObjectName("VESparametryEdit");
    setModal(true);
}

}  // namespace orma::ui
