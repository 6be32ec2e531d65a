#pragma once
// The interpretation window: one sounding, its bilogarithmic plot, and the
// menu commands that load, shift, model, fit and save it. The handlers keep
// the component names of the original design and stay thin: they ask the
// user through the dialog port, call core/ and io/, then redraw.
//
// The class is implemented in several files by concern:
//   Ttelmorwin.cpp          construction, layout and lifecycle, End
//   TtelmorwinMenus.cpp     the main menu (captions, shortcuts, separators)
//   TtelmorwinFiles.cpp     GEF and RST files, recent GEF folders
//   TtelmorwinUnsaved.cpp   work in no database: the question before it
//                           goes, its recovery copy
//   TtelmorwinReopen.cpp    a point of the profile database re-opened
//   TtelmorwinSheets.cpp    field sheets in, curve and model as CSV out
//   TtelmorwinShift.cpp     branch shifting, drift, curve editing switch
//   TtelmorwinModel.cpp     forward task, preset models, fit, JPEG, About
//   TtelmorwinMouse.cpp     mouse on the plot (editing/ModelEditor decides),
//                           model drawing and deletion, undo and redo
//   TtelmorwinInput.cpp     manual input of a curve, typed or by mouse
//   TtelmorwinComputation.cpp  Model > Computation: numerical options, ranges
//   TtelmorwinGlobalFit.cpp Model > Fit globally: the search off the window's
//                           thread, its result as one undo step, the band
//   TtelmorwinOptions.cpp   the display and input options dialogs
//   TtelmorwinCommands.cpp  model clipboard, value labels, print, printer setup
//   TtelmorwinListings.cpp  hidden listings of the fit's matrices
//   TtelmorwinHelp.cpp      the manual
//   TtelmorwinTransfer.cpp  the sounding into the profile ("<-", I), the next
//                           file of the directory (D), quick import (Ctrl+I)

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
#include "core/Sounding.h"
#include "core/StoredPointRef.h"
#include "core/VesDatabase.h"
#include "io/DisplaySettings.h"
#include "io/GefReader.h"
#include "io/ManualInput.h"
#include "io/StartFile.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/editing/EditorSurface.h"
#include "ui/interpretation/editing/ModelHistory.h"
#include "ui/platform/MouseInput.h"

class QAction;
class QDialog;
class QImage;
class QMenu;
class QPushButton;

namespace orma {
class UserDialogs;
struct FitWorkspace;
class RstOutputFile;
}  // namespace orma

namespace orma::ui {

class BackgroundTask;
class Canvas;
class GlobalFitRunner;
class ImageView;
class InterpretationPlot;
class HelpWindow;
class ModelEditor;
class ParameterRangesDialog;
class RecentMenu;
class Tparzobr;
class Tpreferenceuzivatele;
class StatusLine;

class Ttelmorwin : public QMainWindow, private EditorSurface, private ManualInputHost {
    Q_OBJECT
public:
    /// Reads "ormawin.ini" from `settingsDirectory` (the working directory at
    /// start-up); a missing file gives the defaults and its message through
    /// `dialogs`.
    Ttelmorwin(UserDialogs& dialogs, const std::filesystem::path& settingsDirectory, QWidget* parent = nullptr);
    ~Ttelmorwin() override;

    /// The forms this window opens: the title window (shown once when this
    /// window is first shown), the About window, and the section window
    /// (shown once on first activation). Any of them may be null.
    void setCompanionForms(QDialog* titleWindow, QDialog* aboutWindow, QWidget* sectionWindow);

    // State, for the other windows and for tests.
    Sounding& sounding() { return sounding_; }
    const Sounding& sounding() const { return sounding_; }
    DisplaySettings& settings() { return settings_; }
    InterpretationPlot& plot() { return *plot_; }
    Canvas& canvas() { return *canvas_; }
    ImageView& image() { return *Img; }
    const std::filesystem::path& settingsPath() const { return settingsPath_; }
    bool sectionShown() const { return sectionShown_; }
    bool rstOutputOpen() const;
    /// A menu item by its component name (e.g. "OtevtGEF1"); null if absent.
    QAction* menuItem(const QString& name) const;
    ModelEditor& editor() { return *editor_; }
    const ModelHistory& modelHistory() const { return history_; }
    /// The line at the window's foot that says what the last command did.
    StatusLine& statusLine() { return *statusLine_; }
    void showStatus(const std::string& text);

    QPushButton* spustit = nullptr;      ///< "..." starts the fit
    QPushButton* importdorezu = nullptr; ///< "<-" transfers into the profile

    /// Set by the section window: the name of its active profile (proposed
    /// by the manual input), and what happens after every completed change
    /// of the model of a point re-opened from the profile database (it is
    /// written back into that point). Either may be empty.
    std::function<std::string()> activeProfileNameSource;
    std::function<void()> storedPointModelEdited;
    /// Set by the section window: asked before the program ends (End, the
    /// close box); false keeps it running (unsaved changes, Cancel).
    std::function<bool()> mayEnd;
    /// Set by the section window: redraw after the display options changed.
    std::function<void()> sectionOptionsChanged;
    /// Set by the section window: stores the interpreted sounding as a new
    /// point of the active profile, proposing the chainage (false: refused,
    /// the section has said why); and imports GEF files as new points.
    std::function<bool(const Sounding&, float proposedChainage)> appendToProfile;
    std::function<void(const std::vector<std::filesystem::path>&)> importIntoProfile;
    /// Runs a modal dialog of this window; tests drive the dialog here
    /// instead of the default exec().
    std::function<void(QDialog&)> runModalDialog;

    /// The options dialogs created at start-up; without them the window
    /// makes its own when first asked.
    void setOptionDialogs(Tparzobr* displayOptions, Tpreferenceuzivatele* inputOptions);
    SectionLabelSwitches& sectionSwitches() { return sectionSwitches_; }
    /// Where the print commands send their page (the printer setup's choice).
    PrinterChoice& printerChoice() { return printerChoice_; }
    /// Folders searched for "manual/index.html" (the program sets them from
    /// io/ProgramFolders.h); empty means next to the program, then the
    /// current directory.
    std::vector<std::filesystem::path> manualFolders;
    HelpWindow* helpWindow() const { return helpWindow_.get(); }

    // Lifecycle.
    void FormShow();
    void FormActivate();
    void FormResize();
    void FormClose();
    /// Shows the section window the first time it is asked for.
    void showSectionOnce();
    /// Re-opens a point of the profile database (TtelmorwinReopen.cpp): the
    /// section window has filled the sounding from it; the points in memory
    /// are processed again, the model's curve is computed and everything
    /// redrawn. `messages` of the loading are shown first.
    void reopenStoredPoint(const std::vector<std::string>& messages);
    /// The stored point the window shows (its model changes are written
    /// back, "<-" refuses it), or none. Set and cleared by the section
    /// window through the windows' link, cleared here when another curve
    /// takes its place.
    const std::optional<StoredPointRef>& openStoredPoint() const { return openStoredPoint_; }
    bool showsStoredPoint() const { return openStoredPoint_.has_value(); }
    void setOpenStoredPoint(std::optional<StoredPointRef> point) { openStoredPoint_ = point; }

    // The work that is in no database yet (TtelmorwinUnsaved.cpp): a curve
    // and model interpreted from a file or entered by hand and not
    // transferred. Its recovery copy is rewritten after every change.
    enum class LeavingFor { End, AnotherCurve, StoredPoint };
    bool hasUnsavedInterpretation() const { return interpretationRevision_ != storedInterpretationRevision_; }
    /// Before the work would go: asks Transfer / Discard / Cancel; false
    /// keeps everything as it is.
    bool settleUnsavedInterpretation(LeavingFor leaving);
    /// At start: a recovery copy of an earlier run is offered (Open / Throw
    /// away / Cancel).
    void offerInterpretationRecovery();
    const std::filesystem::path& interpretationRecoveryFile() const { return interpretationRecovery_; }

    // Into the profile (TtelmorwinTransfer.cpp).
    /// "<-" and the key I: the sounding into the active profile, then the
    /// next file of its directory; they differ only in what a refusal says.
    void transferByButton();
    void transferByKey();
    /// Loads the file after the current one in its directory (GEF files, or
    /// sheets after a sheet), if there is one.
    void loadNextGef();
    void quickImportDirectory();
    /// A choice of locality or profile in the section: the sounding may be
    /// transferred (again), "<-" shows.
    void profileChosenInSection();
    float proposedChainage() const { return proposedChainage_; }

    // File menu.
    void openGefFile();
    /// File > "Recent GEF folders": the open dialog of F1 in `folder`; a
    /// folder that is gone is said and dropped.
    void openRecentGefFolder(const std::string& folder);
    /// The recent GEF folders menu (io/RecentFiles.h).
    RecentMenu& recentGefFolders() { return *recentFolders_; }
    void openRstFirstCurve();
    /// A curve file named on the command line, opened as its menu command
    /// opens the file chosen in its dialog (a GEF file, an RST file's first
    /// record, a field sheet).
    void openStartFile(const std::string& path, StartFileKind kind);
    void openNextRstCurve();
    void openPreviousRstCurve();
    void writeRstToNewFile();
    void appendRstToOpenFile();
    void endProgram();
    // Field sheets and the CSV of curve and model (TtelmorwinSheets.cpp).
    void openSheet();
    void saveCurveAndModelCsv();

    // Mouse on the plot: the handlers pass the events to the editor.
    void ImgMouseDown(const MouseInput& in);
    void ImgMouseMove(const MouseInput& in);
    void ImgMouseUp(const MouseInput& in);
    void ImgDblClick(const MouseInput& in);

    // Manual input.
    void inputCurveManually();
    void inputCurveByMouse();

    // Shift and Edit menus.
    /// The branches shifted onto branch `reference` (1..4).
    void shiftOnto(int reference);
    void toggleCurveEditing();
    void driftToHigherResistivity();
    void driftToLowerResistivity();
    void typeDriftStep();

    // Model menu and buttons.
    void toggleModelDrawing();
    void deleteModel();
    void undoModelChange();
    void redoModelChange();
    void toggleModelValues();
    void showComputedCurveValues();
    void copyCurrentModel();
    void pasteModel();
    // Hidden listings of the fit's matrices (TtelmorwinListings.cpp).
    void listSampleDerivatives();
    void listSensitivities();
    void listJacobian();
    void listRightSingularVectors();
    void listLeftSingularVectors();

    // Print menu.
    void printPlot();
    void choosePrinter();

    // Model menu: the forward task, the preset models, the fit.
    void computeModelCurve();
    void loadKTypeModel();
    void loadHTypeModel();
    void loadATypeModel();
    void loadQTypeModel();
    void optimizeFit();
    void optimizeFitAndWidenRanges();

    // Model > "Fit globally" (TtelmorwinGlobalFit.cpp): the global fit of
    // the curve with the model's layer count (held values held, the model one
    // more start) runs off the window's thread with a progress dialog and
    // Cancel; its best model comes in as one undo step, with the band of its
    // equivalent models behind it and their value spans in the values dialog.
    void startGlobalFit();
    /// The global fit under way or last run (null before the first).
    GlobalFitRunner* globalFit() const { return globalFit_.get(); }
    /// Each interface's depth span over the equivalent models, while the
    /// band belongs to the model; none otherwise. A point stored from this
    /// window keeps them.
    std::optional<std::array<DepthRange, kMaxPointLayers>> depthRangesOfModel() const;

    // Model > Computation (TtelmorwinComputation.cpp): options of the forward
    // computation and the fit, and the ranges of the current model's values.
    void toggleAccurateForward();
    void toggleMeasuredSpacings();
    void toggleFitUntilConverged();
    void showParameterRanges();
    const ComputationOptions& computation() const { return computation_; }
    ParameterRangesDialog* rangesDialog() const { return rangesDialog_; }
    /// The ranges computation under way or last run (off the window's thread).
    BackgroundTask* rangesTask() const { return rangesTask_.get(); }

    // Display and Help menus: the options dialogs.
    void editDisplayOptions();
    void editInputOptions();
    void showManual();

    // Image and Help menus.
    void savePlotAsJpeg();
    void showAbout();

    // The historical handler names of the menu items and buttons (component
    // name + Click), kept for the menu wiring and the manual; each only
    // forwards to the command it names.
    void importdorezuClick() { transferByButton(); }
    void ImportGEFvadresipojednom1Click() { transferByKey(); }
    void ImportdalsouborGEFbezuloen1Click() { loadNextGef(); }
    void Importcelhopfvadresi1Click() { quickImportDirectory(); }
    void OtevtGEF1Click() { openGefFile(); }
    void OtevtRST1Click() { openRstFirstCurve(); }
    void NatidalRST1Click() { openNextRstCurve(); }
    void N2Click() { openPreviousRstCurve(); }
    void UloitRST1Click() { writeRstToNewFile(); }
    void PiuloitRST1Click() { appendRstToOpenFile(); }
    void Konec1Click() { endProgram(); }
    void OtevtCSV1Click() { openSheet(); }
    void UloitCSV1Click() { saveCurveAndModelCsv(); }
    void Runvstup1Click() { inputCurveManually(); }
    void Manulnvstupmy1Click() { inputCurveByMouse(); }
    void na1vtev1Click() { shiftOnto(1); }
    void na2vtev1Click() { shiftOnto(2); }
    void na3vtev1Click() { shiftOnto(3); }
    void na4vtev1Click() { shiftOnto(4); }
    void Editovatsnesenoukivku1Click() { toggleCurveEditing(); }
    void PosunsnesenkivkyVESdovychrezistivit1Click() { driftToHigherResistivity(); }
    void PosunsnesenkivkyVESdonichrezistivit1Click() { driftToLowerResistivity(); }
    void PosunsnesenkivkyVESkroklogohmm1Click() { typeDriftStep(); }
    void Vytvoenmodelu1Click() { toggleModelDrawing(); }
    void Zruitmodel1Click() { deleteModel(); }
    void UndoModel1Click() { undoModelChange(); }
    void RedoModel1Click() { redoModelChange(); }
    void Popimodel1Click() { toggleModelValues(); }
    void PopivypotenoukivkuVES1Click() { showComputedCurveValues(); }
    void Zkoprujmodeldopamti1Click() { copyCurrentModel(); }
    void Vlomodelzpamti1Click() { pasteModel(); }
    void VytiskSroaSd1Click() { listSampleDerivatives(); }
    void VtiskSroSdmatic1Click() { listSensitivities(); }
    void VypisWJmatice1Click() { listJacobian(); }
    void VpisVmatice1Click() { listRightSingularVectors(); }
    void VpisUmatice1Click() { listLeftSingularVectors(); }
    void Vytisknicovid1Click() { printPlot(); }
    void Nastaventiskrny1Click() { choosePrinter(); }
    void P1Click() { computeModelCurve(); }
    void natimodelkivkyKhlRzd11010100201Click() { loadKTypeModel(); }
    void natimodelkivkyHhlRzd120010205001Click() { loadHTypeModel(); }
    void natimodelkivkyAhlRzd110101005001Click() { loadATypeModel(); }
    void natimodelkivkyQhlRzd1100010100201Click() { loadQTypeModel(); }
    void optimaliyacesfixy1Click() { optimizeFit(); }
    void spustitClick() { optimizeFitAndWidenRanges(); }
    void Fitglobalne1Click() { startGlobalFit(); }
    void Presnyvypocet1Click() { toggleAccurateForward(); }
    void Merenerozestupy1Click() { toggleMeasuredSpacings(); }
    void Dokonvergence1Click() { toggleFitUntilConverged(); }
    void Rozsahyparametru1Click() { showParameterRanges(); }
    void Npovda1Click() { editDisplayOptions(); }
    void Preference1Click() { editInputOptions(); }
    void Jaknato1Click() { showManual(); }
    void UlocoviddoJPGsouboru1Click() { savePlotAsJpeg(); }
    void Oprogramu1Click() { showAbout(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildMenus();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                     void (Ttelmorwin::*handler)(), bool hidden = false);
    void layoutButtons();

    void showMessages(const std::vector<std::string>& messages);
    void transferToProfile();
    /// The checks and the transfer of "<-" without loading the next file;
    /// false when refused (the reason said) or cancelled.
    bool storeInProfile();
    /// A completed change of work that is in no database: counted and its
    /// recovery copy written. Work of a re-opened point goes back into its
    /// database instead.
    void interpretationChanged();
    /// The work is kept elsewhere (transferred, replaced by a file's curve)
    /// or was discarded: nothing to ask, no recovery copy.
    void interpretationSettled();
    /// Ends the program after both windows' questions (End, the close box).
    bool mayEndProgram();
    /// The chainage a sounding's file name (or RST record) proposes; nullopt
    /// after the message when the name's number is no integer.
    std::optional<float> chainageFromFileName();
    /// What every successful load does on the window side: no model drawing
    /// on screen, buttons hidden, fresh plot ranges.
    void afterNewCurve();
    /// Reads the GEF file or sheet chosen in an open dialog (nothing chosen is
    /// said), then shows the curve with its caption and messages.
    /// True when the file was read.
    bool loadChosenCurveFile(const std::optional<std::string>& chosen, CurveFileOpener open);
    /// F1 with `options`; the folder of a GEF file read goes first in the
    /// recent GEF folders.
    void openGefWithDialog(const FileDialogOptions& options);
    /// The folder of `file` first in the recent GEF folders.
    void rememberGefFolder(const std::string& file);
    void drift(int direction);
    /// Window side of an RST read: caption and plot of the new curve.
    void finishRstLoad(const CurveFileOutcome& result, const std::vector<std::string>& messages);
    /// "Read SOURCE: 28 readings in 3 branches, 15 rows of the composite curve."
    std::string curveReadStatus(const std::string& source) const;
    std::string rstWrittenStatus(const std::string& path) const;
    /// Erases the computed curve, computes the model's curve and draws it with
    /// its SSQ; on failure shows `failureMessage`. Returns the result code.
    int forwardAndDraw(const char* failureMessage);
    void loadPresetModel(float r0, float r1, float r2);
    void showPresetModel();
    void runFit(bool widenRanges);
    /// Says what a fit lacks (no curve, no model); true when it can run.
    bool fitPossible();
    void globalFitEnded(GlobalFitRunner& run, bool cancelled);
    /// The values dialog with every value's span over the equivalent models.
    void showEquivalentValues();
    /// A completed change: the band that no longer belongs goes off the plot.
    void dropBandIfStale();
    void writeSettings();
    void appendComputationMenu(QMenu* model);
    /// After an option changed: the curve computed anew, the plot redrawn.
    void computationChanged();
    void execDialog(QDialog& dialog);
    /// What the window's client area shows: the plot and the buttons.
    QImage clientAreaImage() const;
    int listingLayers() const;
    int listingGridRows() const;
    static std::vector<std::filesystem::path> defaultManualFolders();

    // What the editor asks of the window (TtelmorwinMouse.cpp).
    bool modelShown() const override;
    bool plotDrawn() const override;
    bool scaleLocked() const override;
    void toggleModelLines(const Selection& style) override;
    void redrawAll() override;
    void removeComputedCurve() override;
    void runForward() override;
    void toggleCrosshair(int x, int y) override;
    void drawCursorStatus(int x, int y) override;
    void markEditedCurvePoint(int k) override;
    void setCursorShape(CursorShape shape) override;
    void showFitButtons(bool shown) override;
    void message(const std::string& text) override;
    void reprocessEnteredCurve() override;
    void enterNewCurve() override;
    void modelChanged() override;
    void keepModelForUndo() override;
    /// A completed change of the model of a re-opened point goes back into
    /// the profile database.
    void writeBackStoredPoint();
    /// Undo/redo menu items enabled as the history allows.
    void updateUndoItems();
    /// After undo or redo: the restored model on a clean plot.
    void showRestoredModel();

    // What the manual input asks of the window (TtelmorwinInput.cpp).
    std::string activeProfileName() override;
    void setCaption(const std::string& caption) override;
    void enteredCurveProcessed(bool ok) override;
    std::string decimalSeparator() override;

    UserDialogs& dialogs_;
    std::filesystem::path settingsPath_;
    DisplaySettings settings_;
    Sounding sounding_;
    std::unique_ptr<Canvas> canvas_;
    std::unique_ptr<InterpretationPlot> plot_;
    std::unique_ptr<FitWorkspace> fitWorkspace_;
    std::unique_ptr<RstOutputFile> rstOutput_;
    std::unique_ptr<ModelEditor> editor_;
    ModelHistory history_;
    std::uint64_t interpretationRevision_ = 0;
    std::uint64_t storedInterpretationRevision_ = 0;
    std::filesystem::path interpretationRecovery_;
    bool interpretationRecoveryFailureShown_ = false;
    ComputationOptions computation_;  ///< not stored in ormawin.ini
    ParameterRangesDialog* rangesDialog_ = nullptr;
    SectionLabelSwitches sectionSwitches_;
    Tparzobr* parzobr_ = nullptr;
    Tpreferenceuzivatele* preference_ = nullptr;
    std::unique_ptr<Tparzobr> ownParzobr_;
    std::unique_ptr<Tpreferenceuzivatele> ownPreference_;
    PrinterChoice printerChoice_;
    std::unique_ptr<HelpWindow> helpWindow_;
    ImageView* Img = nullptr;
    StatusLine* statusLine_ = nullptr;
    RecentMenu* recentFolders_ = nullptr;

    QDialog* titleWindow_ = nullptr;
    QDialog* aboutWindow_ = nullptr;
    QWidget* sectionWindow_ = nullptr;
    bool sectionShown_ = false;
    bool shownOnce_ = false;
    bool titleDone_ = false;
    float proposedChainage_ = 0.0f;
    std::optional<StoredPointRef> openStoredPoint_;
    /// Counts the curves loaded: a result computed for another curve is not applied.
    std::uint64_t curveGeneration_ = 0;
    // Last: their work ends (cancelled) before anything it was given goes.
    std::unique_ptr<GlobalFitRunner> globalFit_;
    std::unique_ptr<BackgroundTask> rangesTask_;
};

}  // namespace orma::ui
