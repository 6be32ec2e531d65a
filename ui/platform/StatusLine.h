#pragma once
// The line at the foot of a window that says what the last command did
// ("Saved as /data/pf.vdb_2", "12 of 12 soundings imported"): a save leaves
// a trace the user can read after the dialog has closed.
//
// The text stays until the next command replaces it. Menu hints that Qt shows
// while a menu is open cover it only for that time, and a text wider than the
// window is shortened in its middle, so a path keeps both its folder's start
// and its file name.

#include <QLabel>
#include <QString>
#include <string>

class QStatusBar;

namespace orma::ui {

class StatusLine : public QLabel {
    Q_OBJECT
public:
    /// Puts itself into `bar`, taking all of its width.
    explicit StatusLine(QStatusBar& bar);

    void say(const std::string& text);
    /// The whole text, however it is shortened on screen.
    const QString& fullText() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString full_;
};

}  // namespace orma::ui
