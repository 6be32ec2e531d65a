#pragma once
// The display options dialog of the interpretation window ("Display
// options", Ctrl+Alt+Z): line widths, colours, curve smoothing, the fixed
// scale and two switches of the section's point labels.
//
// Colours are taken at once when chosen in the colour dialog. Everything
// typed is taken when the dialog closes (by "OK" or its close box), and only
// when every box holds a sound value: otherwise a message names the box and
// the dialog stays open, so the settings are never half applied.

#include <QDialog>

#include <array>
#include <functional>
#include <string>

#include "io/DisplaySettings.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orma {
class UserDialogs;
}

namespace orma::ui {

class ColourShape;

class Tparzobr : public QDialog {
    Q_OBJECT
public:
    explicit Tparzobr(QWidget* parent = nullptr);

    /// The settings the dialog edits from now on, and the port that shows
    /// the colour dialog and messages. Must be called before it is shown.
    void edit(DisplaySettings& settings, SectionLabelSwitches& section, UserDialogs& dialogs);

    /// Fills every control from the settings.
    void FormShow();
    /// "implicit values": the implicit settings at once, controls refilled.
    void applyImplicitValues();
    /// "original values": the edit boxes and the smoothing switch as the
    /// settings hold them; chosen colours stay.
    void restoreOriginalValues();
    /// A press on colour shape `index` (0..4 the branches, then composite,
    /// computed, model, fixed model).
    void shapeMouseDown(int index);

    /// Checks and takes the typed values; false (with a message naming the
    /// box) when one is not sound, and then nothing is taken.
    bool applyTypedValues();

    /// After the settings were taken (both windows redraw).
    std::function<void()> applied;

    // The controls, named as the design names them.
    QLineEdit *silanam = nullptr, *silasnes = nullptr, *silamodel = nullptr, *silaaktmod = nullptr,
              *silavyp = nullptr, *stupenbs = nullptr, *pocetbodubs = nullptr;
    QCheckBox *delatbs = nullptr, *profilvnazvu = nullptr, *blokmeritkakrivekves = nullptr,
              *metrazpodlepovrchujepopis = nullptr;
    /// Shape1..Shape5, barvasnes, barvavyp, barvamodel, barvafixmod.
    std::array<ColourShape*, 9> shapes{};
    QPushButton *Button_ok = nullptr, *ButtonImpli = nullptr, *ButtonPuvodni = nullptr;

    // The buttons' historical handler names (component name + Click), kept for the
    // button wiring and the manual; each only forwards to the command it names.
    void ButtonImpliClick() { applyImplicitValues(); }
    void ButtonPuvodniClick() { restoreOriginalValues(); }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::uint32_t& colourSetting(int index);
    void fillEditBoxes();

    DisplaySettings* settings_ = nullptr;
    SectionLabelSwitches* section_ = nullptr;
    UserDialogs* dialogs_ = nullptr;
};

}  // namespace orma::ui
