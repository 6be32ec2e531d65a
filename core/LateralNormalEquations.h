#pragma once
// The sparse normal equations of the laterally constrained inversion: the
// points' dense blocks of J'J / dataError^2 on the diagonal, and C'C of the
// constraint rows, each of which ties the values of two neighbouring points.
// Assembled once per linearisation and factorised by Eigen's simplicial
// sparse LDL' for every damping level tried (the pattern is analysed once).
// Eigen stays inside the implementation.

#include <memory>
#include <vector>

#include "core/LateralConstraints.h"
#include "core/LateralInversionPoint.h"

namespace orma {

class LateralNormalEquations {
public:
    LateralNormalEquations();
    ~LateralNormalEquations();
    LateralNormalEquations(const LateralNormalEquations&) = delete;
    LateralNormalEquations& operator=(const LateralNormalEquations&) = delete;

    /// The system at the points' accepted models: their linearised blocks
    /// (LciPointState::normal, gradient) and the constraint rows with their
    /// derivatives. `parameters` is the number of columns of all points.
    void assemble(const std::vector<LciPointState>& points, const std::vector<LateralConstraint>& constraints,
                  int parameters, double dataError);

    /// Solves (A + damping I) step = b. False when the factorisation fails
    /// (then `step` is unchanged).
    bool solve(double damping, std::vector<double>& step);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace orma
