#pragma once
// Singular value decomposition of the weighted Jacobian WJ of a fit, in place
// in the fixed tables of the workspace: Householder bidiagonalisation, then
// implicit-shift QR sweeps with Givens rotations.

#include "core/FitWorkspace.h"

namespace orma {

struct SvdOutcome {
    int sweeps = 0;          ///< QR sweeps run
    bool converged = true;   ///< false when the sweep limit stopped the diagonalisation
};

/// Decomposes the rowCount x columnCount block of ws.WJ so that it equals
/// U * diag(WJ[c][c]) * V^T. Afterwards the diagonal of WJ holds the singular
/// values (unsorted, with their signs: -sign(WJ[0][0]) times the column length
/// for a single column), WJ[c][c+1] what is left of the superdiagonal (zero up
/// to rounding), UT = U^T over its first max(rowCount, columnCount) rows and
/// columns and V over columnCount x columnCount; the rest of UT and V is zero.
///
/// Choices the solver makes so that it always ends with a sound result:
/// - With fewer rows than columns the block is padded with zero rows (cleared
///   here, never read from earlier contents); the least-squares solution of
///   the padded system is the same.
/// - Superdiagonal elements at rounding level relative to the matrix split
///   the bidiagonal into blocks that are swept on their own, and a zero on the
///   diagonal (an all-zero Jacobian column) is chased out by rotations first;
///   without this a sweep started above such a split makes no progress.
/// - The number of sweeps is capped at 100 per column; the values then stand
///   as they are and `converged` is false. The cap is far above what
///   convergence needs (about two sweeps per singular value).
/// Requires 0 <= columnCount <= 60 and 0 <= rowCount <= 99.
SvdOutcome decomposeSvd(FitWorkspace& ws, int rowCount, int columnCount);

}  // namespace orma
