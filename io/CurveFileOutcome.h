#pragma once
// How reading a curve file (GEF, RST, field sheet) or writing an RST record
// ended. What the user is told stays in the reader's list of messages, in
// order with the notes about readings left out; the outcome says how the
// work ended, which callers branch on: a file that could not be opened is
// told apart from one that held no usable reading, and the RST reader's end
// of file (a record number beyond the last) from both.
//
//     const CurveFileOutcome read = openRstCurve(sounding, record, messages);
//     if (read.end == CurveFileEnd::EndOfFile) ...   // or simply: if (!read)

#include "core/Outcome.h"

namespace orma {

enum class CurveFileEnd {
    Done,        ///< read (the sounding holds the new readings) or written
    CannotOpen,  ///< no file chosen, or one that cannot be opened, read or written
    Failed,      ///< opened, but nothing usable: the sounding is unchanged
    EndOfFile,   ///< the RST file has no record of that number
};

struct [[nodiscard]] CurveFileOutcome : Outcome {
    CurveFileEnd end = CurveFileEnd::Done;

    static CurveFileOutcome done() { return {}; }
    static CurveFileOutcome cannotOpen() { return ended(CurveFileEnd::CannotOpen); }
    static CurveFileOutcome failed() { return ended(CurveFileEnd::Failed); }
    static CurveFileOutcome endOfFile() { return ended(CurveFileEnd::EndOfFile); }

    bool operator==(CurveFileEnd other) const { return end == other; }

private:
    static CurveFileOutcome ended(CurveFileEnd how) {
        CurveFileOutcome outcome;
        outcome.ok = how == CurveFileEnd::Done;
        outcome.end = how;
        return outcome;
    }
};

}  // namespace orma
