// Work of the interpretation window that is in no database yet: the question
// before it would go (End, the close box, another curve or point opened) and
// its recovery copy, written after every change and offered after a crash.
// A re-opened point of the profile is not such work: its changes are written
// back into the database, which has a question and a copy of its own.

#include <QPushButton>

#include <filesystem>

#include "io/InterpretationRecovery.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/plot/InterpretationPlot.h"

namespace orma::ui {

namespace {

constexpr const char* kTransferLabel = "Transfer";
constexpr const char* kOpenRecovery = "Open";
constexpr const char* kThrowAwayRecovery = "Throw away";

std::string workName(const Sounding& sounding) {
    const std::string& file = sounding.source == CurveSource::Rst ? sounding.rstPath : sounding.gefPath;
    return file.empty() ? std::string("the curve entered by hand") : file;
}

std::string afterTheQuestion(Ttelmorwin::LeavingFor leaving) {
    switch (leaving) {
        case Ttelmorwin::LeavingFor::End: return "before the program ends?";
        case Ttelmorwin::LeavingFor::AnotherCurve: return "before another curve is opened?";
        case Ttelmorwin::LeavingFor::StoredPoint: return "before a point of the profile is opened?";
    }
    return "?";
}

}  // namespace

void Ttelmorwin::interpretationChanged() {
    if (showsStoredPoint()) return;
    ++interpretationRevision_;
    const Outcome kept = writeInterpretationRecovery(sounding_, interpretationRecovery_);
    // Said once: every further change would say it again.
    if (!kept && !interpretationRecoveryFailureShown_) {
        interpretationRecoveryFailureShown_ = true;
        dialogs_.message(kept.text());
    }
}

void Ttelmorwin::interpretationSettled() {
    storedInterpretationRevision_ = interpretationRevision_;
    removeInterpretationRecovery(interpretationRecovery_);
}

bool Ttelmorwin::settleUnsavedInterpretation(LeavingFor leaving) {
    if (!hasUnsavedInterpretation()) return true;
    const std::string text = "The interpretation of " + workName(sounding_) +
                             " (its curve and model) is in no database yet.\n"
                             "Transfer it into the active profile (as <-) " +
                             afterTheQuestion(leaving);
    switch (dialogs_.askSaveDiscardCancel(SaveQuestion{text, kTransferLabel, {}})) {
        case SaveAnswer::Save: return storeInProfile();
        case SaveAnswer::Discard: interpretationSettled(); return true;
        case SaveAnswer::Cancel: return false;
    }
    return false;
}

bool Ttelmorwin::mayEndProgram() {
    if (!settleUnsavedInterpretation(LeavingFor::End)) return false;
    return !mayEnd || mayEnd();
}

void Ttelmorwin::offerInterpretationRecovery() {
    std::string problem;
    const std::optional<RecoveredInterpretation> found = readInterpretationRecovery(interpretationRecovery_, problem);
    if (!found) {
        if (!problem.empty()) dialogs_.message(problem);
        return;
    }
    const std::string text = "The program ended on " + found->savedAt + " without keeping the interpretation of " +
                             found->point.name + ": it was in no database. Its recovery copy holds it:\n" +
                             interpretationRecovery_.string() +
                             "\n\nOpen: open it here (transfer it into a profile to keep it).\n"
                             "Throw away: delete the recovery copy.\nCancel: keep it for the next start.";
    const SaveAnswer answer = dialogs_.askSaveDiscardCancel(SaveQuestion{text, kOpenRecovery, kThrowAwayRecovery});
    if (answer == SaveAnswer::Discard) removeInterpretationRecovery(interpretationRecovery_);
    if (answer != SaveAnswer::Save || !settleUnsavedInterpretation(LeavingFor::AnotherCurve)) return;
    // It is no point of the open database: "<-" may store it.
    openStoredPoint_.reset();
    reopenStoredPoint(loadPointIntoSounding(found->point, sounding_));
    if (!sounding_.curveLoaded) return;
    importdorezu->show();
    interpretationChanged();
    showStatus("Opened the recovery copy " + interpretationRecovery_.string() + ": transfer it (<-) to keep it.");
}

}  // namespace orma::ui
