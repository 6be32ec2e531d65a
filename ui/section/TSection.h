#pragma once
// The section window ("the left window"): holds the profile database and
// draws its active profile as a geoelectric section. A click on a point loads
// it into the interpretation window, a double click opens its parameters.
//
// The class is implemented in several files by concern:
//   TSection.cpp          construction, layout beside the interpretation window, lifecycle
//   TSectionMenus.cpp     the main menu and the popup menu
//   TSectionDatabase.cpp  open, save, new locality and profile, deletion of a point
//   TSectionMouse.cpp     selection by click, double click, redraw, Font
//   TSectionScales.cpp    choice of locality and profile, scales, limits, fits
//   TSectionExport.cpp    JPEG, print, UCM export and its options, orma.ini
//   TSectionTerrain.cpp   terrain heights of the whole profile
//   TSectionTransfer.cpp  soundings stored as points: transfer, write-back,
//                         quick import of a directory
//
// The window knows the interpretation window only through InterpretationLink,
// which main() fills in, so neither window's code depends on the other's.

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/UcmParameters.h"
#include "core/VesDatabase.h"
#include "io/UserDialogs.h"
#include "ui/platform/ImageView.h"
#include "ui/section/SectionGeometry.h"

class QAction;
class QMenu;
class QRect;
class QSize;
class QScrollArea;

namespace orma {
class UserDialogs;
}

namespace orma::ui {

class Canvas;
class ImageView;
class SectionColours;
class SectionView;
class TVESparametryEdit;
class TparUCM;

/// What the section window asks of the interpretation window.
struct InterpretationLink {
    Sounding* sounding = nullptr;  ///< the sounding a selected point is loaded into
    /// Re-processes and redraws the sounding just filled from a point; the
    /// messages of the loading come along to be shown.
    std::function<void(const std::vector<std::string>& messages)> reopenStoredPoint;
    /// Shows the section window once (the interpretation window keeps the flag).
    std::function<void()> showSectionOnce;
    /// Closes the interpretation window, which ends the program.
    std::function<void()> closeProgram;
    /// The interpretation window's frame on the screen, to dock beside it.
    std::function<QRect()> interpretationFrame;
    /// A locality or profile was chosen: the sounding on screen is no stored
    /// point of it any more, so it may be transferred ("<-" shown again).
    std::function<void()> profileChosen;
};

class TSection : public QMainWindow {
    Q_OBJECT
public:
    TSection(UserDialogs& dialogs, const std::filesystem::path& workingDirectory, QWidget* parent = nullptr);
    ~TSection() override;

    void setInterpretationLink(InterpretationLink link) { link_ = std::move(link); }
    /// The point parameters dialog, created with the other forms.
    void setParametersDialog(TVESparametryEdit* dialog) { parametersDialog_ = dialog; }
    /// How the parameters dialog is run: modally by default; tests answer it.
    std::function<void(TVESparametryEdit&)> runParametersDialog;
    /// The UCM export options dialog, created with the other forms.
    void setUcmDialog(TparUCM* dialog) { ucmDialog_ = dialog; }
    /// How the UCM options dialog is run: modally by default; tests answer it.
    std::function<void(TparUCM&)> runUcmDialog;
    /// Shown while a directory is imported: called before each file with the
    /// files done and the total, false cancels. By default a progress dialog.
    std::function<bool(int done, int total)> importProgress;

    // State, for the other windows and for tests.
    VesDatabase& database() { return db_; }
    SectionDisplay& display() { return display_; }
    SectionView& view() { return *view_; }
    SectionColours& colours() { return *colours_; }
    Canvas& canvas() { return *canvas_; }
    ImageView& image() { return *imgRez; }
    QScrollArea& scrollArea() { return *scroll_; }
    /// A menu item by its component name (e.g. "Font1"); null if absent.
    QAction* menuItem(const QString& name) const;
    QMenu* popupMenu() const { return PopupMenuSection; }

    // Lifecycle.
    void FormShow();
    void FormClose();
    /// Places the window at the left edge of the screen, as wide as the
    /// space left of the interpretation window, frames included.
    void dockBesideInterpretation();

    // Database menu and popup.
    void Otevidbnamenchdatavsledk1Click();
    void Ulodbnamenchdatavsledk1Click();
    void Ulodbnamenchdatavsledkjako1Click();
    void Konec1Click();
    void Novlokalita1Click();
    void Novprofil1Click();
    void Smaaktulnbod1Click();

    // Locality and profile choice, scales, limits and fits (TSectionScales.cpp).
    void chooseLocality(int n);  ///< "lok 0" ... "lok 6"
    void chooseProfile(int n);   ///< "pf 0 " ... "pf 19"
    void MtkoX1Click();
    void MtkoZ1Click();
    void zvtimtkoX2Click();
    void zmenimtkoX2Click();
    void zvtimtkoX1Click();
    void zmenimtkoX1Click();
    void Krokzmnymtek1Click();
    void MinimlnX1Click();  ///< "Minimal X"
    void MinimlnZ1Click();  ///< "Maximal X"
    void MaximlnZ1Click();  ///< "Minimal Z": the highest elevation shown
    void Fitnaku1Click();
    void Fitninavku1Click();
    void Fitniez1Click();
    void Fitniez2Click();
    float scaleStep() const { return scaleStep_; }

    // Images, print, UCM export and the settings file (TSectionExport.cpp).
    void JPG1Click();
    void Tiskformule1Click();
    void Nastaventiskrny1Click();
    void parametryexportudoUCM1Click();
    void UCM1Click();
    UcmParameters& ucmParameters() { return ucm_; }
    PrinterChoice& printerChoice() { return printerChoice_; }
    /// Reads orma.ini from the working directory (its message when missing).
    void loadSettingsFile();
    /// Writes orma.ini (at End).
    void writeSettingsFile();

    // Terrain heights (TSectionTerrain.cpp).
    void Nativkydocelhoprofiluzesouborutxttypuxtabz1Click();

    // Soundings into the profile (TSectionTransfer.cpp).
    /// Appends `sounding` as a new point of the active profile: the point
    /// parameters dialog proposes its name (the file name without its
    /// extension) and `proposedChainage`; then the section is redrawn. False
    /// (with a message) when the profile is full or there is none.
    bool appendSounding(const Sounding& sounding, float proposedChainage);
    /// Writes the re-interpreted sounding back into the point it was opened
    /// from, if that point is still the selected one.
    void storeReinterpretedPoint();
    /// Imports the GEF files as new points of the active profile, with a
    /// progress dialog, and names the skipped ones in one message.
    void importFiles(const std::vector<std::filesystem::path>& files);

    // The section itself.
    void redrawSection();
    void imgRezMouseDown(const MouseInput& in);
    void imgRezDblClick();
    void Font1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                     void (TSection::*handler)());
    QAction* addLaterItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {});
    void refreshChoiceMenus();

    void showMessages(const std::vector<std::string>& messages);
    void setCaption(const std::string& caption);
    /// Loads the selected point into the interpretation window and lets it
    /// re-process and redraw.
    void loadSelectedPoint();
    /// Shows the parameters dialog for the current point and applies it.
    void editParameters();
    void afterDatabaseOpened();
    /// Forgets which point the interpretation window holds.
    void forgetReopenedPoint() { reopened_ = {}; }
    void rememberReopenedPoint();
    void typeScale(bool xScale);
    void stepScale(bool xScale, bool increase);
    void typeLimit(float& limit, const char* caption, const std::string& prompt, const char* badNumber);
    void fitWidth();
    void fitHeight();
    /// The section's width and height on screen (the scroll area's viewport).
    QSize clientSize() const;
    bool exportableOrOpen();

    /// The stored point the interpretation window holds, for the write-back.
    struct ReopenedPoint {
        int locality = -1, profile = -1, point = -1;
    };

    UserDialogs& dialogs_;
    std::filesystem::path workingDirectory_;
    VesDatabase db_;
    SectionDisplay display_;
    std::unique_ptr<Canvas> canvas_;
    std::unique_ptr<SectionView> view_;
    std::unique_ptr<SectionColours> colours_;
    InterpretationLink link_;
    TVESparametryEdit* parametersDialog_ = nullptr;
    TparUCM* ucmDialog_ = nullptr;
    UcmParameters ucm_;
    PrinterChoice printerChoice_;
    float scaleStep_ = 5.0f;  ///< percent
    ReopenedPoint reopened_;
    std::string lastUcmFile_;  ///< proposed by the next UCM export

    QScrollArea* scroll_ = nullptr;
    ImageView* imgRez = nullptr;
    QMenu* PopupMenuSection = nullptr;
    QMenu* localityChoice_ = nullptr;
    QMenu* profileChoice_ = nullptr;
    std::vector<QAction*> localityItems_;
    std::vector<QAction*> profileItems_;
    bool shownOnce_ = false;
    bool ignoreNextPress_ = false;
};

}  // namespace orma::ui
