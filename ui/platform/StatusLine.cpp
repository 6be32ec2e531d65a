#include "ui/platform/StatusLine.h"

#include <QFontMetrics>
#include <QStringList>
#include <QStatusBar>
#include <algorithm>

#include "ui/platform/QtText.h"

namespace orma::ui {

namespace {

/// `path` in `room` pixels: its folder shortened in the middle, its file
/// name whole as long as there is room for it, else its end.
QString elidedPath(const QFontMetrics& metrics, const QString& path, int room) {
    const qsizetype slash = path.lastIndexOf('/');
    const QString name = path.mid(slash + 1);
    const int folderRoom = room - metrics.horizontalAdvance(name) - metrics.horizontalAdvance('/');
    if (slash > 0 && folderRoom >= metrics.horizontalAdvance(QStringLiteral("/.../"))) {
        return metrics.elidedText(path.left(slash), Qt::ElideMiddle, folderRoom) + '/' + name;
    }
    // Too narrow for the folder: the end of the file name is what tells files apart.
    return metrics.elidedText(path, Qt::ElideLeft, std::max(room, metrics.horizontalAdvance(QStringLiteral("/.../"))));
}

}  // namespace

StatusLine::StatusLine(QStatusBar& bar) : QLabel(&bar) {
    setObjectName("statusLine");
    // Its text must never widen the window: the width is the bar's to give.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setMinimumWidth(1);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    bar.addWidget(this, 1);
}

void StatusLine::say(const std::string& text) {
    full_ = toQString(text);
    setToolTip(full_);
    elide();
}

void StatusLine::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void StatusLine::elide() {
    // One line: a message of several lines shows them side by side.
    QString line = full_;
    line.replace('\n', QStringLiteral("  "));
    const QFontMetrics metrics = fontMetrics();
    const int room = std::max(width() - 4, 0);
    if (metrics.horizontalAdvance(line) > room) {
        // The longest path gives way first, in its middle: its folder's start
        // and its file name stay, and so do the words around it.
        const QStringList words = line.split(' ');
        qsizetype longest = -1;
        for (qsizetype i = 0; i < words.size(); ++i) {
            if (words[i].contains('/') && (longest < 0 || words[i].size() > words[longest].size())) longest = i;
        }
        if (longest >= 0) {
            QStringList shortened = words;
            const int others = metrics.horizontalAdvance(line) - metrics.horizontalAdvance(words[longest]);
            shortened[longest] = elidedPath(metrics, words[longest], room - others);
            line = shortened.join(' ');
        }
    }
    setText(metrics.elidedText(line, Qt::ElideRight, room));
}

}  // namespace orma::ui
