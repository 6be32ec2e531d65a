// Pf > "Fit the profile jointly...": the laterally constrained inversion of
// the active profile (core/LateralInversion.h) off the window's thread, with
// a progress dialog and Cancel; the joint models go into the points as one
// change of the database, and Pf > "Undo the joint fit" puts the models of
// before back (the section has no undo of its own) until the database
// changes otherwise.

#include <QAction>

#include <memory>

#include "core/LateralInversionProfile.h"
#include "io/UserDialogs.h"
#include "ui/platform/BackgroundTask.h"
#include "ui/platform/NumberText.h"
#include "ui/section/JointFitDialog.h"
#include "ui/section/TSection.h"

namespace orma::ui {

namespace {

enum JointPhase { kAutomaticStarts, kLinearisations };

constexpr const char* kUndoGone =
    "The database has changed since the joint fit; the models of before it can no longer be put back.";

}  // namespace

/// What the work is given and gives back.
struct TSection::JointFitJob {
    int locality = -1, profile = -1;
    std::uint64_t revision = 0;  ///< of the database when the work started
    int layers = 0;
    LateralInversionOptions options;
    ProfileInversion problem;
    LateralInversionSummary summary;
    Outcome outcome = Outcome::success();
};

void TSection::fitProfileJointly() {
    if (jointFit_ != nullptr && jointFit_->running()) return;
    const Profile* profile = db_.activeProfile();
    if (profile == nullptr || profile->points.size() < 2) {
        dialogs_.message(kLciTooFewPoints);
        return;
    }
    if (jointFitDialog_ == nullptr) jointFitDialog_ = new JointFitDialog(this);
    jointFitDialog_->prepare(*profile);
    if (runJointFitDialog) runJointFitDialog(*jointFitDialog_);
    else jointFitDialog_->exec();
    if (!jointFitDialog_->choice()) return;
    startJointFit(*jointFitDialog_->choice());
}

void TSection::startJointFit(const JointFitChoice& choice) {
    auto job = std::make_shared<JointFitJob>();
    job->locality = db_.currentLocality;
    job->profile = db_.currentProfile;
    job->revision = db_.revision();
    job->layers = choice.layers;
    job->options.resistivityFactor = choice.resistivityFactor;
    job->options.depthFactor = choice.depthFactor;
    job->options.depthBendFactor = choice.depthBendFactor;
    if (link_.computation) job->options.computation = link_.computation();
    job->problem = profileInversion(*db_.activeProfile(), job->options.computation);
    if (choice.bringToLayers) {
        // No model: the inversion gives the point its automatic start of the chosen layer count.
        for (LciSounding& item : job->problem.soundings) {
            if (item.sounding != nullptr && item.sounding->model.exists() &&
                item.sounding->model.layerCount() != choice.layers) {
                item.sounding->model = LayerModel{};
            }
        }
    }
    jointFit_ = std::make_unique<BackgroundTask>(
        this, "Fitting the profile jointly...",
        [job](TaskProgress& progress) {
            job->outcome = runLateralInversion(
                job->problem.soundings, job->layers, job->options, job->summary,
                [&progress](const LciProgress& p) {
                    progress.phase = p.phase == LciProgress::Phase::AutomaticStart ? kAutomaticStarts : kLinearisations;
                    progress.report(p.done, p.total);
                },
                &progress.cancel);
        },
        [this, job](bool cancelled) { jointFitEnded(*job, cancelled); });
    jointFit_->labelOf = [](int phase) {
        return phase == kAutomaticStarts ? QString("Automatic models for the points that need one...")
                                         : QString("Fitting the profile jointly...");
    };
    showStatus("Fitting the profile jointly...");
    jointFit_->start();
}

void TSection::jointFitEnded(JointFitJob& job, bool cancelled) {
    if (cancelled || job.outcome.message == kLciCancelled) {
        showStatus("The joint fit was cancelled; no model was changed.");
        return;
    }
    if (!job.outcome) {
        dialogs_.message(job.outcome.text());
        showStatus("The joint fit was refused; no model was changed.");
        return;
    }
    Profile* profile = nullptr;
    if (job.locality < static_cast<int>(db_.localities.size()) &&
        job.profile < static_cast<int>(db_.localities[job.locality].profiles.size()))
        profile = &db_.localities[job.locality].profiles[job.profile];
    if (profile == nullptr || db_.revision() != job.revision ||
        profile->points.size() != job.problem.soundings.size()) {
        showStatus("The database changed while the joint fit ran; its result was not applied.");
        return;
    }
    // One change of the database; the models of before stay for the undo.
    jointUndo_ = JointFitUndo{job.locality, job.profile, profile->points, 0};
    applyProfileInversion(job.problem, *profile);
    databaseChanged();
    jointUndo_->revision = db_.revision();
    updateJointUndoItem();
    afterProfileModelsChanged(job.locality, job.profile);
    const LateralInversionSummary& s = job.summary;
    showStatus(shownText("Profile fitted jointly: %d points, %d layers; total SSQ %.6f -> %.6f; ", s.points,
                         job.layers, s.startDataSsq, s.dataSsq) +
               std::to_string(s.linearisations) + " linearisations; not saved yet (Pf > Undo the joint fit).");
    if (!s.leftOut.empty()) {
        dialogs_.messageWithList(std::to_string(s.leftOut.size()) +
                                     (s.leftOut.size() == 1 ? " point was" : " points were") +
                                     " left out of the joint fit and keep their models:",
                                 s.leftOut);
    }
}

void TSection::undoJointFit() {
    if (!jointUndo_) return;
    const JointFitUndo undo = *jointUndo_;
    jointUndo_.reset();
    updateJointUndoItem();
    if (db_.revision() != undo.revision || undo.locality >= static_cast<int>(db_.localities.size()) ||
        undo.profile >= static_cast<int>(db_.localities[undo.locality].profiles.size())) {
        dialogs_.message(kUndoGone);
        return;
    }
    db_.localities[undo.locality].profiles[undo.profile].points = undo.points;
    databaseChanged();
    afterProfileModelsChanged(undo.locality, undo.profile);
    showStatus("The models of before the joint fit are back; not saved yet.");
}

void TSection::updateJointUndoItem() {
    if (QAction* item = menuItem("Vratitspolecnyfit1"))
        item->setEnabled(jointUndo_.has_value() && jointUndo_->revision == db_.revision());
}

void TSection::afterProfileModelsChanged(int locality, int profile) {
    redrawSection();
    // The interpretation window shows the point it holds with its new model.
    if (reopened_.locality == locality && reopened_.profile == profile && reopened_.index >= 0 &&
        reopened_.index == db_.currentPoint && db_.currentLocality == locality && db_.currentProfile == profile &&
        link_.sounding != nullptr && interpretationShowsStoredPoint()) {
        loadSelectedPoint();
    }
}

}  // namespace orma::ui
