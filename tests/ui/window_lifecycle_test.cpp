// Start-up, settings file, layout, menu and End of the interpretation window.

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include "io/RstReader.h"
#include "window_fixture.h"

namespace orma::ui::test {
namespace {

TEST_F(WindowTest, MissingSettingsFileGivesDefaultsAndItsMessage) {
    dialogs_.expectMessage("ini file not found! default parametres loaded\n" +
                           windowSettingsPath(dir_).string());
    Ttelmorwin& window = createWindow();
    dialogs_.verifyDone();
    EXPECT_EQ(window.settings().smoothingResolution, 128);
    EXPECT_EQ(window.settings().inputMode, 3);
    EXPECT_TRUE(window.sounding().averageOverlaps);
    EXPECT_FALSE(fs::exists(windowSettingsPath(dir_)));
}

TEST_F(WindowTest, StoredSettingsAreReadButAveragingIsAlwaysOn) {
    DisplaySettings stored;
    stored.averageOverlaps = false;
    stored.smoothingResolution = 200;
    stored.modelColour = 0x0000FF;
    EXPECT_TRUE(writeWindowSettings(windowSettingsPath(dir_), stored));
    Ttelmorwin& window = createWindow();
    EXPECT_EQ(window.settings().smoothingResolution, 200);
    EXPECT_EQ(window.settings().modelColour, 0x0000FFu);
    EXPECT_TRUE(window.settings().averageOverlaps);
    EXPECT_TRUE(window.sounding().averageOverlaps);
}

TEST_F(WindowTest, EndWritesSettingsThatReadBackAndClosesTheRstOutputFirst) {
    dialogs_.expectMessage("ini file not found! default parametres loaded\n" +
                           windowSettingsPath(dir_).string());
    Ttelmorwin& window = createWindow();
    window.settings().measuredLineWidth = 3;
    window.settings().branchColour[4] = 0x123456;
    openGef(window);

    const std::string out = (dir_ / "out.RST").string();
    dialogs_.expectSave(out);
    dialogs_.expectInput("Enter the operator name:", "operator name:", "Dvorak");
    dialogs_.expectInput("Enter the locality name:", "locality name:", "Brezno");
    dialogs_.expectInput("Enter point number or chainage on the profile: ", " point: ", std::nullopt);
    dialogs_.expectInput("Enter profile number:", " profile number:", std::nullopt);
    window.appendRstToOpenFile();
    ASSERT_TRUE(window.rstOutputOpen());

    window.endProgram();
    dialogs_.verifyDone();
    EXPECT_FALSE(window.rstOutputOpen());
    EXPECT_FALSE(window.sounding().rstOutputOpen);
    DisplaySettings read;
    ASSERT_TRUE(readWindowSettings(windowSettingsPath(dir_), read).empty());
    EXPECT_EQ(read.measuredLineWidth, 3);
    EXPECT_EQ(read.branchColour[4], 0x123456u);

    // The closed output file is complete: the record reads back.
    Sounding check;
    check.rstPath = out;
    std::vector<std::string> messages;
    EXPECT_EQ(readRstRecord(check, 0, messages), CurveFileEnd::Done);
    EXPECT_EQ(check.operatorName, "Dvorak");
}

TEST_F(WindowTest, LayoutDocksRightAtSevenTenthsOfTheScreenWithButtonsHidden) {
    Ttelmorwin& window = openWindow();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window.width(), screen.width() * 7 / 10);
    EXPECT_EQ(window.height(), screen.height());
    EXPECT_EQ(window.geometry().right(), screen.right());
    EXPECT_EQ(window.windowTitle().toStdString(), "ORMA - program na zpracování křivek VES");
    for (QPushButton* button : {window.spustit, window.importdorezu}) {
        EXPECT_TRUE(button->isHidden());
        EXPECT_EQ(button->size(), QSize(41, 25));
    }
    EXPECT_EQ(window.spustit->text(), "...");
    EXPECT_EQ(window.importdorezu->text(), "<-");
    EXPECT_EQ(window.spustit->pos(), QPoint(0, 700 - 25));
    EXPECT_EQ(window.importdorezu->pos(), QPoint(40, 700 - 25));
    EXPECT_EQ(window.canvas().width(), 900);
    EXPECT_EQ(window.canvas().height(), 700);
}

struct MenuRow {
    const char* name;
    const char* caption;
    QKeySequence shortcut;
    bool hidden;
};

TEST_F(WindowTest, MenuItemsCarryTheirCaptionsAndShortcuts) {
    Ttelmorwin& window = openWindow();
    const MenuRow rows[] = {
        {"OtevtGEF1", "Open file *.GEF", QKeySequence(Qt::Key_F1), false},
        {"OtevtRST1", "Open file *.RST", QKeySequence(Qt::CTRL | Qt::Key_R), false},
        {"NatidalRST1", "Open following curve from *.RST file", QKeySequence(Qt::CTRL | Qt::Key_D), false},
        {"N2", "Open preceding curve from *.RST file", QKeySequence(Qt::CTRL | Qt::Key_P), false},
        {"UloitRST1", "Uložit do nového souboru RST", QKeySequence(Qt::Key_F12), true},
        {"PiuloitRST1", "Přiuložit RST ", QKeySequence(Qt::Key_F5), true},
        {"Konec1", "End", QKeySequence(Qt::CTRL | Qt::Key_Escape), false},
        {"na3vtev1", "Shift branches according to 3. one (averaging of measured multiples)  ",
         QKeySequence(Qt::Key_3), false},
        {"Editovatsnesenoukivku1", "Editation of shifted VES curve ", QKeySequence(Qt::Key_F4), false},
        {"PosunsnesenkivkyVESdonichrezistivit1", "Drift of shifted VES curve to lower rezistivity",
         QKeySequence(Qt::Key_F2), false},
        {"PosunsnesenkivkyVESkroklogohmm1", "Step of the drift of shifted VES curve [log ohm.m]",
         QKeySequence(Qt::CTRL | Qt::Key_K), false},
        {"P1", "Přímá Úloha", QKeySequence(), true},
        {"natimodelkivkyKhlRzd11010100201", "načti model křivky K : hl-Rzd: 1-10,10-100,-20", QKeySequence(), true},
        {"optimaliyacesfixy1", "Optimize the fit (ENTER, click the ... button)",
         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F), false},
        {"UlocoviddoJPGsouboru1", "Save what you see to *.jpg file ", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_J),
         false},
        {"Oprogramu1", "About", QKeySequence(), false},
    };
    for (const MenuRow& row : rows) {
        SCOPED_TRACE(row.name);
        QAction* item = window.menuItem(row.name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text().toStdString(), row.caption);
        EXPECT_EQ(item->isVisible(), !row.hidden);
        if (!row.hidden) {
            EXPECT_EQ(item->shortcut(), row.shortcut);
        } else if (!row.shortcut.isEmpty()) {
            // A hidden item answers its key through a window-wide shortcut.
            auto* key = window.findChild<QShortcut*>(QString(row.name) + "Shortcut");
            ASSERT_NE(key, nullptr);
            EXPECT_EQ(key->key(), row.shortcut);
        }
    }
    // Ctrl+P is answered by the preceding RST curve alone.
    int ctrlP = 0;
    for (QAction* item : window.findChildren<QAction*>()) ctrlP += item->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_P);
    for (QShortcut* key : window.findChildren<QShortcut*>()) ctrlP += key->key() == QKeySequence(Qt::CTRL | Qt::Key_P);
    EXPECT_EQ(ctrlP, 1);

    QStringList titles;
    for (QAction* menu : window.menuBar()->actions()) titles << menu->text();
    EXPECT_EQ(titles, QStringList({"File", "Display", "Shift", "Edit", "Model", "Print", "Image", "Help"}));
}

TEST_F(WindowTest, SectionIsShownOnceWithTheStartHint) {
    Ttelmorwin& window = openWindow();
    QWidget section;
    window.setCompanionForms(nullptr, nullptr, &section);
    dialogs_.expectMessage(
        "CLICK ON ANY VES POINT IN THE LEFT WINDOW SECTION AND YOU CAN EDIT THE MODEL OR REINTERPRET IT IN THE "
        "RIGHT WINDOW. INPUT OF NEW VES CURVES TO THE DATABASE BY THE KEY F1 OR ... HELP - HOW DOES IT WORK. ");
    window.FormActivate();
    window.FormActivate();  // later activations say nothing
    EXPECT_TRUE(window.sectionShown());
    EXPECT_TRUE(section.isVisible());
    section.hide();
}

TEST_F(WindowTest, FirstDrawnCurveShowsTheSectionWithoutTheHint) {
    Ttelmorwin& window = openWindow();
    QWidget section;
    window.setCompanionForms(nullptr, nullptr, &section);
    EXPECT_FALSE(window.sectionShown());
    openGef(window);
    EXPECT_TRUE(window.sectionShown());
    EXPECT_TRUE(section.isVisible());
    window.FormActivate();  // already shown: no hint
    section.hide();
}

TEST_F(WindowTest, ResizeRedrawsOnlyWithACurveLoaded) {
    Ttelmorwin& window = openWindow();
    window.image().resize(640, 480);
    window.FormResize();
    EXPECT_EQ(window.canvas().image().pixel(320, 240), window.canvas().image().pixel(0, 0));
    EXPECT_FALSE(window.plot().plotDrawn);

    openGef(window);
    window.image().resize(700, 500);
    window.FormResize();
    EXPECT_TRUE(window.plot().plotDrawn);
    EXPECT_EQ(window.plot().geometry().imageWidth, 700);
    EXPECT_EQ(window.plot().geometry().imageHeight, 500);
}

}  // namespace
}  // namespace orma::ui::test
