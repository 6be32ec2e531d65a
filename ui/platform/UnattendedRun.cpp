#include "ui/platform/UnattendedRun.h"

#include <QPushButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace orma::ui {

namespace {

constexpr qint64 kLongestRunMs = 60000;

void sayOnStdout(const char* what, const QString& title, const QString& text) {
    std::printf("orma: %s \"%s\"%s%s\n", what, title.toUtf8().constData(), text.isEmpty() ? "" : ": ",
                text.simplified().toUtf8().constData());
    std::fflush(stdout);
}

/// Answers the modal window on top; false when there is none.
bool answerModalWindow() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return false;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        sayOnStdout("message", box->windowTitle(), box->text());
        if (QPushButton* button = box->defaultButton()) button->click();
        else box->accept();
        return true;
    }
    sayOnStdout("dialog", modal->windowTitle(), {});
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->accept();
    else modal->close();
    return true;
}

}  // namespace

int unattendedTestInterval() {
    const char* value = std::getenv("ORMA_UNATTENDED_TEST_MS");
    if (value == nullptr) return 0;
    char* end = nullptr;
    const long ms = std::strtol(value, &end, 10);
    if (end == value || *end != '\0' || ms < 1 || ms > 10000) return 0;
    return static_cast<int>(ms);
}

void startUnattendedRun(int intervalMs, std::function<void()> end) {
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto quietLooks = std::make_shared<int>(0);
    auto ending = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, qApp, [=] {
        if (clock->elapsed() > kLongestRunMs) {
            std::fputs("orma: the unattended run did not end within a minute\n", stderr);
            std::_Exit(3);
        }
        if (answerModalWindow()) {
            *quietLooks = 0;
            return;
        }
        if (*ending || ++*quietLooks < 2) return;
        *ending = true;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->isWindow()) sayOnStdout("window", window->windowTitle(), {});
        }
        // Outside this slot, so that the questions End may ask are answered.
        QTimer::singleShot(0, qApp, end);
    });
    timer->start(intervalMs);
}

}  // namespace orma::ui
