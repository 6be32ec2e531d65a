#pragma once
// The UCM export options dialog ("Parametry exportu řezů do UCM"): the
// exaggeration, the text sizes, the axis steps and the sign sizes of the
// exported section. "back" fills the edits again from the parameters; OK
// checks every field and closes only when all of them hold numbers the
// export accepts (ucmParametersProblem, the rule the command line follows).

#include <QDialog>

#include <optional>
#include <string>

#include "core/UcmParameters.h"

class QLineEdit;
class QPushButton;

namespace orma {
class UserDialogs;
}

namespace orma::ui {

class TparUCM : public QDialog {
    Q_OBJECT
public:
    explicit TparUCM(QWidget* parent = nullptr);

    /// The dialog edits a copy of `current`; after OK, edited() holds the
    /// values typed. Messages about refused values go through `dialogs`.
    void prepare(const UcmParameters& current, UserDialogs& dialogs);
    /// The parameters as accepted by OK; nullopt when the dialog was closed
    /// otherwise (the close box, Esc).
    const std::optional<UcmParameters>& edited() const { return edited_; }

    void FormShow();
    void restoreOriginalValues();  ///< "back"
    void acceptIfValid();

    QLineEdit* prevyseni = nullptr;
    QLineEdit* mensivelikost = nullptr;
    QLineEdit* vetsivelikost = nullptr;
    QLineEdit* krokpopx = nullptr;
    QLineEdit* krokticx = nullptr;
    QLineEdit* krokpopy = nullptr;
    QLineEdit* krokticy = nullptr;
    QLineEdit* sirkakriz = nullptr;
    QLineEdit* vyskakriz = nullptr;
    QLineEdit* sirkasipky = nullptr;
    QLineEdit* vyskasipky = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* ButtonOK = nullptr;

    // The buttons' historical handler names (component name + Click), kept for the
    // button wiring and the manual; each only forwards to the command it names.
    void Button1Click() { restoreOriginalValues(); }
    void ButtonOKClick() { acceptIfValid(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* fieldEdit(UcmField field) const;

    UcmParameters current_;
    std::optional<UcmParameters> edited_;
    UserDialogs* dialogs_ = nullptr;
};

/// A real value as the dialog shows it: cut (not rounded) to four decimals.
std::string ucmDialogRealText(float value);

}  // namespace orma::ui
