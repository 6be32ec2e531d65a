// Editing points of the composite curve (F4) on curves from every source the
// window opens: a GEF file, an RST record, a field sheet, a point of the
// profile database and a curve drawn with the mouse, with one branch and with
// several. A click sets the clicked grid row of every branch that has a value
// there, and the composite; nothing else in the branch tables moves.

#include <memory>
#include <vector>

#include "core/AbGrid.h"
#include "core/VesDatabase.h"
#include "mouse_fixture.h"
#include "support/VesDatabaseBuilders.h"

namespace orma::ui::test {
namespace {

class CurveEditingTest : public MouseWindowTest {
protected:
    /// Enters curve editing, snaps to grid row k and clicks at `factor` times
    /// the composite there; checks every cell of the branch tables against
    /// the rule.
    void clickRow(int k, double factor) {
        Ttelmorwin& window = *window_;
        if (!window.sounding().curveEditMode) window.toggleCurveEditing();
        ASSERT_TRUE(window.sounding().curveEditMode);
        const auto before = std::make_unique<Sounding>(window.sounding());
        const int x = g().xOf(factor * before->composite(k));
        ASSERT_TRUE(g().insidePlot(x, g().y0));
        const int y = rowY(k);
        move(x, y + 1);
        ASSERT_EQ(window.editor().state().snappedIndex, k);
        ASSERT_EQ(window.editor().state().crossY, y);
        const float set = static_cast<float>(g().rhoAt(x));
        click(Qt::LeftButton, x, y + 1);

        const Sounding& after = window.sounding();
        const GridTable& was = before->branches.shiftedRho;
        const GridTable& now = after.branches.shiftedRho;
        int changedBranches = 0;
        for (int row = 0; row < kGridSlots; ++row) {
            for (int b = 0; b < kBranchColumns; ++b) {
                const bool clicked =
                    row == k && b >= 1 && b <= before->branches.branchCount && was[row][b] > 0.0f;
                if (clicked) ++changedBranches;
                if (b == 0) continue;
                EXPECT_EQ(now[row][b], clicked ? set : was[row][b]) << "row " << row << ", branch " << b;
            }
        }
        ASSERT_GT(changedBranches, 0) << "no branch has a value at row " << k;
        for (int row = 0; row < kGridSlots; ++row)
            EXPECT_EQ(now[row][0], row == k ? set : was[row][0]) << "composite at row " << row;
        EXPECT_TRUE(after.curveEditMode);
        lastChangedBranches = changedBranches;
    }

    /// Where grid row k is drawn: at the AB/2 its table entry holds, or, when
    /// the entry belongs to no reading of that row (it may still hold the
    /// AB/2 of reading k from before the readings were snapped), at the row's
    /// own customary value.
    int rowY(int k) const {
        const float a = window_->sounding().grid.value[k];
        if (a > 0.0f && snapAb2(a).index == k) return g().yOf(a);
        return g().yOf(snapAb2(abGridValue(k)).nominal);
    }

    /// Rows of the composite where `count` branches hold a value.
    std::vector<int> rowsWithBranches(int count) const {
        const Sounding& s = window_->sounding();
        std::vector<int> rows;
        for (int k = s.minGridIndex; k <= s.maxGridIndex; ++k) {
            int present = 0;
            for (int b = 1; b <= s.branches.branchCount; ++b)
                present += s.branches.shiftedRho[k][b] > 0.0f ? 1 : 0;
            if (present == count) rows.push_back(k);
        }
        return rows;
    }

    int lastChangedBranches = 0;
};

TEST_F(CurveEditingTest, GefCurveWithThreeBranches) {
    windowWithCurve();
    ASSERT_EQ(window_->sounding().branches.branchCount, 3);
    clickRow(3, 1.2);  // branch 1 only
    EXPECT_EQ(lastChangedBranches, 1);
    clickRow(8, 0.8);  // branches 1 and 2
    EXPECT_EQ(lastChangedBranches, 2);
    clickRow(15, 1.3);  // branches 2 and 3: the last branch counts too
    EXPECT_EQ(lastChangedBranches, 2);
    clickRow(18, 0.9);  // branch 3 alone, at the end of the curve
    EXPECT_EQ(lastChangedBranches, 1);
    EXPECT_EQ(window_->sounding().branches.shiftedRho[18][1], -999.0f);
}

TEST_F(CurveEditingTest, RstRecordsWithTwoBranchesAndWithOne) {
    openWindow();
    const std::string path = writeFile("ves.rst", twoRecordRst());
    dialogs_.expectOpen(path);
    window_->openRstFirstCurve();
    dialogs_.verifyDone();
    ASSERT_EQ(window_->sounding().branches.branchCount, 2);
    ASSERT_EQ(rowsWithBranches(2), (std::vector<int>{4, 5}));
    clickRow(5, 1.2);
    EXPECT_EQ(lastChangedBranches, 2);
    clickRow(9, 0.8);
    EXPECT_EQ(lastChangedBranches, 1);
    clickRow(0, 1.1);
    EXPECT_EQ(lastChangedBranches, 1);

    expectWorkDiscarded(path);  // the clicks above changed the curve
    window_->openNextRstCurve();  // the second record: one branch
    ASSERT_EQ(window_->sounding().branches.branchCount, 1);
    clickRow(7, 1.3);
    EXPECT_EQ(lastChangedBranches, 1);
    clickRow(0, 0.85);
    EXPECT_EQ(lastChangedBranches, 1);
}

TEST_F(CurveEditingTest, SheetWithThreeBranches) {
    openWindow();
    const std::string path = writeFile(
        "VES 30.csv",
        "AB/2;MN/"
        "2;rhoa\r\n1;0,5;40\r\n1,3;0,5;44\r\n2,18;0,5;52\r\n3,66;0,5;70\r\n3,66;2;84\r\n6,15;2;101\r\n"
        "10,3;2;120\r\n10,3;10;150\r\n17,4;10;180\r\n29,1;10;210\r\n49;10;230\r\n");
    dialogs_.expectOpen(path);
    window_->openSheet();
    dialogs_.verifyDone();
    ASSERT_EQ(window_->sounding().branches.branchCount, 3);
    ASSERT_EQ(rowsWithBranches(2), (std::vector<int>{5, 9}));
    clickRow(9, 0.7);  // branches 2 and 3
    EXPECT_EQ(lastChangedBranches, 2);
    clickRow(5, 1.25);  // branches 1 and 2
    EXPECT_EQ(lastChangedBranches, 2);
    clickRow(15, 0.9);  // the last row, branch 3 alone
    EXPECT_EQ(lastChangedBranches, 1);
}

TEST_F(CurveEditingTest, PointOfTheProfileDatabaseCarriesItsCompositeOnEveryBranch) {
    openWindow();
    const VesPoint point = orma::test::makePoint(3, 14, 3);
    ASSERT_EQ(point.MNmx, 3);
    window_->reopenStoredPoint(loadPointIntoSounding(point, window_->sounding()));
    ASSERT_TRUE(window_->sounding().compositeBuilt);
    ASSERT_EQ(window_->sounding().branches.branchCount, 3);
    clickRow(2, 1.3);  // the first row of the point's curve
    EXPECT_EQ(lastChangedBranches, 3);
    clickRow(10, 0.75);
    EXPECT_EQ(lastChangedBranches, 3);
    clickRow(15, 1.1);  // the last row
    EXPECT_EQ(lastChangedBranches, 3);
    // The stored point's samples are not the composite: they stay.
    for (int s = 0; s < point.Mermx; ++s) EXPECT_EQ(window_->sounding().points.rhoA[s], point.rhoA[s]) << s;
}

TEST_F(CurveEditingTest, MouseDrawnCurveWhileShapedAndAfterF4) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectInput("Enter number or chainage of VES point: ", "number or chainage of VES point: ", "8");
    dialogs_.expectInput("Enter number of profile:", "number of profile: ", "2", "1");
    dialogs_.expectInput(
        "Amount of omitted AB/2 (mesured from AB/2 1m=0,1.3m=1,1.68,2.18,2.82,3.66,4.74,6.15,7.97,10.29..): ",
        "amount of omitted AB/2: ", "4");
    dialogs_.expectInput("Enter number of the last point of VES curve 10=10.29, 15=37.8, 20=138, 23=301,1 : ",
                         "number of the last point of VES curve: ", "14");
    window.inputCurveByMouse();
    dialogs_.verifyDone();
    ASSERT_TRUE(window.sounding().mouseDrawnCurve);
    ASSERT_TRUE(window.sounding().curveEditMode);
    ASSERT_EQ(window.sounding().minGridIndex, 4);

    // While shaped, each click also sets the reading of that row (point k - 4)
    // and the curve is processed again: the other readings stay.
    for (const auto& [k, factor] : {std::pair{4, 1.3}, std::pair{9, 0.8}, std::pair{14, 1.2}}) {
        SCOPED_TRACE(k);
        const PointTable points = window.sounding().points;
        const auto composite = window.sounding().branches.shiftedRho;
        const int x = g().xOf(factor * window.sounding().composite(k));
        const int y = rowY(k);
        move(x, y);
        ASSERT_EQ(window.editor().state().snappedIndex, k);
        const float set = static_cast<float>(g().rhoAt(x));
        click(Qt::LeftButton, x, y);
        const Sounding& s = window.sounding();
        for (int p = 0; p < points.pointCount; ++p)
            EXPECT_EQ(s.points.rhoA[p], p == k - 4 ? set : points.rhoA[p]) << "reading " << p;
        for (int row = 0; row < kGridSlots; ++row)
            EXPECT_FLOAT_EQ(s.composite(row), row == k ? set : composite[row][0]) << "row " << row;
        EXPECT_FLOAT_EQ(s.branches.shiftedRho[k][1], set);
        EXPECT_TRUE(s.curveEditMode);
    }

    window.toggleCurveEditing();  // F4 commits the curve
    ASSERT_FALSE(window.sounding().mouseDrawnCurve);
    ASSERT_FALSE(window.sounding().curveEditMode);
    const PointTable committed = window.sounding().points;
    clickRow(10, 1.2);  // now an ordinary one-branch curve
    EXPECT_EQ(lastChangedBranches, 1);
    for (int p = 0; p < committed.pointCount; ++p)
        EXPECT_EQ(window.sounding().points.rhoA[p], committed.rhoA[p]);
}

TEST_F(CurveEditingTest, TheCrosshairSnapsToTheNearestRowAndHalfWayToTheUpperOne) {
    windowWithCurve();
    window_->toggleCurveEditing();
    const Sounding& s = window_->sounding();
    const int upper = rowY(6);
    const int lower = rowY(7);
    ASSERT_GE(lower - upper, 4);
    move(g().xOf(30), lower - 1);
    EXPECT_EQ(window_->editor().state().snappedIndex, 7);
    move(g().xOf(30), upper + 1);
    EXPECT_EQ(window_->editor().state().snappedIndex, 6);
    if ((lower - upper) % 2 == 0) {
        // Take the crosshair off first: exactly half-way the first row wins.
        click(Qt::RightButton, g().x1 + 3, upper);
        window_->toggleCurveEditing();
        move(g().xOf(30), (upper + lower) / 2);
        EXPECT_EQ(window_->editor().state().snappedIndex, 6);
    }
    // Rows outside the curve's range are never snapped to.
    move(g().xOf(30), g().y1 - 1);
    EXPECT_EQ(window_->editor().state().snappedIndex, s.maxGridIndex);
    move(g().xOf(30), g().y0 + 1);
    EXPECT_EQ(window_->editor().state().snappedIndex, s.minGridIndex);
}

}  // namespace
}  // namespace orma::ui::test
