// The section window with the interpretation window beside it: selection and
// loading of points, the XOR highlight, the double click, the database
// commands, the menus and the Font dialog.

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <fstream>
#include <iterator>

#include "SectionFixture.h"
#include "io/VdbFile.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "support/FileBytes.h"

namespace orma::ui::test {
namespace {

using orma::test::readBytes;
using orma::test::writeBytes;

TEST_F(SectionTest, AClickLoadsThePointWithItsModelFlagsAndCurve) {
    VesDatabase db = spreadProfile(4);
    VesPoint& stored = db.localities[0].profiles[0].points[2];
    stored.resistivity[1] = -120.0f;  // held in the fit
    stored.depth[0] = -1.5f;
    showDatabase(db);

    clickPoint(2);
    EXPECT_EQ(section_->database().currentPoint, 2);
    const Sounding& s = window_->sounding();
    EXPECT_EQ(window_->windowTitle().toStdString(), "ORMA-programme for VES interpretation - opened: VES 102");
    EXPECT_EQ(s.gefPath, "VES 102");
    EXPECT_EQ(window_->openStoredPoint(), (StoredPointRef{0, 0, 2}));
    EXPECT_EQ(s.points.pointCount, 12);
    EXPECT_EQ(s.points.rhoA[3], stored.rhoA[3]);
    EXPECT_EQ(s.minGridIndex, 2);
    EXPECT_EQ(s.maxGridIndex, 13);
    EXPECT_EQ(s.composite(5), stored.composite[5]);
    EXPECT_EQ(s.branches.shiftedRho[5][2], stored.composite[5]);
    EXPECT_EQ(s.model.interfaceCount, 2);
    EXPECT_EQ(s.model.resistivity[1], 120.0f);
    EXPECT_EQ(s.model.resistivityFixed[1], 1);
    EXPECT_EQ(s.model.depthFixed[0], 1);
    EXPECT_EQ(s.model.depth[0], 1.5f);
    EXPECT_TRUE(s.computedCurveShown);
    EXPECT_GT(s.computedRho[5], 0.0f);
    EXPECT_TRUE(window_->plot().modelShown);
    EXPECT_FALSE(window_->spustit->isHidden());
    EXPECT_TRUE(window_->importdorezu->isHidden());
}

TEST_F(SectionTest, MovingTheHighlightAwayAndBackRestoresTheImage) {
    showDatabase(spreadProfile(5));
    const QImage initial = section_->canvas().image().copy();
    clickPoint(3);
    const QImage moved = section_->canvas().image().copy();
    EXPECT_NE(moved, initial);
    clickPoint(0);
    EXPECT_EQ(section_->canvas().image(), initial);
    // The same as a full redraw with point 0 selected.
    section_->redrawSection();
    EXPECT_EQ(section_->canvas().image(), initial);
}

TEST_F(SectionTest, APointWithoutACurveIsDeletedOnlyWhenTheUserSaysYes) {
    VesDatabase db = spreadProfile(3);
    VesPoint& empty = db.localities[0].profiles[0].points[1];
    empty.ABmx = empty.nABmn;
    showDatabase(db);
    const std::string question =
        "The VES point VES 101 has no interpreted curve (its composite curve spans a single AB/2 spacing). Delete it "
        "from the profile?";

    dialogs_.allowAnyMessages();  // the one-row curve's forward computation may complain
    dialogs_.expectQuestion(question, false);
    clickPoint(1);
    EXPECT_EQ(section_->database().activePointCount(), 3);
    EXPECT_EQ(section_->database().currentPoint, 1);
    EXPECT_EQ(window_->sounding().gefPath, "VES 101");

    dialogs_.expectQuestion(question, true);
    clickPoint(1);
    EXPECT_EQ(section_->database().activePointCount(), 2);
    EXPECT_EQ(section_->database().currentPoint, 1);
    EXPECT_EQ(window_->sounding().gefPath, "VES 102") << "the point now in its place is loaded";
}

TEST_F(SectionTest, ADoubleClickOpensTheParametersOfTheSelectedPoint) {
    showDatabase(spreadProfile(3));
    clickPoint(2);
    answerDialog_ = [](TVESparametryEdit& dialog) {
        EXPECT_EQ(dialog.eNazevBoduVES->text().toStdString(), "VES 102");
        EXPECT_TRUE(dialog.openedFromSection);
        dialog.eNazevBoduVES->setText(QString::fromUtf8("VES 102 sever"));
        dialog.eZ->setText("301.5");
    };
    section_->editSelectedPoint();
    EXPECT_EQ(dialogRuns_, 1);
    const VesPoint& point = section_->database().localities[0].profiles[0].points[2];
    EXPECT_EQ(point.name, "VES 102 sever");
    EXPECT_EQ(point.z, 301.5f);
    EXPECT_FALSE(parameters_->openedFromSection);

    // On an empty profile a double click opens a database instead.
    showDatabase(spreadProfile(0));
    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("No file chosen");
    section_->editSelectedPoint();
    EXPECT_EQ(dialogRuns_, 1);
}

TEST_F(SectionTest, SavingTwiceWritesTwoNumberedCopiesBesideTheUntouchedFile) {
    const std::string original = path("profil.vdb");
    ASSERT_TRUE(writeVdbFile(spreadProfile(3), original));
    const std::string before = readBytes(original);
    dialogs_.expectOpen(original);
    section_->menuItem("Otevidbnamenchdatavsledk1")->trigger();
    EXPECT_EQ(section_->database().activePointCount(), 3);
    EXPECT_EQ(section_->display().maxChainage, 1000000.0f);

    QAction* save = section_->menuItem("Ulodbnamenchdatavsledkjako1");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->shortcut(), QKeySequence("Ctrl+U"));
    save->trigger();
    save->trigger();
    EXPECT_TRUE(fs::exists(original + "_1"));
    EXPECT_TRUE(fs::exists(original + "_2"));
    EXPECT_EQ(readBytes(original), before);
    EXPECT_EQ(section_->windowTitle().toStdString(), "db: " + original + "_2 - loc:L0");
}

TEST_F(SectionTest, NewLocalityAndProfileAreNamedInTheDialog) {
    showDatabase(spreadProfile(3));
    window_->setOpenStoredPoint(StoredPointRef{0, 0, 0});
    answerDialog_ = [](TVESparametryEdit& dialog) {
        EXPECT_FALSE(dialog.eNazevBoduVES->isEnabled()) << "a new locality has no point yet";
        dialog.eLokalita->setText(QString::fromUtf8("Nová lokalita"));
        dialog.eNazevPf->setText("A");
    };
    section_->newLocality();
    VesDatabase& db = section_->database();
    ASSERT_EQ(db.localities.size(), 2u);
    EXPECT_EQ(db.currentLocality, 1);
    EXPECT_EQ(db.localities[1].name, "Nová lokalita");
    EXPECT_EQ(db.localities[1].profiles[0].name, "A");
    EXPECT_FALSE(window_->showsStoredPoint());
    EXPECT_EQ(section_->view().title(), "locality name: Nová lokalita - profile: A");

    answerDialog_ = [](TVESparametryEdit& dialog) { dialog.eNazevPf->setText("B"); };
    section_->newProfile();
    EXPECT_EQ(db.localities[1].profiles.size(), 2u);
    EXPECT_EQ(db.localities[1].profiles[1].name, "B");
    EXPECT_EQ(dialogRuns_, 2);

    for (int i = 0; i < 3; ++i) section_->newLocality();
    dialogs_.expectMessage("Too much localities in db - create new database");
    section_->newLocality();
    EXPECT_EQ(db.localities.size(), 5u);
}

TEST_F(SectionTest, DeletingThroughThePopupAsksFirstThenLoadsThePointThatTakesItsPlace) {
    showDatabase(spreadProfile(4));
    clickPoint(1);
    const std::uint64_t revision = section_->database().revision();
    dialogs_.expectQuestion("Delete the VES point VES 101 from the profile?", false);
    section_->menuItem("Smaaktulnbod1")->trigger();
    EXPECT_EQ(section_->database().activePointCount(), 4);
    EXPECT_EQ(section_->database().revision(), revision);
    EXPECT_FALSE(section_->hasUnsavedChanges());

    dialogs_.expectQuestion("Delete the VES point VES 101 from the profile?", true);
    section_->menuItem("Smaaktulnbod1")->trigger();
    EXPECT_EQ(section_->database().activePointCount(), 3);
    EXPECT_EQ(window_->sounding().gefPath, "VES 102");
    // The only point is never deleted, so there is nothing to ask.
    showDatabase(spreadProfile(1));
    dialogs_.expectMessage("Last point is undeletable.");
    section_->deleteCurrentPoint();
}

TEST_F(SectionTest, MenusCarryEveryItemWithItsShortcut) {
    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
        bool enabled;
    };
    const Item items[] = {
        {"Otevidbnamenchdatavsledk1", "Open db of measured data and interpreted results ", "Ctrl+O", true},
        {"Ulodbnamenchdatavsledk1", "Save db of measured data and interpreted results as", "Ctrl+Alt+U", true},
        {"Ulodbnamenchdatavsledkjako1", "Save db of measured data and interpreted results as ", "Ctrl+U", true},
        {"Konec1", "End", "", true},
        {"Novlokalita1", "New locality", "", true},
        {"Novprofil2", "New profile", "", true},
        {"Nativkydocelhoprofiluzesouborutxttypuxtabz1", "Load heights to whole profile from file *.txt (X tab Z)", "",
         true},
        {"MinimlnX1", "Minimal X", "", true},
        {"MinimlnZ1", "Maximal X", "", true},
        {"MaximlnZ1", "Minimal Z", "", true},
        {"MtkoX1", "Scale X", "Ctrl+X", true},
        {"MtkoZ1", "Scale Z", "Ctrl+Z", true},
        {"Krokzmnymtek1", "Step of scale change", "Ctrl+K", true},
        {"zvtimtkoX2", "increase X scale ", "Shift+X", true},
        {"zmenimtkoX2", "decrease X scale ", "X", true},
        {"zvtimtkoX1", "increase Z scale ", "Shift+Z", true},
        {"zmenimtkoX1", "decrease Z scale ", "Z", true},
        {"Fitnaku1", "Fit to the width", "Ctrl+S", true},
        {"Fitninavku1", "Fit to the height", "Ctrl+V", true},
        {"Fitniez1", "Fit all ", "Ctrl+F", true},
        {"Font1", "Font", "", true},
        {"UCM1", "->UCM", "", true},
        {"parametryexportudoUCM1", "UCM export options", "", true},
        {"JPG1", "->JPG", "", true},
        {"Nastaventiskrny1", "Printer settings", "", true},
        {"Tiskformule1", "Print", "", true},
        {"Smaaktulnbod1", "Delete current VES point", "", true},
        {"Novprofil1", "New profile", "", true},
        {"Fitniez2", "Fit all section", "", true},
    };
    for (const Item& item : items) {
        QAction* action = section_->menuItem(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text().toStdString(), item.caption) << item.name;
        EXPECT_EQ(action->shortcut(), QKeySequence(item.shortcut)) << item.name;
        EXPECT_EQ(action->isEnabled(), item.enabled) << item.name;
        EXPECT_TRUE(action->isVisible()) << item.name;
    }
    for (const char* hidden : {"DXF1", "Tiskkanvasu1", "Smaaktulnprofil1"}) {
        ASSERT_NE(section_->menuItem(hidden), nullptr);
        EXPECT_FALSE(section_->menuItem(hidden)->isVisible()) << hidden;
    }
    // The choice menus list what the database holds, under its names.
    showDatabase(orma::test::makeDatabase(2, 3, 1));
    EXPECT_TRUE(section_->menuItem("lok1")->isVisible());
    EXPECT_EQ(section_->menuItem("lok1")->text().toStdString(), "L1");
    EXPECT_FALSE(section_->menuItem("lok2")->isVisible());
    EXPECT_EQ(section_->menuItem("pf2")->text().toStdString(), "P0.2");
    EXPECT_FALSE(section_->menuItem("pf3")->isVisible());
}

TEST_F(SectionTest, AnEmptyProfileOffersItsCommandsAnywhereAndSaysWhyExportsOpenADatabase) {
    dialogs_.allowAnyMessages();  // showing it looks for the sample database
    section_->resize(600, 500);
    section_->show();
    QApplication::processEvents();
    dialogs_.allowAnyMessages(false);
    showDatabase(spreadProfile(0));
    // The image of an empty profile is a small box; a right click far from
    // it, in the window's section area, opens the same popup.
    QWidget* viewport = section_->scrollArea().viewport();
    const QPoint beside(viewport->width() - 20, viewport->height() - 20);
    ASSERT_FALSE(section_->image().geometry().contains(beside));
    QContextMenuEvent press(QContextMenuEvent::Mouse, beside, viewport->mapToGlobal(beside));
    QApplication::sendEvent(viewport, &press);
    EXPECT_TRUE(section_->popupMenu()->isVisible());
    section_->popupMenu()->hide();

    // "New profile" is in the Locality menu as well.
    answerDialog_ = [](TVESparametryEdit& dialog) { dialog.eNazevPf->setText("Second"); };
    section_->menuItem("Novprofil2")->trigger();
    ASSERT_EQ(section_->database().localities[0].profiles.size(), 2u);
    EXPECT_EQ(section_->database().activeProfile()->name, "Second");

    // Exports of a profile without points say why before the open dialog.
    const std::string why = "The profile Second has no VES points yet, so there is nothing to export. "
                            "Open another database?";
    for (const char* item : {"parametryexportudoUCM1", "UCM1", "JPG1"}) {
        dialogs_.expectQuestion(why, false);
        section_->menuItem(item)->trigger();
        dialogs_.verifyDone();
    }
    // Yes goes the way of Ctrl+O: the new profile is not saved yet.
    dialogs_.expectQuestion(why, true);
    dialogs_.expectSaveQuestion("The database without a name has changes that are not saved.\nSave them (as the "
                                "next numbered copy) before another database is opened?",
                                SaveAnswer::Discard);
    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("No file chosen");
    section_->menuItem("parametryexportudoUCM1")->trigger();
}

TEST_F(SectionTest, TheFontDialogChangesTheCanvasFontAndRedraws) {
    showDatabase(spreadProfile(2));
    const int before = section_->view().geometry().textHeight;
    FontChoice larger;
    larger.family = "DejaVu Sans";
    larger.pointSize = 20;
    larger.bold = true;
    dialogs_.expectFont(larger);
    section_->chooseFont();
    EXPECT_TRUE(section_->canvas().font().bold());
    EXPECT_GT(section_->view().geometry().textHeight, before);
    EXPECT_EQ(section_->canvas().font().styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    EXPECT_EQ(dialogs_.lastFont().family, "DejaVu Sans");

    dialogs_.expectFont(std::nullopt);
    section_->chooseFont();
    EXPECT_TRUE(section_->canvas().font().bold());
}

TEST_F(SectionTest, StartOpensTheSampleDatabaseBelowTheWorkingDirectory) {
    fs::create_directories(dir_ / "ves-ukazkova-data");
    fs::copy_file(fs::path(ORMA_SOURCE_DIR) / "samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb",
                  dir_ / "ves-ukazkova-data/ukazkova-ves-databaze.vdb");
    section_->FormShow();
    const VesDatabase& db = section_->database();
    EXPECT_GE(db.activePointCount(), 10);
    EXPECT_EQ(db.currentPoint, 0);
    EXPECT_EQ(section_->windowTitle().toStdString(),
              "db: " + path("ves-ukazkova-data/ukazkova-ves-databaze.vdb") + " - loc:" + db.localities[0].name);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_GE(section_->canvas().width(), 2 * screen.width());
    EXPECT_EQ(section_->image().width(), section_->view().shownWidth());
}

TEST_F(SectionTest, TheWindowsMeetWithoutCoveringEachOther) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    window_->setGeometry(screen.right() + 1 - 600, screen.top(), 600, screen.height());
    section_->dockBesideInterpretation();
    EXPECT_EQ(section_->frameGeometry().left(), screen.left());
    EXPECT_EQ(section_->frameGeometry().right() + 1, window_->frameGeometry().left());
}

TEST_F(SectionTest, ASectionWiderAndTallerThanTheWindowScrollsToItsFarCorner) {
    dialogs_.allowAnyMessages();  // showing it looks for the sample database
    section_->show();
    section_->resize(400, 300);
    VesDatabase db = spreadProfile(12);  // 110 m at 28 pixels per metre
    db.localities[0].profiles[0].zScale = 2e-2f;  // and the depths at 283
    showDatabase(db);
    QApplication::processEvents();
    // The image control takes the drawn size only, and the window scrolls over it.
    EXPECT_EQ(section_->image().width(), section_->view().shownWidth());
    QScrollBar* across = section_->scrollArea().horizontalScrollBar();
    QScrollBar* down = section_->scrollArea().verticalScrollBar();
    EXPECT_EQ(across->maximum(), section_->image().width() - section_->scrollArea().viewport()->width());
    EXPECT_EQ(down->maximum(), section_->image().height() - section_->scrollArea().viewport()->height());
    ASSERT_GT(across->maximum(), 0);
    ASSERT_GT(down->maximum(), 0);
}

TEST_F(SectionTest, EndAndTheCloseBoxEndTheProgram) {
    section_->menuItem("Konec1")->trigger();
    EXPECT_EQ(programClosed_, 1);
    section_->close();
    EXPECT_EQ(programClosed_, 2);
}

}  // namespace
}  // namespace orma::ui::test
