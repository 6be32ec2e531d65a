// Program entry: the application object, the forms in their fixed creation
// order (all hidden), and the one message loop.

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/interpretation/Tparzobr.h"
#include "ui/interpretation/Tpreferenceuzivatele.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/To_programu.h"
#include "ui/interpretation/Tuvitani.h"
#include "io/StartFile.h"
#include "ui/platform/ProgramPlaces.h"
#include "ui/platform/QtUserDialogs.h"
#include "ui/platform/UnattendedRun.h"
#include "ui/section/TSection.h"
#include "ui/section/TVESparametryEdit.h"
#include "ui/section/TparUCM.h"
#include "ui/WindowLink.h"

namespace {

/// Shows an exception thrown by a command or event handler and goes on, as
/// the user would expect from one failed command.
class OrmaApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            QMessageBox::critical(nullptr, "orma", QString::fromUtf8(error.what()));
        }
        return false;
    }
};

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

/// While the application object connects to the display. A display that is
/// named but cannot be reached (no server there, access refused) makes Qt end
/// the program with a fatal message and an abort; say instead what happened
/// and how to run without one.
bool connectingToDisplay = false;
QtMessageHandler qtMessageHandler = nullptr;

void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg && connectingToDisplay) {
        std::string named;
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
            if (!isSet(variable)) continue;
            named += (named.empty() ? "" : ", ") + std::string(variable) + "=" + std::getenv(variable);
        }
        std::fprintf(stderr,
                     "orma: the display cannot be opened (%s): no display server answers there,\n"
                     "or it refuses access.\n"
                     "Run it on a desktop, under a virtual display with `xvfb-run -a orma`,\n"
                     "or without any display with QT_QPA_PLATFORM=offscreen.\n",
                     named.c_str());
        std::_Exit(1);
    }
    if (qtMessageHandler != nullptr) qtMessageHandler(type, context, text);
}

/// Without a display Qt would abort with a plugin error; say what to do instead.
bool displayAvailable() {
    return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

constexpr const char* kUsage =
    "usage: orma [FILE]\n"
    "Interpretation of vertical electrical soundings (Schlumberger array).\n"
    "\n"
    "FILE, when given, is opened at start: an instrument file (*.GEF), the first\n"
    "record of an RST file (*.RST), a field sheet (*.csv, *.txt), or a profile\n"
    "database (*.vdb, *.vdb_N) in the section window instead of the sample.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are taken as well.\n";

/// What the command line asks for beyond Qt's own options.
struct CommandLine {
    std::string file;    ///< empty: none
    std::string error;   ///< a usage error to report
};

CommandLine readCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const std::string argument = arguments[i].toStdString();
        if (argument.size() > 1 && argument[0] == '-') {
            line.error = "orma: unknown option " + argument;
        } else if (line.file.empty()) {
            line.file = argument;
        } else {
            line.error = "orma: one FILE is opened at a time";
        }
        if (!line.error.empty()) break;
    }
    return line;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Answered without a display, before Qt looks for one.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("orma %s\n", ORMA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (!displayAvailable()) {
        std::fputs("orma: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Run it on a desktop, under a virtual display with `xvfb-run -a orma`,\n"
                   "or without any display with QT_QPA_PLATFORM=offscreen.\n",
                   stderr);
        return 1;
    }
    qtMessageHandler = qInstallMessageHandler(onQtMessage);
    connectingToDisplay = true;
    OrmaApplication app(argc, argv);
    connectingToDisplay = false;
    qInstallMessageHandler(qtMessageHandler);
    QApplication::setApplicationName("orma");
    QApplication::setApplicationVersion(ORMA_VERSION);
    // The desktop entry's name: the desktop finds its icon and groups the windows under it.
    QApplication::setDesktopFileName(ORMA_APP_ID);
    QApplication::setWindowIcon(QIcon::fromTheme(ORMA_APP_ID));
    const CommandLine commandLine = readCommandLine(QApplication::arguments());
    if (!commandLine.error.empty()) {
        std::fprintf(stderr, "%s\n%s", commandLine.error.c_str(), kUsage);
        return 2;
    }

    orma::ui::Ttelmorwin* mainWindow = nullptr;  // for the unattended run's End
    try {
        const orma::ProgramFolders folders = orma::findProgramFolders(orma::ui::folderFactsOfThisProcess());
        if (folders.settingsInConfigFolder) {
            std::error_code error;  // a folder that cannot be made is said when a settings file is written
            std::filesystem::create_directories(folders.settings, error);
        }
        const int unattended = orma::ui::unattendedTestInterval();
        if (unattended > 0) {
            // Before the windows exist: their first messages are answered too.
            orma::ui::startUnattendedRun(unattended, [&mainWindow] {
                if (mainWindow != nullptr) mainWindow->endProgram();
            });
        }
        orma::ui::QtUserDialogs dialogs;
        // Creation order matters: the interpretation window first (it becomes
        // the main window and reads ormawin.ini from the settings folder).
        orma::ui::Ttelmorwin telmorwin(dialogs, folders.settings);
        mainWindow = &telmorwin;
        telmorwin.manualFolders = folders.manualFolders;
        dialogs.setParent(&telmorwin);
        orma::ui::To_programu oProgramu(&telmorwin);
        orma::ui::TSection section(dialogs, folders.settings);
        section.setStartDatabase(folders.startDatabase);
        section.setSaveRules(folders.saveRules);
        orma::ui::TVESparametryEdit vesParametryEdit(dialogs, &section);
        orma::ui::TparUCM parUcm(&section);
        orma::ui::Tparzobr parzobr(&telmorwin);
        orma::ui::Tuvitani uvitani(&telmorwin);
        orma::ui::Tpreferenceuzivatele preferenceUzivatele(&telmorwin);
        telmorwin.setCompanionForms(&uvitani, &oProgramu, &section);
        telmorwin.setOptionDialogs(&parzobr, &preferenceUzivatele);
        section.setParametersDialog(&vesParametryEdit);
        section.setUcmDialog(&parUcm);
        section.loadSettingsFile();
        orma::ui::connectWindows(telmorwin, section);

        std::string startFile;
        if (!commandLine.file.empty()) {
            std::error_code error;
            const std::filesystem::path absolute = std::filesystem::absolute(commandLine.file, error);
            startFile = (error ? std::filesystem::path(commandLine.file) : absolute).lexically_normal().string();
        }
        const orma::StartFileKind startKind = orma::startFileKind(startFile);
        if (!startFile.empty() && startKind == orma::StartFileKind::Database) section.setDatabaseToOpen(startFile);

        telmorwin.show();
        if (!startFile.empty() && startKind != orma::StartFileKind::Database) {
            // After the title window has opened: the curve is drawn behind it.
            QTimer::singleShot(0, &telmorwin, [&telmorwin, startFile, startKind] {
                telmorwin.openStartFile(startFile, startKind);
            });
        }
        app.exec();
        mainWindow = nullptr;
    } catch (const std::exception& error) {
        mainWindow = nullptr;
        QMessageBox::critical(nullptr, "orma", QString::fromUtf8(error.what()));
    }
    return 0;
}
