// The manual against the program: every menu and popup item of both windows
// (the hidden ones that answer a key included) is described with its caption
// and, in the same table row, its key; the colours it says the screen shows
// for the XOR-drawn lines are the colours the plot really has; its pictures
// are there and small.

#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QShortcut>
#include <QTextDocument>
#include <map>

#include "SectionFixture.h"
#include "support/FileBytes.h"
#include "ui/interpretation/plot/InterpretationPlot.h"

namespace orma::ui::test {
namespace {

const fs::path kManualPage = fs::path(ORMA_SOURCE_DIR) / "manual" / "index.html";

QString plainText(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText().simplified();
}

/// The manual's table rows: their plain text and the keys written in them.
struct ManualRow {
    QString text;
    QStringList keys;
};

struct Manual {
    QString html;
    QString text;
    std::vector<ManualRow> rows;

    Manual() {
        QFile file(QString::fromStdString(kManualPage.string()));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << kManualPage;
        html = QString::fromUtf8(file.readAll());
        text = plainText(html);
        static const QRegularExpression row(QStringLiteral("<tr>(.*?)</tr>"),
                                            QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression kbd(QStringLiteral("<kbd>(.*?)</kbd>"));
        for (auto match = row.globalMatch(html); match.hasNext();) {
            const QString inner = match.next().captured(1);
            ManualRow entry{plainText("<table><tr>" + inner + "</tr></table>"), {}};
            for (auto key = kbd.globalMatch(inner); key.hasNext();)
                entry.keys << plainText(key.next().captured(1));
            rows.push_back(entry);
        }
    }

    /// Some row holds `caption`, and `key` (when given) as one of its keys.
    bool describes(const QString& caption, const QString& key) const {
        for (const ManualRow& row : rows) {
            if (row.text.contains(caption) && (key.isEmpty() || row.keys.contains(key))) return true;
        }
        return false;
    }
};

/// A menu entry as the user meets it.
struct MenuEntry {
    QString where;  ///< "Display > Colour"
    QString caption;
    QString key;  ///< empty when it has none
    bool submenu = false;
};

/// The key of a hidden item: the window-wide shortcut standing in for it.
QString hiddenKey(const QWidget& window, const QAction& action) {
    const auto* stand = window.findChild<QShortcut*>(action.objectName() + "Shortcut");
    return stand != nullptr ? stand->key().toString(QKeySequence::PortableText) : QString();
}

void collect(const QWidget& window, const QMenu& menu, const QString& where, std::vector<MenuEntry>& entries) {
    static const QRegularExpression choice(QStringLiteral("^(lok|pf)\\d+$"));
    // A recent list's items are the user's own files; the manual names the list.
    if (menu.objectName().startsWith("Recent")) return;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator()) continue;
        // The locality and profile choices carry the database's names.
        if (choice.match(action->objectName()).hasMatch()) continue;
        const QString caption = action->text().remove('&').simplified();
        if (action->menu() != nullptr) {
            entries.push_back({where, caption, {}, true});
            collect(window, *action->menu(), where + " > " + caption, entries);
            continue;
        }
        QString key = action->shortcut().toString(QKeySequence::PortableText);
        if (!action->isVisible()) {
            // Hidden: met only through its key; without one the user never meets it.
            key = hiddenKey(window, *action);
            if (key.isEmpty()) continue;
        }
        entries.push_back({where, caption, key, false});
    }
}

std::vector<MenuEntry> menuEntries(QMainWindow& window) {
    std::vector<MenuEntry> entries;
    for (QAction* title : window.menuBar()->actions()) {
        if (title->menu() == nullptr) continue;
        const QString caption = title->text().remove('&').simplified();
        entries.push_back({window.objectName(), caption, {}, true});
        collect(window, *title->menu(), caption, entries);
    }
    return entries;
}

TEST_F(SectionTest, TheManualDescribesEveryItemAndKeyOfBothWindowsAndThePopup) {
    const Manual manual;
    std::vector<MenuEntry> entries = menuEntries(*window_);
    const std::size_t interpretationItems = entries.size();
    for (const MenuEntry& entry : menuEntries(*section_)) entries.push_back(entry);
    collect(*section_, *section_->popupMenu(), "popup", entries);
    EXPECT_GT(interpretationItems, 50u);
    EXPECT_GT(entries.size() - interpretationItems, 30u);

    for (const MenuEntry& entry : entries) {
        const std::string what = entry.where.toStdString() + " > \"" + entry.caption.toStdString() + '"' +
                                 (entry.key.isEmpty() ? "" : " (" + entry.key.toStdString() + ")");
        if (entry.submenu) {
            EXPECT_TRUE(manual.text.contains(entry.caption)) << "the manual does not name the menu " << what;
        } else {
            EXPECT_TRUE(manual.describes(entry.caption, entry.key))
                << "no row of the manual describes " << what << (entry.key.isEmpty() ? "" : " with its key");
        }
    }
    // The hidden items with keys are among them.
    const auto has = [&entries](const char* key) {
        return std::any_of(entries.begin(), entries.end(), [key](const MenuEntry& e) { return e.key == key; });
    };
    for (const char* key : {"I", "D", "Ctrl+I", "F12", "F5", "Ctrl+U", "Ctrl+Alt+U", "Shift+Z"}) {
        EXPECT_TRUE(has(key)) << key;
    }
}

TEST_F(SectionTest, TheManualsPicturesAreThereAndSmall) {
    const Manual manual;
    static const QRegularExpression image(QStringLiteral("<img src=\"([^\"]+)\""));
    int pictures = 0;
    for (auto match = image.globalMatch(manual.html); match.hasNext(); ++pictures) {
        const fs::path file = kManualPage.parent_path() / match.next().captured(1).toStdString();
        ASSERT_TRUE(fs::is_regular_file(file)) << file;
        EXPECT_LE(fs::file_size(file), 160u * 1024u) << file;
        EXPECT_FALSE(QImage(QString::fromStdString(file.string())).isNull()) << file;
    }
    EXPECT_GE(pictures, 6);
    for (const char* heading : {"id=\"section\"", "id=\"colour-views\"", "id=\"section-database\"",
                                "id=\"section-popup\"", "id=\"xor-colours\"", "id=\"quick-import\""}) {
        EXPECT_TRUE(manual.html.contains(heading)) << heading;
    }
}

/// 0xRRGGBB of the colour names the manual uses.
const std::map<QString, QRgb> kColourNames = {{"lime", 0x00FF00}, {"magenta", 0xFF00FF}, {"yellow", 0xFFFF00},
                                              {"blue", 0x0000FF}, {"aqua", 0x00FFFF},    {"red", 0xFF0000}};

QRgb rgbOf(std::uint32_t bgr) { return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF); }

int pixelsOf(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xFFFFFF) == colour ? 1 : 0;
    }
    return count;
}

TEST_F(SectionTest, TheColoursTheManualNamesForXorLinesAreThoseOnTheScreen) {
    // The manual's table: what is drawn, the colour chosen, the colour shown.
    const Manual manual;
    static const QRegularExpression table(QStringLiteral("<table id=\"xor-colour-table\">(.*?)</table>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression row(QStringLiteral("<tr><td>(.*?)</td><td>(.*?)</td><td>(.*?)</td></tr>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    const QString rows = table.match(manual.html).captured(1);
    std::map<QString, std::pair<QRgb, QRgb>> said;  // first words of "what" -> chosen, shown
    for (auto match = row.globalMatch(rows); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        const QString chosen = plainText(m.captured(2)).section(' ', 0, 0);
        const QString shown = plainText(m.captured(3)).section(' ', 0, 0);
        ASSERT_TRUE(kColourNames.count(chosen) && kColourNames.count(shown)) << chosen.toStdString();
        // On white, XOR shows the complement.
        EXPECT_EQ(kColourNames.at(shown), 0xFFFFFF ^ kColourNames.at(chosen))
            << plainText(m.captured(1)).toStdString();
        said[plainText(m.captured(1))] = {kColourNames.at(chosen), kColourNames.at(shown)};
    }
    ASSERT_EQ(said.size(), 5u);
    const DisplaySettings defaults;
    EXPECT_EQ(said.at("the model line").first, rgbOf(defaults.modelColour));
    EXPECT_EQ(said.at("a fixed (held) value of the model").first, rgbOf(defaults.fixedValueColour));

    // The plot as drawn: a model with a held resistivity and its computed curve.
    const std::string gef = path("VES7.GEF");
    orma::test::writeBytes(gef,
                           "TAMIR export\r\nd\r\nh\r\nh\r\n1 2 100 4 5 0 7 1.3 9 0.5 11 1 13\r\n"
                           "1 2 150 4 5 0 7 3.66 9 0.5 11 1 13\r\n1 2 90 4 5 0 7 10.3 9 0.5 11 1 13\r\n"
                           "1 2 40 4 5 0 7 29.1 9 0.5 11 1 13\r\n1 2 60 4 5 0 7 82.3 9 0.5 11 1 13\r\n");
    dialogs_.expectOpen(gef);
    window_->openGefFile();
    window_->loadKTypeModel();
    // Off the decade lines of the grid, where the line meets white only.
    LayerModel& model = window_->sounding().model;
    model.resistivity[0] = 33.0f;
    model.resistivity[1] = 140.0f;
    model.resistivity[2] = 26.0f;
    model.depth[0] = 1.7f;
    model.depth[1] = 14.0f;
    model.resistivityFixed[2] = 1;
    window_->computeModelCurve();
    ASSERT_TRUE(window_->sounding().computedCurveShown);
    window_->plot().redrawAll();
    const QImage plot = window_->canvas().image();
    const int modelPixels = pixelsOf(plot, said.at("the model line").second);
    EXPECT_GT(modelPixels, 100) << "the model in the colour the manual names";
    EXPECT_GT(pixelsOf(plot, said.at("a fixed (held) value of the model").second), 50);
    EXPECT_GT(pixelsOf(plot, said.at("the computed curve").second), 100);
    // The chosen colour itself shows only where the line crosses the black curve.
    EXPECT_LT(pixelsOf(plot, said.at("the model line").first), modelPixels / 10);
}

}  // namespace
}  // namespace orma::ui::test
