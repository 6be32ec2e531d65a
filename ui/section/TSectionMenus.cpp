// The main menu and the popup menu of the section window, item by item in
// menu order. The items of commands without a function ("->DXF", "Delete
// current profile", "Tisk kanvasu") are hidden.

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "core/VesDatabase.h"
#include "io/RecentFiles.h"
#include "ui/platform/RecentMenu.h"
#include "ui/section/SectionColours.h"
#include "ui/section/TSection.h"

namespace orma::ui {

QAction* TSection::addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                           void (TSection::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

QAction* TSection::addLaterItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setEnabled(false);
    return action;
}

void TSection::buildMenus() {
    const auto keys = [](QKeyCombination combination) { return QKeySequence(combination); };
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    QMenu* database = bar->addMenu("Database");
    database->setObjectName("Databze1");
    addItem(database, "Otevidbnamenchdatavsledk1", "Open db of measured data and interpreted results ",
            keys(Qt::CTRL | Qt::Key_O), &TSection::Otevidbnamenchdatavsledk1Click);
    addItem(database, "Ulodbnamenchdatavsledk1", "Save db of measured data and interpreted results as",
            keys(Qt::CTRL | Qt::ALT | Qt::Key_U), &TSection::Ulodbnamenchdatavsledk1Click);
    addItem(database, "Ulodbnamenchdatavsledkjako1", "Save db of measured data and interpreted results as ",
            keys(Qt::CTRL | Qt::Key_U), &TSection::Ulodbnamenchdatavsledkjako1Click);
    recentDatabases_ = new RecentMenu(database, "Recent databases", "Recentdatabases1",
                                      recentFilesPath(workingDirectory_), RecentKind::Database, dialogs_,
                                      [this](const std::string& path) { openRecentDatabase(path); });
    database->addSeparator();
    addItem(database, "Konec1", "End", {}, &TSection::Konec1Click);

    QMenu* locality = bar->addMenu("Locality");
    locality->setObjectName("Lokalita1");
    addItem(locality, "Novlokalita1", "New locality", {}, &TSection::Novlokalita1Click);
    // Also in the popup; here it is found without knowing that.
    addItem(locality, "Novprofil2", "New profile", {}, &TSection::Novprofil1Click);
    localityChoice_ = locality->addMenu("Choose actual locality");
    localityChoice_->setObjectName("Zvolaktulnlokalitu1");
    for (int n = 0; n < 7; ++n) {
        const std::string name = "lok" + std::to_string(n);
        QAction* item = localityChoice_->addAction(QString("lok %1").arg(n));
        item->setObjectName(name.c_str());
        connect(item, &QAction::triggered, this, [this, n] { chooseLocality(n); });
        localityItems_.push_back(item);
    }

    QMenu* profileMenu = bar->addMenu("Pf");
    profileMenu->setObjectName("Pf1");
    connect(profileMenu, &QMenu::aboutToShow, this, &TSection::updateJointUndoItem);
    addItem(profileMenu, "Nativkydocelhoprofiluzesouborutxttypuxtabz1",
            "Load heights to whole profile from file *.txt (X tab Z)", {},
            &TSection::Nativkydocelhoprofiluzesouborutxttypuxtabz1Click);
    profileMenu->addSeparator();
    addItem(profileMenu, "Spolecnyfitprofilu1", "Fit the profile jointly...", {}, &TSection::Spolecnyfitprofilu1Click);
    addItem(profileMenu, "Vratitspolecnyfit1", "Undo the joint fit", {}, &TSection::Vratitspolecnyfit1Click)
        ->setEnabled(false);

    QMenu* display = bar->addMenu("Display");
    display->setObjectName("Zobrazen1");
    addItem(display, "MinimlnX1", "Minimal X", {}, &TSection::MinimlnX1Click);
    addItem(display, "MinimlnZ1", "Maximal X", {}, &TSection::MinimlnZ1Click);
    addItem(display, "MaximlnZ1", "Minimal Z", {}, &TSection::MaximlnZ1Click);
    display->addSeparator();
    addItem(display, "MtkoX1", "Scale X", keys(Qt::CTRL | Qt::Key_X), &TSection::MtkoX1Click);
    addItem(display, "MtkoZ1", "Scale Z", keys(Qt::CTRL | Qt::Key_Z), &TSection::MtkoZ1Click);
    addItem(display, "Krokzmnymtek1", "Step of scale change", keys(Qt::CTRL | Qt::Key_K), &TSection::Krokzmnymtek1Click);
    addItem(display, "zvtimtkoX2", "increase X scale ", keys(Qt::SHIFT | Qt::Key_X), &TSection::zvtimtkoX2Click);
    addItem(display, "zmenimtkoX2", "decrease X scale ", keys(Qt::Key_X), &TSection::zmenimtkoX2Click);
    addItem(display, "zvtimtkoX1", "increase Z scale ", keys(Qt::SHIFT | Qt::Key_Z), &TSection::zvtimtkoX1Click);
    addItem(display, "zmenimtkoX1", "decrease Z scale ", keys(Qt::Key_Z), &TSection::zmenimtkoX1Click);
    display->addSeparator();
    addItem(display, "Fitnaku1", "Fit to the width", keys(Qt::CTRL | Qt::Key_S), &TSection::Fitnaku1Click);
    addItem(display, "Fitninavku1", "Fit to the height", keys(Qt::CTRL | Qt::Key_V), &TSection::Fitninavku1Click);
    addItem(display, "Fitniez1", "Fit all ", keys(Qt::CTRL | Qt::Key_F), &TSection::Fitniez1Click);
    display->addSeparator();
    addItem(display, "Font1", "Font", {}, &TSection::Font1Click);
    QAction* ranges = addItem(display, "Rozsahyhloubek1", "Depth ranges of the interfaces", {},
                              &TSection::Rozsahyhloubek1Click);
    ranges->setCheckable(true);
    ranges->setChecked(display_.depthRangesShown);
    colours_->addMenu(display, [this] { redrawSection(); });

    QMenu* exportMenu = bar->addMenu("Export");
    exportMenu->setObjectName("Export1");
    addItem(exportMenu, "UCM1", "->UCM", {}, &TSection::UCM1Click);
    addItem(exportMenu, "parametryexportudoUCM1", "UCM export options", {}, &TSection::parametryexportudoUCM1Click);
    addItem(exportMenu, "JPG1", "->JPG", {}, &TSection::JPG1Click);
    addLaterItem(exportMenu, "DXF1", "->DXF")->setVisible(false);

    QMenu* print = bar->addMenu("Print");
    print->setObjectName("Tisk1");
    addItem(print, "Nastaventiskrny1", "Printer settings", {}, &TSection::Nastaventiskrny1Click);
    addItem(print, "Tiskformule1", "Print", {}, &TSection::Tiskformule1Click);
    addLaterItem(print, "Tiskkanvasu1", "Tisk kanvasu")->setVisible(false);

    PopupMenuSection = new QMenu(this);
    PopupMenuSection->setObjectName("PopupMenuSection");
    addItem(PopupMenuSection, "Smaaktulnbod1", "Delete current VES point", {}, &TSection::Smaaktulnbod1Click);
    addLaterItem(PopupMenuSection, "Smaaktulnprofil1", "Delete current profile")->setVisible(false);
    profileChoice_ = PopupMenuSection->addMenu("Choose actual profile");
    profileChoice_->setObjectName("Zvolaktulnprofil1");
    for (int n = 0; n < 20; ++n) {
        const std::string name = "pf" + std::to_string(n);
        QAction* item = profileChoice_->addAction(n == 0 ? QString("pf 0 ") : QString("pf %1").arg(n));
        item->setObjectName(name.c_str());
        connect(item, &QAction::triggered, this, [this, n] { chooseProfile(n); });
        profileItems_.push_back(item);
    }
    addItem(PopupMenuSection, "Novprofil1", "New profile", {}, &TSection::Novprofil1Click);
    addItem(PopupMenuSection, "Fitniez2", "Fit all section", {}, &TSection::Fitniez2Click);
    // The popup's shortcuts work while the section window is active.
    addActions(PopupMenuSection->actions());
}

QAction* TSection::menuItem(const QString& name) const { return findChild<QAction*>(name); }

void TSection::refreshChoiceMenus() {
    // Item N shows locality (profile) N under its name while it exists.
    for (int n = 0; n < static_cast<int>(localityItems_.size()); ++n) {
        const bool exists = n < static_cast<int>(db_.localities.size());
        localityItems_[n]->setVisible(exists);
        if (exists) localityItems_[n]->setText(QString::fromStdString(db_.localities[n].name));
    }
    const Locality* locality = db_.activeLocality();
    for (int n = 0; n < static_cast<int>(profileItems_.size()); ++n) {
        const bool exists = locality != nullptr && n < static_cast<int>(locality->profiles.size());
        profileItems_[n]->setVisible(exists);
        if (exists) profileItems_[n]->setText(QString::fromStdString(locality->profiles[n].name));
    }
}

}  // namespace orma::ui
