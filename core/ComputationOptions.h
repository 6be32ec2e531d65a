#pragma once
// Switches on the numerical methods of the forward computation and the fit.
// The defaults are the program's standard method, bit for bit: the 13-tap
// filter in single precision on the AB/2 grid, and a fit that ends when a
// linearisation improves the SSQ by less than 2.5 %. One struct is handed to
// the forward, the sensitivities and the fit; there are no global switches.

namespace orma {

struct ComputationOptions {
    /// The 201-point J1 filter in double precision (AccurateForward.h)
    /// instead of the 13-tap filter.
    bool accurateForward = false;
    /// The model is computed at the measured AB/2 of each composite row (the
    /// mean spacing of the readings that snapped there) instead of the grid
    /// value of the row. Plotting, shifting and files do not change.
    bool measuredSpacings = false;
    /// The fit repeats whole passes (each what one press of Enter does) until
    /// a pass improves the SSQ by less than 0.1 %, at most kMaxFitPasses.
    bool fitUntilConverged = false;

    /// The curve is computed by the standard method.
    bool standardForward() const { return !accurateForward && !measuredSpacings; }
    bool operator==(const ComputationOptions&) const = default;
};

}  // namespace orma
