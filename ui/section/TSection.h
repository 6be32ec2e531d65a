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
//
// The window knows the interpretation window only through InterpretationLink,
// which main() fills in, so neither window's code depends on the other's.

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/VesDatabase.h"
#include "ui/platform/ImageView.h"
#include "ui/section/SectionGeometry.h"

class QAction;
class QMenu;
class QRect;
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

    UserDialogs& dialogs_;
    std::filesystem::path workingDirectory_;
    VesDatabase db_;
    SectionDisplay display_;
    std::unique_ptr<Canvas> canvas_;
    std::unique_ptr<SectionView> view_;
    std::unique_ptr<SectionColours> colours_;
    InterpretationLink link_;
    TVESparametryEdit* parametersDialog_ = nullptr;

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
