#include "ui/interpretation/Tparzobr.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <charconv>
#include <optional>

#include "io/UserDialogs.h"
#include "ui/interpretation/ColourShape.h"

namespace orma::ui {

namespace {

QLineEdit* numberBox(const char* name) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    box->setFixedWidth(60);
    return box;
}

QCheckBox* checkBox(const char* name, const char* caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

std::optional<long long> wholeNumber(const QString& typed) {
    const std::string text = typed.trimmed().toStdString();
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') ++begin;
    long long value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

/// One typed value with the name the user sees and the values it may take.
struct TypedValue {
    QLineEdit* box;
    const char* name;
    IntRange range;
    int* target;
};

}  // namespace

Tparzobr::Tparzobr(QWidget* parent) : QDialog(parent) {
    setObjectName("parzobr");
    setWindowTitle("Display options");
    setModal(true);

    const char* shapeNames[9] = {"Shape1", "Shape2", "Shape3", "Shape4", "Shape5",
                                 "barvasnes", "barvavyp", "barvamodel", "barvafixmod"};
    for (int i = 0; i < 9; ++i) {
        shapes[static_cast<std::size_t>(i)] = new ColourShape;
        shapes[static_cast<std::size_t>(i)]->setObjectName(shapeNames[i]);
        shapes[static_cast<std::size_t>(i)]->pressed = [this, i] { shapeMouseDown(i); };
    }
    silanam = numberBox("silanam");
    silasnes = numberBox("silasnes");
    silamodel = numberBox("silamodel");
    silaaktmod = numberBox("silaaktmod");
    silavyp = numberBox("silavyp");
    stupenbs = numberBox("stupenbs");
    pocetbodubs = numberBox("pocetbodubs");
    delatbs = checkBox("delatbs", "b-spline  VES curves");
    profilvnazvu = checkBox("profilvnazvu", "name pf is the prefix to point ");
    blokmeritkakrivekves = checkBox("blokmeritkakrivekves", "fixed scale ");
    metrazpodlepovrchujepopis = checkBox("metrazpodlepovrchujepopis", "chainage along the terrain ");

    auto group = [](const char* title) {
        auto* box = new QGroupBox(title);
        auto* grid = new QGridLayout(box);
        grid->setColumnStretch(0, 1);
        return std::pair{box, grid};
    };
    auto row = [](QGridLayout* grid, QWidget* label, QWidget* control) {
        const int r = grid->rowCount();
        grid->addWidget(label, r, 0);
        grid->addWidget(control, r, 1);
    };
    auto twoLines = [](const char* first, const char* second) {
        auto* label = new QLabel(QString(first) + "\n" + second);
        return label;
    };

    auto [measured, measuredGrid] = group("measured curve");
    row(measuredGrid, new QLabel("line thickness"), silanam);
    for (int b = 0; b < 5; ++b) {
        row(measuredGrid, new QLabel(QString("color of VES branche  %1").arg(b + 1)), shapes[static_cast<std::size_t>(b)]);
    }
    auto [shifted, shiftedGrid] = group("shifted curve");
    row(shiftedGrid, new QLabel("line thickness"), silasnes);
    row(shiftedGrid, new QLabel("line color"), shapes[5]);
    auto [model, modelGrid] = group("model");
    row(modelGrid, new QLabel("line thickness"), silamodel);
    row(modelGrid, new QLabel("line color"), shapes[7]);
    row(modelGrid, twoLines("activated model line ", "thickness"), silaaktmod);
    row(modelGrid, twoLines("color of fixed", " model line"), shapes[8]);
    auto [computed, computedGrid] = group("computed curve");
    row(computedGrid, new QLabel("line color"), shapes[6]);
    row(computedGrid, new QLabel("line thickness"), silavyp);
    auto [spline, splineGrid] = group("spline curve interlay");
    splineGrid->addWidget(delatbs, 0, 0, 1, 2);
    row(splineGrid, new QLabel(" B-spline degree"), stupenbs);
    row(splineGrid, new QLabel("number of B-spline points"), pocetbodubs);
    auto [names, namesGrid] = group("name of VES and pf point in section");
    namesGrid->addWidget(profilvnazvu, 0, 0);
    auto [curves, curvesGrid] = group(" VES curves ");
    curvesGrid->addWidget(blokmeritkakrivekves, 0, 0);
    auto [terrain, terrainGrid] = group("VES name in section");
    terrainGrid->addWidget(metrazpodlepovrchujepopis, 0, 0);
    terrainGrid->addWidget(new QLabel("surface, otherwise the chainage "), 1, 0);
    terrainGrid->addWidget(new QLabel("X on current profile"), 2, 0);

    Button_ok = new QPushButton("OK");
    Button_ok->setObjectName("Button_ok");
    ButtonImpli = new QPushButton("implicit values");
    ButtonImpli->setObjectName("ButtonImpli");
    ButtonPuvodni = new QPushButton("original values");
    ButtonPuvodni->setObjectName("ButtonPuvodni");
    Button_ok->setDefault(true);
    connect(Button_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonImpli, &QPushButton::clicked, this, &Tparzobr::ButtonImpliClick);
    connect(ButtonPuvodni, &QPushButton::clicked, this, &Tparzobr::ButtonPuvodniClick);

    auto* left = new QVBoxLayout;
    left->addWidget(measured);
    left->addWidget(shifted);
    left->addWidget(computed);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(model);
    right->addWidget(spline);
    right->addWidget(curves);
    right->addWidget(names);
    right->addWidget(terrain);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonImpli);
    buttons->addWidget(ButtonPuvodni);
    buttons->addStretch();
    buttons->addWidget(Button_ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // auto-sized
}

void Tparzobr::edit(DisplaySettings& settings, SectionLabelSwitches& section, UserDialogs& dialogs) {
    settings_ = &settings;
    section_ = &section;
    dialogs_ = &dialogs;
}

std::uint32_t& Tparzobr::colourSetting(int index) {
    DisplaySettings& s = *settings_;
    switch (index) {
        case 5: return s.compositeColour;
        case 6: return s.computedColour;
        case 7: return s.modelColour;
        case 8: return s.fixedValueColour;
        default: return s.branchColour[static_cast<std::size_t>(index)];
    }
}

void Tparzobr::fillEditBoxes() {
    const DisplaySettings& s = *settings_;
    silanam->setText(QString::number(s.measuredLineWidth));
    silasnes->setText(QString::number(s.compositeLineWidth));
    silavyp->setText(QString::number(s.computedLineWidth));
    silaaktmod->setText(QString::number(s.activeModelLineWidth));
    silamodel->setText(QString::number(s.modelLineWidth));
    stupenbs->setText(QString::number(s.smoothingOrder));
    pocetbodubs->setText(QString::number(s.smoothingResolution));
    delatbs->setChecked(s.smoothingOn);
}

void Tparzobr::FormShow() {
    if (settings_ == nullptr) return;
    fillEditBoxes();
    blokmeritkakrivekves->setChecked(settings_->scaleLocked);
    profilvnazvu->setChecked(section_->profileNamePrefix);
    metrazpodlepovrchujepopis->setChecked(section_->chainageAlongTerrain);
    for (int i = 0; i < 9; ++i) shapes[static_cast<std::size_t>(i)]->setColour(colourSetting(i));
}

void Tparzobr::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void Tparzobr::shapeMouseDown(int index) {
    if (settings_ == nullptr || index < 0 || index >= 9) return;
    const std::optional<std::uint32_t> chosen = dialogs_->chooseColour(colourSetting(index));
    if (chosen) colourSetting(index) = *chosen & 0xFFFFFFu;
    shapes[static_cast<std::size_t>(index)]->setColour(colourSetting(index));
}

void Tparzobr::applyImplicitValues() {
    if (settings_ == nullptr) return;
    *settings_ = implicitDisplaySettings(*settings_);
    FormShow();
}

void Tparzobr::restoreOriginalValues() {
    if (settings_ == nullptr) return;
    fillEditBoxes();
}

bool Tparzobr::applyTypedValues() {
    if (settings_ == nullptr) return true;
    DisplaySettings next = *settings_;
    const TypedValue values[] = {
        {stupenbs, "spline curve interlay: B-spline degree", kSmoothingOrderRange, &next.smoothingOrder},
        {pocetbodubs, "spline curve interlay: number of B-spline points", kSmoothingResolutionRange,
         &next.smoothingResolution},
        {silanam, "measured curve: line thickness", kLineWidthRange, &next.measuredLineWidth},
        {silasnes, "shifted curve: line thickness", kLineWidthRange, &next.compositeLineWidth},
        {silavyp, "computed curve: line thickness", kLineWidthRange, &next.computedLineWidth},
        {silaaktmod, "model: activated model line thickness", kLineWidthRange, &next.activeModelLineWidth},
        {silamodel, "model: line thickness", kLineWidthRange, &next.modelLineWidth},
    };
    for (const TypedValue& value : values) {
        const std::optional<long long> number = wholeNumber(value.box->text());
        if (!number || !value.range.holds(*number)) {
            dialogs_->message("\"" + std::string(value.name) + "\" must be a whole number from " +
                              std::to_string(value.range.lo) + " to " + std::to_string(value.range.hi) +
                              "; it reads \"" + value.box->text().toStdString() + "\". Nothing was changed.");
            value.box->setFocus();
            value.box->selectAll();
            return false;
        }
        *value.target = static_cast<int>(*number);
    }
    next.smoothingOn = delatbs->isChecked();
    next.scaleLocked = blokmeritkakrivekves->isChecked();
    *settings_ = next;
    section_->profileNamePrefix = profilvnazvu->isChecked();
    section_->chainageAlongTerrain = metrazpodlepovrchujepopis->isChecked();
    if (applied) applied();
    return true;
}

void Tparzobr::done(int result) {
    // There is no cancel: closing in any way takes what was typed.
    if (!applyTypedValues()) return;
    QDialog::done(result);
}

}  // namespace orma::ui
