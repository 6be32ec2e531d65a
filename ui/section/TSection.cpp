#include "ui/section/TSection.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace orma::ui {

TSection::TSection(int interpretationWidth, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Section");
    setWindowTitle(QString::fromUtf8("Řez podle VES"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int width = std::max(200, screen.width() - interpretationWidth + 5);
    setGeometry(screen.left(), screen.top(), width, screen.height());
    // Only the interpretation window ends the program when it closes.
    setAttribute(Qt::WA_QuitOnClose, false);
}

}  // namespace orma::ui
