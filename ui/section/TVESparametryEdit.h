#pragma once
// The VES point parameters dialog ("Parametry bodu VES"): names of the
// locality, the profile and a point, and the point's position. Its firm rule:
// no two points of a profile share the same chainage on the profile.
//
// Opened from the section it edits the current point of the database (only
// the locality and profile names when there is no current point). A position
// field is checked when the focus leaves it; OK checks every position field
// and the unique chainage. Cancel, Esc and the close box leave the dialog
// with nothing stored (a chainage already accepted on leaving its field goes
// back to what the point held); the caller then applies nothing.

#include <QDialog>

#include <optional>
#include <string>

#include "core/VesDatabase.h"

class QLineEdit;
class QPushButton;

namespace orma {
class UserDialogs;
}

namespace orma::ui {

class TVESparametryEdit : public QDialog {
    Q_OBJECT
public:
    TVESparametryEdit(UserDialogs& dialogs, QWidget* parent = nullptr);

    /// Prepares the dialog to edit the current locality, profile and point of
    /// `db` from the section window; the edits show the stored values.
    void prepareFromSection(VesDatabase& db);
    /// Prepares the dialog for a sounding about to be added: the new point is
    /// already the selected point of `db` (the last of its active profile);
    /// the dialog proposes `pointName` and `proposedChainage`, to which the
    /// chainage fields also return when refused (Y to 0).
    void prepareForTransfer(VesDatabase& db, const std::string& pointName, float proposedChainage);
    /// Copies the edits into the database (texts cut to their fields).
    void applyToDatabase();

    /// Fills the edits from the database (also "Original values").
    void FormShow();
    void restoreOriginalValues();
    /// Checks of the position fields; false (after the field's message, its
    /// reset value and the focus back on it) when the text is not a number
    /// from -10000000 to 10000000.
    bool eMetrazExit();
    bool eXExit();
    bool eYExit();
    bool eZExit();
    bool eMetrazPfExit();
    /// Closes the dialog when every position is valid and the chainage on the
    /// profile is not already another point's.
    void acceptIfValid();
    /// Cancel, the close box and Esc: closes with nothing stored.
    void reject() override;

    bool openedFromSection = false;

    QLineEdit* eZeme = nullptr;
    QLineEdit* eKraj = nullptr;
    QLineEdit* eLokalita = nullptr;
    QLineEdit* eNazevPf = nullptr;
    QLineEdit* eNazevBoduVES = nullptr;
    QLineEdit* eDatumZm = nullptr;
    QLineEdit* ePoznamka = nullptr;
    QLineEdit* eOperator = nullptr;
    QLineEdit* eMetraz = nullptr;
    QLineEdit* eX = nullptr;
    QLineEdit* eY = nullptr;
    QLineEdit* eZ = nullptr;
    QLineEdit* eMetrazPf = nullptr;
    QPushButton* OKbutton = nullptr;
    QPushButton* ESCape = nullptr;
    QPushButton* Cancelbutton = nullptr;

    // The buttons' historical handler names (component name + Click), kept for the
    // button wiring and the manual; each only forwards to the command it names.
    void ESCapeClick() { restoreOriginalValues(); }
    void OKbuttonClick() { acceptIfValid(); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct PositionField {
        QLineEdit* edit;
        const char* message;
        float resetValue;
    };
    bool checkPosition(PositionField& field);
    PositionField& field(QLineEdit* edit);

    UserDialogs& dialogs_;
    VesDatabase* db_ = nullptr;
    PositionField fields_[5];
    bool checking_ = false;
    std::optional<std::string> transferName_;  ///< set while opened by a transfer
    std::optional<float> storedChainage_;      ///< the target's chainage on the profile when opened
};

}  // namespace orma::ui
