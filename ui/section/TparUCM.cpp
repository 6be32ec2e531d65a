#include "ui/section/TparUCM.h"

namespace orma::ui {

TparUCM::TparUCM(QWidget* parent) : QDialog(parent) {
    setObjectName("parUCM");
    setModal(true);
}

}  // namespace orma::ui
