// Manual input in the window: the typed curve on screen, the mouse-drawn
// curve shaped with the mouse and committed with F4.

#include "mouse_fixture.h"

namespace orma::ui::test {
namespace {

constexpr const char* kRhoCaption = "Enter rezistivity:  (end of branch - ENTER)";

void expectMouseInput(orma::test::ScriptedDialogs& dialogs, const char* first, const char* last) {
    dialogs.expectInput("Enter number or chainage of VES point: ", "number or chainage of VES point: ", "8");
    dialogs.expectInput("Enter number of profile:", "number of profile: ", "2", "1");
    dialogs.expectInput(
        "Amount of omitted AB/2 (mesured from AB/2 1m=0,1.3m=1,1.68,2.18,2.82,3.66,4.74,6.15,7.97,10.29..): ",
        "amount of omitted AB/2: ", first);
    dialogs.expectInput("Enter number of the last point of VES curve 10=10.29, 15=37.8, 20=138, 23=301,1 : ",
                        "number of the last point of VES curve: ", last);
}

TEST_F(MouseWindowTest, TypedInputDrawsTheCurveAndNamesItInTheCaption) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectInput("Enter VES point number or chainage: ", "VES point number: ", "4");
    dialogs_.expectInput("Enter profile number:", "profile number: ", "2");
    dialogs_.expectInput("Enter amount of branches of VES curve: ", "number of branches: ", "1");
    dialogs_.expectInput(
        "Number of omitted AB/2(measured from AB/2 1m=0,1.3m=1,1.68,2.18,2.82,3.66,4.74,6.15,7.97,10.29..): ",
        "omitted AB/2: ", "3");
    dialogs_.expectInput(kRhoCaption, "row:4, AB/2=2.18 m -> REZISTIVITY: ", "20");
    dialogs_.expectInput(kRhoCaption, "row:5, AB/2=2.82 m -> REZISTIVITY: ", "25");
    dialogs_.expectInput(kRhoCaption, "row:6, AB/2=3.66 m -> REZISTIVITY: ", "31");
    dialogs_.expectInput(kRhoCaption, "row:7, AB/2=4.74 m -> REZISTIVITY: ", "0");
    window.inputCurveManually();
    dialogs_.verifyDone();
    EXPECT_EQ(window.windowTitle().toStdString(),
              "ORMA-programme for interpretation of VES curves - opened: manual pf 2 bod 4");
    EXPECT_TRUE(window.plot().plotDrawn);
    EXPECT_TRUE(window.sounding().compositeBuilt);
    EXPECT_FLOAT_EQ(window.sounding().composite(5), 31.0f);
    // A model can be drawn on the typed curve at once.
    window.toggleModelDrawing();
    EXPECT_TRUE(window.editor().state().drawing());
}

TEST_F(MouseWindowTest, AMouseDrawnCurveIsShapedPointByPointAndCommittedWithF4) {
    Ttelmorwin& window = openWindow();
    window.settings().inputMode = 2;
    expectMouseInput(dialogs_, "4", "14");
    // A double click on the empty window enters a curve in the default input mode.
    click(Qt::LeftButton, 300, 300);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, 300, 300);
    release(Qt::LeftButton, 300, 300);
    dialogs_.verifyDone();
    ASSERT_TRUE(window.sounding().mouseDrawnCurve);
    ASSERT_TRUE(window.sounding().curveEditMode);
    EXPECT_EQ(window.windowTitle().toStdString(),
              "ORMA-manual input of VES curves:by mouse pf 2 bod 8: EDIT THE CURVE BY MOUSE THEN F4 ");

    const int row = g().yOf(window.sounding().grid.value[9]);
    move(g().xOf(40), row);
    ASSERT_EQ(window.editor().state().snappedIndex, 9);
    // The curve is processed anew after the click, which refits the ranges.
    const float rho = static_cast<float>(g().rhoAt(g().xOf(40)));
    click(Qt::LeftButton, g().xOf(40), row);
    EXPECT_FLOAT_EQ(window.sounding().points.rhoA[5], rho);  // grid row 9 is point 5
    EXPECT_FLOAT_EQ(window.sounding().composite(9), rho);
    EXPECT_TRUE(window.sounding().curveEditMode);  // still shaping

    window.toggleCurveEditing();  // F4 commits
    EXPECT_FALSE(window.sounding().mouseDrawnCurve);
    EXPECT_FALSE(window.sounding().curveEditMode);
    EXPECT_EQ(window.windowTitle().toStdString(), "ORMA-interpreting VES curve:by mouse pf 2 bod 8");
    EXPECT_FLOAT_EQ(window.sounding().branches.shiftedRho[9][1], rho);
}

TEST_F(MouseWindowTest, ARefusedMouseRangeLeavesTheCurveOnScreen) {
    Ttelmorwin& window = windowWithCurve();
    const std::string caption = window.windowTitle().toStdString();
    expectMouseInput(dialogs_, "30", "20");
    dialogs_.allowAnyMessages();
    window.inputCurveByMouse();
    dialogs_.verifyDone();
    EXPECT_EQ(window.windowTitle().toStdString(), caption);
    EXPECT_FALSE(window.sounding().mouseDrawnCurve);
    EXPECT_EQ(window.sounding().points.pointCount, 23);
}

}  // namespace
}  // namespace orma::ui::test
