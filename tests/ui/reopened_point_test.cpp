// A point re-opened from the section: every completed change of its model
// (drawn, preset, pasted, deleted, layers inserted or deleted, flags, undo,
// redo, fit) goes back into that point and counts as a change of the
// database; another point is never touched.

#include <QApplication>
#include <QMouseEvent>

#include "SectionFixture.h"
#include "ui/interpretation/plot/InterpretationPlot.h"

namespace orma::ui::test {
namespace {

class ReopenedPointTest : public SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        showDatabase(spreadProfile(3));
        clickPoint(1);
        ASSERT_TRUE(window_->showsStoredPoint());
        neighbour_ = points()[0];
    }

    const std::vector<VesPoint>& points() { return section_->database().activeProfile()->points; }

    /// Point 1 holds exactly the window's model, with its fix flags as signs.
    void expectWrittenBack(const char* after) {
        SCOPED_TRACE(after);
        VesPoint expected = points()[1];
        storeSoundingInPoint(window_->sounding(), expected);
        EXPECT_EQ(points()[1].MDLmx, expected.MDLmx);
        EXPECT_EQ(points()[1].resistivity, expected.resistivity);
        EXPECT_EQ(points()[1].depth, expected.depth);
        EXPECT_EQ(points()[1].ssq, expected.ssq);
        EXPECT_TRUE(section_->hasUnsavedChanges());
        EXPECT_EQ(points()[0], neighbour_) << "only the re-opened point";
    }

    void send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at,
              Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QWidget& image = window_->image();
        QMouseEvent event(type, QPointF(at), image.mapToGlobal(QPointF(at)), button, held, keys);
        QApplication::sendEvent(&image, &event);
    }
    void click(Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, at);
        send(QEvent::MouseButtonPress, button, button, at, keys);
        send(QEvent::MouseButtonRelease, button, Qt::NoButton, at, keys);
    }
    const PlotGeometry& g() { return window_->plot().geometry(); }
    /// Halfway down layer k of the window's model, where a hover selects it.
    QPoint onLayer(int k) {
        const LayerModel& m = window_->sounding().model;
        const int top = k == 0 ? g().y0 : g().yOf(m.depth[k - 1]);
        const int bottom = k == m.interfaceCount ? g().y1 : g().yOf(m.depth[k]);
        return {g().xOf(m.resistivity[k]), (top + bottom) / 2};
    }

    VesPoint neighbour_;
};

TEST_F(ReopenedPointTest, AModelDrawnWithTheMouseStaysWhenAnotherPointIsClicked) {
    const int xLeft = g().x0 + (g().x1 - g().x0) / 4, xRight = g().x0 + 3 * (g().x1 - g().x0) / 4;
    const int yTop = g().y0 + (g().y1 - g().y0) / 3, yBottom = g().y0 + 2 * (g().y1 - g().y0) / 3;
    click(Qt::RightButton, {(g().x0 + g().x1) / 2, (g().y0 + g().y1) / 2});  // starts a drawing
    click(Qt::LeftButton, {xLeft, yTop});
    click(Qt::LeftButton, {xRight, yBottom});
    click(Qt::RightButton, {xLeft, yBottom + 20});  // the half-space ends it
    ASSERT_EQ(window_->sounding().model.interfaceCount, 2);
    const LayerModel drawn = window_->sounding().model;
    expectWrittenBack("drawn");

    clickPoint(2);
    EXPECT_EQ(points()[1].MDLmx, 2);
    EXPECT_EQ(points()[1].resistivity[0], drawn.resistivity[0]);
    EXPECT_EQ(points()[1].depth[1], drawn.depth[1]);
    clickPoint(1);
    EXPECT_EQ(window_->sounding().model.resistivity[2], drawn.resistivity[2]) << "re-opened with the drawn model";
}

TEST_F(ReopenedPointTest, PresetPasteUndoRedoDeleteLayersFlagsAndFitAllGoBack) {
    window_->loadHTypeModel();
    expectWrittenBack("preset");
    window_->copyCurrentModel();
    window_->loadATypeModel();
    expectWrittenBack("another preset");
    window_->pasteModel();
    EXPECT_EQ(points()[1].resistivity[1], 20.0f);
    expectWrittenBack("paste");
    window_->undoModelChange();
    EXPECT_EQ(points()[1].resistivity[2], 500.0f);
    EXPECT_EQ(points()[1].resistivity[0], 10.0f);
    expectWrittenBack("undo");
    window_->redoModelChange();
    EXPECT_EQ(points()[1].resistivity[0], 200.0f);
    expectWrittenBack("redo");

    click(Qt::LeftButton, onLayer(1), Qt::ControlModifier);  // holds the layer's resistivity
    ASSERT_EQ(window_->sounding().model.resistivityFixed[1], 1);
    EXPECT_EQ(points()[1].resistivity[1], -20.0f);
    expectWrittenBack("fix flag");
    click(Qt::RightButton, onLayer(0));  // inserts a layer
    ASSERT_EQ(window_->sounding().model.interfaceCount, 3);
    expectWrittenBack("inserted layer");
    click(Qt::MiddleButton, onLayer(0));  // deletes it again
    ASSERT_EQ(window_->sounding().model.interfaceCount, 2);
    expectWrittenBack("deleted layer");

    dialogs_.allowAnyMessages();
    window_->optimizeFit();
    dialogs_.allowAnyMessages(false);
    expectWrittenBack("fit");
    window_->deleteModel();
    EXPECT_EQ(points()[1].MDLmx, 0);
    expectWrittenBack("model deleted");
}

TEST_F(ReopenedPointTest, NothingChangedNothingWritten) {
    const VesPoint before = points()[1];
    window_->undoModelChange();  // nothing to undo
    window_->toggleModelValues();  // value labels only
    EXPECT_EQ(points()[1], before);
    EXPECT_FALSE(section_->hasUnsavedChanges());
}

}  // namespace
}  // namespace orma::ui::test
