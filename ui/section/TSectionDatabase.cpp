// Database commands of the section window: open, save, new locality and
// profile, deletion of a point, and the point parameters dialog.

#include <QScrollArea>

#include "io/UserDialogs.h"
#include "io/VdbCommands.h"
#include "ui/platform/ImageView.h"
#include "ui/section/TSection.h"
#include "ui/section/TVESparametryEdit.h"

namespace orma::ui {

void TSection::afterDatabaseOpened() {
    display_.resetAfterOpen();
    forgetReopenedPoint();
    redrawSection();
}

void TSection::Otevidbnamenchdatavsledk1Click() {
    if (link_.showSectionOnce) link_.showSectionOnce();
    if (openDatabaseWithDialog(db_, dialogs_)) afterDatabaseOpened();
}

void TSection::Ulodbnamenchdatavsledk1Click() {
    if (saveDatabaseAs(db_, dialogs_)) setCaption(sectionCaption(db_));
}

void TSection::Ulodbnamenchdatavsledkjako1Click() {
    if (saveDatabaseNext(db_, dialogs_)) setCaption(sectionCaption(db_));
}

void TSection::editParameters() {
    if (parametersDialog_ == nullptr) return;
    parametersDialog_->prepareFromSection(db_);
    runParametersDialog(*parametersDialog_);
    parametersDialog_->applyToDatabase();
    parametersDialog_->openedFromSection = false;
    redrawSection();
}

void TSection::Novlokalita1Click() {
    const DbOutcome outcome = addLocality(db_);
    if (!outcome.message.empty()) dialogs_.message(outcome.message);
    if (!outcome.done) return;
    forgetReopenedPoint();
    editParameters();
    // What the interpretation window holds is no stored point of the new locality.
    if (link_.sounding != nullptr) link_.sounding->reprocessOnly = false;
}

void TSection::Novprofil1Click() {
    const DbOutcome outcome = addProfile(db_);
    if (!outcome.message.empty()) dialogs_.message(outcome.message);
    if (!outcome.done) return;
    forgetReopenedPoint();
    editParameters();
    if (link_.sounding != nullptr) link_.sounding->reprocessOnly = false;
}

void TSection::Smaaktulnbod1Click() {
    const DbOutcome outcome = deleteSelectedPoint(db_);
    if (!outcome.message.empty()) dialogs_.message(outcome.message);
    if (!outcome.done) return;
    loadSelectedPoint();
    redrawSection();
}

void TSection::loadSelectedPoint() {
    const VesPoint* point = db_.selectedPoint();
    if (point == nullptr || link_.sounding == nullptr) return;
    const std::vector<std::string> messages = loadPointIntoSounding(*point, *link_.sounding);
    rememberReopenedPoint();
    if (link_.reopenStoredPoint) link_.reopenStoredPoint(messages);
    else showMessages(messages);
}

}  // namespace orma::ui
