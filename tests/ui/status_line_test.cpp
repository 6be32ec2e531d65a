// What a command leaves behind for the user to read: the status line of
// each window says where a file went or what happened, every file dialog is
// titled by its purpose, and the two look-alike save commands of the
// database are told apart.

#include <QAction>
#include <QStatusBar>

#include <set>

#include "SectionFixture.h"
#include "core/PointProcessing.h"
#include "io/GefReader.h"
#include "io/SheetReader.h"
#include "io/QuickImport.h"
#include "io/VdbCommands.h"
#include "io/VdbFile.h"
#include "support/FileBytes.h"
#include "ui/platform/StatusLine.h"

namespace orma::ui::test {
namespace {

using orma::test::readBytes;
using orma::test::writeBytes;

std::string status(TSection& section) { return section.statusLine().fullText().toStdString(); }
std::string status(Ttelmorwin& window) { return window.statusLine().fullText().toStdString(); }

/// A GEF file of two branches that the interpretation window reads.
std::string twoBranchGef() {
    std::string text = "TAMIR export\r\n03.06.2024 x\r\nheader 3\r\nheader 4\r\n";
    const char* rows[] = {"1 2 100 4 5 0 7 1.3 9 0.5 11 1 13",  "1 2 110 4 5 0 7 2.18 9 0.5 11 1 13",
                          "1 2 121 4 5 0 7 3.66 9 0.5 11 1 13", "1 2 133 4 5 0 7 6.15 9 0.5 11 1 13",
                          "1 2 140 4 5 0 7 6.15 9 2 11 2 13",   "1 2 150 4 5 0 7 10.3 9 2 11 2 13",
                          "1 2 160 4 5 0 7 17.4 9 2 11 2 13"};
    for (const char* row : rows) text += std::string(row) + "\r\n";
    return text;
}

TEST(StatusLineText, ALongPathGivesWayInItsMiddleSoTheFileNameAndTheWordsAroundItStay) {
    QStatusBar bar;
    StatusLine line(bar);
    bar.resize(420, 30);
    bar.show();
    const std::string text = "Saved as /home/geofyzik/data/2024/lokalita-udoli-u-hradku/profil-severni-okraj.vdb_2: "
                             "the next numbered copy (Ctrl+U).";
    line.say(text);
    const QString shown = line.text();
    EXPECT_EQ(line.fullText().toStdString(), text);
    EXPECT_LE(line.fontMetrics().horizontalAdvance(shown), line.width());
    EXPECT_TRUE(shown.startsWith("Saved as ")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("okraj.vdb_2: the next")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("(Ctrl+U).")) << shown.toStdString();
    // With more room the folder's start shows as well.
    bar.resize(700, 30);
    EXPECT_TRUE(line.text().startsWith("Saved as /home/")) << line.text().toStdString();
    EXPECT_TRUE(line.text().contains("/profil-severni-okraj.vdb_2: the next")) << line.text().toStdString();
    // Wide enough, nothing is cut; the line never widens its window.
    bar.resize(2000, 30);
    EXPECT_EQ(line.text().toStdString(), text);
    EXPECT_LT(bar.minimumSizeHint().width(), 100);
}

TEST_F(SectionTest, TheTwoSaveCommandsSayWhereTheFileWentAndWhichOfThemWroteIt) {
    const std::string original = path("profil.vdb");
    ASSERT_TRUE(writeVdbFile(spreadProfile(3), original));
    dialogs_.expectOpen(original, kVdbOpenTitle);
    section_->menuItem("Otevidbnamenchdatavsledk1")->trigger();
    EXPECT_EQ(status(*section_), "Opened " + original + ": 1 localities, 1 profiles, 3 VES points.");

    section_->menuItem("Ulodbnamenchdatavsledkjako1")->trigger();  // Ctrl+U
    EXPECT_EQ(status(*section_), "Saved as " + original + "_1: the next numbered copy of profil.vdb (Ctrl+U).");

    // Ctrl+Alt+U: its own dialog title; a new name is written as chosen, a
    // taken one gets its next number.
    const std::string chosen = path("other.vdb");
    dialogs_.expectSave(chosen, kVdbSaveAsTitle);
    section_->menuItem("Ulodbnamenchdatavsledk1")->trigger();
    EXPECT_EQ(status(*section_), "Saved as " + chosen + ": the name chosen (Ctrl+Alt+U).");
    dialogs_.expectSave(chosen, kVdbSaveAsTitle);
    section_->menuItem("Ulodbnamenchdatavsledk1")->trigger();
    EXPECT_EQ(status(*section_), "Saved as " + chosen + "_1: other.vdb exists, so its next numbered copy (Ctrl+Alt+U).");
    EXPECT_TRUE(fs::exists(chosen + "_1"));

    // Ctrl+U without a name yet asks too, under a title of its own.
    section_->database().fileName.clear();
    section_->database().saveBaseName.clear();
    const std::string first = path("first.vdb");
    dialogs_.expectSave(first, kVdbFirstSaveTitle);
    section_->menuItem("Ulodbnamenchdatavsledkjako1")->trigger();
    EXPECT_EQ(status(*section_), "Saved as " + first + " (Ctrl+U).");
    EXPECT_NE(std::string(kVdbFirstSaveTitle), kVdbSaveAsTitle);

    // A failed save leaves the last status as it was, whatever it said.
    section_->database().fileName = path("missing-folder/x.vdb");
    section_->database().saveBaseName = section_->database().fileName;
    dialogs_.allowAnyMessages();
    section_->menuItem("Ulodbnamenchdatavsledkjako1")->trigger();
    ASSERT_FALSE(dialogs_.messages().empty());
    EXPECT_EQ(dialogs_.messages().back().rfind(kVdbCannotCreate, 0), 0u) << dialogs_.messages().back();
    EXPECT_EQ(status(*section_), "Saved as " + first + " (Ctrl+U).");
}

TEST_F(SectionTest, PicturesAndScriptsSayWhereTheyWentAndAPictureAsksBeforeReplacingAFile) {
    showDatabase(spreadProfile(3));
    const std::string jpeg = path("section.jpg");
    writeBytes(jpeg, "an older picture");
    dialogs_.expectSave(jpeg, "Save the section as a JPEG picture");
    dialogs_.expectQuestion(jpeg + " already exists. Replace it?", false);
    section_->saveSectionAsJpeg();
    EXPECT_EQ(readBytes(jpeg), "an older picture");
    EXPECT_EQ(status(*section_), "");

    dialogs_.expectSave(jpeg);
    dialogs_.expectQuestion(jpeg + " already exists. Replace it?", true);
    section_->saveSectionAsJpeg();
    EXPECT_EQ(readBytes(jpeg).substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(status(*section_), "Section saved as " + jpeg);

    const std::string ucm = path("P.UCM");
    dialogs_.expectSave(ucm, "Export the section as a UCM script (NAME and its companion NAME_b)");
    section_->exportUcm();
    EXPECT_EQ(status(*section_), "UCM script written: " + ucm + " and " + ucm + "_b");
}

TEST_F(SectionTest, TheQuickImportCountsInTheStatusLine) {
    showDatabase(spreadProfile(1));
    window_->importIntoProfile = [this](const std::vector<fs::path>& files) { section_->importFiles(files); };
    section_->importProgress = [](int, int) { return true; };
    const fs::path folder = dir_ / "pf";
    fs::create_directories(folder);
    for (const char* name : {"VES40.GEF", "VES60.GEF"}) writeBytes((folder / name).string(), twoBranchGef());
    writeBytes((folder / "VES80.GEF").string(), "broken\r\n");
    dialogs_.allowAnyMessages();
    dialogs_.expectOpen((folder / "VES40.GEF").string(), kQuickImportDialogTitle);
    window_->quickImportDirectory();
    EXPECT_EQ(status(*section_), "2 of 3 soundings imported into profile P0.0.");
}

TEST_F(SectionTest, InTheInterpretationWindowReadingFittingAndSavingEachLeaveALine) {
    Ttelmorwin& window = *window_;
    const std::string gef = path("VES12.GEF");
    writeBytes(gef, twoBranchGef());
    dialogs_.expectOpen(gef, kGefOpenTitle);
    window.openGefFile();
    EXPECT_EQ(status(window), "Read " + gef + ": 7 readings in 2 branches, 6 rows of the composite curve.");

    window.loadKTypeModel();
    window.optimizeFit();
    const std::string fitted = status(window);
    EXPECT_EQ(fitted.rfind("Fit: SSQ = ", 0), 0u) << fitted;
    EXPECT_NE(fitted.find(" linearisations"), std::string::npos) << fitted;

    const std::string csv = path("VES12.csv");
    dialogs_.expectSave(csv, "Save curve and model as CSV");
    window.saveCurveAndModelCsv();
    EXPECT_EQ(status(window), "Curve and model saved as " + csv);

    const std::string jpeg = path("plot.jpg");
    dialogs_.expectSave(jpeg, "Save the plot as a JPEG picture");
    window.savePlotAsJpeg();
    EXPECT_EQ(status(window), "Plot saved as " + jpeg);

    const std::string rst = path("out.RST");
    dialogs_.expectSave(rst, "Write the sounding into a new result file (*.RST)");
    dialogs_.expectInput("Enter the operator name:", "operator name:", "Novak");
    dialogs_.expectInput("Enter the locality name:", "locality name:", "Brezno");
    dialogs_.expectInput("Enter point number or chainage on the profile: ", " point: ", "12");
    dialogs_.expectInput("Enter profile number:", " profile number:", "3");
    window.appendRstToOpenFile();
    EXPECT_EQ(status(window), "RST record of point 12 (profile 3) written to " + rst + " (F5 appends the next one there).");

    // The line sits at the window's foot, inside the status bar.
    EXPECT_EQ(window.statusLine().parentWidget(), window.statusBar());
    EXPECT_EQ(section_->statusLine().parentWidget(), section_->statusBar());
}

TEST_F(SectionTest, MergedSpacingsOfAReopenedPointAreSaidInTheStatusLineNotInABoxOnEveryClick) {
    // Read once from a sheet (where the message box says it), then stored.
    const std::string sheet = path("VES 5.csv");
    writeBytes(sheet, "ab2,mn2,rhoa\n10,1,100\n20,1,110\n40,1,130\n220,1,230\n240,1,327\n260,1,324\n");
    auto read = std::make_unique<Sounding>();
    std::vector<std::string> messages;
    ASSERT_EQ(openSheetCurve(*read, sheet, messages), CurveFileEnd::Done);
    ASSERT_EQ(messages.size(), 1u);
    VesDatabase db = spreadProfile(2);
    storeSoundingInPoint(*read, db.localities[0].profiles[0].points[1]);
    showDatabase(db);

    clickPoint(1);  // no box is announced: none may come
    EXPECT_EQ(window_->sounding().points.pointCount, 6);
    const std::string said = status(*window_);
    EXPECT_NE(said.find(kMergedSpacingsIntro), std::string::npos) << said;
    EXPECT_NE(said.find("readings 4, 5, 6 at AB/2 = 220, 240, 260 m"), std::string::npos) << said;
}

TEST_F(SectionTest, EveryFileDialogIsTitledByItsPurpose) {
    // Each command is cancelled at its dialog; what counts is the title.
    showDatabase(spreadProfile(2));
    Ttelmorwin& window = *window_;
    dialogs_.allowAnyMessages();
    const auto cancelOpen = [&](auto command) {
        dialogs_.expectOpen(std::nullopt);
        command();
    };
    const auto cancelSave = [&](auto command) {
        dialogs_.expectSave(std::nullopt);
        command();
    };
    cancelOpen([&] { window.openGefFile(); });
    cancelOpen([&] { window.openSheet(); });
    cancelOpen([&] { window.openRstFirstCurve(); });
    cancelOpen([&] { window.quickImportDirectory(); });
    cancelSave([&] { window.savePlotAsJpeg(); });
    cancelOpen([&] { section_->openDatabase(); });
    cancelOpen([&] { section_->loadTerrainHeights(); });
    cancelSave([&] { section_->saveSectionAsJpeg(); });
    cancelSave([&] { section_->exportUcm(); });
    section_->database().fileName = path("x.vdb");
    section_->database().saveBaseName = section_->database().fileName;
    dialogs_.expectSave(std::nullopt);
    section_->saveDatabaseUnderChosenName();
    dialogs_.verifyDone();

    const std::vector<std::string>& titles = dialogs_.fileDialogTitles();
    ASSERT_EQ(titles.size(), 10u);
    const std::set<std::string> distinct(titles.begin(), titles.end());
    EXPECT_EQ(distinct.size(), titles.size()) << "two commands share a title";
    for (const std::string& title : titles) {
        EXPECT_FALSE(title.empty());
        EXPECT_NE(title, "orma");
    }
}

}  // namespace
}  // namespace orma::ui::test
