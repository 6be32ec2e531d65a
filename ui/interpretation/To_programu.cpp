#include "ui/interpretation/To_programu.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace orma::ui {

To_programu::To_programu(QWidget* parent) : QDialog(parent) {
    setObjectName("o_programu");
    setWindowTitle("o programu");
    setModal(true);
    auto* box = new QGroupBox("ORMA", this);
    auto* lines = new QVBoxLayout(box);
    lines->addWidget(new QLabel(
        "Programme for interpretation of VES curves (measured by geoelectrical instruments TAMIR2, TAMIR3 or", box));
    lines->addWidget(new QLabel(
        " Keldor) saved in format GEF or  RST or manual input of measured VES curves data. ", box));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // auto-sized to its text
}

}  // namespace orma::ui
