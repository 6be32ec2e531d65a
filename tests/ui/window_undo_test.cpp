// Undo and redo of the model commands of the window (paste, presets, delete,
// fit, the forward task) as a history: each command is one step, undo and
// redo bring back exactly what was there, the menu items say what is possible,
// and a new command after an undo drops the redo branch.

#include <QAction>
#include <cstring>
#include <functional>
#include <memory>

#include "window_fixture.h"

namespace orma::ui::test {
namespace {

/// The model, its curve and its SSQ, compared bit for bit.
struct Shown {
    LayerModel model;
    std::array<float, kGridSlots> computed{};
    double ssq = 0.0;
    bool curveShown = false;

    explicit Shown(const Sounding& s)
        : model(s.model), computed(s.computedRho), ssq(s.ssq), curveShown(s.computedCurveShown) {}
    bool operator==(const Shown& o) const {
        return std::memcmp(&model, &o.model, sizeof model) == 0 && computed == o.computed &&
               std::memcmp(&ssq, &o.ssq, sizeof ssq) == 0 && curveShown == o.curveShown;
    }
};

class WindowUndoTest : public WindowTest {
protected:
    Shown shown() const { return Shown(window_->sounding()); }
    bool undoEnabled() const { return window_->menuItem("UndoModel1")->isEnabled(); }
    bool redoEnabled() const { return window_->menuItem("RedoModel1")->isEnabled(); }
    void undo() { window_->undoModelChange(); }
    void redo() { window_->redoModelChange(); }
};

TEST_F(WindowUndoTest, EveryModelCommandIsOneStepUndoneAndRedoneExactly) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    ASSERT_FALSE(undoEnabled());
    window.loadATypeModel();  // A type 10/100/500
    const Shown first(window.sounding());
    EXPECT_TRUE(undoEnabled());
    window.copyCurrentModel();  // the clipboard: no change, no step
    EXPECT_TRUE(shown() == first);

    const struct {
        const char* name;
        std::function<void()> command;
    } commands[] = {
        {"K preset", [&] { window.loadKTypeModel(); }},
        {"H preset", [&] { window.loadHTypeModel(); }},
        {"Q preset", [&] { window.loadQTypeModel(); }},
        {"paste", [&] { window.pasteModel(); }},
        {"forward task", [&] { window.computeModelCurve(); }},
        {"fit", [&] { window.optimizeFitAndWidenRanges(); }},
        {"fit from the menu", [&] { window.optimizeFit(); }},
        {"delete the model", [&] { window.deleteModel(); }},
    };
    std::vector<Shown> states{first};
    for (const auto& c : commands) {
        SCOPED_TRACE(c.name);
        const Shown before = shown();
        c.command();
        const Shown after = shown();
        if (after == before) continue;
        EXPECT_TRUE(undoEnabled());
        EXPECT_FALSE(redoEnabled());
        undo();
        EXPECT_TRUE(shown() == states.back()) << "one undo goes back to the state before the command";
        EXPECT_TRUE(redoEnabled());
        redo();
        EXPECT_TRUE(shown() == after) << "redo brings the command's result back";
        EXPECT_FALSE(redoEnabled());
        states.push_back(after);
    }
    ASSERT_GE(states.size(), 6u);
    // All the way back, one step at a time, and forward again.
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        undo();
        EXPECT_TRUE(shown() == states[i]) << "undo to state " << i;
    }
    undo();
    EXPECT_EQ(window.sounding().model.interfaceCount, 0) << "the empty start";
    EXPECT_FALSE(undoEnabled());
    for (std::size_t i = 0; i < states.size(); ++i) {
        redo();
        EXPECT_TRUE(shown() == states[i]) << "redo to state " << i;
    }
    EXPECT_FALSE(redoEnabled());
}

TEST_F(WindowUndoTest, ACommandAfterUndoDropsTheRedoBranch) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.loadKTypeModel();
    const Shown k(window.sounding());
    window.copyCurrentModel();
    window.loadHTypeModel();
    window.loadATypeModel();
    undo();
    undo();
    EXPECT_TRUE(shown() == k);
    EXPECT_TRUE(redoEnabled());
    window.optimizeFitAndWidenRanges();  // a fit of the K model: the H and A models cannot come back
    const Shown fitted(window.sounding());
    EXPECT_FALSE(redoEnabled());
    redo();
    EXPECT_TRUE(shown() == fitted);
    undo();
    EXPECT_TRUE(shown() == k);
    redo();
    EXPECT_TRUE(shown() == fitted);

    // The same with a paste after the undo.
    undo();
    window.pasteModel();
    EXPECT_FALSE(redoEnabled());
    EXPECT_FLOAT_EQ(window.sounding().model.resistivity[1], 100.0f);
}

TEST_F(WindowUndoTest, AnotherCurveStartsANewHistory) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.loadKTypeModel();
    window.loadHTypeModel();
    undo();
    ASSERT_TRUE(redoEnabled());
    expectWorkDiscarded((dir_ / "VES12.GEF").string());
    openGef(window);
    EXPECT_FALSE(undoEnabled());
    EXPECT_FALSE(redoEnabled());
    const Shown loaded(window.sounding());
    undo();
    redo();
    EXPECT_TRUE(shown() == loaded);
}

}  // namespace
}  // namespace orma::ui::test
