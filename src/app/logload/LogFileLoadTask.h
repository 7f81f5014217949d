#pragma once
// Loads a log file on a worker thread into a table of its own, so that the UI thread never
// parses (a big packet takes seconds) and the log table stays untouched until the caller
// takes the rows over. A progress dialog shows when the load takes more than a moment.
#include "log/LogStore.h"
#include "log/files/LogFileService.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <thread>

class QProgressDialog;
class QWidget;

namespace varnex {

class LogFileLoadTask : public QObject {
    Q_OBJECT
public:
    static constexpr int kProgressAfterMs = 300;

    explicit LogFileLoadTask(QWidget* dialogParent);
    ~LogFileLoadTask() override; // waits for a load still running

    bool running() const { return running_; }
    // Starts reading name; false (and nothing started) while a load runs.
    bool start(const QString& name);
    // After finished(): the rows read (for a text file that failed, those of the lines
    // before the failing one) and the outcome. The caller may take the rows (swapRows).
    LogStore& rows() { return rows_; }
    const LoadResult& result() const { return result_; }

signals:
    void finished();

private:
    void updateProgress();
    void done();

    QWidget* dialogParent_;
    std::thread worker_;
    LogStore rows_;       // written by the worker only while running_
    LoadResult result_;   // likewise
    LoadProgress progress_;
    bool running_ = false;
    QTimer poll_;
    QElapsedTimer sinceStart_;
    QPointer<QProgressDialog> dialog_;
};

} // namespace varnex
