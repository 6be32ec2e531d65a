// Program entry: the application object, the forms in their fixed creation
// order (all hidden), and the one message loop.

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/interpretation/Tparzobr.h"
#include "ui/interpretation/Tpreferenceuzivatele.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/To_programu.h"
#include "ui/interpretation/Tuvitani.h"
#include "ui/platform/QtUserDialogs.h"
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

}  // namespace

int main(int argc, char* argv[]) {
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

    try {
        orma::ui::QtUserDialogs dialogs;
        // Creation order matters: the interpretation window first (it becomes
        // the main window and reads ormawin.ini from the working directory).
        orma::ui::Ttelmorwin telmorwin(dialogs, std::filesystem::current_path());
        dialogs.setParent(&telmorwin);
        orma::ui::To_programu oProgramu(&telmorwin);
        orma::ui::TSection section(dialogs, std::filesystem::current_path());
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

        telmorwin.show();
        app.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, "orma", QString::fromUtf8(error.what()));
    }
    return 0;
}
