#include "ui/interpretation/Tparzobr.h"

namespace orma::ui {

Tparzobr::Tparzobr(QWidget* parent) : QDialog(parent) {
    setObjectName("parzobr");
    setWindowTitle("Display options");
    setModal(true);
}

}  // namespace orma::ui
