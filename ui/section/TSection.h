#pragma once
// The section window ("the left window"): holds the profile database and
// draws its active profile as a geoelectric section. A click on a point loads
// it into the interpretation window, a double click opens its parameters.
//
// The class is implemented in several files by concern:
//   TSection.cpp          construction, layout beside the interpretation window, lifecycle
//   TSectionMenus.cpp     the main menu and the popup menu
//   TSectionDatabase.cpp  open, save, new locality and profile, deletion of a point
//   TSectionUnsaved.cpp   changes not saved yet: the caption's mark, the
//                         question before End and Open, the recovery copy
//   TSectionMouse.cpp     selection by click, double click, redraw, Font
//   TSectionScales.cpp    choice of locality and profile, scales, limits, fits
//   TSectionExport.cpp    JPEG, print, UCM export and its options, orma.ini
//   TSectionTerrain.cpp   terrain heights of the whole profile
//   TSectionTransfer.cpp  soundings stored as points: transfer, write-back,
//                         quick import of a directory
//   TSectionJointFit.cpp  Pf > Fit the profile jointly... off the window's
//                         thread, and its undo
//
// The window knows the interpretation window only through InterpretationLink,
// which main() fills in, so neither window's code depends on the other's.

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ComputationOptions.h"
#include "core/SectionFrame.h"
#include "core/StoredPointRef.h"
#include "core/UcmParameters.h"
#include "core/VesDatabase.h"
#include "io/ProgramFolders.h"
#include "io/RecoveryCopy.h"
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

class BackgroundTask;
class Canvas;
class ImageView;
class JointFitDialog;
struct JointFitChoice;
class RecentMenu;
class SectionColours;
class SectionView;
class StatusLine;
class TVESparametryEdit;
class TparUCM;

/// Which of the two save commands wrote the database.
enum class SaveCommand {
    NextCopy,    ///< Ctrl+U, and the save before the program ends
    ChosenName,  ///< Ctrl+Alt+U: the save dialog first
};

/// The status line after a save: where the file went and why under that
/// name. The two save commands' captions look alike; this tells them apart.
std::string savedDatabaseStatus(const VesDatabase& db, SaveCommand command);
/// The status line after a database was opened: its name and contents.
std::string openedDatabaseStatus(const VesDatabase& db);

/// What the section window asks of the interpretation window.
struct InterpretationLink {
    Sounding* sounding = nullptr;  ///< the sounding a selected point is loaded into
    /// Re-processes and redraws the sounding just filled from a point; the
    /// messages of the loading come along to be shown.
    std::function<void(const std::vector<std::string>& messages)> reopenStoredPoint;
    /// Which stored point the interpretation window shows (none: no point of
    /// the database); set before reopenStoredPoint.
    std::function<void(std::optional<StoredPointRef>)> setOpenStoredPoint;
    std::function<bool()> showsStoredPoint;
    /// Shows the section window once (the interpretation window keeps the flag).
    std::function<void()> showSectionOnce;
    /// Closes the interpretation window, which ends the program.
    std::function<void()> closeProgram;
    /// The interpretation window's frame on the screen, to dock beside it.
    std::function<QRect()> interpretationFrame;
    /// A locality or profile was chosen: the sounding on screen is no stored
    /// point of it any more, so it may be transferred ("<-" shown again).
    std::function<void()> profileChosen;
    /// Work of the interpretation window that is in no database yet: asked
    /// about before the program ends or a point of the profile replaces it
    /// (false: the user cancelled); offered again at start after a crash.
    std::function<bool(bool ending)> settleInterpretation;
    std::function<void()> offerInterpretationRecovery;
    /// Each interface's depth range over the equivalent models of the
    /// window's last global fit, while its model is that fit's result; a
    /// point stored from the sounding keeps them. May be empty.
    std::function<std::optional<std::array<DepthRange, kMaxPointLayers>>()> depthRanges;
    /// The numerical options of the interpretation window (Model >
    /// Computation), for the joint fit of a profile. May be empty.
    std::function<ComputationOptions()> computation;
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
    /// The line at the window's foot that says what the last command did.
    StatusLine& statusLine() { return *statusLine_; }
    void showStatus(const std::string& text);

    /// The database opened at start instead of the sample below the working
    /// directory (io/ProgramFolders.h decides which).
    void setStartDatabase(StartDatabase start) { startDatabase_ = std::move(start); }
    /// A database named on the command line: opened at start in place of the
    /// sample, which opens as usual when the file is refused.
    void setDatabaseToOpen(std::filesystem::path file) { databaseToOpen_ = std::move(file); }
    /// Where saves must not go, and where they go instead.
    void setSaveRules(DatabaseSaveRules rules) { saveRules_ = std::move(rules); }
    const DatabaseSaveRules& saveRules() const { return saveRules_; }

    // Lifecycle.
    /// Opens the start database (the one named on the command line, else the
    /// sample), then offers the recovery copies an earlier run left behind.
    void FormShow();
    void FormClose();
    /// Places the window at the left edge of the screen, as wide as the
    /// space left of the interpretation window, frames included.
    void dockBesideInterpretation();
    /// Where the window's frame docks: the screen's available area left of
    /// the interpretation window's frame.
    QRect dockedFrame() const;

    // Changes not saved yet (TSectionUnsaved.cpp). The caption then starts
    // with "*" ("*db: a.vdb - loc:L0"), and every change is kept in a
    // recovery copy (io/RecoveryCopy.h) until it is saved or discarded.
    /// The database changed since it was opened or saved.
    bool hasUnsavedChanges() const { return db_.revision() != savedRevision_; }
    /// Whoever changes the contents of the database calls this: the change
    /// is counted, the recovery copy written and the caption marked.
    void databaseChanged();
    /// Asked before the program ends (End and the close box of either
    /// window): with unsaved changes, Save (the next numbered copy, as
    /// Ctrl+U) / Discard / Cancel. False keeps the program as it was (Cancel,
    /// or a save that failed).
    bool mayEndProgram();
    /// The recovery copies an earlier run left (io/RecoveryCopy.h), each
    /// offered: open it (as a database that still needs saving), throw it
    /// away, or keep it for the next start.
    void offerRecoveryCopies();
    RecoveryCopy& recoveryCopy() { return recovery_; }

    // Database menu and popup.
    /// Open (Ctrl+O): unsaved changes are settled first (Save / Discard /
    /// Cancel); discarded ones are dropped only when another database opens.
    void openDatabase();
    void saveDatabaseUnderChosenName();
    void saveDatabaseNextCopy();
    void endProgram();
    /// Database > "Recent databases": opens `path` as Ctrl+O would (unsaved
    /// changes settled first); a file that is gone is said and dropped.
    void openRecentDatabase(const std::string& path);
    /// The recent databases menu (io/RecentFiles.h).
    RecentMenu& recentDatabases() { return *recentDatabases_; }
    void newLocality();
    void newProfile();
    /// "Delete current VES point": asks first, naming the point.
    void deleteCurrentPoint();

    // Locality and profile choice, scales, limits and fits (TSectionScales.cpp).
    void chooseLocality(int n);  ///< "lok 0" ... "lok 6"
    void chooseProfile(int n);   ///< "pf 0 " ... "pf 19"
    void typeXScale();
    void typeZScale();
    void increaseXScale();
    void decreaseXScale();
    void increaseZScale();
    void decreaseZScale();
    void typeScaleStep();
    void typeMinChainage();   ///< "Minimal X"
    void typeMaxChainage();   ///< "Maximal X"
    void typeMaxElevation();  ///< "Minimal Z": the highest elevation shown
    void fitToWidth();
    void fitToHeight();
    void fitAll();
    float scaleStep() const { return scaleStep_; }

    // Images, print, UCM export and the settings file (TSectionExport.cpp).
    void saveSectionAsJpeg();
    void printSection();
    void choosePrinter();
    void editUcmOptions();
    void exportUcm();
    UcmParameters& ucmParameters() { return ucm_; }
    PrinterChoice& printerChoice() { return printerChoice_; }
    /// Reads orma.ini from the working directory (its message when missing).
    void loadSettingsFile();
    /// Writes orma.ini (at End).
    void writeSettingsFile();

    // Terrain heights (TSectionTerrain.cpp).
    void loadTerrainHeights();

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

    // The joint fit of the active profile (TSectionJointFit.cpp).
    /// Pf > "Fit the profile jointly...": the dialog, then the fit off the
    /// window's thread; its models go into the points as one change.
    void fitProfileJointly();
    /// Pf > "Undo the joint fit": the models of before it back, while the
    /// database has not changed since.
    void undoJointFit();
    /// How the joint fit dialog is run: modally by default; tests answer it.
    std::function<void(JointFitDialog&)> runJointFitDialog;
    /// The joint fit under way or last run (null before the first).
    BackgroundTask* jointFitTask() const { return jointFit_.get(); }
    /// Display > "Depth ranges of the interfaces" (a check item).
    void toggleDepthRanges();

    // The section itself.
    void redrawSection();
    void imgRezMouseDown(const MouseInput& in);
    /// A double click on the section: the parameters of the selected point;
    /// with no point in the profile, Open.
    void editSelectedPoint();
    void chooseFont();

    // The historical handler names of the menu items and the section's double
    // click (component name + Click), kept for the menu wiring and the manual;
    // each only forwards to the command it names.
    void Otevidbnamenchdatavsledk1Click() { openDatabase(); }
    void Ulodbnamenchdatavsledk1Click() { saveDatabaseUnderChosenName(); }
    void Ulodbnamenchdatavsledkjako1Click() { saveDatabaseNextCopy(); }
    void Konec1Click() { endProgram(); }
    void Novlokalita1Click() { newLocality(); }
    void Novprofil1Click() { newProfile(); }
    void Smaaktulnbod1Click() { deleteCurrentPoint(); }
    void MtkoX1Click() { typeXScale(); }
    void MtkoZ1Click() { typeZScale(); }
    void zvtimtkoX2Click() { increaseXScale(); }
    void zmenimtkoX2Click() { decreaseXScale(); }
    void zvtimtkoX1Click() { increaseZScale(); }
    void zmenimtkoX1Click() { decreaseZScale(); }
    void Krokzmnymtek1Click() { typeScaleStep(); }
    void MinimlnX1Click() { typeMinChainage(); }
    void MinimlnZ1Click() { typeMaxChainage(); }
    void MaximlnZ1Click() { typeMaxElevation(); }
    void Fitnaku1Click() { fitToWidth(); }
    void Fitninavku1Click() { fitToHeight(); }
    void Fitniez1Click() { fitAll(); }
    void Fitniez2Click() { fitAll(); }
    void JPG1Click() { saveSectionAsJpeg(); }
    void Tiskformule1Click() { printSection(); }
    void Nastaventiskrny1Click() { choosePrinter(); }
    void parametryexportudoUCM1Click() { editUcmOptions(); }
    void UCM1Click() { exportUcm(); }
    void Nativkydocelhoprofiluzesouborutxttypuxtabz1Click() { loadTerrainHeights(); }
    void Spolecnyfitprofilu1Click() { fitProfileJointly(); }
    void Vratitspolecnyfit1Click() { undoJointFit(); }
    void Rozsahyhloubek1Click() { toggleDepthRanges(); }
    void Font1Click() { chooseFont(); }
    void imgRezDblClick() { editSelectedPoint(); }

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
    /// Deletes the selected point (the question has been asked) and loads
    /// the one that takes its place.
    void deleteSelectedPointNow();
    /// Shows the parameters dialog for the current point and applies it;
    /// false when it was cancelled (nothing applied).
    bool editParameters();
    /// New locality or profile (`add`), named in the parameters dialog; a
    /// cancelled dialog takes the new one away again.
    void addWithParameters(Outcome (*add)(VesDatabase&));
    void afterDatabaseOpened();
    /// The database file just opened or saved goes first in the recent list.
    void rememberDatabaseFile();
    /// Save / Discard / Cancel when there are unsaved changes; true to go on
    /// (saved, discarded, or nothing to save). `ending`: the program ends,
    /// otherwise another database is to be opened.
    bool settleUnsavedChanges(bool ending);
    /// After a save: nothing unsaved, the recovery copy removed.
    void databaseSaved();
    /// The caption: "db: NAME - loc:LOCALITY", with a leading "*" while
    /// there are unsaved changes.
    std::string captionText() const;
    bool openRecoveryCopy(const FoundRecoveryCopy& found);
    /// Forgets which point the interpretation window holds.
    void forgetReopenedPoint() { reopened_ = {}; }
    /// The selected point was loaded into the interpretation window: both
    /// windows record it.
    void rememberReopenedPoint();
    bool interpretationShowsStoredPoint() const;
    /// The interpretation window's depth ranges, when its model is a global
    /// fit's result, go into the point that takes its model.
    void takeDepthRanges(VesPoint& point) const;
    void typeScale(bool xScale);
    void stepScale(bool xScale, bool increase);
    void typeLimit(float& limit, const char* caption, const std::string& prompt, const char* badNumber);
    /// One fit of the X (Z) scale into `pixels` columns (rows).
    void fitWidth(int pixels);
    void fitHeight(int pixels);
    /// The columns and rows a fit may fill: the scroll area without its
    /// scroll bars, less a bar that the direction not fitted will still need.
    QSize fitArea(bool width, bool height) const;
    /// `passes` fits of the width and/or the height, each with a redraw.
    void fitPasses(int passes, bool width, bool height);
    /// The chainages and elevations the active profile's points span.
    SectionRange pointsRange() const;
    /// The section's width and height on screen (the scroll area's viewport).
    QSize clientSize() const;
    /// True when the active profile has points to export; otherwise says
    /// so and offers to open another database.
    bool exportableOrOpen();

    struct JointFitJob;
    /// The points of a profile as they were before its joint fit, and the
    /// database's revision right after it: the undo holds while nothing
    /// else changed.
    struct JointFitUndo {
        int locality = -1, profile = -1;
        std::vector<VesPoint> points;
        std::uint64_t revision = 0;
    };
    void startJointFit(const JointFitChoice& choice);
    void jointFitEnded(JointFitJob& job, bool cancelled);
    void updateJointUndoItem();
    /// Redraws, and lets the interpretation window show the new model of the
    /// point it holds from that profile.
    void afterProfileModelsChanged(int locality, int profile);

    UserDialogs& dialogs_;
    std::filesystem::path workingDirectory_;
    std::optional<StartDatabase> startDatabase_;
    std::filesystem::path databaseToOpen_;
    DatabaseSaveRules saveRules_;
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
    /// The stored point the interpretation window holds, for the write-back
    /// (index -1: none).
    StoredPointRef reopened_;
    std::string lastUcmFile_;  ///< proposed by the next UCM export
    RecoveryCopy recovery_;
    std::uint64_t savedRevision_ = 0;  ///< the database's revision when opened or saved
    bool recoveryFailureShown_ = false;

    QScrollArea* scroll_ = nullptr;
    ImageView* imgRez = nullptr;
    StatusLine* statusLine_ = nullptr;
    QMenu* PopupMenuSection = nullptr;
    QMenu* localityChoice_ = nullptr;
    RecentMenu* recentDatabases_ = nullptr;
    QMenu* profileChoice_ = nullptr;
    std::vector<QAction*> localityItems_;
    std::vector<QAction*> profileItems_;
    bool shownOnce_ = false;
    bool ignoreNextPress_ = false;
    JointFitDialog* jointFitDialog_ = nullptr;
    std::optional<JointFitUndo> jointUndo_;
    // Last: the work ends (cancelled) before anything it was given goes.
    std::unique_ptr<BackgroundTask> jointFit_;
};

}  // namespace orma::ui
