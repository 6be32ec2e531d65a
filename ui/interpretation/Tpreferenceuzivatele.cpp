#include "ui/interpretation/Tpreferenceuzivatele.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orma::ui {

Tpreferenceuzivatele::Tpreferenceuzivatele(QWidget* parent) : QDialog(parent) {
    setObjectName("preferenceuzivatele");
    setWindowTitle("User options");
    setModal(true);

    static const char* const kNames[5] = {"snesena", "nesnesena", "mysi", "gef", "rst"};
    static const char* const kCaptions[5] = {
        "Manual input of measured and shifted curves VES",
        "Manual input of measured curves VES - branch after branches of curves",
        "Manual input of measured curves VES - drowing by mouse",
        "Input from *.GEF files (direct current geoelectric instrument TAMIR)",
        "Input from *.RST files (direct current geoelectric instrument KELDOR)",
    };
    auto* group = new QGroupBox("input of data - measured curves VES  - into programme ");
    auto* column = new QVBoxLayout(group);
    for (int mode = 0; mode < 5; ++mode) {
        QRadioButton*& button = modeButtons[static_cast<std::size_t>(mode)];
        button = new QRadioButton(kCaptions[mode]);
        button->setObjectName(kNames[mode]);
        column->addWidget(button);
    }
    Button2 = new QPushButton("OK");
    Button2->setObjectName("Button2");
    Button2->setDefault(true);
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tpreferenceuzivatele::FormShow() {
    if (inputMode_ == nullptr) return;
    if (*inputMode_ >= 0 && *inputMode_ < 5) modeButtons[static_cast<std::size_t>(*inputMode_)]->setChecked(true);
}

void Tpreferenceuzivatele::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void Tpreferenceuzivatele::done(int result) {
    if (inputMode_ != nullptr) {
        for (int mode = 0; mode < 5; ++mode) {
            if (modeButtons[static_cast<std::size_t>(mode)]->isChecked()) *inputMode_ = mode;
        }
    }
    QDialog::done(result);
}

}  // namespace orma::ui
