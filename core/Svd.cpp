#include "core/Svd.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orma {

namespace {

constexpr double kTinyScale = 1e-55;     // a column or row below this is left unreflected
constexpr double kRelativeZero = 8.9e-16;  // about 4 ulp of the matrix norm
constexpr int kSweepsPerColumn = 100;

/// Left reflection of column k (rows k..rows-1), applied to WJ and UT.
void reflectColumn(FitWorkspace& ws, int k, int rows, int columns) {
    auto& wj = ws.WJ;
    auto& x = ws.householder;
    double scale = 0.0;
    for (int i = k; i < rows; ++i) scale = std::max(scale, std::fabs(wj[i][k]));
    if (scale < kTinyScale) return;
    double sigma = 0.0;
    for (int i = k; i < rows; ++i) {
        x[i] = wj[i][k] / scale;
        sigma += x[i] * x[i];
    }
    const double alpha = x[k] >= 0.0 ? std::sqrt(sigma) : -std::sqrt(sigma);
    x[k] += alpha;
    const double beta = alpha * x[k];
    for (int c = k; c < columns; ++c) {
        double t = 0.0;
        for (int i = k; i < rows; ++i) t += x[i] * wj[i][c];
        t /= beta;
        for (int i = k; i < rows; ++i) wj[i][c] -= t * x[i];
    }
    for (int c = 0; c < rows; ++c) {
        double t = 0.0;
        for (int i = k; i < rows; ++i) t += x[i] * ws.UT[i][c];
        t /= beta;
        for (int i = k; i < rows; ++i) ws.UT[i][c] -= t * x[i];
    }
}

/// Right reflection of row k (columns k+1..columns-1), applied to WJ and V.
void reflectRow(FitWorkspace& ws, int k, int rows, int columns) {
    auto& wj = ws.WJ;
    auto& y = ws.householder;
    double scale = 0.0;
    for (int c = k + 1; c < columns; ++c) scale = std::max(scale, std::fabs(wj[k][c]));
    if (!(scale > kTinyScale)) return;
    double sigma = 0.0;
    for (int c = k + 1; c < columns; ++c) {
        y[c] = wj[k][c] / scale;
        sigma += y[c] * y[c];
    }
    const double alpha = y[k + 1] >= 0.0 ? std::sqrt(sigma) : -std::sqrt(sigma);
    y[k + 1] += alpha;
    const double beta = alpha * y[k + 1];
    for (int i = k; i < rows; ++i) {
        double t = 0.0;
        for (int c = k + 1; c < columns; ++c) t += y[c] * wj[i][c];
        t /= beta;
        for (int c = k + 1; c < columns; ++c) wj[i][c] -= t * y[c];
    }
    for (int i = 0; i < columns; ++i) {
        double t = 0.0;
        for (int c = k + 1; c < columns; ++c) t += y[c] * ws.V[i][c];
        t /= beta;
        for (int c = k + 1; c < columns; ++c) ws.V[i][c] -= t * y[c];
    }
}

/// Rows a and b of UT become c*a + s*b and c*b - s*a.
void rotateUtRows(FitWorkspace& ws, int a, int b, double c, double s, int rows) {
    for (int col = 0; col < rows; ++col) {
        const double ua = ws.UT[a][col];
        const double ub = ws.UT[b][col];
        ws.UT[a][col] = c * ua + s * ub;
        ws.UT[b][col] = c * ub - s * ua;
    }
}

/// Columns a and b of V become c*a + s*b and c*b - s*a.
void rotateVColumns(FitWorkspace& ws, int a, int b, double c, double s, int columns) {
    for (int i = 0; i < columns; ++i) {
        const double va = ws.V[i][a];
        const double vb = ws.V[i][b];
        ws.V[i][a] = c * va + s * vb;
        ws.V[i][b] = c * vb - s * va;
    }
}

struct Rotation {
    double c = 1.0;
    double s = 0.0;
    double r = 0.0;
};

/// The rotation taking (f, g) to (r, 0); the identity when both are zero.
Rotation givens(double f, double g) {
    const double r = std::hypot(f, g);
    if (r == 0.0) return {};
    return {f / r, g / r, r};
}

/// The bidiagonal d (diagonal) and e (superdiagonal) being diagonalised.
struct Bidiagonal {
    std::array<double, kMaxParameters> d{};
    std::array<double, kMaxParameters> e{};
};

/// d[i] is zero: rotate rows i and i+1..q so that row i loses its superdiagonal.
void chaseRowOfZeroDiagonal(Bidiagonal& b, FitWorkspace& ws, int i, int q, int rows) {
    double f = b.e[i];
    b.e[i] = 0.0;
    for (int j = i + 1; j <= q && f != 0.0; ++j) {
        const Rotation g = givens(b.d[j], f);
        b.d[j] = g.r;
        rotateUtRows(ws, j, i, g.c, g.s, rows);
        if (j < q) {
            f = -g.s * b.e[j];
            b.e[j] *= g.c;
        }
    }
}

/// d[q] is zero: rotate columns q-1..l against q so that e[q-1] vanishes.
void chaseColumnOfZeroDiagonal(Bidiagonal& b, FitWorkspace& ws, int l, int q, int columns) {
    double f = b.e[q - 1];
    b.e[q - 1] = 0.0;
    for (int j = q - 1; j >= l && f != 0.0; --j) {
        const Rotation g = givens(b.d[j], f);
        b.d[j] = g.r;
        rotateVColumns(ws, j, q, g.c, g.s, columns);
        if (j > l) {
            f = -g.s * b.e[j - 1];
            b.e[j - 1] *= g.c;
        }
    }
}

/// One implicit-shift QR sweep over the unreduced block l..q. The shift is
/// the squared length of column q of the block.
void sweep(Bidiagonal& b, FitWorkspace& ws, int l, int q, int rows, int columns) {
    const double mu = b.d[q] * b.d[q] + b.e[q - 1] * b.e[q - 1];
    double g = b.d[l] * b.d[l] - mu;
    double h = b.d[l] * b.e[l];
    for (int k = l; k < q; ++k) {
        const Rotation right = givens(g, h);
        if (k > l) b.e[k - 1] = right.r;
        const double c = right.c;
        const double s = right.s;
        const double dk = c * b.d[k] + s * b.e[k];
        b.e[k] = c * b.e[k] - s * b.d[k];
        const double below = s * b.d[k + 1];
        b.d[k + 1] *= c;
        b.d[k] = dk;
        rotateVColumns(ws, k, k + 1, c, s, columns);

        const Rotation left = givens(b.d[k], below);
        b.d[k] = left.r;
        const double ek = left.c * b.e[k] + left.s * b.d[k + 1];
        b.d[k + 1] = left.c * b.d[k + 1] - left.s * b.e[k];
        b.e[k] = ek;
        double bulge = 0.0;
        if (k < q - 1) {
            bulge = left.s * b.e[k + 1];
            b.e[k + 1] *= left.c;
        }
        rotateUtRows(ws, k, k + 1, left.c, left.s, rows);
        g = b.e[k];
        h = bulge;
    }
}

/// Diagonalises the bidiagonal, accumulating the rotations into UT and V.
SvdOutcome diagonalise(Bidiagonal& b, FitWorkspace& ws, int rows, int columns) {
    SvdOutcome outcome;
    double norm = 0.0;
    for (int k = 0; k < columns; ++k)
        norm = std::max(norm, std::fabs(b.d[k]) + (k > 0 ? std::fabs(b.e[k - 1]) : 0.0));
    const double negligible = kRelativeZero * norm;
    const int sweepLimit = kSweepsPerColumn * columns;

    int q = columns - 1;
    while (q >= 1) {
        if (std::fabs(b.e[q - 1]) <= negligible) {
            b.e[q - 1] = 0.0;
            --q;
            continue;
        }
        int l = q - 1;
        while (l > 0 && std::fabs(b.e[l - 1]) > negligible) --l;
        if (l > 0) b.e[l - 1] = 0.0;

        bool chased = false;
        for (int i = l; i < q; ++i) {
            if (std::fabs(b.d[i]) <= negligible) {
                b.d[i] = 0.0;
                chaseRowOfZeroDiagonal(b, ws, i, q, rows);
                chased = true;
                break;
            }
        }
        if (!chased && std::fabs(b.d[q]) <= negligible) {
            b.d[q] = 0.0;
            chaseColumnOfZeroDiagonal(b, ws, l, q, columns);
            chased = true;
        }
        if (chased) continue;

        if (outcome.sweeps >= sweepLimit) {
            outcome.converged = false;
            break;
        }
        ++outcome.sweeps;
        sweep(b, ws, l, q, rows, columns);
    }
    return outcome;
}

}  // namespace

SvdOutcome decomposeSvd(FitWorkspace& ws, int rowCount, int columnCount) {
    const int columns = std::clamp(columnCount, 0, kMaxParameters);
    const int dataRows = std::clamp(rowCount, 0, kMaxFitRows);
    const int rows = std::max(dataRows, columns);

    for (auto& row : ws.UT) row.fill(0.0);
    for (int i = 0; i < rows; ++i) ws.UT[i][i] = 1.0;
    for (auto& row : ws.V) row.fill(0.0);
    for (int i = 0; i < columns; ++i) ws.V[i][i] = 1.0;
    for (int i = dataRows; i < rows; ++i)
        for (int c = 0; c < columns; ++c) ws.WJ[i][c] = 0.0;
    if (columns == 0) return {};

    for (int k = 0; k < columns; ++k) {
        reflectColumn(ws, k, rows, columns);
        if (k < columns - 2) reflectRow(ws, k, rows, columns);
    }

    Bidiagonal b;
    for (int k = 0; k < columns; ++k) {
        b.d[k] = ws.WJ[k][k];
        if (k + 1 < columns) b.e[k] = ws.WJ[k][k + 1];
    }
    const SvdOutcome outcome = diagonalise(b, ws, rows, columns);
    for (int k = 0; k < columns; ++k) {
        ws.WJ[k][k] = b.d[k];
        if (k + 1 < columns) ws.WJ[k][k + 1] = b.e[k];
    }
    return outcome;
}

}  // namespace orma
