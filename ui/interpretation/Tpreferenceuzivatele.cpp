#include "ui/interpretation/Tpreferenceuzivatele.h"

namespace orma::ui {

Tpreferenceuzivatele::Tpreferenceuzivatele(QWidget* parent) : QDialog(parent) {
    setObjectName("preferenceuzivatele");
    setWindowTitle("User options");
    setModal(true);
}

}  // namespace orma::ui
