// The main menu of the interpretation window, item by item in menu order.
// Hidden items stay in the menu (invisible) and answer their shortcut.

#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

#include "io/RecentFiles.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/platform/RecentMenu.h"

namespace orma::ui {

QAction* Ttelmorwin::addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                             void (Ttelmorwin::*handler)(), bool hidden) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    // Items without a handler only tell the user how a gesture goes.
    if (handler != nullptr) connect(action, &QAction::triggered, this, handler);
    if (!hidden) {
        action->setShortcut(shortcut);
        return action;
    }
    // An invisible action is disabled for shortcuts, so a window-wide
    // shortcut stands in for it.
    action->setVisible(false);
    if (!shortcut.isEmpty() && handler != nullptr) {
        auto* key = new QShortcut(shortcut, this);
        key->setObjectName(QString(name) + "Shortcut");
        connect(key, &QShortcut::activated, this, handler);
    }
    return action;
}

void Ttelmorwin::buildMenus() {
    const auto keys = [](QKeyCombination combination) { return QKeySequence(combination); };
    const auto czech = [](const char* text) { return QString::fromUtf8(text); };
    const QKeySequence none;
    constexpr bool hidden = true;
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu("File");
    file->setObjectName("Soubor1");
    addItem(file, "OtevtGEF1", "Open file *.GEF", keys(Qt::Key_F1), &Ttelmorwin::OtevtGEF1Click);
    addItem(file, "OtevtCSV1", "Open sheet *.csv, *.txt", keys(Qt::Key_F7), &Ttelmorwin::OtevtCSV1Click);
    recentFolders_ = new RecentMenu(file, "Recent GEF folders", "RecentGEFfolders1",
                                    recentFilesPath(settingsPath_.parent_path()), RecentKind::GefFolder, dialogs_,
                                    [this](const std::string& folder) { openRecentGefFolder(folder); });
    // Into the profile: hidden items that answer their keys.
    addItem(file, "ImportGEFvadresipojednom1", czech("Import GEF a načti další GEF (po jednom)"), keys(Qt::Key_I),
            &Ttelmorwin::ImportGEFvadresipojednom1Click, hidden);
    addItem(file, "ImportdalsouborGEFbezuloen1", czech("Načti další soubor GEF (bez uložení)"), keys(Qt::Key_D),
            &Ttelmorwin::ImportdalsouborGEFbezuloen1Click, hidden);
    addItem(file, "Importcelhopfvadresi1", czech("(rychlý import GEF z celého pf v adresáři)"),
            keys(Qt::CTRL | Qt::Key_I), &Ttelmorwin::Importcelhopfvadresi1Click, hidden);
    connect(importdorezu, &QPushButton::clicked, this, &Ttelmorwin::importdorezuClick);
    file->addSeparator();
    addItem(file, "Runvstup1", "Manual input", keys(Qt::Key_R), &Ttelmorwin::Runvstup1Click);
    addItem(file, "Manulnvstupmy1", "Manual input by mouse", keys(Qt::Key_M), &Ttelmorwin::Manulnvstupmy1Click);
    file->addSeparator();
    addItem(file, "OtevtRST1", "Open file *.RST", keys(Qt::CTRL | Qt::Key_R), &Ttelmorwin::OtevtRST1Click);
    addItem(file, "NatidalRST1", "Open following curve from *.RST file", keys(Qt::CTRL | Qt::Key_D),
            &Ttelmorwin::NatidalRST1Click);
    addItem(file, "N2", "Open preceding curve from *.RST file", keys(Qt::CTRL | Qt::Key_P), &Ttelmorwin::N2Click);
    addItem(file, "UloitRST1", czech("Uložit do nového souboru RST"), keys(Qt::Key_F12), &Ttelmorwin::UloitRST1Click,
            hidden);
    addItem(file, "PiuloitRST1", czech("Přiuložit RST "), keys(Qt::Key_F5), &Ttelmorwin::PiuloitRST1Click, hidden);
    addItem(file, "UloitCSV1", "Save curve and model as *.csv", none, &Ttelmorwin::UloitCSV1Click);
    file->addSeparator();
    addItem(file, "Konec1", "End", keys(Qt::CTRL | Qt::Key_Escape), &Ttelmorwin::Konec1Click);
    file->addSeparator();

    QMenu* display = bar->addMenu("Display");
    display->setObjectName("Zobrazen1");
    addItem(display, "Npovda1", "Display options", keys(Qt::CTRL | Qt::ALT | Qt::Key_Z), &Ttelmorwin::Npovda1Click);

    QMenu* shift = bar->addMenu("Shift");
    shift->setObjectName("Snos1");
    addItem(shift, "na1vtev1", "Shift branches according to 1. one (averaging of measured multiples)  ",
            keys(Qt::Key_1), &Ttelmorwin::na1vtev1Click);
    addItem(shift, "na2vtev1", "Shift branches according to 2. one (averaging of measured multiples)  ",
            keys(Qt::Key_2), &Ttelmorwin::na2vtev1Click);
    addItem(shift, "na3vtev1", "Shift branches according to 3. one (averaging of measured multiples)  ",
            keys(Qt::Key_3), &Ttelmorwin::na3vtev1Click);
    addItem(shift, "na4vtev1", "Shift branches according to 4. one (averaging of measured multiples)  ",
            keys(Qt::Key_4), &Ttelmorwin::na4vtev1Click);

    // The menu's own shortcut E has no command.
    QMenu* edit = bar->addMenu("Edit");
    edit->setObjectName("Editace1");
    addItem(edit, "Editovatsnesenoukivku1", "Editation of shifted VES curve ", keys(Qt::Key_F4),
            &Ttelmorwin::Editovatsnesenoukivku1Click);
    addItem(edit, "PosunsnesenkivkyVESdovychrezistivit1", "Drift of shifted VES curve to higher rezistivity",
            keys(Qt::Key_F3), &Ttelmorwin::PosunsnesenkivkyVESdovychrezistivit1Click);
    addItem(edit, "PosunsnesenkivkyVESdonichrezistivit1", "Drift of shifted VES curve to lower rezistivity",
            keys(Qt::Key_F2), &Ttelmorwin::PosunsnesenkivkyVESdonichrezistivit1Click);
    addItem(edit, "PosunsnesenkivkyVESkroklogohmm1", "Step of the drift of shifted VES curve [log ohm.m]",
            keys(Qt::CTRL | Qt::Key_K), &Ttelmorwin::PosunsnesenkivkyVESkroklogohmm1Click);

    QMenu* model = bar->addMenu("Model");
    model->setObjectName("Model1");
    addItem(model, "Vytvoenmodelu1", "Beginning of model drawing (right mouse outside current model lines)",
            keys(Qt::Key_F6), &Ttelmorwin::Vytvoenmodelu1Click);
    addItem(model, "Vytvenmodelulevmylichrohy1", "Model drawing (left mouse to odd corners)", none, nullptr);
    addItem(model, "Konecvytvenmodelupravmy1", "End of model drawing (right mouse)", none, nullptr);
    model->addSeparator();
    addItem(model, "VlovrstvuPravMynadaktivnst1", "Insert new layer (right mouse over activated part of model)", none,
            nullptr);
    addItem(model, "Zruvrstvustednmynadaktivnvrstvou1", "Delete layer (middle mouse over activated layer) ", none,
            nullptr);
    model->addSeparator();
    addItem(model, "Zruitmodel1",
            "Delete current model - beginning of new model drawing (right mouse outside model , Ctrl+right)",
            keys(Qt::CTRL | Qt::Key_Delete), &Ttelmorwin::Zruitmodel1Click);
    addItem(model, "Popimodel1", "Write out values of depth and rezistivity of current model", keys(Qt::Key_V),
            &Ttelmorwin::Popimodel1Click);
    // Ctrl+P belongs to "Open preceding curve from *.RST file", which comes
    // first in menu order and answers it; the forward task keeps no key.
    addItem(model, "P1", czech("Přímá Úloha"), none, &Ttelmorwin::P1Click, hidden);
    addItem(model, "PopivypotenoukivkuVES1",
            "Write out values of AB/2 and apparent rezistivity of computed VES curve ", keys(Qt::Key_P),
            &Ttelmorwin::PopivypotenoukivkuVES1Click);
    model->addSeparator();
    addItem(model, "Zkoprujmodeldopamti1", "Copy current model ", keys(Qt::CTRL | Qt::Key_C),
            &Ttelmorwin::Zkoprujmodeldopamti1Click);
    addItem(model, "Vlomodelzpamti1", "Paste model  ", keys(Qt::CTRL | Qt::Key_V), &Ttelmorwin::Vlomodelzpamti1Click);
    addItem(model, "valuefixclickleftmouseandCtrlkeyoveractivepartofmodel1",
            "(value fix  -  click left mouse and Ctrl key over active part of model)", none, nullptr);
    addItem(model, "VytiskSroaSd1", "Vytisk Dd matice", none, &Ttelmorwin::VytiskSroaSd1Click, hidden);
    addItem(model, "VtiskSroSdmatic1", czech("Výtisk Sro Sd matic"), none, &Ttelmorwin::VtiskSroSdmatic1Click, hidden);
    addItem(model, "VypisWJmatice1", "Vypis WJ matice", none, &Ttelmorwin::VypisWJmatice1Click, hidden);
    addItem(model, "VpisVmatice1", czech("Výpis V matice "), none, &Ttelmorwin::VpisVmatice1Click, hidden);
    addItem(model, "VpisUmatice1", czech("Výpis U matice"), none, &Ttelmorwin::VpisUmatice1Click, hidden);
    addItem(model, "natimodelkivkyKhlRzd11010100201", czech("načti model křivky K : hl-Rzd: 1-10,10-100,-20"), none,
            &Ttelmorwin::natimodelkivkyKhlRzd11010100201Click, hidden);
    addItem(model, "natimodelkivkyHhlRzd120010205001", czech("načti model křivky H : hl-Rzd: 1-200,10-20,-500"), none,
            &Ttelmorwin::natimodelkivkyHhlRzd120010205001Click, hidden);
    addItem(model, "natimodelkivkyAhlRzd110101005001", czech("načti model křivky A : hl-Rzd: 1-10,10-100,-500"), none,
            &Ttelmorwin::natimodelkivkyAhlRzd110101005001Click, hidden);
    addItem(model, "natimodelkivkyQhlRzd1100010100201", czech("načti model křivky Q : hl-Rzd: 1-1000,10-100,-20"),
            none, &Ttelmorwin::natimodelkivkyQhlRzd1100010100201Click, hidden);
    model->addSeparator();
    addItem(model, "optimaliyacesfixy1", "Optimize the fit (ENTER, click the ... button)",
            keys(Qt::CTRL | Qt::ALT | Qt::Key_F), &Ttelmorwin::optimaliyacesfixy1Click);
    addItem(model, "Fitglobalne1", "Fit globally", none, &Ttelmorwin::Fitglobalne1Click);
    addItem(model, "Vlondovlevoaktivnhoezupfklikna1",
            "Insert just interpreted VES model and curve to the left window active profile (to acticve database) - "
            "click <- button",
            none, nullptr);
    addItem(model, "UndoModel1", "Undo model change", keys(Qt::CTRL | Qt::Key_Z), &Ttelmorwin::UndoModel1Click);
    addItem(model, "RedoModel1", "Redo model change", keys(Qt::CTRL | Qt::Key_Y), &Ttelmorwin::RedoModel1Click);
    appendComputationMenu(model);

    QMenu* print = bar->addMenu("Print");
    print->setObjectName("Tisk1");
    addItem(print, "Vytisknicovid1", "Print what you see to current printer", keys(Qt::CTRL | Qt::ALT | Qt::Key_T),
            &Ttelmorwin::Vytisknicovid1Click);
    addItem(print, "Nastaventiskrny1", "Printer setting", keys(Qt::ALT | Qt::Key_T), &Ttelmorwin::Nastaventiskrny1Click);

    QMenu* image = bar->addMenu("Image");
    image->setObjectName("Obrzek1");
    addItem(image, "UlocoviddoJPGsouboru1", "Save what you see to *.jpg file ",
            keys(Qt::CTRL | Qt::ALT | Qt::Key_J), &Ttelmorwin::UlocoviddoJPGsouboru1Click);

    QMenu* help = bar->addMenu("Help");
    help->setObjectName("Npovda2");
    addItem(help, "Preference1", "Input options", none, &Ttelmorwin::Preference1Click);
    addItem(help, "Oprogramu1", "About", none, &Ttelmorwin::Oprogramu1Click);
    addItem(help, "Jaknato1", "How does it work", none, &Ttelmorwin::Jaknato1Click);
}

QAction* Ttelmorwin::menuItem(const QString& name) const { return findChild<QAction*>(name); }

}  // namespace orma::ui
