// The interpreted sounding into the profile, file after file of a directory;
// the re-opened point; the quick import.

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <sstream>

#include <fstream>
#include <iterator>

#include "SectionFixture.h"
#include "io/VdbCommands.h"
#include "core/Fit.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "support/FileBytes.h"

namespace orma::ui::test {
namespace {

using orma::test::readBytes;
using orma::test::writeBytes;

std::string gefFile(double level) {
    std::ostringstream out;
    out << "TAMIR3 export\r\n03.06.2024 x\r\nheader 3\r\nheader 4\r\n";
    const double ab2[] = {1.3, 2.18, 3.66, 6.1, 10.3, 17.2};
    for (int i = 0; i < 6; ++i) {
        const int branch = i < 4 ? 1 : 2;
        out << "1 2 " << level * (1.0 + 0.1 * i) << " 4 5 0 7 " << ab2[i] << " 9 " << (branch == 1 ? 0.5 : 2.0)
            << " 11 " << branch << " 13\r\n";
    }
    out << "1 2 " << level * 1.35 << " 4 5 0 7 6.1 9 2 11 2 13\r\n";
    return out.str();
}

class TransferTest : public SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        window_->appendToProfile = [this](const Sounding& s, float chainage) {
            return section_->appendSounding(s, chainage);
        };
        window_->importIntoProfile = [this](const std::vector<fs::path>& files) { section_->importFiles(files); };
        window_->storedPointModelEdited = [this] { section_->storeReinterpretedPoint(); };
        section_->importProgress = [](int, int) { return true; };
        profileDir_ = dir_ / "pf";
        fs::create_directories(profileDir_);
        showDatabase(spreadProfile(2));
    }

    std::string writeGef(const std::string& name, double level = 100.0) {
        const std::string file = (profileDir_ / name).string();
        writeBytes(file, gefFile(level));
        return file;
    }

    /// Opens a GEF file and gives it a model, as an interpreter would.
    void openAndInterpret(const std::string& file) {
        dialogs_.expectOpen(file);
        window_->openGefFile();
        window_->loadKTypeModel();
    }

    const Profile& profile() { return *section_->database().activeProfile(); }
    fs::path profileDir_;
};

TEST_F(TransferTest, EachTransferAddsAPointAndLoadsTheNextFileUntilTheLast) {
    const std::string a = writeGef("A.GEF"), b = writeGef("B.GEF"), c = writeGef("C.GEF");
    std::vector<std::string> proposedNames;
    answerDialog_ = [&](TVESparametryEdit& dialog) {
        proposedNames.push_back(dialog.eNazevBoduVES->text().toStdString());
        dialog.eMetrazPf->setText(QString::number(1000 + proposedNames.size()));
    };
    openAndInterpret(a);
    window_->transferByButton();
    EXPECT_EQ(window_->sounding().gefPath, b);
    EXPECT_EQ(window_->windowTitle().toStdString(), "ORMA-programme is reading file: " + b);
    EXPECT_FALSE(window_->sounding().model.exists());
    ASSERT_EQ(profile().points.size(), 3u);
    EXPECT_EQ(section_->database().currentPoint, 2);
    EXPECT_EQ(profile().points[2].profileChainage, 1001.0f);
    EXPECT_EQ(profile().points[2].MDLmx, 2);

    // Without a model the next file cannot go in.
    dialogs_.expectMessage("Read and interpret VES curve!");
    window_->transferByKey();
    EXPECT_EQ(profile().points.size(), 3u);

    window_->loadKTypeModel();
    window_->transferByKey();  // the key I
    EXPECT_EQ(window_->sounding().gefPath, c);
    window_->loadKTypeModel();
    window_->transferByButton();
    // C was the last file: it stays on screen, D does nothing either.
    EXPECT_EQ(window_->sounding().gefPath, c);
    window_->loadNextGef();
    EXPECT_EQ(window_->sounding().gefPath, c);
    EXPECT_EQ(profile().points.size(), 5u);
    EXPECT_EQ(proposedNames, (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(TransferTest, NaturalOrderChainageFromTheNameAndDSkipsWithoutStoring) {
    const std::string v2 = writeGef("VES2.GEF"), v10 = writeGef("VES10.GEF"), v9 = writeGef("ves9.gef");
    float proposed = -1.0f;
    answerDialog_ = [&](TVESparametryEdit& dialog) { proposed = dialog.eMetrazPf->text().toFloat(); };
    dialogs_.expectOpen(v2);
    window_->openGefFile();
    window_->loadNextGef();  // D
    EXPECT_EQ(window_->sounding().gefPath, v9);
    EXPECT_EQ(profile().points.size(), 2u);
    window_->loadKTypeModel();
    window_->transferByButton();
    EXPECT_EQ(proposed, 9.0f);
    EXPECT_EQ(profile().points.back().name, "ves9");
    EXPECT_EQ(window_->sounding().gefPath, v10);
}

TEST_F(TransferTest, FixFlagsSurviveAndAReopenedPointIsNotAddedTwice) {
    openAndInterpret(writeGef("A.GEF"));
    LayerModel& model = window_->sounding().model;
    model.resistivityFixed[1] = 1;
    model.depthFixed[1] = 1;
    const float rho1 = model.resistivity[1], depth1 = model.depth[1];
    window_->transferByButton();
    const VesPoint& stored = profile().points.back();
    EXPECT_EQ(stored.resistivity[1], -rho1);
    EXPECT_EQ(stored.depth[1], -depth1);

    clickPoint(2);  // re-open it
    EXPECT_TRUE(window_->showsStoredPoint());
    EXPECT_EQ(window_->sounding().model.resistivityFixed[1], 1);
    EXPECT_EQ(window_->sounding().model.depthFixed[1], 1);
    EXPECT_EQ(window_->sounding().model.resistivity[1], rho1);
    dialogs_.expectMessage("Reinterpreted VES curve is already in the profile.");
    window_->transferByButton();
    dialogs_.expectMessage("Reinterpreted VES curve is already in the profile");
    window_->transferByKey();
    EXPECT_EQ(profile().points.size(), 3u);

    // The fit of the re-opened point is written back into it.
    dialogs_.allowAnyMessages();
    window_->optimizeFit();
    EXPECT_FLOAT_EQ(profile().points[2].ssq, static_cast<float>(window_->sounding().ssq));
    EXPECT_EQ(profile().points[2].resistivity[0], window_->sounding().model.resistivity[0]);
    dialogs_.allowAnyMessages(false);

    // Choosing the profile again makes the sounding transferable.
    section_->chooseProfile(0);
    window_->profileChosenInSection();
    EXPECT_FALSE(window_->showsStoredPoint());
    EXPECT_FALSE(window_->importdorezu->isHidden());
}

TEST_F(TransferTest, DraggingAReopenedPointsModelWritesItBack) {
    clickPoint(1);
    ASSERT_TRUE(window_->showsStoredPoint());
    const LayerModel& model = window_->sounding().model;
    const PlotGeometry& g = window_->plot().geometry();
    const float before = model.resistivity[0];
    const VesPoint neighbour = profile().points[0];
    QWidget& image = window_->image();
    const auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int x, int y) {
        const QPointF at(x, y);
        QMouseEvent event(type, at, image.mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(&image, &event);
    };
    // The first layer's resistivity, halfway down the layer, dragged to the right.
    const int x = g.xOf(model.resistivity[0]);
    const int y = (g.y0 + g.yOf(model.depth[0])) / 2;
    send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, x, y);
    send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, x, y);
    send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, x + 20, y);
    send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, x + 40, y);
    send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, x + 40, y);

    ASSERT_GT(model.resistivity[0], before);
    const VesPoint& stored = profile().points[1];
    EXPECT_EQ(stored.resistivity[0], model.resistivity[0]);
    EXPECT_FLOAT_EQ(stored.ssq, static_cast<float>(window_->sounding().ssq));
    EXPECT_EQ(profile().points[0].resistivity, neighbour.resistivity);  // only the re-opened point
}

TEST_F(TransferTest, ThePointDialogOfATakenChainageCanBeCancelledLeavingNothingStored) {
    const std::string taken = writeGef("VES15.GEF");  // point 1 is at 15 m
    writeGef("VES16.GEF");
    const std::vector<VesPoint> before = profile().points;
    for (const bool closeBox : {false, true}) {
        section_->runParametersDialog = [&](TVESparametryEdit& dialog) {
            dialogs_.expectMessage("Existuje bod se stejnou metráží pro zobrazení na aktuálním profilu a to nejde. ");
            dialog.acceptIfValid();  // refused: the chainage is taken
            if (closeBox) {
                dialog.show();
                dialog.close();
            } else {
                dialog.Cancelbutton->click();
            }
        };
        if (closeBox) {
            // The model of the refused transfer is still in no database.
            dialogs_.expectSaveQuestion(orma::test::unsavedWorkQuestion(taken, orma::test::kBeforeAnotherCurve),
                                        SaveAnswer::Discard, "Transfer");
        }
        openAndInterpret(taken);
        window_->transferByButton();
        EXPECT_EQ(profile().points, before) << (closeBox ? "close box" : "Cancel");
        EXPECT_EQ(section_->database().currentPoint, 0);
        EXPECT_FALSE(section_->hasUnsavedChanges());
        EXPECT_EQ(window_->sounding().gefPath, taken) << "the sounding stays on screen";
        EXPECT_EQ(window_->sounding().model.interfaceCount, 2);
    }
}

TEST_F(TransferTest, AFullProfileRefusesTheTransferAndChangesNothing) {
    showDatabase(spreadProfile(kMaxVesPoints, 2));
    openAndInterpret(writeGef("A.GEF"));
    writeGef("B.GEF");
    const std::string a = window_->sounding().gefPath;
    dialogs_.expectMessage("The profile P0.0 already holds 200 VES points, as many as a profile can. Create a new "
                           "profile (popup menu of the section) for more.");
    window_->transferByButton();
    EXPECT_EQ(profile().points.size(), static_cast<std::size_t>(kMaxVesPoints));
    EXPECT_EQ(window_->sounding().gefPath, a);  // nothing else loaded
    EXPECT_EQ(dialogRuns_, 0);
}

TEST_F(TransferTest, QuickImportCountsSkippedFilesAndListsThemBelow) {
    writeGef("VES20.GEF");
    writeGef("VES3.GEF");
    writeBytes((profileDir_ / "VES7.GEF").string(), "broken\r\n");
    writeGef("VES15.GEF");  // chainage 15 is point 1's
    dialogs_.expectOpen(writeGef("VES30.GEF"));
    dialogs_.expectMessageWithList("Quick import into profile P0.0: 3 of 5 GEF files imported as new VES points.\n"
                                   "2 files were skipped:");
    window_->quickImportDirectory();
    ASSERT_EQ(dialogs_.lists().size(), 1u);
    const std::vector<std::string>& skipped = dialogs_.lists().front();
    ASSERT_EQ(skipped.size(), 2u);
    EXPECT_EQ(skipped[0].rfind("VES7.GEF: ", 0), 0u) << skipped[0];
    EXPECT_EQ(skipped[1], "VES15.GEF: the chainage 15 m is already taken in the profile");
    ASSERT_EQ(profile().points.size(), 5u);
    EXPECT_EQ(profile().points[2].name, "VES3");
    EXPECT_EQ(profile().points[4].name, "VES30");
    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("no file chosen");
    window_->quickImportDirectory();
}

}  // namespace
}  // namespace orma::ui::test
