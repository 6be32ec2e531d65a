// The window's menu as the user sees it, and the commands of the Model and
// Print menus: model clipboard, labels, delete, print, printer setup,
// matrix listings.

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "core/Forward.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/platform/Printing.h"
#include "window_fixture.h"

namespace orma::ui::test {
namespace {

struct Item {
    const char* name;  ///< component name, or "-" for a separator
    const char* caption;
    const char* shortcut;
    bool visible;
};

std::string describe(const QAction* action) {
    if (action->isSeparator()) return "-";
    return action->objectName().toStdString() + " | " + action->text().toStdString() + " | " +
           action->shortcut().toString().toStdString() + (action->isVisible() ? "" : " | hidden");
}

std::string describe(const Item& item) {
    if (std::string(item.name) == "-") return "-";
    return std::string(item.name) + " | " + item.caption + " | " + item.shortcut + (item.visible ? "" : " | hidden");
}

void expectMenu(const Ttelmorwin& window, const char* menuName, const char* title, const std::vector<Item>& items,
                bool exactLength = true) {
    const auto* menu = window.findChild<QMenu*>(menuName);
    ASSERT_NE(menu, nullptr) << menuName;
    EXPECT_EQ(menu->title().toStdString(), title);
    const QList<QAction*> actions = menu->actions();
    if (exactLength) {
        EXPECT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << menuName;
    }
    for (std::size_t i = 0; i < items.size() && i < static_cast<std::size_t>(actions.size()); ++i) {
        EXPECT_EQ(describe(actions[static_cast<qsizetype>(i)]), describe(items[i])) << menuName << " item " << i;
    }
}

TEST_F(WindowTest, EveryMenuItemHasItsCaptionShortcutVisibilityAndPlace) {
    Ttelmorwin& window = openWindow();
    std::vector<std::string> titles;
    for (QAction* menu : window.menuBar()->actions()) titles.push_back(menu->text().toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"File", "Display", "Shift", "Edit", "Model", "Print", "Image", "Help"}));

    expectMenu(window, "Soubor1", "File",
               {{"OtevtGEF1", "Open file *.GEF", "F1", true},
                {"OtevtCSV1", "Open sheet *.csv, *.txt", "F7", true},
                {"RecentGEFfolders1", "Recent GEF folders", "", true},
                {"ImportGEFvadresipojednom1", "Import GEF a načti další GEF (po jednom)", "", false},
                {"ImportdalsouborGEFbezuloen1", "Načti další soubor GEF (bez uložení)", "", false},
                {"Importcelhopfvadresi1", "(rychlý import GEF z celého pf v adresáři)", "", false},
                {"-", "", "", true},
                {"Runvstup1", "Manual input", "R", true},
                {"Manulnvstupmy1", "Manual input by mouse", "M", true},
                {"-", "", "", true},
                {"OtevtRST1", "Open file *.RST", "Ctrl+R", true},
                {"NatidalRST1", "Open following curve from *.RST file", "Ctrl+D", true},
                {"N2", "Open preceding curve from *.RST file", "Ctrl+P", true},
                {"UloitRST1", "Uložit do nového souboru RST", "", false},
                {"PiuloitRST1", "Přiuložit RST ", "", false},
                {"UloitCSV1", "Save curve and model as *.csv", "", true},
                {"-", "", "", true},
                {"Konec1", "End", "Ctrl+Esc", true},
                {"-", "", "", true}});
    expectMenu(window, "Zobrazen1", "Display", {{"Npovda1", "Display options", "Ctrl+Alt+Z", true}});
    expectMenu(window, "Model1", "Model",
               {{"Vytvoenmodelu1", "Beginning of model drawing (right mouse outside current model lines)", "F6", true},
                {"Vytvenmodelulevmylichrohy1", "Model drawing (left mouse to odd corners)", "", true},
                {"Konecvytvenmodelupravmy1", "End of model drawing (right mouse)", "", true},
                {"-", "", "", true},
                {"VlovrstvuPravMynadaktivnst1", "Insert new layer (right mouse over activated part of model)", "", true},
                {"Zruvrstvustednmynadaktivnvrstvou1", "Delete layer (middle mouse over activated layer) ", "", true},
                {"-", "", "", true},
                {"Zruitmodel1",
                 "Delete current model - beginning of new model drawing (right mouse outside model , Ctrl+right)",
                 "Ctrl+Del", true},
                {"Popimodel1", "Write out values of depth and rezistivity of current model", "V", true},
                {"P1", "Přímá Úloha", "", false},
                {"PopivypotenoukivkuVES1",
                 "Write out values of AB/2 and apparent rezistivity of computed VES curve ", "P", true},
                {"-", "", "", true},
                {"Zkoprujmodeldopamti1", "Copy current model ", "Ctrl+C", true},
                {"Vlomodelzpamti1", "Paste model  ", "Ctrl+V", true},
                {"valuefixclickleftmouseandCtrlkeyoveractivepartofmodel1",
                 "(value fix  -  click left mouse and Ctrl key over active part of model)", "", true},
                {"VytiskSroaSd1", "Vytisk Dd matice", "", false},
                {"VtiskSroSdmatic1", "Výtisk Sro Sd matic", "", false},
                {"VypisWJmatice1", "Vypis WJ matice", "", false},
                {"VpisVmatice1", "Výpis V matice ", "", false},
                {"VpisUmatice1", "Výpis U matice", "", false},
                {"natimodelkivkyKhlRzd11010100201", "načti model křivky K : hl-Rzd: 1-10,10-100,-20", "", false},
                {"natimodelkivkyHhlRzd120010205001", "načti model křivky H : hl-Rzd: 1-200,10-20,-500", "", false},
                {"natimodelkivkyAhlRzd110101005001", "načti model křivky A : hl-Rzd: 1-10,10-100,-500", "", false},
                {"natimodelkivkyQhlRzd1100010100201", "načti model křivky Q : hl-Rzd: 1-1000,10-100,-20", "", false},
                {"-", "", "", true},
                {"optimaliyacesfixy1", "Optimize the fit (ENTER, click the ... button)", "Ctrl+Alt+F", true},
                {"Fitglobalne1", "Fit globally", "", true},
                {"Vlondovlevoaktivnhoezupfklikna1",
                 "Insert just interpreted VES model and curve to the left window active profile (to acticve "
                 "database) - click <- button",
                 "", true},
                {"UndoModel1", "Undo model change", "Ctrl+Z", true},
                {"RedoModel1", "Redo model change", "Ctrl+Y", true}},
               false);
    expectMenu(window, "Tisk1", "Print",
               {{"Vytisknicovid1", "Print what you see to current printer", "Ctrl+Alt+T", true},
                {"Nastaventiskrny1", "Printer setting", "Alt+T", true}});
    expectMenu(window, "Npovda2", "Help",
               {{"Preference1", "Input options", "", true},
                {"Oprogramu1", "About", "", true},
                {"Jaknato1", "How does it work", "", true}});
    // The hidden RST items answer their keys.
    EXPECT_NE(window.findChild<QObject*>("UloitRST1Shortcut"), nullptr);
    EXPECT_NE(window.findChild<QObject*>("PiuloitRST1Shortcut"), nullptr);
}

TEST_F(WindowTest, CopyLoadAnotherSoundingAndPasteCarriesTheModelWithItsFlags) {
    Ttelmorwin& window = openWindow();
    window.pasteModel();  // nothing copied yet, nothing loaded: no model
    EXPECT_EQ(window.sounding().model.interfaceCount, 0);

    openGef(window);
    window.loadKTypeModel();
    window.sounding().model.depthFixed[1] = 1;
    window.sounding().model.thicknessFixed[0] = 1;
    window.copyCurrentModel();
    const std::string other = writeFile("VES13.GEF", threeBranchGef());
    expectWorkDiscarded((dir_ / "VES12.GEF").string());
    dialogs_.expectOpen(other);
    window.openGefFile();
    ASSERT_EQ(window.sounding().model.interfaceCount, 0);
    // The new curve lies 1.5 times higher; its fit error differs.
    for (int k = 0; k < kGridPoints; ++k) {
        if (window.sounding().hasComposite(k)) window.sounding().branches.shiftedRho[k][0] *= 1.5f;
    }

    window.pasteModel();
    const Sounding& s = window.sounding();
    ASSERT_EQ(s.model.interfaceCount, 2);
    EXPECT_FLOAT_EQ(s.model.resistivity[1], 100.0f);
    EXPECT_EQ(s.model.depthFixed[1], 1);
    EXPECT_EQ(s.model.thicknessFixed[0], 1);
    ASSERT_TRUE(s.computedCurveShown);
    EXPECT_DOUBLE_EQ(s.ssq, computeSsq(s));
    EXPECT_FALSE(window.spustit->isHidden());
    // Undo takes the pasted model away again.
    window.undoModelChange();
    EXPECT_EQ(window.sounding().model.interfaceCount, 0);
}

TEST_F(WindowTest, DeleteModelRemovesItsLinesAndCurveAndStaysUndoable) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.deleteModel();  // no model: nothing to do
    window.loadKTypeModel();
    window.computeModelCurve();
    window.plot().redrawAll();
    window.deleteModel();
    EXPECT_EQ(window.sounding().model.interfaceCount, 0);
    EXPECT_FALSE(window.sounding().computedCurveShown);
    EXPECT_FALSE(window.plot().modelShown);
    const QImage deleted = window.canvas().image();
    window.plot().redrawAll();
    EXPECT_EQ(window.canvas().image(), deleted);
    window.undoModelChange();
    EXPECT_EQ(window.sounding().model.interfaceCount, 2);
    EXPECT_TRUE(window.sounding().computedCurveShown);
}

TEST_F(WindowTest, VTurnsTheModelLabelsOffAndOnAndPWritesTheComputedValues) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.loadKTypeModel();
    window.computeModelCurve();
    const QImage plain = window.canvas().image();
    window.toggleModelValues();  // labels wanted at start: the first V turns them off
    EXPECT_FALSE(window.plot().modelLabelsWanted);
    EXPECT_EQ(window.canvas().image(), plain);
    window.toggleModelValues();
    EXPECT_TRUE(window.plot().modelLabelsDrawn);
    EXPECT_NE(window.canvas().image(), plain);

    window.plot().redrawAll();
    const QImage before = window.canvas().image();
    window.showComputedCurveValues();
    EXPECT_NE(window.canvas().image(), before);
}

/// Pages of a PDF file: its page objects.
int pdfPages(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("%PDF")) return -1;
    return static_cast<int>(bytes.count("/Type /Page\n") + bytes.count("/Type /Page ") + bytes.count("/Type /Page>") +
                            bytes.count("/Type/Page/") + bytes.count("/Type/Page>"));
}

TEST_F(WindowTest, PrintWritesTheFileLineAndOnePdfPage) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectMessage("Input VES curve!");
    window.printPlot();
    dialogs_.verifyDone();

    const std::string path = openGef(window);
    const QImage before = window.canvas().image();
    const std::string pdf = (dir_ / "page.pdf").string();
    dialogs_.expectPrinterSetup(PrinterChoice{"", pdf, false});
    window.choosePrinter();
    EXPECT_EQ(window.printerChoice().outputFile, pdf);
    dialogs_.expectPrinterSetup(std::nullopt);  // cancelled: the choice stays
    window.choosePrinter();
    EXPECT_EQ(dialogs_.lastPrinter().outputFile, pdf);

    window.printPlot();
    dialogs_.verifyDone();
    EXPECT_EQ(pdfPages(pdf), 1);
    // The file-name line stands in the bottom margin until the next redraw.
    const PlotGeometry& g = window.plot().geometry();
    const QImage printed = window.canvas().image();
    EXPECT_NE(printed.copy(0, g.y1 + 1, printed.width(), g.imageHeight - g.y1 - 1),
              before.copy(0, g.y1 + 1, before.width(), g.imageHeight - g.y1 - 1));
    EXPECT_EQ(printed.copy(g.x0, g.y0, g.x1 - g.x0, g.y1 - g.y0), before.copy(g.x0, g.y0, g.x1 - g.x0, g.y1 - g.y0));
    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++files;
    EXPECT_EQ(files, 4);  // ormawin.ini, ormarecent.ini, VES12.GEF, page.pdf
    (void)path;
}

TEST_F(WindowTest, WithoutAPrinterThePageGoesIntoAChosenPdfFile) {
    if (systemHasPrinter()) GTEST_SKIP() << "this system has a printer";
    Ttelmorwin& window = openWindow();
    openGef(window);
    const std::string pdf = (dir_ / "chosen.pdf").string();
    dialogs_.expectSave(pdf);
    window.printPlot();
    EXPECT_EQ(pdfPages(pdf), 1);
    // An existing file is replaced only when the user says so.
    const auto size = fs::file_size(pdf);
    writeFile("chosen.pdf", "mine");
    dialogs_.expectSave(pdf);
    dialogs_.expectQuestion("The file " + pdf + " exists. Replace it with the printout?", false);
    window.printPlot();
    dialogs_.verifyDone();
    EXPECT_EQ(fs::file_size(pdf), 4u);
    EXPECT_GT(size, 4u);
}

TEST_F(WindowTest, MatrixListingsShowWhatTheLastFitLeft) {
    Ttelmorwin& window = openWindow();
    window.listRightSingularVectors();  // nothing loaded: nothing written
    openGef(window);
    window.loadKTypeModel();
    window.optimizeFit();
    window.plot().redrawAll();
    const QImage plot = window.canvas().image();
    for (void (Ttelmorwin::*listing)() : {&Ttelmorwin::listSampleDerivatives, &Ttelmorwin::listSensitivities,
                                          &Ttelmorwin::listJacobian}) {
        (window.*listing)();
        EXPECT_NE(window.canvas().image(), plot);
        window.plot().redrawAll();
    }
    dialogs_.expectMessage(" then");
    window.listRightSingularVectors();
    dialogs_.expectMessage("->");
    window.listLeftSingularVectors();
    dialogs_.verifyDone();
}

}  // namespace
}  // namespace orma::ui::test
