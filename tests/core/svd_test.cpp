// The SVD of the weighted Jacobian: U * S * V^T rebuilds the matrix, U and V
// are orthogonal, also for awkward shapes and rank-deficient matrices.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "core/Svd.h"

namespace orma {
namespace {

using Matrix = std::array<std::array<double, kMaxParameters>, kMaxFitRows>;

struct SvdCase {
    std::unique_ptr<FitWorkspace> ws = std::make_unique<FitWorkspace>();
    std::unique_ptr<Matrix> original = std::make_unique<Matrix>();
    int rows;
    int columns;

    SvdCase(int rowCount, int columnCount, unsigned seed) : rows(rowCount), columns(columnCount) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> value(-1.0, 1.0);
        for (int i = 0; i < rows; ++i)
            for (int c = 0; c < columns; ++c) (*original)[i][c] = value(random);
    }
    SvdOutcome decompose() {
        for (int i = 0; i < rows; ++i)
            for (int c = 0; c < columns; ++c) ws->WJ[i][c] = (*original)[i][c];
        return decomposeSvd(*ws, rows, columns);
    }
    /// (U S V^T)[i][c] - original[i][c], largest magnitude.
    double rebuildError() const {
        double worst = 0.0;
        for (int i = 0; i < rows; ++i) {
            for (int c = 0; c < columns; ++c) {
                double sum = 0.0;
                for (int t = 0; t < columns; ++t) sum += ws->UT[t][i] * ws->WJ[t][t] * ws->V[c][t];
                worst = std::max(worst, std::fabs(sum - (*original)[i][c]));
            }
        }
        return worst;
    }
    double orthogonalityError() const {
        const int n = std::max(rows, columns);
        double worst = 0.0;
        for (int a = 0; a < n; ++a) {
            for (int b = 0; b < n; ++b) {
                double uu = 0.0;
                for (int t = 0; t < n; ++t) uu += ws->UT[a][t] * ws->UT[b][t];
                worst = std::max(worst, std::fabs(uu - (a == b ? 1.0 : 0.0)));
                if (a >= columns || b >= columns) continue;
                double vv = 0.0;
                for (int t = 0; t < columns; ++t) vv += ws->V[a][t] * ws->V[b][t];
                worst = std::max(worst, std::fabs(vv - (a == b ? 1.0 : 0.0)));
            }
        }
        return worst;
    }
    double superdiagonal() const {
        double worst = 0.0;
        for (int c = 0; c + 1 < columns; ++c) worst = std::max(worst, std::fabs(ws->WJ[c][c + 1]));
        return worst;
    }
};

TEST(Svd, RebuildsTheMatrixWithOrthogonalFactors) {
    const int shapes[][2] = {{30, 7}, {28, 5}, {99, 59}, {12, 12}, {9, 2}, {5, 3}, {40, 1}};
    unsigned seed = 1;
    for (const auto& shape : shapes) {
        SvdCase svd(shape[0], shape[1], seed++);
        const SvdOutcome outcome = svd.decompose();
        EXPECT_TRUE(outcome.converged);
        EXPECT_LT(svd.rebuildError(), 1e-10) << shape[0] << "x" << shape[1];
        EXPECT_LT(svd.orthogonalityError(), 1e-12) << shape[0] << "x" << shape[1];
        EXPECT_LT(svd.superdiagonal(), 1e-12);
    }
}

TEST(Svd, SingleColumnGivesMinusSignTimesLength) {
    for (double sign : {1.0, -1.0}) {
        SvdCase svd(4, 1, 0);
        (*svd.original)[0] = {sign * 3.0};
        (*svd.original)[1] = {4.0};
        (*svd.original)[2] = {0.0};
        (*svd.original)[3] = {12.0};
        EXPECT_EQ(svd.decompose().sweeps, 0);
        EXPECT_NEAR(svd.ws->WJ[0][0], -sign * 13.0, 1e-12);
        EXPECT_LT(svd.rebuildError(), 1e-12);
    }
}

TEST(Svd, FewerRowsThanColumnsIgnoresWhatEarlierFitsLeftBelow) {
    SvdCase svd(3, 6, 11);
    for (auto& row : svd.ws->WJ) row.fill(1e6);  // debris of an earlier, larger fit
    svd.decompose();
    EXPECT_LT(svd.rebuildError(), 1e-10);
    EXPECT_LT(svd.orthogonalityError(), 1e-12);
    int zeros = 0;
    for (int c = 0; c < 6; ++c) zeros += std::fabs(svd.ws->WJ[c][c]) < 1e-12;
    EXPECT_EQ(zeros, 3);  // rank 3
}

TEST(Svd, RankDeficientAndZeroColumnsStillConverge) {
    // A zero column anywhere (a layer of thickness 0) and a repeated column.
    for (int zeroColumn : {0, 3, 6}) {
        SvdCase svd(20, 7, 40 + zeroColumn);
        for (int i = 0; i < 20; ++i) {
            (*svd.original)[i][zeroColumn] = 0.0;
            (*svd.original)[i][zeroColumn == 0 ? 1 : 0] = (*svd.original)[i][5];
        }
        const SvdOutcome outcome = svd.decompose();
        EXPECT_TRUE(outcome.converged) << zeroColumn;
        EXPECT_LT(svd.rebuildError(), 1e-10) << zeroColumn;
        EXPECT_LT(svd.orthogonalityError(), 1e-12) << zeroColumn;
        int zeros = 0;
        for (int c = 0; c < 7; ++c) zeros += std::fabs(svd.ws->WJ[c][c]) < 1e-10;
        EXPECT_EQ(zeros, 2) << zeroColumn;
    }
    SvdCase allZero(10, 4, 0);
    for (auto& row : *allZero.original) row.fill(0.0);
    EXPECT_TRUE(allZero.decompose().converged);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(allZero.ws->WJ[c][c], 0.0);
}

TEST(Svd, SingularValuesMatchTheKnownSpectrum) {
    // diag(5, 2, 0.5) rotated by two plane rotations on each side.
    SvdCase svd(3, 3, 0);
    const double c = std::cos(0.3), s = std::sin(0.3);
    const double d[3] = {5.0, 2.0, 0.5};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) (*svd.original)[i][j] = 0.0;
    // A = R * diag * Q^T with R mixing rows 0/1 and Q mixing columns 1/2.
    const double r[3][3] = {{c, -s, 0}, {s, c, 0}, {0, 0, 1}};
    const double q[3][3] = {{1, 0, 0}, {0, c, -s}, {0, s, c}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int t = 0; t < 3; ++t) (*svd.original)[i][j] += r[i][t] * d[t] * q[j][t];
    svd.decompose();
    std::array<double, 3> values{};
    for (int t = 0; t < 3; ++t) values[t] = std::fabs(svd.ws->WJ[t][t]);
    std::sort(values.begin(), values.end());
    EXPECT_NEAR(values[0], 0.5, 1e-12);
    EXPECT_NEAR(values[1], 2.0, 1e-12);
    EXPECT_NEAR(values[2], 5.0, 1e-12);
}

}  // namespace
}  // namespace orma
