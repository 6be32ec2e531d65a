#include "core/AbGrid.h"

#include <cmath>

namespace orma {

namespace {

/// 10^(26.5/8.876) m, the logarithmic midpoint of grid points 26 and 27.
constexpr double kGrid26To27Split = 967.3398735695893;

struct SnapRow {
    double lo;
    double hi;
    float nominal;  // < 0: the exact grid value of the row's index
};

// Customary field spacings: measured AB/2 inside (lo, hi) belongs to the row's index.
constexpr SnapRow kSnapTable[] = {
    {0.6, 1.1, 1.0f},      {1.1, 1.4, 1.3f},      {1.6, 1.8, 1.68f},     {1.9, 2.3, 2.18f},
    {2.77, 2.99, 2.82f},   {3.5, 3.78, 3.66f},    {4.66, 4.88, 4.74f},   {6.0, 6.5, 6.15f},
    {7.5, 8.3, 7.97f},     {10.0, 10.5, 10.3f},   {13.0, 13.99, 13.4f},  {17.0, 18.0, 17.4f},
    {22.0, 23.1, 22.5f},   {28.88, 29.99, 29.1f}, {37.0, 38.0, 37.8f},   {48.0, 50.1, 49.0f},
    {63.0, 64.0, 63.5f},   {81.5, 84.0, 82.3f},   {105.0, 109.0, 107.00001f},
    {133.0, 142.0, 138.0f}, {142.0, 200.0, 179.2f}, {200.0, 280.0, 232.3f},
    {280.0, 330.0, 301.1f}, {330.0, 450.0, -1.0f}, {450.0, 600.0, -1.0f},
    {600.0, 830.0, -1.0f},
    // 830..1250 m holds two grid points (849.66 and 1101.31 m): each spacing
    // goes to the nearer one, split at their logarithmic midpoint, so that a
    // written 1101.31 m reads back onto its own row.
    {830.0, kGrid26To27Split, -1.0f}, {kGrid26To27Split, 1250.0, -1.0f},
};

}  // namespace

int abGridIndex(double a) {
    const double index = std::log(a) / (std::log(10.0) * kGridStep) + 0.2;
    // Non-positive or absurd spacings lie far off the grid; keep the cast defined.
    if (!(index > -1e6)) return -1000000;
    if (index > 1e6) return 1000000;
    return static_cast<int>(index);
}

double abGridValue(int k) { return std::exp(std::log(10.0) * k * kGridStep); }

SnappedAb2 snapAb2(double a) {
    int index = 0;
    for (const SnapRow& row : kSnapTable) {
        if (row.lo < a && a < row.hi) {
            const float nominal = row.nominal > 0 ? row.nominal : static_cast<float>(abGridValue(index));
            return {index, nominal};
        }
        ++index;
    }
    const int k = abGridIndex(a);
    return {k, static_cast<float>(abGridValue(k))};
}

}  // namespace orma
