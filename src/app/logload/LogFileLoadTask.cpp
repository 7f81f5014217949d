#include "app/logload/LogFileLoadTask.h"

#include <QProgressDialog>

namespace varnex {

LogFileLoadTask::LogFileLoadTask(QWidget* dialogParent) : dialogParent_(dialogParent)
{
    poll_.setInterval(100);
    connect(&poll_, &QTimer::timeout, this, &LogFileLoadTask::updateProgress);
}

LogFileLoadTask::~LogFileLoadTask()
{
    if (worker_.joinable())
        worker_.join();
    delete dialog_;
}

bool LogFileLoadTask::start(const QString& name)
{
    if (running_)
        return false;
    if (worker_.joinable())
        worker_.join();
    rows_.clear();
    result_ = LoadResult{};
    progress_.bytesRead = 0;
    progress_.bytesTotal = 0;
    running_ = true;
    sinceStart_.start();
    poll_.start();
    worker_ = std::thread([this, name] {
        result_ = LoadTableFromFile(name, rows_, &progress_);
        // Back on the UI thread; dropped if this task is gone by then.
        QMetaObject::invokeMethod(this, [this] { done(); }, Qt::QueuedConnection);
    });
    return true;
}

void LogFileLoadTask::updateProgress()
{
    if (!running_ || sinceStart_.elapsed() < kProgressAfterMs)
        return;
    if (!dialog_) {
        dialog_ = new QProgressDialog(dialogParent_);
        dialog_->setWindowTitle(QStringLiteral("Varnex"));
        dialog_->setLabelText(QStringLiteral("Loading log file..."));
        dialog_->setCancelButton(nullptr);
        dialog_->setRange(0, 1000);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
    }
    const qint64 total = progress_.bytesTotal.load();
    dialog_->setValue(total > 0 ? int(std::min<qint64>(1000, progress_.bytesRead.load() * 1000 / total)) : 0);
}

void LogFileLoadTask::done()
{
    worker_.join();
    running_ = false;
    poll_.stop();
    if (dialog_)
        dialog_->hide();
    emit finished();
}

} // namespace varnex
