#pragma once
// The manual ("How does it work"): the HTML manual shipped with the program,
// shown beside a table of contents made from its headings.

#include <QWidget>

#include <filesystem>
#include <optional>
#include <vector>

class QTextBrowser;
class QTreeWidget;

namespace orma::ui {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    /// Shows `page` (an HTML file); its h2/h3 headings with an id make the
    /// table of contents. False when the file cannot be read.
    bool open(const std::filesystem::path& page);

    QTextBrowser* browser() const { return browser_; }
    QTreeWidget* contents() const { return contents_; }

private:
    QTextBrowser* browser_ = nullptr;
    QTreeWidget* contents_ = nullptr;
};

/// The manual's start page "manual/index.html" in the first of `folders`
/// that has it as a regular file.
std::optional<std::filesystem::path> findManual(const std::vector<std::filesystem::path>& folders);

}  // namespace orma::ui
