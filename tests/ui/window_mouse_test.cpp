// Mouse editing in the real window: Qt mouse events at positions computed with
// the plot's mapping, checked against the model, the flags and the canvas.

#include <QPushButton>

#include <cmath>

#include "core/Forward.h"
#include "mouse_fixture.h"

namespace orma::ui::test {
namespace {

float rhoAt(const PlotGeometry& g, int x) { return static_cast<float>(g.rhoAt(x)); }
float depthAt(const PlotGeometry& g, int y) { return static_cast<float>(g.ab2At(y)); }

TEST_F(MouseWindowTest, DrawsAThreeLayerModelCornerByCorner) {
    Ttelmorwin& window = windowWithCurve();
    const QPoint first(g().xOf(15), g().yOf(2));
    const QPoint second(g().xOf(60), g().yOf(12));
    const QPoint halfSpace(g().xOf(25), g().yOf(50));
    drawModel({first, second, halfSpace});

    const LayerModel& m = window.sounding().model;
    ASSERT_EQ(m.interfaceCount, 2);
    EXPECT_FLOAT_EQ(m.resistivity[0], rhoAt(g(), first.x()));
    EXPECT_FLOAT_EQ(m.depth[0], depthAt(g(), first.y()));
    EXPECT_FLOAT_EQ(m.resistivity[1], rhoAt(g(), second.x()));
    EXPECT_FLOAT_EQ(m.depth[1], depthAt(g(), second.y()));
    EXPECT_FLOAT_EQ(m.resistivity[2], rhoAt(g(), halfSpace.x()));
    EXPECT_FLOAT_EQ(m.depth[2], 1e12f);

    EXPECT_FALSE(window.editor().state().drawing());
    EXPECT_FALSE(window.spustit->isHidden());
    EXPECT_FALSE(window.importdorezu->isHidden());
    EXPECT_EQ(window.focusWidget(), window.spustit);  // Enter starts the fit
    EXPECT_TRUE(window.plot().modelShown);
    ASSERT_TRUE(window.sounding().computedCurveShown);
    EXPECT_GT(window.sounding().computedRho[9], 0.0f);
    EXPECT_DOUBLE_EQ(window.sounding().ssq, computeSsq(window.sounding()));

    // Dragging the model leaves the focus on "...": Enter still fits.
    drag(onBoundary(0).x(), onBoundary(0).y(), onBoundary(0).x(), onBoundary(0).y() + 6);
    EXPECT_EQ(window.focusWidget(), window.spustit);
}

TEST_F(MouseWindowTest, DrawingNeedsAShiftedCurveAndKeepsCornersInDepthOrder) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectMessage("Shift VES curve branches (1 - 4 key)!");
    window.toggleModelDrawing();  // nothing loaded
    dialogs_.verifyDone();

    openGef(window);
    click(Qt::RightButton, (g().x0 + g().x1) / 2, (g().y0 + g().y1) / 2);
    ASSERT_TRUE(window.editor().state().drawing());
    move(g().xOf(20), g().yOf(5));
    click(Qt::LeftButton, g().xOf(20), g().yOf(5));
    // The free corner cannot rise above the corner before it.
    move(g().xOf(80), g().yOf(1.5));
    const LayerModel& m = window.sounding().model;
    EXPECT_FLOAT_EQ(m.depth[1], m.depth[0]);
    EXPECT_FLOAT_EQ(m.resistivity[1], rhoAt(g(), g().xOf(80)));
    // The middle button takes the last corner back.
    click(Qt::MiddleButton, g().xOf(80), g().yOf(1.5));
    EXPECT_EQ(m.interfaceCount, 0);
    EXPECT_TRUE(window.editor().state().drawing());
}

TEST_F(MouseWindowTest, HoverSelectsSegmentsAndDragsStopAtTheNeighbours) {
    Ttelmorwin& window = windowWithCurve();
    window.loadKTypeModel();  // 10/100/20 ohm.m, boundaries at 1 and 10 m
    const LayerModel& m = window.sounding().model;

    move(onBoundary(0).x(), onBoundary(0).y() + 2);
    EXPECT_EQ(window.editor().state().active, (Selection{0, -1}));
    EXPECT_EQ(window.image().cursor().shape(), Qt::SizeVerCursor);
    move(onLayer(1).x() - 3, onLayer(1).y());
    EXPECT_EQ(window.editor().state().active, (Selection{-1, 1}));
    EXPECT_EQ(window.image().cursor().shape(), Qt::SizeHorCursor);
    move(g().x0 + 2, g().y1 - 2);
    EXPECT_FALSE(window.editor().state().active.any());

    // Boundary 0 pulled far below boundary 1 stops at it ...
    drag(onBoundary(0).x(), onBoundary(0).y(), onBoundary(0).x(), g().yOf(300));
    EXPECT_FLOAT_EQ(m.depth[0], 10.0f);
    // ... and boundary 1 pulled above boundary 0 stops there.
    window.loadKTypeModel();
    drag(onBoundary(1).x(), onBoundary(1).y(), onBoundary(1).x(), g().yOf(0.3));
    EXPECT_FLOAT_EQ(m.depth[1], 1.0f);
    // A layer follows the cursor across; the computed curve and SSQ follow the model.
    window.loadKTypeModel();
    const QPoint layer = onLayer(1);
    drag(layer.x(), layer.y(), g().xOf(250), layer.y());
    EXPECT_FLOAT_EQ(m.resistivity[1], rhoAt(g(), g().xOf(250)));
    EXPECT_TRUE(window.sounding().computedCurveShown);
    Sounding copy = window.sounding();
    computeForward(copy);
    EXPECT_EQ(copy.computedRho, window.sounding().computedRho);
}

TEST_F(MouseWindowTest, RightClickInsertsAtTheTopAndAtTheHalfSpace) {
    Ttelmorwin& window = windowWithCurve();
    window.loadKTypeModel();
    const LayerModel& m = window.sounding().model;

    move(onLayer(0).x(), onLayer(0).y());
    click(Qt::RightButton, onLayer(0).x(), onLayer(0).y());
    ASSERT_EQ(m.interfaceCount, 3);
    EXPECT_FLOAT_EQ(m.depth[0], 0.9f);   // 90 % of the old top depth
    EXPECT_FLOAT_EQ(m.resistivity[0], 10.0f);  // the same resistivity above and below
    EXPECT_FLOAT_EQ(m.resistivity[1], 10.0f);
    EXPECT_FLOAT_EQ(m.depth[1], 1.0f);
    EXPECT_FLOAT_EQ(m.depth[3], 1e12f);
    EXPECT_TRUE(window.sounding().computedCurveShown);

    const float bottom = std::pow(10.0f, g().aMax);
    move(onLayer(3).x(), onLayer(3).y());
    ASSERT_EQ(window.editor().state().active, (Selection{-1, 3}));
    click(Qt::RightButton, onLayer(3).x(), onLayer(3).y());
    ASSERT_EQ(m.interfaceCount, 4);
    EXPECT_FLOAT_EQ(m.depth[3], (bottom + 10.0f) / 2);
    EXPECT_FLOAT_EQ(m.resistivity[3], (20.0f + 100.0f) / 2);
    EXPECT_FLOAT_EQ(m.resistivity[4], 20.0f);
    EXPECT_FLOAT_EQ(m.depth[4], 1e12f);
}

TEST_F(MouseWindowTest, DeletingLayersAndTheOnlyBoundaryStartsANewDrawing) {
    Ttelmorwin& window = windowWithCurve();
    window.loadKTypeModel();
    const LayerModel& m = window.sounding().model;
    move(onLayer(1).x(), onLayer(1).y());
    click(Qt::RightButton, onLayer(1).x(), onLayer(1).y(), Qt::ControlModifier);
    ASSERT_EQ(m.interfaceCount, 1);
    EXPECT_FLOAT_EQ(m.resistivity[1], 20.0f);
    EXPECT_FLOAT_EQ(m.depth[0], 1.0f);  // layer 1 went with its lower boundary
    EXPECT_FLOAT_EQ(m.depth[1], 1e12f);

    move(onBoundary(0).x(), onBoundary(0).y());
    ASSERT_EQ(window.editor().state().active, (Selection{0, -1}));
    click(Qt::MiddleButton, onBoundary(0).x(), onBoundary(0).y());
    EXPECT_EQ(m.interfaceCount, 0);
    EXPECT_TRUE(window.editor().state().drawing());
    EXPECT_FALSE(window.editor().state().active.any());
}

TEST_F(MouseWindowTest, AThirtyLayerModelTakesNoFurtherLayer) {
    Ttelmorwin& window = windowWithCurve();
    window.loadKTypeModel();
    LayerModel& m = window.sounding().model;
    m.interfaceCount = 29;
    for (int k = 0; k < 30; ++k) {
        m.resistivity[k] = k % 2 == 0 ? 20.0f : 60.0f;
        m.depth[k] = 0.5f * std::pow(1.2f, static_cast<float>(k));
    }
    m.depth[29] = 1e12f;
    window.plot().redrawAll();
    const LayerModel before = m;
    move(onLayer(3).x(), onLayer(3).y());
    ASSERT_EQ(window.editor().state().active, (Selection{-1, 3}));
    dialogs_.expectMessage("The model holds at most 30 layers: no layer was added.");
    click(Qt::RightButton, onLayer(3).x(), onLayer(3).y());
    dialogs_.verifyDone();
    EXPECT_EQ(m.interfaceCount, 29);
    EXPECT_EQ(m.depth, before.depth);
    EXPECT_EQ(m.resistivity, before.resistivity);
}

TEST_F(MouseWindowTest, CtrlAndShiftClicksToggleFlagsAndTheFitKeepsAFixedDepth) {
    Ttelmorwin& window = windowWithCurve();
    window.loadKTypeModel();
    const LayerModel& m = window.sounding().model;
    move(onBoundary(1).x(), onBoundary(1).y());
    click(Qt::LeftButton, onBoundary(1).x(), onBoundary(1).y(), Qt::ControlModifier);
    EXPECT_EQ(m.depthFixed[1], 1);
    EXPECT_FLOAT_EQ(m.depth[1], 10.0f);  // a Ctrl+click does not move the boundary
    move(onLayer(2).x(), onLayer(2).y());
    click(Qt::LeftButton, onLayer(2).x(), onLayer(2).y(), Qt::ShiftModifier);
    EXPECT_EQ(m.thicknessFixed[2], 1);
    click(Qt::LeftButton, onLayer(2).x(), onLayer(2).y(), Qt::ShiftModifier);
    EXPECT_EQ(m.thicknessFixed[2], 0);

    // The fixed depth is drawn in the fixed-value colour.
    const QPoint mark(onBoundary(1).x(), onBoundary(1).y());
    const QRgb withModel = window.canvas().image().pixel(mark);
    window.plot().toggleModelLines();
    const QRgb withoutModel = window.canvas().image().pixel(mark);
    window.plot().toggleModelLines();
    EXPECT_EQ(withModel ^ withoutModel, toPixel(window.settings().fixedValueColour) & 0xFFFFFFu);

    window.computeModelCurve();
    const double before = window.sounding().ssq;
    window.optimizeFitAndWidenRanges();
    EXPECT_LT(window.sounding().ssq, before);
    EXPECT_FLOAT_EQ(m.depth[1], 10.0f);
    EXPECT_EQ(m.depthFixed[1], 1);
}

TEST_F(MouseWindowTest, MarginClicksWidenTheRangesAndRightClicksTakeThemBack) {
    windowWithCurve();
    const float rMin = g().rMin, aMin = g().aMin, rMax = g().rMax;
    click(Qt::LeftButton, g().x0 / 2, (g().y0 + g().y1) / 2);
    EXPECT_NEAR(g().rMin, rMin - 0.3333f, 1e-5);
    click(Qt::RightButton, g().x0 / 2, (g().y0 + g().y1) / 2);
    EXPECT_NEAR(g().rMin, rMin, 1e-5);
    // A corner changes both axes.
    click(Qt::LeftButton, g().x0 / 2, g().y0 / 2);
    EXPECT_NEAR(g().rMin, rMin - 0.3333f, 1e-5);
    EXPECT_NEAR(g().aMin, aMin - 0.3333f, 1e-5);
    click(Qt::RightButton, g().x1 + 3, (g().y0 + g().y1) / 2);
    EXPECT_LT(g().rMax, rMax);
}

TEST_F(MouseWindowTest, CurveEditingChangesOnlyTheBranchesWithAValue) {
    Ttelmorwin& window = windowWithCurve();
    window.toggleCurveEditing();
    ASSERT_TRUE(window.sounding().curveEditMode);
    const GridTable& shifted = window.sounding().branches.shiftedRho;
    // Row 3 holds branch 1 only; row 8 branches 1 and 2 (the overlap).
    const int row3 = g().yOf(window.sounding().grid.value[3]);
    move(g().xOf(30), row3 + 1);
    EXPECT_EQ(window.editor().state().snappedIndex, 3);
    EXPECT_EQ(window.editor().state().crossY, row3);
    click(Qt::LeftButton, g().xOf(30), row3 + 1);
    EXPECT_FLOAT_EQ(shifted[3][1], rhoAt(g(), g().xOf(30)));
    EXPECT_FLOAT_EQ(shifted[3][0], rhoAt(g(), g().xOf(30)));
    EXPECT_FLOAT_EQ(shifted[3][2], -999.0f);

    const int row8 = g().yOf(window.sounding().grid.value[8]);
    move(g().xOf(40), row8);
    click(Qt::LeftButton, g().xOf(40), row8);
    EXPECT_FLOAT_EQ(shifted[8][1], rhoAt(g(), g().xOf(40)));
    EXPECT_FLOAT_EQ(shifted[8][2], rhoAt(g(), g().xOf(40)));
    EXPECT_FLOAT_EQ(shifted[8][3], -999.0f);

    // The right button ends curve editing.
    click(Qt::RightButton, g().x1 + 3, row8);
    EXPECT_FALSE(window.sounding().curveEditMode);
}

TEST_F(MouseWindowTest, DoubleClickEntersANewCurveByTheInputModeButNotWhileDrawing) {
    Ttelmorwin& window = windowWithCurve();
    window.settings().inputMode = 3;
    const QPoint inside((g().x0 + g().x1) / 2, (g().y0 + g().y1) / 2);
    click(Qt::LeftButton, inside.x(), inside.y());
    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("no file chosen");
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, inside.x(), inside.y());
    release(Qt::LeftButton, inside.x(), inside.y());
    dialogs_.verifyDone();

    // Outside the plot a double click is blocked; so it is while drawing.
    click(Qt::LeftButton, g().x1 + 4, inside.y());
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, g().x1 + 4, inside.y());
    release(Qt::LeftButton, g().x1 + 4, inside.y());
    window.toggleModelDrawing();
    click(Qt::LeftButton, inside.x(), inside.y());
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, inside.x(), inside.y());
    release(Qt::LeftButton, inside.x(), inside.y());
    dialogs_.verifyDone();
}

TEST_F(MouseWindowTest, AfterHoverDragAndReleaseXorLeavesNothingBehind) {
    Ttelmorwin& window = windowWithCurve();
    window.loadKTypeModel();
    window.computeModelCurve();
    move(onLayer(1).x(), onLayer(1).y());
    move(onBoundary(0).x(), onBoundary(0).y());
    drag(onBoundary(1).x(), onBoundary(1).y(), onBoundary(1).x(), g().yOf(25));
    move(onLayer(2).x() + 1, onLayer(2).y());
    drag(onLayer(2).x(), onLayer(2).y(), g().xOf(45), onLayer(2).y() + 5);
    move(onBoundary(0).x(), onBoundary(0).y() - 1);
    ASSERT_TRUE(window.plot().modelShown);
    ASSERT_TRUE(window.sounding().computedCurveShown);

    const auto removeBoth = [&] {
        window.plot().toggleModelLines();
        window.plot().toggleComputedCurve();
    };
    removeBoth();
    const QImage afterEditing = window.canvas().image();
    window.plot().redrawAll();
    removeBoth();
    EXPECT_EQ(afterEditing, window.canvas().image());
}

TEST_F(MouseWindowTest, ARedrawWhileDrawingLeavesNoStaleCrosshair) {
    Ttelmorwin& window = windowWithCurve();
    click(Qt::RightButton, g().xOf(30), g().yOf(3));
    move(g().xOf(30), g().yOf(3));
    click(Qt::LeftButton, g().xOf(30), g().yOf(3));
    move(g().xOf(70), g().yOf(20));
    window.FormResize();  // a full redraw, as after a resize
    move(g().xOf(90), g().yOf(40));
    const EditState& state = window.editor().state();
    ASSERT_EQ(state.crossX, g().xOf(90));
    // Taking the crosshair and the model away leaves the bare plot.
    window.plot().drawCrosshair(state.crossX, state.crossY);
    window.plot().toggleModelLines();
    const QImage bare = window.canvas().image();
    window.plot().redrawAll();
    window.plot().toggleModelLines();
    const PlotGeometry& geometry = g();
    const QRect frame(geometry.x0, geometry.y0, geometry.x1 - geometry.x0 + 1, geometry.y1 - geometry.y0 + 1);
    EXPECT_EQ(bare.copy(frame), window.canvas().image().copy(frame));
}

TEST_F(MouseWindowTest, UndoRestoresEachEarlierModelExactlyAndRedoReplaysThem) {
    Ttelmorwin& window = windowWithCurve();
    window.loadKTypeModel();
    window.computeModelCurve();
    const Sounding preset = window.sounding();
    drag(onBoundary(1).x(), onBoundary(1).y(), onBoundary(1).x(), g().yOf(20));
    const Sounding dragged = window.sounding();
    move(onLayer(0).x(), onLayer(0).y());
    click(Qt::RightButton, onLayer(0).x(), onLayer(0).y());
    const Sounding inserted = window.sounding();
    window.optimizeFitAndWidenRanges();
    const Sounding fitted = window.sounding();
    ASSERT_LT(fitted.ssq, inserted.ssq);

    const auto sameState = [](const Sounding& a, const Sounding& b) {
        return ModelSnapshot::of(a) == ModelSnapshot::of(b);
    };
    window.undoModelChange();
    EXPECT_TRUE(sameState(window.sounding(), inserted));
    EXPECT_EQ(window.sounding().ssq, inserted.ssq);
    window.undoModelChange();
    EXPECT_TRUE(sameState(window.sounding(), dragged));
    window.undoModelChange();
    EXPECT_TRUE(sameState(window.sounding(), preset));
    EXPECT_EQ(window.sounding().model.depth[1], 10.0f);
    window.redoModelChange();
    window.redoModelChange();
    window.redoModelChange();
    EXPECT_TRUE(sameState(window.sounding(), fitted));
    EXPECT_FALSE(window.menuItem("RedoModel1")->isEnabled());

    // A right click outside the model discards it for a new drawing; undo brings it back.
    click(Qt::RightButton, g().x1 - 5, g().y0 + 5);
    ASSERT_TRUE(window.editor().state().drawing());
    window.undoModelChange();
    EXPECT_FALSE(window.editor().state().drawing());
    EXPECT_EQ(window.sounding().model.interfaceCount, fitted.model.interfaceCount);
    EXPECT_EQ(window.sounding().computedCurveShown, fitted.computedCurveShown);
    EXPECT_EQ(window.sounding().ssq, fitted.ssq);
    EXPECT_TRUE(sameState(window.sounding(), fitted));
    EXPECT_TRUE(window.plot().modelShown);

    // Another sounding starts a new history.
    expectWorkDiscarded((dir_ / "VES12.GEF").string());
    openGef(window);
    EXPECT_FALSE(window.menuItem("UndoModel1")->isEnabled());
    window.undoModelChange();
    EXPECT_EQ(window.sounding().model.interfaceCount, 0);
}

}  // namespace
}  // namespace orma::ui::test
