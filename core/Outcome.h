#pragma once
// The outcome of work that can fail: whether it succeeded, the sentence the
// user is shown when it did not, and, for files, the cause in the system's
// words ("No space left on device"). One type for readers, writers, database
// commands and computations, so that a caller can neither drop a failure
// unseen ([[nodiscard]]) nor lose its cause on the way to the window.
//
//     const Outcome saved = writeVdbFile(db, path);
//     if (!saved) dialogs.message(saved.text());   // fixed text, then the cause
//
// A result that must tell the caller more than success or failure derives
// from Outcome and adds just that, so it is tested, shown and passed on like
// any other outcome:
//
//  * how the work ended, where callers branch on it: CurveFileOutcome
//    (io/CurveFileOutcome.h) tells a curve file that cannot be opened from
//    one without a usable reading and from the RST file's end;
//  * how a refused computation was refused: FitSummary::outcome beside its
//    status (FitSummary::refused() is the one test for a refusal);
//  * where a refusal was found: VdbReadResult (io/VdbFile.h) carries the
//    line of a database text that was refused;
//  * the value the work gives: a field beside the outcome, valid when it is ok.
//
// A failure may carry no message when what the user is told has already
// gone elsewhere (a reader's list of messages) or there is nothing to tell
// (a command with nothing selected).
//
// No Qt, no exceptions.

#include <string>
#include <utility>

namespace orma {

struct [[nodiscard]] Outcome {
    bool ok = true;
    std::string message;  ///< what the user reads (a fixed text of the program); empty on success
    std::string cause;    ///< why, when known: the system's reason, the line of a file...

    explicit operator bool() const { return ok; }

    static Outcome success() { return {}; }
    static Outcome failure(std::string message, std::string cause = {}) {
        return Outcome{false, std::move(message), std::move(cause)};
    }

    /// The message, then the cause on a line of its own when there is one.
    std::string text() const {
        if (cause.empty()) return message;
        if (message.empty()) return cause;
        return message + "\n" + cause;
    }
};

}  // namespace orma
