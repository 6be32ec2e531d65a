#pragma once
// A submenu of recent entries of one kind (io/RecentFiles.h): filled from the
// list file each time it opens, so that both windows always show what the
// other has just added; an entry chosen is handed to the window, which opens
// it. An empty list shows one disabled line.

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "io/RecentFiles.h"

class QMenu;

namespace orma {
class UserDialogs;
}

namespace orma::ui {

class RecentMenu : public QObject {
public:
    /// Adds the submenu `caption` (object name `name`) to `parent`.
    RecentMenu(QMenu* parent, const QString& caption, const char* name, std::filesystem::path listFile,
               RecentKind kind, UserDialogs& dialogs, std::function<void(const std::string&)> open);

    QMenu* menu() const { return menu_; }
    /// The entries as the menu shows them now (after refresh()).
    std::vector<std::string> entries() const;
    /// Fills the menu from the list file (done whenever it opens).
    void refresh();

    /// `entry` first in the list (a failure to keep the list is said once).
    void remember(const std::string& entry);
    /// True when `entry` is still there; otherwise says so and drops it.
    bool stillThere(const std::string& entry);

private:
    void keep(const Outcome& outcome);

    QMenu* menu_;
    std::filesystem::path listFile_;
    RecentKind kind_;
    UserDialogs& dialogs_;
    std::function<void(const std::string&)> open_;
    std::vector<std::string> shown_;
    bool failureSaid_ = false;
};

}  // namespace orma::ui
