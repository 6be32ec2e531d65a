// Every row of the field-spacing table: its nominal value and both open bounds,
// approached from inside and outside. A spacing outside every row goes to the
// index formula with the exact grid value.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/AbGrid.h"

namespace orma {
namespace {

struct Row {
    double lo;
    double hi;
    float nominal;  ///< 0: the exact grid value of the row
};

// Rows 0..25 of the customary field spacings (row k snaps to grid index k).
constexpr Row kRows[] = {
    {0.6, 1.1, 1.0f},       {1.1, 1.4, 1.3f},       {1.6, 1.8, 1.68f},       {1.9, 2.3, 2.18f},
    {2.77, 2.99, 2.82f},    {3.5, 3.78, 3.66f},     {4.66, 4.88, 4.74f},     {6.0, 6.5, 6.15f},
    {7.5, 8.3, 7.97f},      {10.0, 10.5, 10.3f},    {13.0, 13.99, 13.4f},    {17.0, 18.0, 17.4f},
    {22.0, 23.1, 22.5f},    {28.88, 29.99, 29.1f},  {37.0, 38.0, 37.8f},     {48.0, 50.1, 49.0f},
    {63.0, 64.0, 63.5f},    {81.5, 84.0, 82.3f},    {105.0, 109.0, 107.00001f}, {133.0, 142.0, 138.0f},
    {142.0, 200.0, 179.2f}, {200.0, 280.0, 232.3f}, {280.0, 330.0, 301.1f},  {330.0, 450.0, 0.0f},
    {450.0, 600.0, 0.0f},   {600.0, 830.0, 0.0f},
};
constexpr int kRowCount = sizeof kRows / sizeof kRows[0];

float exactValue(int k) { return static_cast<float>(std::pow(10.0, k / 8.876)); }

float nominalOf(int k) { return kRows[k].nominal > 0.0f ? kRows[k].nominal : exactValue(k); }

/// trunc(8.876 log10(a) + 0.2), written as ln(a) / (ln 10 / 8.876) + 0.2.
int formulaIndex(double a) { return static_cast<int>(std::log(a) / (std::log(10.0) / 8.876) + 0.2); }

void expectRow(double a, int k) {
    const SnappedAb2 snapped = snapAb2(a);
    EXPECT_EQ(snapped.index, k) << "AB/2 " << a;
    EXPECT_FLOAT_EQ(snapped.nominal, nominalOf(k)) << "AB/2 " << a;
}

void expectFormula(double a) {
    const SnappedAb2 snapped = snapAb2(a);
    const int k = formulaIndex(a);
    EXPECT_EQ(snapped.index, k) << "AB/2 " << a;
    EXPECT_FLOAT_EQ(snapped.nominal, exactValue(k)) << "AB/2 " << a;
}

double below(double a) { return std::nextafter(a, 0.0); }
double above(double a) { return std::nextafter(a, std::numeric_limits<double>::infinity()); }

TEST(SnapTable, EveryRowHoldsItsOpenIntervalWithItsNominalValue) {
    for (int k = 0; k < kRowCount; ++k) {
        SCOPED_TRACE("row " + std::to_string(k));
        const Row& row = kRows[k];
        expectRow(above(row.lo), k);
        expectRow((row.lo + row.hi) / 2, k);
        expectRow(below(row.hi), k);
    }
}

TEST(SnapTable, BoundsThemselvesAndTheGapsGoToTheFormula) {
    for (int k = 0; k < kRowCount; ++k) {
        SCOPED_TRACE("row " + std::to_string(k));
        const Row& row = kRows[k];
        expectFormula(row.lo);
        // Just outside the lower bound: the row below when the two touch.
        if (k > 0 && kRows[k - 1].hi == row.lo)
            expectRow(below(row.lo), k - 1);
        else
            expectFormula(below(row.lo));
        if (k == kRowCount - 1) continue;  // 830 m and above belong to the last rows
        expectFormula(row.hi);
        if (kRows[k + 1].lo == row.hi)
            expectRow(above(row.hi), k + 1);
        else
            expectFormula(above(row.hi));
    }
}

}  // namespace
}  // namespace orma
