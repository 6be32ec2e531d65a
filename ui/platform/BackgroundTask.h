#pragma once
// Long work of a window (a global fit, parameter ranges, the joint fit of a
// profile) run on a thread of its own, so that the windows keep drawing and
// answering while it runs: a progress dialog with Cancel shows what it has
// done, modal to the application, so no command can change what the work
// was given meanwhile.
//
// The work gets only what it was given (copies, its own fit workspace) and a
// TaskProgress it reports into and reads Cancel from. Its end is told on the
// window's thread, where the window applies the result; after Cancel the
// window drops whatever the work left.

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>

class QThread;
class QTimer;

namespace orma::ui {

/// What the work reports and what it reads: written from the work's
/// thread(s), read by the dialog's timer on the window's thread.
struct TaskProgress {
    std::atomic<int> done{0};
    std::atomic<int> total{0};  ///< 0: the dialog shows a busy bar
    std::atomic<int> phase{0};  ///< for the label (see BackgroundTask::labelOf)
    std::atomic<bool> cancel{false};

    bool cancelled() const { return cancel.load(std::memory_order_relaxed); }
    void report(int doneSoFar, int totalPlanned) {
        total.store(totalPlanned, std::memory_order_relaxed);
        done.store(doneSoFar, std::memory_order_relaxed);
    }
};

class BackgroundTask : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(TaskProgress&)>;
    /// Told on the window's thread once the work has ended; `cancelled`
    /// when Cancel was pressed (or cancel() called) before it ended. It must
    /// not delete the task (a later command may replace it).
    using Finished = std::function<void(bool cancelled)>;

    /// The dialog belongs to `owner` and shows `label`, or labelOf(phase)
    /// when that is set.
    BackgroundTask(QWidget* owner, const QString& label, Work work, Finished finished);
    /// Cancels the work and waits for its thread; `finished` is not told.
    ~BackgroundTask() override;
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    std::function<QString(int phase)> labelOf;

    /// Starts the work (once).
    void start();
    bool running() const { return running_; }
    /// What Cancel in the dialog does.
    void cancel();
    /// Runs the event loop until the work has ended and `finished` has been
    /// told (returns at once when it has). For End and for tests.
    void waitForFinished();
    /// The progress dialog while the work runs; null before and after.
    QProgressDialog* dialog() const { return dialog_; }

signals:
    void ended();

private:
    void showProgress();
    void workEnded();

    QPointer<QWidget> owner_;
    QString label_;
    Work work_;
    Finished finished_;
    TaskProgress progress_;
    QThread* thread_ = nullptr;
    QTimer* timer_ = nullptr;
    QPointer<QProgressDialog> dialog_;  ///< a child of the owner, which may go first
    bool running_ = false;
    bool started_ = false;
};

}  // namespace orma::ui
