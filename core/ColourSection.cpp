#include "core/ColourSection.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace orma {

namespace {

/// The rows of a column's boundaries from its top to `bottom`, never going
/// up again (a damaged model cannot fold the section over itself).
std::vector<double> boundaryRows(const ModelColumn& column, double bottom) {
    std::vector<double> rows;
    rows.reserve(column.interfaces.size() + 2);
    double previous = std::min(column.top, bottom);
    rows.push_back(previous);
    for (double row : column.interfaces) {
        if (!(row >= previous)) row = previous;  // also NaN
        row = std::min(row, bottom);
        rows.push_back(row);
        previous = row;
    }
    rows.push_back(bottom);
    return rows;
}

/// Which interfaces of the longer list join those of the shorter one (in
/// order, every short one used): least sum of log-depth differences.
std::vector<int> matchInterfaces(const std::vector<double>& shortRows, const std::vector<double>& longRows) {
    const int m = static_cast<int>(shortRows.size()) - 2;  // interfaces between top and bottom
    const int n = static_cast<int>(longRows.size()) - 2;
    const auto logDepth = [](const std::vector<double>& rows, int i) {
        return std::log(std::max(rows[static_cast<std::size_t>(i + 1)] - rows[0], 0.5));
    };
    constexpr double kNever = std::numeric_limits<double>::infinity();
    std::vector<std::vector<double>> cost(static_cast<std::size_t>(m + 1), std::vector<double>(static_cast<std::size_t>(n + 1), kNever));
    for (int j = 0; j <= n; ++j) cost[0][static_cast<std::size_t>(j)] = 0.0;
    for (int i = 1; i <= m; ++i) {
        for (int j = i; j <= n; ++j) {
            const double skip = cost[i][j - 1];
            const double join = cost[i - 1][j - 1] + std::fabs(logDepth(shortRows, i - 1) - logDepth(longRows, j - 1));
            cost[i][j] = std::min(skip, join);
        }
    }
    std::vector<int> joined(static_cast<std::size_t>(m));
    for (int i = m, j = n; i > 0; --j) {
        if (j == i || cost[i - 1][j - 1] + std::fabs(logDepth(shortRows, i - 1) - logDepth(longRows, j - 1)) <= cost[i][j - 1]) {
            joined[static_cast<std::size_t>(i - 1)] = j - 1;
            --i;
        }
    }
    return joined;
}

ColourRaster clipped(const ColourRaster& raster) {
    ColourRaster r = raster;
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, r.width);
    r.bottom = std::min(r.bottom, r.height);
    return r;
}

/// First row whose centre lies at or below `row`, within the raster.
int firstRowAtOrBelow(double row, const ColourRaster& r) {
    const double first = std::ceil(row - 0.5);
    if (!(first > r.top)) return r.top;
    if (first >= r.bottom) return r.bottom;
    return static_cast<int>(first);
}

/// Runs of one colour down each column, collected column by column and then
/// written row by row: a bitmap row lies contiguous in memory, a column is
/// spread over as many cache lines as it has rows.
class ColumnRuns {
public:
    explicit ColumnRuns(const ColourRaster& r)
        : r_(r), width_(r.right - r.left), first_(static_cast<std::size_t>(width_), 0), last_(static_cast<std::size_t>(width_), 0) {
        ends_.push_back(std::numeric_limits<int>::max());  // run 0: nothing, never ending
        colours_.push_back(kNothing);
    }

    /// Column x starts again (a later pair of points overrides an earlier
    /// one at their common column), painted from `startRow` down.
    void begin(int x, int startRow) {
        const std::size_t i = static_cast<std::size_t>(x - r_.left);
        first_[i] = ends_.size();
        ends_.push_back(startRow);
        colours_.push_back(kNothing);
        last_[i] = first_[i];
    }
    /// Column x takes `colour` down to row `endRow` (excluded).
    void add(int x, int endRow, std::uint32_t colour) {
        const std::size_t i = static_cast<std::size_t>(x - r_.left);
        if (endRow <= ends_[last_[i]]) return;
        ends_.push_back(endRow);
        colours_.push_back(colour);
        last_[i] = ends_.size() - 1;
    }

    void write() {
        // Each column ends with run 0 (nothing, for ever) after its last run.
        std::vector<std::size_t> cursor(first_);
        std::vector<int> nextEnd(static_cast<std::size_t>(width_));
        std::vector<std::uint32_t> current(static_cast<std::size_t>(width_));
        for (std::size_t i = 0; i < cursor.size(); ++i) {
            nextEnd[i] = ends_[cursor[i]];
            current[i] = colours_[cursor[i]];
        }
        for (int y = r_.top; y < r_.bottom; ++y) {
            std::uint32_t* row = r_.pixels + static_cast<std::ptrdiff_t>(y) * r_.stride + r_.left;
            for (std::size_t i = 0; i < cursor.size(); ++i) {
                while (y >= nextEnd[i]) {
                    cursor[i] = cursor[i] == last_[i] ? 0 : cursor[i] + 1;
                    nextEnd[i] = ends_[cursor[i]];
                    current[i] = colours_[cursor[i]];
                }
                if (current[i] != kNothing) row[i] = current[i];
            }
        }
    }

private:
    static constexpr std::uint32_t kNothing = 0;  // painted colours are opaque: never 0

    const ColourRaster& r_;
    int width_;
    std::vector<int> ends_;
    std::vector<std::uint32_t> colours_;
    std::vector<std::size_t> first_, last_;  ///< per column: its first and last run
};

/// The curve at a fractional sample position; NaN outside it.
double sampleAt(const CurveColumn& column, double position) {
    const int last = static_cast<int>(column.logRho.size()) - 1;
    if (!(position >= 0.0) || position > last) return std::numeric_limits<double>::quiet_NaN();
    const int i = std::min(static_cast<int>(position), last);
    if (i == last) return column.logRho[static_cast<std::size_t>(last)];
    const double f = position - i;
    return column.logRho[static_cast<std::size_t>(i)] * (1.0 - f) + column.logRho[static_cast<std::size_t>(i + 1)] * f;
}

template <typename Column>
void sortByX(std::vector<Column>& columns) {
    std::stable_sort(columns.begin(), columns.end(), [](const Column& a, const Column& b) { return a.x < b.x; });
}

}  // namespace

JoinedColumns joinColumns(const ModelColumn& a, const ModelColumn& b, double bottom) {
    const std::vector<double> rowsA = boundaryRows(a, bottom);
    const std::vector<double> rowsB = boundaryRows(b, bottom);
    const bool aIsShort = rowsA.size() <= rowsB.size();
    const std::vector<double>& shortRows = aIsShort ? rowsA : rowsB;
    const std::vector<double>& longRows = aIsShort ? rowsB : rowsA;
    const std::vector<int> joined = matchInterfaces(shortRows, longRows);

    std::vector<double> outShort{shortRows.front()}, outLong{longRows.front()};
    std::vector<int> layerShort{0}, layerLong{0};
    const int n = static_cast<int>(longRows.size()) - 2;
    std::size_t nextJoin = 0;
    // Anchors: the last joined pair above (index in short, in long).
    int anchorShort = 0, anchorLong = 0;
    for (int j = 0; j < n; ++j) {
        const int longIndex = j + 1;
        if (nextJoin < joined.size() && joined[nextJoin] == j) {
            ++nextJoin;
            anchorShort = static_cast<int>(nextJoin);
            anchorLong = longIndex;
            outShort.push_back(shortRows[static_cast<std::size_t>(anchorShort)]);
            outLong.push_back(longRows[static_cast<std::size_t>(longIndex)]);
            layerShort.push_back(layerShort.back() + 1);
        } else {
            // Left over: at its relative position between the joined pairs
            // above and below, carried over to the other column.
            const int belowShort = anchorShort + 1;
            const int belowLong = nextJoin < joined.size() ? joined[nextJoin] + 1 : n + 1;
            const double l0 = longRows[static_cast<std::size_t>(anchorLong)];
            const double l1 = longRows[static_cast<std::size_t>(belowLong)];
            const double s0 = shortRows[static_cast<std::size_t>(anchorShort)];
            const double s1 = shortRows[static_cast<std::size_t>(belowShort)];
            const double f = l1 > l0 ? (longRows[static_cast<std::size_t>(longIndex)] - l0) / (l1 - l0) : 0.0;
            outShort.push_back(s0 + f * (s1 - s0));
            outLong.push_back(longRows[static_cast<std::size_t>(longIndex)]);
            layerShort.push_back(layerShort.back());
        }
        layerLong.push_back(layerLong.back() + 1);
    }
    outShort.push_back(bottom);
    outLong.push_back(bottom);

    JoinedColumns result;
    result.rowsA = aIsShort ? std::move(outShort) : std::move(outLong);
    result.rowsB = aIsShort ? outLong : outShort;
    result.layerA = aIsShort ? std::move(layerShort) : std::move(layerLong);
    result.layerB = aIsShort ? layerLong : layerShort;
    return result;
}

void paintModelSection(std::vector<ModelColumn> columns, double bottom, const ColourScale& scale,
                       ColourRaster& raster) {
    const ColourRaster r = clipped(raster);
    if (columns.empty() || r.left >= r.right || r.top >= r.bottom) return;
    sortByX(columns);
    // A single point paints its own column; otherwise every neighbouring pair
    // paints the columns from one point to the next.
    const std::size_t pairs = columns.size() == 1 ? 1 : columns.size() - 1;
    ColumnRuns runs(r);
    std::vector<double> logA, logB;
    for (std::size_t p = 0; p < pairs; ++p) {
        const ModelColumn& a = columns[p];
        const ModelColumn& b = columns.size() == 1 ? a : columns[p + 1];
        if (b.x == a.x && columns.size() > 1) continue;
        const JoinedColumns joined = joinColumns(a, b, bottom);
        const std::size_t bands = joined.layerA.size();
        logA.resize(bands);
        logB.resize(bands);
        for (std::size_t k = 0; k < bands; ++k) {
            logA[k] = a.logRho[static_cast<std::size_t>(joined.layerA[k])];
            logB[k] = b.logRho[static_cast<std::size_t>(joined.layerB[k])];
        }
        const int from = std::max(a.x, r.left);
        const int to = std::min(b.x, r.right - 1);
        const double width = b.x > a.x ? b.x - a.x : 1.0;
        for (int x = from; x <= to; ++x) {
            const double t = (x - a.x) / width;
            runs.begin(x, firstRowAtOrBelow(joined.rowsA[0] + t * (joined.rowsB[0] - joined.rowsA[0]), r));
            for (std::size_t k = 0; k < bands; ++k) {
                const double below = joined.rowsA[k + 1] + t * (joined.rowsB[k + 1] - joined.rowsA[k + 1]);
                runs.add(x, firstRowAtOrBelow(below, r), scale.colourOf(logA[k] + t * (logB[k] - logA[k])));
            }
        }
    }
    runs.write();
}

void paintPseudoSection(std::vector<CurveColumn> columns, const PseudoDepthAxis& axis, const ColourScale& scale,
                        ColourRaster& raster) {
    const ColourRaster r = clipped(raster);
    if (columns.empty() || r.left >= r.right || r.top >= r.bottom || !(axis.pixelsPerDecade > 0.0)) return;
    sortByX(columns);
    // What each bitmap column shows: its two curves, their weights and the
    // rows where both reach; then the bitmap is written row by row.
    struct Plan {
        const CurveColumn* a = nullptr;
        const CurveColumn* b = nullptr;
        double t = 0.0, top = 0.0;
        int firstRow = 0, endRow = 0;
        // Sample positions in each curve as linear functions of the row.
        double positionA = 0.0, stepA = 0.0, positionB = 0.0, stepB = 0.0;
    };
    std::vector<Plan> plans(static_cast<std::size_t>(r.right - r.left));
    const auto rowOf = [&axis](double top, double logAb) { return top + (logAb - axis.logAtTop) * axis.pixelsPerDecade; };
    const std::size_t pairs = columns.size() == 1 ? 1 : columns.size() - 1;
    for (std::size_t p = 0; p < pairs; ++p) {
        const CurveColumn& a = columns[p];
        const CurveColumn& b = columns.size() == 1 ? a : columns[p + 1];
        if (b.x == a.x && columns.size() > 1) continue;
        if (a.logRho.empty() || b.logRho.empty()) continue;
        const double start = std::max(a.firstLogAb, b.firstLogAb);
        const double end = std::min(a.firstLogAb + (a.logRho.size() - 1) * a.logAbStep,
                                    b.firstLogAb + (b.logRho.size() - 1) * b.logAbStep);
        const int from = std::max(a.x, r.left);
        const int to = std::min(b.x, r.right - 1);
        const double width = b.x > a.x ? b.x - a.x : 1.0;
        for (int x = from; x <= to; ++x) {
            Plan& plan = plans[static_cast<std::size_t>(x - r.left)];
            plan = Plan{&a, &b, (x - a.x) / width, 0.0, r.bottom, r.bottom};
            plan.top = a.top + plan.t * (b.top - a.top);
            if (end < start) continue;
            plan.firstRow = firstRowAtOrBelow(std::max(plan.top, rowOf(plan.top, start)), r);
            plan.endRow = firstRowAtOrBelow(rowOf(plan.top, end) + 1e-9, r);
            // log AB/2 at row y is logAtTop + (y + 0.5 - top) / pixelsPerDecade.
            const double logAtRow0 = axis.logAtTop + (0.5 - plan.top) / axis.pixelsPerDecade;
            plan.positionA = (logAtRow0 - a.firstLogAb) / a.logAbStep;
            plan.stepA = 1.0 / (axis.pixelsPerDecade * a.logAbStep);
            plan.positionB = (logAtRow0 - b.firstLogAb) / b.logAbStep;
            plan.stepB = 1.0 / (axis.pixelsPerDecade * b.logAbStep);
        }
    }
    for (int row = r.top; row < r.bottom; ++row) {
        std::uint32_t* pixels = r.pixels + static_cast<std::ptrdiff_t>(row) * r.stride + r.left;
        for (std::size_t i = 0; i < plans.size(); ++i) {
            const Plan& plan = plans[i];
            if (row < plan.firstRow || row >= plan.endRow) continue;
            const double va = sampleAt(*plan.a, plan.positionA + row * plan.stepA);
            const double value = va + plan.t * (sampleAt(*plan.b, plan.positionB + row * plan.stepB) - va);
            if (!std::isnan(value)) pixels[i] = scale.colourOf(value);
        }
    }
}

}  // namespace orma
