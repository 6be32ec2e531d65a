#include "ui/platform/RecentMenu.h"

#include <QAction>
#include <QMenu>
#include <utility>

#include "io/UserDialogs.h"

namespace orma::ui {

RecentMenu::RecentMenu(QMenu* parent, const QString& caption, const char* name,
                       std::filesystem::path listFile, RecentKind kind, UserDialogs& dialogs,
                       std::function<void(const std::string&)> open)
    : QObject(parent),
      menu_(parent->addMenu(caption)),
      listFile_(std::move(listFile)),
      kind_(kind),
      dialogs_(dialogs),
      open_(std::move(open)) {
    menu_->setObjectName(name);
    menu_->menuAction()->setObjectName(name);
    connect(menu_, &QMenu::aboutToShow, this, &RecentMenu::refresh);
    refresh();
}

std::vector<std::string> RecentMenu::entries() const { return shown_; }

void RecentMenu::refresh() {
    menu_->clear();
    RecentLists lists;
    // An unreadable list shows as an empty one; it is said when it is to be
    // written.
    (void)readRecentLists(listFile_, lists);
    shown_ = lists.of(kind_);
    if (shown_.empty()) {
        menu_->addAction("(none yet)")->setEnabled(false);
        return;
    }
    for (std::size_t n = 0; n < shown_.size(); ++n) {
        QString text = QString::fromStdString(shown_[n]);
        text.replace('&', "&&");
        QAction* item = menu_->addAction(QString("&%1  %2").arg(n + 1).arg(text));
        item->setObjectName(QString("%1_%2").arg(menu_->objectName()).arg(n));
        const std::string entry = shown_[n];
        connect(item, &QAction::triggered, this, [this, entry] { open_(entry); });
    }
}

void RecentMenu::keep(const Outcome& outcome) {
    if (outcome || failureSaid_) return;
    failureSaid_ = true;
    dialogs_.message(outcome.text());
}

void RecentMenu::remember(const std::string& entry) {
    keep(rememberRecent(listFile_, kind_, entry));
    refresh();
}

bool RecentMenu::stillThere(const std::string& entry) {
    const std::optional<std::string> gone = goneRecentEntry(kind_, entry);
    if (!gone) return true;
    dialogs_.message(*gone);
    keep(forgetRecent(listFile_, kind_, entry));
    refresh();
    return false;
}

}  // namespace orma::ui
