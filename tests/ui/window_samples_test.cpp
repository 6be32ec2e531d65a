// The project's sample files through the window, and the program's start
// without a display.

#include <QPushButton>
#include <QCoreApplication>
#include <QKeyEvent>

#include <cstdio>
#include <cstdlib>

#include "window_fixture.h"

namespace orma::ui::test {
namespace {

const fs::path kSamples = fs::path(ORMA_SOURCE_DIR) / "samples";

TEST_F(WindowTest, SampleProfileInterpretsWithoutComplaint) {
    const fs::path gef = kSamples / "profile1" / "VES100.GEF";
    if (!fs::exists(gef)) GTEST_SKIP() << "no sample " << gef;
    Ttelmorwin& window = openWindow();
    dialogs_.expectOpen(gef.string());
    window.openGefFile();
    dialogs_.verifyDone();
    EXPECT_TRUE(dialogs_.messages().empty());
    EXPECT_TRUE(window.sounding().compositeBuilt);
    EXPECT_GE(window.sounding().branches.branchCount, 2);

    window.loadHTypeModel();
    window.computeModelCurve();
    const double start = window.sounding().ssq;
    window.spustit->show();
    window.spustit->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(window.spustit, &enter);  // Enter on "..." fits
    EXPECT_LT(window.sounding().ssq, start / 10);
    EXPECT_TRUE(dialogs_.messages().empty());
}

TEST_F(WindowTest, SampleRstFileReadsEveryRecordInTurn) {
    const fs::path rst = kSamples / "ves.rst";
    if (!fs::exists(rst)) GTEST_SKIP() << "no sample " << rst;
    Ttelmorwin& window = openWindow();
    dialogs_.expectOpen(rst.string());
    window.openRstFirstCurve();
    dialogs_.verifyDone();
    const int firstPoint = window.sounding().pointNumber;
    int records = 1;
    dialogs_.allowAnyMessages();
    while (dialogs_.messages().empty() && records < 1000) {
        window.openNextRstCurve();
        ++records;
        EXPECT_TRUE(window.sounding().compositeBuilt);
    }
    // The wrap-around message comes once, after the last record.
    ASSERT_EQ(dialogs_.messages().size(), 1u);
    EXPECT_EQ(dialogs_.messages()[0], "End of file RST. First VES point is following.");
    EXPECT_GT(records, 2);
    EXPECT_EQ(window.sounding().pointNumber, firstPoint);
}

TEST(ProgramStart, WithoutADisplayItSaysHowToRunAndExitsWithOne) {
    const fs::path program = fs::path(ORMA_CLI_PATH).parent_path().parent_path() / "app" / "orma";
    if (!fs::exists(program)) GTEST_SKIP() << "program not built: " << program;
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + program.string() + "' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(output.find("xvfb-run -a"), std::string::npos) << output;
    EXPECT_NE(output.find("QT_QPA_PLATFORM=offscreen"), std::string::npos) << output;
}

}  // namespace
}  // namespace orma::ui::test
