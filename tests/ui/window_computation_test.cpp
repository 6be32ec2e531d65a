// Model > Computation: the options of the forward computation and the fit,
// and the parameter ranges dialog.

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/Forward.h"
#include "ui/interpretation/ParameterRangesDialog.h"
#include "ui/platform/BackgroundTask.h"
#include "window_fixture.h"
#include "support/FileBytes.h"

namespace orma::ui::test {
namespace {

using orma::test::readBytes;
using orma::test::writeBytes;

class WindowComputationTest : public WindowTest {
protected:
    /// A conductive basement under the loaded curve: the standard filter
    /// misreads it by percents.
    void conductiveBasement(Ttelmorwin& window) {
        LayerModel& model = window.sounding().model;
        model = LayerModel{};
        model.interfaceCount = 1;
        model.resistivity[0] = 50.0f;
        model.resistivity[1] = 0.05f;
        model.depth[0] = 4.0f;
        model.depth[1] = kHalfSpaceDepth;
    }
};

TEST_F(WindowComputationTest, ComputationSubmenuEndsTheModelMenu) {
    Ttelmorwin& window = openWindow();
    auto* model = window.findChild<QMenu*>("Model1");
    ASSERT_NE(model, nullptr);
    QAction* last = model->actions().back();
    EXPECT_EQ(last->objectName(), "Vypocet1");
    EXPECT_EQ(last->text(), "Computation");
    ASSERT_NE(last->menu(), nullptr);
    const QList<QAction*> items = last->menu()->actions();
    ASSERT_EQ(items.size(), 5);  // three options, a separator, the ranges
    const char* names[] = {"Presnyvypocet1", "Merenerozestupy1", "Dokonvergence1"};
    const char* captions[] = {"Accurate forward (201-point filter)", "Model at the measured AB/2",
                              "Fit until converged"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i]->objectName(), names[i]);
        EXPECT_EQ(items[i]->text(), captions[i]);
        EXPECT_TRUE(items[i]->isCheckable());
        EXPECT_FALSE(items[i]->isChecked());
    }
    EXPECT_TRUE(items[3]->isSeparator());
    EXPECT_EQ(items[4]->objectName(), "Rozsahyparametru1");
    EXPECT_EQ(items[4]->text(), "Parameter ranges...");
    EXPECT_TRUE(window.computation() == ComputationOptions{});
}

TEST_F(WindowComputationTest, AccurateForwardRedrawsTheCurveAndNamesItInTheSsq) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    conductiveBasement(window);
    window.computeModelCurve();
    ASSERT_TRUE(window.sounding().computedCurveShown);
    const auto standard = window.sounding().computedRho;
    const double standardSsq = window.sounding().ssq;
    const QImage before = window.canvas().image().copy();
    EXPECT_EQ(window.plot().ssqNote, "");

    window.menuItem("Presnyvypocet1")->trigger();
    EXPECT_TRUE(window.computation().accurateForward);
    EXPECT_EQ(window.plot().ssqNote, "(201-point filter)");
    ASSERT_TRUE(window.sounding().computedCurveShown);
    double largest = 0.0;
    for (int k = window.sounding().minGridIndex; k <= window.sounding().maxGridIndex; ++k)
        largest = std::max(largest, std::fabs(window.sounding().computedRho[k] / standard[k] - 1.0));
    EXPECT_GT(largest, 0.05);
    EXPECT_NE(window.sounding().ssq, standardSsq);
    EXPECT_NE(window.canvas().image(), before);  // the plot shows the other curve

    window.menuItem("Merenerozestupy1")->trigger();
    EXPECT_EQ(window.plot().ssqNote, "(201-point filter, measured AB/2)");

    // Back to the standard method: the same curve as before, bit for bit.
    window.menuItem("Presnyvypocet1")->trigger();
    window.menuItem("Merenerozestupy1")->trigger();
    EXPECT_EQ(window.plot().ssqNote, "");
    EXPECT_EQ(window.sounding().computedRho, standard);
    EXPECT_EQ(window.sounding().ssq, standardSsq);
}

TEST_F(WindowComputationTest, FitAndForwardUseTheChosenOptions) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    conductiveBasement(window);
    window.menuItem("Presnyvypocet1")->trigger();
    window.menuItem("Dokonvergence1")->trigger();
    window.optimizeFit();
    Sounding check = window.sounding();
    ComputationOptions accurate;
    accurate.accurateForward = true;
    ASSERT_EQ(computeForward(check, accurate), kSuccess);
    EXPECT_EQ(check.computedRho, window.sounding().computedRho);
    EXPECT_EQ(check.ssq, window.sounding().ssq);
    // Converged: one more fit changes the SSQ by less than 0.1 %.
    const double fitted = window.sounding().ssq;
    window.optimizeFit();
    EXPECT_GT(window.sounding().ssq, fitted * 0.998);
}

TEST_F(WindowComputationTest, ParameterRangesNeedACurveAndAModel) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectMessage("There is no composite curve to fit the model to.");
    window.showParameterRanges();
    openGef(window);
    dialogs_.expectMessage("There is no model whose parameter ranges could be found.");
    window.showParameterRanges();
    dialogs_.verifyDone();
    EXPECT_EQ(window.rangesDialog(), nullptr);
}

TEST_F(WindowComputationTest, ParameterRangesOfTheCurrentModelInADialog) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    LayerModel& model = window.sounding().model;
    model.interfaceCount = 2;
    const float rho[] = {10, 100, 20};
    const float depth[] = {1, 10, kHalfSpaceDepth};
    for (int i = 0; i < 3; ++i) {
        model.resistivity[i] = rho[i];
        model.depth[i] = depth[i];
    }
    model.resistivityFixed[2] = 1;
    const LayerModel before = model;
    window.showParameterRanges();
    ASSERT_NE(window.rangesTask(), nullptr);
    window.rangesTask()->waitForFinished();
    ParameterRangesDialog* dialog = window.rangesDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    QTableWidget* table = dialog->table();
    ASSERT_EQ(table->rowCount(), 4);  // rho1, h1, rho2, h2; rho3 is held
    EXPECT_EQ(table->item(0, 0)->text(), "Resistivity of layer 1 [ohm.m]");
    EXPECT_EQ(table->item(1, 0)->text(), "Thickness of layer 1 [m]");
    for (int row = 0; row < 4; ++row) {
        const double fitted = table->item(row, 1)->text().toDouble();
        const QString lower = table->item(row, 2)->text();
        const QString upper = table->item(row, 3)->text();
        if (lower != "unbounded") {
            EXPECT_LE(lower.toDouble(), fitted);
        }
        if (upper != "unbounded") {
            EXPECT_GE(upper.toDouble(), fitted);
        }
    }
    EXPECT_TRUE(dialog->heading()->text().contains("13-point filter"));
    EXPECT_EQ(std::memcmp(&window.sounding().model, &before, sizeof before), 0);  // the model stays
    dialog->close();
}

TEST_F(WindowComputationTest, CancelledRangesShowNothingAndLeaveTheModel) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.loadKTypeModel();
    const LayerModel before = window.sounding().model;
    window.showParameterRanges();
    ASSERT_NE(window.rangesTask(), nullptr);
    EXPECT_TRUE(window.rangesTask()->running()) << "off the window's thread";
    window.rangesTask()->cancel();
    window.rangesTask()->waitForFinished();
    EXPECT_EQ(window.rangesDialog(), nullptr);
    EXPECT_EQ(std::memcmp(&window.sounding().model, &before, sizeof before), 0);
}

TEST_F(WindowComputationTest, OptionsAreNotStoredInTheSettingsFile) {
    Ttelmorwin& window = openWindow();
    const std::string original = readBytes(windowSettingsPath(dir_));
    for (const char* name : {"Presnyvypocet1", "Merenerozestupy1", "Dokonvergence1"}) window.menuItem(name)->trigger();
    window.endProgram();
    EXPECT_EQ(readBytes(windowSettingsPath(dir_)), original);
}

}  // namespace
}  // namespace orma::ui::test
