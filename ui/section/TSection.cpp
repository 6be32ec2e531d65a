// Construction, layout beside the interpretation window, and lifecycle of the
// section window.

#include "ui/section/TSection.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

#include "io/UserDialogs.h"
#include "io/VdbCommands.h"
#include "ui/platform/BackgroundTask.h"
#include "ui/platform/Canvas.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/StatusLine.h"
#include "ui/platform/WindowPlacement.h"
#include "ui/section/SectionColours.h"
#include "ui/section/SectionView.h"
#include "ui/section/TVESparametryEdit.h"

namespace orma::ui {

TSection::TSection(UserDialogs& dialogs, const std::filesystem::path& workingDirectory, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      workingDirectory_(workingDirectory),
      canvas_(std::make_unique<Canvas>()) {
    setObjectName("Section");
    setWindowTitle(QString::fromUtf8("Řez podle VES"));
    // Labels drawn again over themselves must leave the same pixels (the
    // selected point is highlighted by drawing over it), so no antialiasing.
    QFont font = Canvas::defaultFont();
    font.setStyleStrategy(QFont::NoAntialias);
    canvas_->setFont(font);
    view_ = std::make_unique<SectionView>(*canvas_, db_, display_);
    colours_ = std::make_unique<SectionColours>(db_, display_, dialogs_);
    view_->setUnderlay(colours_.get());

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("scrollSection");
    scroll_->setBackgroundRole(QPalette::Base);
    imgRez = new ImageView(*canvas_);
    imgRez->setObjectName("imgRez");
    scroll_->setWidget(imgRez);
    scroll_->setWidgetResizable(false);
    setCentralWidget(scroll_);
    statusLine_ = new StatusLine(*statusBar());
    imgRez->onMouseDown = [this](const MouseInput& in) {
        // The second press of a double click: its first press has selected.
        if (ignoreNextPress_) {
            ignoreNextPress_ = false;
            return;
        }
        imgRezMouseDown(in);
    };
    imgRez->onDoubleClick = [this](const MouseInput&) {
        ignoreNextPress_ = true;
        editSelectedPoint();
    };
    // The popup opens anywhere in the window's section area, also beside a
    // small image (an empty profile draws a box of a few pixels).
    // The scroll area takes its viewport's context menu events, with the
    // position in the viewport.
    imgRez->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(imgRez, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenuSection->popup(imgRez->mapToGlobal(at)); });
    scroll_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(scroll_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenuSection->popup(scroll_->viewport()->mapToGlobal(at)); });
    buildMenus();

    runParametersDialog = [](TVESparametryEdit& dialog) { dialog.exec(); };
    // Only the interpretation window ends the program when it closes.
    setAttribute(Qt::WA_QuitOnClose, false);
    keepFrameAt(*this, [this] { return dockedFrame(); });
}

TSection::~TSection() = default;

void TSection::showMessages(const std::vector<std::string>& messages) {
    for (const std::string& text : messages) dialogs_.message(text);
}

void TSection::showStatus(const std::string& text) { statusLine_->say(text); }

void TSection::setCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

QRect TSection::dockedFrame() const {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // The interpretation window may stand elsewhere than where it was put:
    // fill whatever is left of its frame.
    const int right = link_.interpretationFrame ? link_.interpretationFrame().left()
                                                : interpretationFrameOn(screen).left();
    return sectionFrameOn(screen, right);
}

void TSection::dockBesideInterpretation() { placeFrame(*this, dockedFrame()); }

void TSection::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    dockBesideInterpretation();
    // The sample database opens over the visible window.
    QTimer::singleShot(0, this, &TSection::FormShow);
}

void TSection::FormShow() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    canvas_->resize(2 * screen.width(), 2 * screen.height());
    const bool givenOpened = !databaseToOpen_.empty() && openDatabaseFile(db_, databaseToOpen_.string(), dialogs_);
    const StartDatabase start = startDatabase_.value_or(StartDatabase{workingDirectory_ / kSampleDatabase, false});
    if (givenOpened || openStartDatabase(db_, start, dialogs_)) {
        display_.resetAfterOpen();
        savedRevision_ = db_.revision();
        std::string status = openedDatabaseStatus(db_);
        if (!givenOpened && start.readOnly && !saveRules_.refugeFolder.empty())
            status += " It is part of the installed program: saves go to " + saveRules_.refugeFolder.string() + ".";
        showStatus(status);
        if (givenOpened) rememberDatabaseFile();
    }
    redrawSection();
    offerRecoveryCopies();
    if (link_.offerInterpretationRecovery) link_.offerInterpretationRecovery();
}

void TSection::FormClose() {
    if (link_.closeProgram) link_.closeProgram();
}

void TSection::closeEvent(QCloseEvent* event) {
    // The close box ends the program: unsaved changes are settled first.
    if (!mayEndProgram()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TSection::endProgram() {
    if (!mayEndProgram()) return;
    writeSettingsFile();
    FormClose();
}

}  // namespace orma::ui
