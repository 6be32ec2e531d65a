// Test helper: a session that ends the hard way. It builds both windows
// offscreen as the program does, opens the sample database of WORKDIR, makes
// one transfer ("<-") per GEF file named on the command line (each opened,
// given a preset model and stored through the point dialog's OK), and then
// kills itself with SIGKILL, as a crash or a power cut would end it. The
// recovery copy in $XDG_STATE_HOME/orma is all that remains of the work.
// A file after --unstored is opened and given its model but not transferred:
// only the interpretation window's own recovery copy keeps it.
//
//     orma_recovery_crash_helper WORKDIR [FILE.GEF...] [--unstored FILE.GEF]

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>

#include "io/UserDialogs.h"
#include "ui/WindowLink.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/section/TSection.h"
#include "ui/section/TVESparametryEdit.h"

namespace {

/// Answers the open dialogs from a queue and prints every message.
class QueuedDialogs : public orma::UserDialogs {
public:
    std::deque<std::string> files;

    void message(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    std::optional<std::string> inputQuery(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> openFile(const orma::FileDialogOptions&) override {
        if (files.empty()) return std::nullopt;
        std::string next = files.front();
        files.pop_front();
        return next;
    }
    std::optional<std::string> saveFile(const orma::FileDialogOptions&) override { return std::nullopt; }
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("usage: orma_recovery_crash_helper WORKDIR FILE.GEF...\n", stderr);
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const std::filesystem::path workingDirectory = argv[1];
    QueuedDialogs dialogs;
    orma::ui::Ttelmorwin telmorwin(dialogs, workingDirectory);
    telmorwin.image().resize(900, 700);
    telmorwin.FormResize();
    orma::ui::TSection section(dialogs, workingDirectory);
    orma::ui::TVESparametryEdit parameters(dialogs, &section);
    section.setParametersDialog(&parameters);
    section.runParametersDialog = [](orma::ui::TVESparametryEdit& dialog) { dialog.acceptIfValid(); };
    orma::ui::connectWindows(telmorwin, section);
    section.FormShow();

    int transferred = 0;
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--unstored" && i + 1 < argc) {
            dialogs.files.push_back(argv[++i]);
            telmorwin.openGefFile();
            telmorwin.loadKTypeModel();
            continue;
        }
        const std::size_t before = static_cast<std::size_t>(section.database().activePointCount());
        dialogs.files.push_back(argv[i]);
        telmorwin.openGefFile();
        telmorwin.loadKTypeModel();
        telmorwin.transferByButton();
        if (static_cast<std::size_t>(section.database().activePointCount()) == before + 1) ++transferred;
    }
    std::printf("transferred %d\n", transferred);
    std::fflush(stdout);
    std::raise(SIGKILL);
    return 1;  // never reached
}
