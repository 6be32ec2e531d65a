#pragma once
// The text of one RST record made from the shifted curve: the five header
// lines and the data lines grouped into output branches. Built in memory as a
// whole, so that the writer puts it on the disk in one piece, and checked so
// that every record written is one the RST reader reads back the same.

#include <optional>
#include <string>
#include <vector>

#include "core/Sounding.h"

namespace orma {

/// Number of output branches E: the largest branch number B, or B - 1 when
/// branch B has fewer than three shifted values at grid rows from 6(B - 1) on.
/// Never below 1 while there is a branch, so a short one-branch curve is still
/// written.
int rstOutputBranchCount(const Sounding& sounding);

/// Output branch e of E covers grid rows 6e-6 .. 6e+1 (the last one
/// everything from 6e-6 on); neighbours share two rows.
bool inRstOutputBranch(int k, int e, int outputBranches);

/// One "r %f s%i a%f m%f" line of the record.
struct RstDataLine {
    int gridIndex;     ///< the grid row k the line belongs to
    int outputBranch;  ///< e = 1..E
    float r;           ///< shifted apparent resistivity
    int s;             ///< mean s value, truncated toward zero
    float a;           ///< AB/2 written for row k
    float m;           ///< MN/2 of the output branch
};

/// The data lines in file order. The AB/2 of row k is the grid-value entry k;
/// should that entry not read back onto row k (it never does after a reader
/// or a forward computation filled it), the exact grid value is written.
std::vector<RstDataLine> rstDataLines(const Sounding& sounding);

/// Why the current sounding cannot be written as a record that reads back the
/// same, or nullopt when it can: the record needs at least one value of the
/// shifted curve, at most 99 readings, resistivities that "%f" writes as a
/// positive finite number, and for each output branch an MN/2 that the reader
/// puts back into a branch of its own (0.1 m up to below 300 m). The message
/// names the branch or the reading.
std::optional<std::string> rstRecordProblem(const Sounding& sounding);

/// The record's lines (UTF-8, without line ends): n, b, p, l, d, then the data.
std::vector<std::string> rstRecordLines(const Sounding& sounding);

}  // namespace orma
