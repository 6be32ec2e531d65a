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
