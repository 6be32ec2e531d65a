#include "ui/section/TVESparametryEdit.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

#include "io/Cp1250Text.h"
#include "io/UserDialogs.h"
#include "ui/platform/NumberText.h"
#include "ui/platform/QtText.h"

namespace orma::ui {

namespace {

constexpr double kPositionLimit = 10000000.0;
constexpr double kNotANumber = -999999999.0;  // what a text that is no number counts as

constexpr const char* kTerrainChainageMessage =
    "Metráž podél povrchu terénu aktuálního bodu VES zadej číslicemi tak, aby číslo bylo od -10000000.0 do "
    "10000000.";
constexpr const char* kXMessage =
    "Souřadnici X aktuálního bodu VES zadej číslicemi tak, aby číslo bylo od -10000000.0 do 10000000.";
constexpr const char* kYMessage =
    "Souřadnici Y aktuálního bodu VES zadej číslicemi tak, aby číslo bylo od -10000000.0 do 10000000.";
constexpr const char* kZMessage =
    "Souřadnici Z aktuálního bodu VES zadej číslicemi tak, aby číslo bylo od -10000000.0 do 10000000.";
constexpr const char* kProfileChainageMessage =
    "Metráž aktuálního bodu VES na akt. pf zadej číslicemi tak, aby číslo bylo od -10000000.0 do 10000000.";
constexpr const char* kDuplicateChainageMessage =
    "Existuje bod se stejnou metráží pro zobrazení na aktuálním profilu a to nejde. ";

std::string text(const QLineEdit* edit) { return edit->text().toStdString(); }

/// A line edit of the Czech-derived component name.
QLineEdit* namedEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

}  // namespace

TVESparametryEdit::TVESparametryEdit(UserDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName("VESparametryEdit");
    setWindowTitle(QStringLiteral("Parametry bodu VES"));
    setModal(true);

    auto* properties = new QGroupBox(QStringLiteral("Properties"), this);
    auto* propertyRows = new QFormLayout(properties);
    const auto addRow = [&](const char* label, const char* name) {
        QLineEdit* edit = namedEdit(name, properties);
        propertyRows->addRow(QString::fromUtf8(label), edit);
        return edit;
    };
    eZeme = addRow("Country:", "eZeme");
    eKraj = addRow("Region:", "eKraj");
    eLokalita = addRow("Locality:", "eLokalita");
    eNazevPf = addRow("PROFILE NAME:", "eNazevPf");
    eNazevBoduVES = addRow("VES point name:", "eNazevBoduVES");
    eDatumZm = addRow("Date of VES point measurement:", "eDatumZm");
    ePoznamka = addRow("Comment:", "ePoznamka");
    eOperator = addRow("Operator:", "eOperator");

    auto* position = new QGroupBox(QStringLiteral("Position"), this);
    auto* positionRows = new QGridLayout(position);
    int row = 0;
    const auto addPosition = [&](const char* label, const char* name) {
        QLineEdit* edit = namedEdit(name, position);
        // Room for any accepted position, e.g. -1046370.94.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-10000000.0000")) + 12);
        positionRows->addWidget(new QLabel(QString::fromUtf8(label), position), row, 0);
        positionRows->addWidget(edit, row, 1);
        positionRows->addWidget(new QLabel(QStringLiteral("[m]"), position), row, 2);
        edit->installEventFilter(this);
        ++row;
        return edit;
    };
    eMetraz = addPosition("Chainage along the terrain surface:", "eMetraz");
    eX = addPosition("X coordinate of VES point:", "eX");
    eY = addPosition("Y coordinate of VES point:", "eY");
    eZ = addPosition("Z coordinate of VES point:", "eZ");
    eMetrazPf = addPosition("Chainage of VES point on actual profile:", "eMetrazPf");
    fields_[0] = {eMetraz, kTerrainChainageMessage, 0.0f};
    fields_[1] = {eX, kXMessage, 0.0f};
    fields_[2] = {eY, kYMessage, 0.0f};
    fields_[3] = {eZ, kZMessage, 0.0f};
    fields_[4] = {eMetrazPf, kProfileChainageMessage, 0.0f};

    OKbutton = new QPushButton(QStringLiteral("OK"), this);
    OKbutton->setObjectName("OKbutton");
    OKbutton->setDefault(true);
    ESCape = new QPushButton(QStringLiteral("Original values"), this);
    ESCape->setObjectName("ESCape");
    ESCape->setAutoDefault(false);
    Cancelbutton = new QPushButton(QStringLiteral("Cancel"), this);
    Cancelbutton->setObjectName("Cancelbutton");
    Cancelbutton->setAutoDefault(false);
    // Cancel takes no focus, so leaving a half-typed field for it checks nothing.
    Cancelbutton->setFocusPolicy(Qt::NoFocus);
    connect(OKbutton, &QPushButton::clicked, this, &TVESparametryEdit::OKbuttonClick);
    connect(ESCape, &QPushButton::clicked, this, &TVESparametryEdit::ESCapeClick);
    connect(Cancelbutton, &QPushButton::clicked, this, &TVESparametryEdit::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OKbutton);
    buttons->addWidget(Cancelbutton);
    buttons->addStretch(1);
    buttons->addWidget(ESCape);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(properties);
    layout->addWidget(position);
    layout->addLayout(buttons);
    resize(395, 473);
}

void TVESparametryEdit::prepareFromSection(VesDatabase& db) {
    db_ = &db;
    openedFromSection = true;
    transferName_.reset();
    setResult(QDialog::Rejected);
    storedChainage_.reset();
    // A refused entry goes back to what the point held when the dialog opened.
    if (const VesPoint* point = db.selectedPoint()) {
        storedChainage_ = point->profileChainage;
        fields_[0].resetValue = point->terrainChainage;
        fields_[1].resetValue = point->x;
        fields_[2].resetValue = point->y;
        fields_[3].resetValue = point->z;
        fields_[4].resetValue = point->profileChainage;
    }
    FormShow();
}

void TVESparametryEdit::prepareForTransfer(VesDatabase& db, const std::string& pointName, float proposedChainage) {
    db_ = &db;
    openedFromSection = false;
    transferName_ = pointName;
    setResult(QDialog::Rejected);
    storedChainage_.reset();
    if (const VesPoint* point = db.selectedPoint()) storedChainage_ = point->profileChainage;
    fields_[0].resetValue = proposedChainage;
    fields_[1].resetValue = proposedChainage;
    fields_[2].resetValue = 0.0f;
    fields_[3].resetValue = proposedChainage;
    fields_[4].resetValue = proposedChainage;
    FormShow();
}

void TVESparametryEdit::FormShow() {
    if (db_ == nullptr) return;
    const Locality* locality = db_->activeLocality();
    const Profile* profile = db_->activeProfile();
    const VesPoint* point = db_->selectedPoint();
    eZeme->setText(toQString(locality ? locality->country : ""));
    eKraj->setText(toQString(locality ? locality->region : ""));
    eLokalita->setText(toQString(locality ? locality->name : ""));
    eNazevPf->setText(toQString(profile ? profile->name : ""));
    // Without a current point (a new locality or profile) only the names of
    // the locality and the profile can be given.
    for (QLineEdit* edit : {eNazevBoduVES, eDatumZm, ePoznamka, eOperator, eMetraz, eX, eY, eZ, eMetrazPf}) {
        edit->setEnabled(point != nullptr);
        if (point == nullptr) edit->clear();
    }
    if (point == nullptr) return;
    eNazevBoduVES->setText(toQString(transferName_ ? *transferName_ : point->name));
    eDatumZm->setText(toQString(point->date));
    eOperator->setText(toQString(point->operatorName));
    ePoznamka->setText(toQString(point->comment));
    eMetraz->setText(toQString(boxText(point->terrainChainage)));
    eX->setText(toQString(boxText(point->x)));
    eMetrazPf->setText(toQString(boxText(point->profileChainage)));
    eY->setText(toQString(boxText(point->y)));
    eZ->setText(toQString(boxText(point->z)));
}

void TVESparametryEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Filled when shown, not on every activation: a message box closing must
    // not throw away what the user typed in the other fields.
    FormShow();
    eZeme->setFocus();
}

void TVESparametryEdit::restoreOriginalValues() { FormShow(); }

TVESparametryEdit::PositionField& TVESparametryEdit::field(QLineEdit* edit) {
    for (PositionField& f : fields_) {
        if (f.edit == edit) return f;
    }
    return fields_[4];
}

bool TVESparametryEdit::checkPosition(PositionField& f) {
    if (!f.edit->isEnabled()) return true;
    const double value = typedNumber(text(f.edit)).value_or(kNotANumber);
    if (value < -kPositionLimit || value > kPositionLimit) {
        checking_ = true;
        dialogs_.message(f.message);
        f.edit->setText(toQString(boxText(f.resetValue)));
        f.edit->setFocus();
        checking_ = false;
        return false;
    }
    if (f.edit == eMetrazPf && db_ != nullptr) {
        if (VesPoint* point = db_->selectedPoint()) point->profileChainage = static_cast<float>(value);
    }
    return true;
}

bool TVESparametryEdit::eMetrazExit() { return checkPosition(field(eMetraz)); }
bool TVESparametryEdit::eXExit() { return checkPosition(field(eX)); }
bool TVESparametryEdit::eYExit() { return checkPosition(field(eY)); }
bool TVESparametryEdit::eZExit() { return checkPosition(field(eZ)); }
bool TVESparametryEdit::eMetrazPfExit() { return checkPosition(field(eMetrazPf)); }

bool TVESparametryEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !checking_) {
        // Only the focus moving on inside the dialog counts as leaving a field,
        // not the dialog losing the focus to another window.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            for (PositionField& f : fields_) {
                if (f.edit == watched) checkPosition(f);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TVESparametryEdit::acceptIfValid() {
    // Every position is checked: Enter closes the dialog without leaving the
    // field being typed in.
    for (PositionField& f : fields_) {
        if (!checkPosition(f)) return;
    }
    const Profile* profile = db_ != nullptr ? db_->activeProfile() : nullptr;
    const VesPoint* target = db_ != nullptr ? db_->selectedPoint() : nullptr;
    if (profile != nullptr && target != nullptr) {
        for (const VesPoint& other : profile->points) {
            if (&other != target && other.profileChainage == target->profileChainage) {
                checking_ = true;
                dialogs_.message(kDuplicateChainageMessage);
                eMetrazPf->setFocus();
                checking_ = false;
                return;
            }
        }
    }
    accept();
}

void TVESparametryEdit::reject() {
    // The chainage on the profile is written into the point as soon as its
    // field is left (the duplicate check compares stored values): undo that.
    if (db_ != nullptr && storedChainage_) {
        if (VesPoint* point = db_->selectedPoint()) point->profileChainage = *storedChainage_;
    }
    QDialog::reject();
}

void TVESparametryEdit::applyToDatabase() {
    if (db_ == nullptr) return;
    if (Locality* locality = db_->activeLocality()) {
        locality->country = cutToCharacters(text(eZeme), kNameFieldLength);
        locality->region = cutToCharacters(text(eKraj), kNameFieldLength);
        locality->name = cutToCharacters(text(eLokalita), kNameFieldLength);
    }
    if (Profile* profile = db_->activeProfile()) profile->name = cutToCharacters(text(eNazevPf), kNameFieldLength);
    VesPoint* point = db_->selectedPoint();
    if (point == nullptr) return;
    point->name = cutToCharacters(text(eNazevBoduVES), kNameFieldLength);
    point->date = cutToCharacters(text(eDatumZm), kDateFieldLength);
    point->comment = cutToCharacters(text(ePoznamka), kCommentFieldLength);
    point->operatorName = cutToCharacters(text(eOperator), kOperatorFieldLength);
    const std::pair<QLineEdit*, float*> numbers[] = {{eMetraz, &point->terrainChainage},
                                                     {eX, &point->x},
                                                     {eY, &point->y},
                                                     {eZ, &point->z},
                                                     {eMetrazPf, &point->profileChainage}};
    for (const auto& [edit, target] : numbers) {
        if (const auto value = typedNumber(text(edit))) *target = static_cast<float>(*value);
    }
}

}  // namespace orma::ui
