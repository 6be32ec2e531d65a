// "How does it work": the manual found, shown with its contents, and
// describing every command the menu offers.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>

#include "ui/interpretation/HelpWindow.h"
#include "window_fixture.h"

namespace orma::ui::test {
namespace {

void collectCaptions(const QMenu* menu, std::vector<QString>& captions) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible()) continue;
        captions.push_back(action->text().simplified());
        // A recent-files menu lists the user's own file names.
        if (action->menu() != nullptr && !action->menu()->objectName().startsWith("Recent")) {
            collectCaptions(action->menu(), captions);
        }
    }
}

TEST_F(WindowTest, TheManualOpensWithItsContentsAndDescribesEveryMenuItem) {
    Ttelmorwin& window = openWindow();
    window.manualFolders = {dir_, fs::path(ORMA_SOURCE_DIR)};
    window.showManual();
    HelpWindow* help = window.helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_GE(help->contents()->topLevelItemCount(), 10);
    // The page opens at its top, with the introduction; a contents entry leads to its section.
    QApplication::processEvents();
    EXPECT_EQ(help->browser()->verticalScrollBar()->value(), 0);
    EXPECT_EQ(help->contents()->topLevelItem(0)->data(0, Qt::UserRole).toString(), "plot");
    help->contents()->setCurrentItem(help->contents()->topLevelItem(3));
    EXPECT_GT(help->browser()->verticalScrollBar()->value(), 0);

    const QString text = help->browser()->document()->toPlainText().simplified();
    std::vector<QString> captions;
    for (QAction* menu : window.menuBar()->actions()) {
        captions.push_back(menu->text());
        collectCaptions(menu->menu(), captions);
    }
    EXPECT_GT(captions.size(), 40u);
    for (const QString& caption : captions) {
        EXPECT_TRUE(text.contains(caption)) << "the manual does not mention \"" << caption.toStdString() << '"';
    }
    // Its pictures are where the page says.
    for (const char* image : {"interpretation-window.png", "model-drawing.png", "display-options.png"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::path(ORMA_SOURCE_DIR) / "manual" / "images" / image)) << image;
    }
}

TEST_F(WindowTest, AMissingManualIsNamedWithTheFoldersSearched) {
    Ttelmorwin& window = openWindow();
    window.manualFolders = {dir_};
    dialogs_.allowAnyMessages();
    window.showManual();
    ASSERT_EQ(dialogs_.messages().size(), 1u);
    EXPECT_NE(dialogs_.messages()[0].find("manual/index.html"), std::string::npos);
    EXPECT_NE(dialogs_.messages()[0].find((dir_ / "manual").string()), std::string::npos);
    EXPECT_EQ(window.helpWindow(), nullptr);

    // A folder named like the page is no manual.
    fs::create_directories(dir_ / "manual" / "index.html");
    window.showManual();
    EXPECT_EQ(dialogs_.messages().size(), 2u);
}

}  // namespace
}  // namespace orma::ui::test
