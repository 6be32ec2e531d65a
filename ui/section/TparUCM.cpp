#include "ui/section/TparUCM.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

#include "io/FormatPatterns.h"
#include "io/UserDialogs.h"
#include "ui/platform/NumberText.h"
#include "ui/platform/QtText.h"

namespace orma::ui {

namespace {

QLineEdit* addField(QGridLayout* rows, QWidget* parent, int row, const char* label, const char* name,
                    const char* unit) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    rows->addWidget(new QLabel(QString::fromUtf8(label), parent), row, 0);
    rows->addWidget(edit, row, 1);
    rows->addWidget(new QLabel(QString::fromUtf8(unit), parent), row, 2);
    return edit;
}

}  // namespace

std::string ucmDialogRealText(float value) {
    const double cut = std::trunc((static_cast<double>(value) + 1e-6) * 10000.0) * 1e-4;
    return boxText(static_cast<float>(cut));
}

TparUCM::TparUCM(QWidget* parent) : QDialog(parent) {
    setObjectName("parUCM");
    setWindowTitle(QString::fromUtf8("Parametry exportu řezů do UCM"));
    setModal(true);

    auto* geometry = new QGroupBox(QStringLiteral("geometry"), this);
    auto* geometryRows = new QGridLayout(geometry);
    prevyseni = addField(geometryRows, geometry, 0, "distortion of scale Z/X UCM:", "prevyseni", "times");
    mensivelikost = addField(geometryRows, geometry, 1, "minor characters size in UCM section:", "mensivelikost", "pxl");
    vetsivelikost = addField(geometryRows, geometry, 2, "major characters size in UCM section:", "vetsivelikost", "pxl");
    krokpopx = addField(geometryRows, geometry, 3, "X axes label step:", "krokpopx", "m");
    krokticx = addField(geometryRows, geometry, 4, "and tic step:", "krokticx", "m");
    krokpopy = addField(geometryRows, geometry, 5, "Z axes label step:", "krokpopy", "m");
    krokticy = addField(geometryRows, geometry, 6, "and tic step:", "krokticy", "m");

    auto* signs = new QGroupBox(QStringLiteral("signs"), this);
    auto* signRows = new QGridLayout(signs);
    sirkakriz = addField(signRows, signs, 0, "width of VES interface sign:", "sirkakriz", "m");
    vyskakriz = addField(signRows, signs, 1, "height of VES interface sign:", "vyskakriz", "m");
    sirkasipky = addField(signRows, signs, 2, "width of VES point arrow:", "sirkasipky", "m");
    vyskasipky = addField(signRows, signs, 3, "height of VES point arrow:", "vyskasipky", "m");

    ButtonOK = new QPushButton(QStringLiteral("OK"), this);
    ButtonOK->setObjectName("ButtonOK");
    ButtonOK->setDefault(true);
    Button1 = new QPushButton(QStringLiteral("back"), this);
    Button1->setObjectName("Button1");
    Button1->setAutoDefault(false);
    connect(ButtonOK, &QPushButton::clicked, this, &TparUCM::ButtonOKClick);
    connect(Button1, &QPushButton::clicked, this, &TparUCM::Button1Click);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonOK);
    buttons->addStretch(1);
    buttons->addWidget(Button1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(geometry);
    layout->addWidget(signs);
    layout->addLayout(buttons);
}

void TparUCM::prepare(const UcmParameters& current, UserDialogs& dialogs) {
    current_ = current;
    dialogs_ = &dialogs;
    edited_.reset();
    FormShow();
}

void TparUCM::FormShow() {
    prevyseni->setText(toQString(boxText(current_.exaggeration)));
    mensivelikost->setText(toQString(ucmDialogRealText(current_.minorTextSize)));
    vetsivelikost->setText(toQString(ucmDialogRealText(current_.majorTextSize)));
    krokpopx->setText(QString::number(current_.xLabelStep));
    krokticx->setText(QString::number(current_.xTickStep));
    krokpopy->setText(QString::number(current_.zLabelStep));
    krokticy->setText(QString::number(current_.zTickStep));
    sirkakriz->setText(toQString(ucmDialogRealText(current_.interfaceSignWidth)));
    vyskakriz->setText(toQString(ucmDialogRealText(current_.interfaceSignHeight)));
    sirkasipky->setText(toQString(ucmDialogRealText(current_.arrowWidth)));
    vyskasipky->setText(toQString(ucmDialogRealText(current_.arrowHeight)));
}

void TparUCM::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TparUCM::restoreOriginalValues() { FormShow(); }

QLineEdit* TparUCM::fieldEdit(UcmField field) const {
    switch (field) {
        case UcmField::exaggeration: return prevyseni;
        case UcmField::minorTextSize: return mensivelikost;
        case UcmField::majorTextSize: return vetsivelikost;
        case UcmField::xLabelStep: return krokpopx;
        case UcmField::xTickStep: return krokticx;
        case UcmField::zLabelStep: return krokpopy;
        case UcmField::zTickStep: return krokticy;
        case UcmField::interfaceSignWidth: return sirkakriz;
        case UcmField::interfaceSignHeight: return vyskakriz;
        case UcmField::arrowWidth: return sirkasipky;
        case UcmField::arrowHeight: return vyskasipky;
    }
    return prevyseni;
}

void TparUCM::acceptIfValid() {
    // Every field is checked before any value is taken: a refused field
    // leaves the parameters as they were and the dialog open on it.
    UcmParameters typed = current_;
    const auto refuse = [this](QLineEdit* edit, const std::string& text) {
        if (dialogs_ != nullptr) dialogs_->message(text);
        edit->setFocus();
        edit->selectAll();
    };
    const std::pair<QLineEdit*, float*> reals[] = {
        {prevyseni, &typed.exaggeration},          {mensivelikost, &typed.minorTextSize},
        {vetsivelikost, &typed.majorTextSize},     {sirkakriz, &typed.interfaceSignWidth},
        {vyskakriz, &typed.interfaceSignHeight},   {sirkasipky, &typed.arrowWidth},
        {vyskasipky, &typed.arrowHeight}};
    for (const auto& [edit, target] : reals) {
        const std::optional<double> value = typedNumber(edit->text().toStdString());
        if (!value || std::fabs(*value) > 1e7) {
            refuse(edit, "'" + edit->text().toStdString() + "' is not a number.");
            return;
        }
        *target = static_cast<float>(*value);
    }
    const std::pair<QLineEdit*, int*> steps[] = {{krokpopx, &typed.xLabelStep},
                                                 {krokticx, &typed.xTickStep},
                                                 {krokpopy, &typed.zLabelStep},
                                                 {krokticy, &typed.zTickStep}};
    for (const auto& [edit, target] : steps) {
        const std::optional<int> value = parseInteger(edit->text().toStdString());
        if (!value) {
            refuse(edit, "Integer!");
            return;
        }
        *target = *value;
    }
    if (const std::optional<UcmParametersProblem> problem = ucmParametersProblem(typed)) {
        refuse(fieldEdit(problem->field), problem->message);
        return;
    }
    edited_ = typed;
    accept();
}

}  // namespace orma::ui
