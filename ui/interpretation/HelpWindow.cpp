#include "ui/interpretation/HelpWindow.h"

#include <QFile>
#include <QHBoxLayout>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QUrl>
#include <system_error>

namespace orma::ui {

namespace {

/// "<h2 id="files">Files</h2>" -> level 2, "files", "Files" (tags inside the
/// heading text are dropped).
struct Heading {
    int level;
    QString id;
    QString title;
};

std::vector<Heading> headingsOf(const QString& html) {
    static const QRegularExpression pattern(
        QStringLiteral(R"re(<h([23])\s+id="([^"]+)"[^>]*>(.*?)</h\1>)re"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    std::vector<Heading> headings;
    for (auto match = pattern.globalMatch(html); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        QTextDocument text;
        text.setHtml(m.captured(3));
        headings.push_back({m.captured(1).toInt(), m.captured(2), text.toPlainText().simplified()});
    }
    return headings;
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("helpWindow");
    setWindowTitle("How does it work - ORMA manual");
    contents_ = new QTreeWidget;
    contents_->setObjectName("contents");
    contents_->setHeaderLabel("Contents");
    browser_ = new QTextBrowser;
    browser_->setObjectName("manual");
    browser_->setOpenExternalLinks(true);
    auto* splitter = new QSplitter;
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 760});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(1000, 760);
    const auto showSection = [this](QTreeWidgetItem* item) {
        if (item != nullptr) browser_->scrollToAnchor(item->data(0, Qt::UserRole).toString());
    };
    connect(contents_, &QTreeWidget::currentItemChanged, this, showSection);
    // A click on the entry that is current already leads to it as well.
    connect(contents_, &QTreeWidget::itemClicked, this, showSection);
}

bool HelpWindow::open(const std::filesystem::path& page) {
    QFile file(QString::fromStdString(page.string()));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString html = QString::fromUtf8(file.readAll());
    browser_->setSearchPaths({QString::fromStdString(page.parent_path().string())});
    browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));

    // The page opens at its top, with its introduction: filling the contents
    // scrolls nowhere.
    const QSignalBlocker quiet(contents_);
    contents_->clear();
    QTreeWidgetItem* section = nullptr;
    for (const Heading& heading : headingsOf(html)) {
        QTreeWidgetItem* item = nullptr;
        if (heading.level == 3 && section != nullptr) item = new QTreeWidgetItem(section);
        else item = new QTreeWidgetItem(contents_);
        if (heading.level == 2) section = item;
        item->setText(0, heading.title);
        item->setData(0, Qt::UserRole, heading.id);
    }
    contents_->expandAll();
    // The view would make its first entry current when it takes the focus;
    // made current here, quietly, it leaves the page where it is.
    if (contents_->topLevelItemCount() > 0) contents_->setCurrentItem(contents_->topLevelItem(0));
    return true;
}

std::optional<std::filesystem::path> findManual(const std::vector<std::filesystem::path>& folders) {
    for (const std::filesystem::path& folder : folders) {
        const std::filesystem::path page = folder / "manual" / "index.html";
        std::error_code ec;
        if (std::filesystem::is_regular_file(page, ec)) return page;
    }
    return std::nullopt;
}

}  // namespace orma::ui
