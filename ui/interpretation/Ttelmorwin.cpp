// Construction, layout and lifecycle of the interpretation window.

#include "ui/interpretation/Ttelmorwin.h"

#include "io/InterpretationRecovery.h"
#include "io/RecoveryCopy.h"

#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "core/FitWorkspace.h"
#include "io/RstWriter.h"
#include "io/UserDialogs.h"
#include "io/WindowSettingsFile.h"
#include "ui/interpretation/GlobalFitRunner.h"
#include "ui/interpretation/HelpWindow.h"
#include "ui/interpretation/Tparzobr.h"
#include "ui/interpretation/Tpreferenceuzivatele.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/BackgroundTask.h"
#include "ui/platform/Canvas.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/StatusLine.h"
#include "ui/platform/WindowPlacement.h"

namespace orma::ui {
namespace {

constexpr const char* kStartHint =
    "CLICK ON ANY VES POINT IN THE LEFT WINDOW SECTION AND YOU CAN EDIT THE MODEL OR REINTERPRET IT IN THE RIGHT "
    "WINDOW. INPUT OF NEW VES CURVES TO THE DATABASE BY THE KEY F1 OR ... HELP - HOW DOES IT WORK. ";

constexpr int kButtonWidth = 41;
constexpr int kButtonHeight = 25;

}  // namespace

Ttelmorwin::Ttelmorwin(UserDialogs& dialogs, const std::filesystem::path& settingsDirectory, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      settingsPath_(windowSettingsPath(settingsDirectory)),
      canvas_(std::make_unique<Canvas>()),
      fitWorkspace_(std::make_unique<FitWorkspace>()),
      rstOutput_(std::make_unique<RstOutputFile>()),
      interpretationRecovery_(interpretationRecoveryPath(recoveryDirectory())) {
    setObjectName("telmorwin");
    setWindowTitle(QString::fromUtf8("ORMA - program na zpracování křivek VES"));

    Img = new ImageView(*canvas_, this);
    Img->setObjectName("Img");
    setCentralWidget(Img);
    statusLine_ = new StatusLine(*statusBar());
    plot_ = std::make_unique<InterpretationPlot>(*canvas_, sounding_, settings_);
    plot_->geometry().bottomReserve = kButtonHeight;
    plot_->showSectionOnce = [this] { showSectionOnce(); };
    editor_ = std::make_unique<ModelEditor>(sounding_, plot_->geometry(), static_cast<EditorSurface&>(*this));
    plot_->styleSource = [this] {
        const EditState& state = editor_->state();
        return ModelLineStyle{state.active.layer, state.active.boundary, state.drawing()};
    };
    // A redraw for any reason wipes the crosshair off the canvas.
    plot_->canvasCleared = [this] { editor_->forgetCrosshair(); };
    history_.reset(sounding_);
    Img->onMouseDown = [this](const MouseInput& in) { ImgMouseDown(in); };
    Img->onMouseMove = [this](const MouseInput& in) { ImgMouseMove(in); };
    Img->onMouseUp = [this](const MouseInput& in) { ImgMouseUp(in); };
    Img->onDoubleClick = [this](const MouseInput& in) { ImgDblClick(in); };

    spustit = new QPushButton("...", Img);
    spustit->setObjectName("spustit");
    importdorezu = new QPushButton("<-", Img);
    importdorezu->setObjectName("importdorezu");
    for (QPushButton* button : {spustit, importdorezu}) {
        button->setFixedSize(kButtonWidth, kButtonHeight);
        button->hide();
    }
    // Enter on the focused "..." button starts the fit, as in a dialog.
    spustit->setAutoDefault(true);
    connect(spustit, &QPushButton::clicked, this, &Ttelmorwin::spustitClick);
    buildMenus();
    updateUndoItems();

    showMessages(readWindowSettings(settingsPath_, settings_));
    // Repeated readings are always averaged, whatever the file said.
    settings_.averageOverlaps = true;
    sounding_.averageOverlaps = true;

    keepFrameAt(*this, [] { return interpretationFrameOn(QGuiApplication::primaryScreen()->availableGeometry()); });
    Img->onResize = [this] { FormResize(); };
}

Ttelmorwin::~Ttelmorwin() = default;

void Ttelmorwin::setCompanionForms(QDialog* titleWindow, QDialog* aboutWindow, QWidget* sectionWindow) {
    titleWindow_ = titleWindow;
    aboutWindow_ = aboutWindow;
    sectionWindow_ = sectionWindow;
}

bool Ttelmorwin::rstOutputOpen() const { return rstOutput_->isOpen(); }

void Ttelmorwin::showMessages(const std::vector<std::string>& messages) {
    for (const std::string& text : messages) dialogs_.message(text);
}

void Ttelmorwin::showStatus(const std::string& text) { statusLine_->say(text); }

void Ttelmorwin::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // The title window opens over the main window once that is on screen.
    QTimer::singleShot(0, this, &Ttelmorwin::FormShow);
}

void Ttelmorwin::FormShow() {
    if (titleWindow_ != nullptr) titleWindow_->exec();
    titleDone_ = true;
    if (isActiveWindow()) FormActivate();
    else activateWindow();
}

bool Ttelmorwin::event(QEvent* event) {
    const bool result = QMainWindow::event(event);
    // Activation before the title window has closed is the title window's
    // own start-up flicker, not the user's first look at the program.
    if (event->type() == QEvent::WindowActivate && titleDone_) FormActivate();
    return result;
}

void Ttelmorwin::FormActivate() {
    if (sectionShown_) return;
    showSectionOnce();
    dialogs_.message(kStartHint);
}

void Ttelmorwin::showSectionOnce() {
    if (sectionShown_) return;
    sectionShown_ = true;
    if (sectionWindow_ != nullptr) sectionWindow_->show();
}

void Ttelmorwin::layoutButtons() {
    spustit->move(0, Img->height() - kButtonHeight);
    importdorezu->move(40, Img->height() - kButtonHeight);
}

void Ttelmorwin::FormResize() {
    layoutButtons();
    canvas_->resize(Img->width(), Img->height());
    if (sounding_.curveLoaded) plot_->redrawAll();
    Img->update();
}

void Ttelmorwin::writeSettings() {
    if (const Outcome saved = writeWindowSettings(settingsPath_, settings_); !saved) dialogs_.message(saved.text());
}

void Ttelmorwin::FormClose() { writeSettings(); }

void Ttelmorwin::closeEvent(QCloseEvent* event) {
    // The work in no database and the database are settled first; Cancel
    // leaves everything running.
    if (!mayEndProgram()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void Ttelmorwin::endProgram() {
    if (!mayEndProgram()) return;
    closeRstOutput(sounding_, *rstOutput_, dialogs_);
    writeSettings();
    close();
}

}  // namespace orma::ui
