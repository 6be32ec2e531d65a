#include "core/LateralNormalEquations.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <cmath>

namespace orma {

struct LateralNormalEquations::Impl {
    Eigen::SparseMatrix<double> normal;  ///< A without damping
    Eigen::VectorXd rightSide;           ///< b
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> factor;
    bool analysed = false;
};

LateralNormalEquations::LateralNormalEquations() : impl_(std::make_unique<Impl>()) {}
LateralNormalEquations::~LateralNormalEquations() = default;

namespace {

/// Adds the derivatives of a constraint's value at one of its points, scaled
/// by `scale`, as entries of row `row` of the constraint Jacobian.
void addConstraintEntries(const LateralConstraint& c, const LciPointState& point, double scale, int row,
                          std::vector<Eigen::Triplet<double>>& entries) {
    for (int k = 0; k < point.parameters; ++k) {
        const double d =
            tiedDerivative(c.value, c.index, point.columns[k], point.thickness.data(), point.tied);
        if (d != 0.0) entries.emplace_back(row, point.offset + k, scale * d);
    }
}

}  // namespace

void LateralNormalEquations::assemble(const std::vector<LciPointState>& points,
                                      const std::vector<LateralConstraint>& constraints, int parameters,
                                      double dataError) {
    const double dataWeight = 1.0 / (dataError * dataError);
    std::vector<Eigen::Triplet<double>> entries;
    Eigen::VectorXd b = Eigen::VectorXd::Zero(parameters);
    for (const LciPointState& point : points) {
        const int m = point.parameters;
        for (int a = 0; a < m; ++a) {
            b[point.offset + a] += dataWeight * point.gradient[a];
            for (int c = 0; c < m; ++c)
                entries.emplace_back(point.offset + a, point.offset + c,
                                     dataWeight * point.normal[a * m + c]);
        }
    }
    Eigen::SparseMatrix<double> data(parameters, parameters);
    data.setFromTriplets(entries.begin(), entries.end());

    // C: one row per constraint, (value left - value right) / deviation.
    entries.clear();
    const int rows = static_cast<int>(constraints.size());
    Eigen::VectorXd residual(rows);
    for (int r = 0; r < rows; ++r) {
        const LateralConstraint& c = constraints[r];
        const LciPointState& left = points[c.left];
        const LciPointState& right = points[c.right];
        // Iteratively reweighted: a row beyond its robust limit enters with
        // the weight that gives its penalty's gradient.
        const LciPointState* middle = c.middle >= 0 ? &points[c.middle] : nullptr;
        const double v = constraintResidual(c, left.tied, right.tied, middle ? &middle->tied : nullptr);
        const double root = std::sqrt(constraintWeight(c, v));
        residual[r] = root * v;
        addConstraintEntries(c, left, root * c.leftCoefficient / c.deviation, r, entries);
        addConstraintEntries(c, right, root * c.rightCoefficient / c.deviation, r, entries);
        if (middle) addConstraintEntries(c, *middle, root * c.middleCoefficient / c.deviation, r, entries);
    }
    Eigen::SparseMatrix<double> tie(rows, parameters);
    tie.setFromTriplets(entries.begin(), entries.end());
    const Eigen::SparseMatrix<double> tieT = tie.transpose();

    impl_->normal = data + Eigen::SparseMatrix<double>(tieT * tie);
    impl_->normal.makeCompressed();
    impl_->rightSide = b - tieT * residual;
    impl_->analysed = false;
}

bool LateralNormalEquations::solve(double damping, std::vector<double>& step) {
    Eigen::SparseMatrix<double> damped = impl_->normal;
    // Every column belongs to a point's dense block, so the diagonal exists.
    for (int i = 0; i < damped.cols(); ++i) damped.coeffRef(i, i) += damping;
    if (!impl_->analysed) {
        impl_->factor.analyzePattern(damped);
        impl_->analysed = true;
    }
    impl_->factor.factorize(damped);
    if (impl_->factor.info() != Eigen::Success) return false;
    const Eigen::VectorXd x = impl_->factor.solve(impl_->rightSide);
    if (impl_->factor.info() != Eigen::Success || !x.allFinite()) return false;
    step.assign(x.data(), x.data() + x.size());
    return true;
}

}  // namespace orma
