#include "ui/platform/BackgroundTask.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace orma::ui {

namespace {

/// How often the dialog reads the progress.
constexpr int kProgressIntervalMs = 100;
/// Work that ends sooner shows no dialog at all.
constexpr int kDialogDelayMs = 400;

}  // namespace

BackgroundTask::BackgroundTask(QWidget* owner, const QString& label, Work work, Finished finished)
    : owner_(owner), label_(label), work_(std::move(work)), finished_(std::move(finished)) {}

BackgroundTask::~BackgroundTask() {
    if (thread_ != nullptr) {
        progress_.cancel = true;
        thread_->wait();
        delete thread_;
    }
    delete dialog_.data();
}

void BackgroundTask::start() {
    if (started_) return;
    started_ = running_ = true;
    dialog_ = new QProgressDialog(label_, "Cancel", 0, 0, owner_);
    dialog_->setObjectName("backgroundProgress");
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(kDialogDelayMs);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    connect(dialog_, &QProgressDialog::canceled, this, &BackgroundTask::cancel);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &BackgroundTask::showProgress);
    timer_->start(kProgressIntervalMs);
    thread_ = QThread::create([this] { work_(progress_); });
    // Emitted on the work's thread, received on this object's (the window's).
    connect(thread_, &QThread::finished, this, &BackgroundTask::workEnded, Qt::QueuedConnection);
    thread_->start();
}

void BackgroundTask::cancel() {
    if (!running_ || progress_.cancelled()) return;
    progress_.cancel = true;
    if (dialog_ != nullptr) {
        dialog_->setLabelText("Cancelling...");
        dialog_->setCancelButtonText(QString());
    }
}

void BackgroundTask::showProgress() {
    if (dialog_ == nullptr || progress_.cancelled()) return;
    // However the dialog was cancelled (its button, Esc, its close box).
    if (dialog_->wasCanceled()) {
        cancel();
        return;
    }
    if (labelOf) {
        const QString text = labelOf(progress_.phase.load(std::memory_order_relaxed));
        if (text != dialog_->labelText()) dialog_->setLabelText(text);
    }
    const int total = progress_.total.load(std::memory_order_relaxed);
    const int done = std::min(progress_.done.load(std::memory_order_relaxed), total);
    if (dialog_->maximum() != total) dialog_->setMaximum(total);
    // The dialog shows itself once the work has lasted long enough; with a
    // busy bar (no total) it is told a value all the same.
    dialog_->setValue(total > 0 ? done : 0);
}

void BackgroundTask::workEnded() {
    timer_->stop();
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    if (dialog_ != nullptr) {
        dialog_->hide();
        dialog_->deleteLater();
        dialog_ = nullptr;
    }
    running_ = false;
    const bool cancelled = progress_.cancelled();
    emit ended();
    if (finished_) finished_(cancelled);
}

void BackgroundTask::waitForFinished() {
    if (!running_) return;
    QEventLoop loop;
    connect(this, &BackgroundTask::ended, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace orma::ui
