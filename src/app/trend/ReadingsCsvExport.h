#pragma once
// "Export readings as CSV…": the table's rows as the readings CSV (the journal's
// ReadingsCsvWriter, so both exports read alike), without holding up the
// window. The UI thread turns the rows into text a few milliseconds at a time (the table
// lives there); a thread of its own writes the text to the file, which replaces the old
// one only when all of it is written. The rows present at the start are exported; "Close
// Data" during the export stops it.
#include <QBuffer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>

namespace varnex {

class LogStore;
class ReadingsCsvWriter;
class TrendFeed;

class ReadingsCsvExport : public QObject {
    Q_OBJECT
public:
    // Neither the table nor the feed is owned; both outlive the export.
    ReadingsCsvExport(const LogStore& table, const TrendFeed& feed, QObject* parent = nullptr);
    ~ReadingsCsvExport() override;

    // Starts writing `fileName`; value texts were formed with `decimalSeparator`. False
    // when an export is already running.
    bool start(const QString& fileName, const std::string& decimalSeparator);
    bool running() const;
    std::int64_t rowsTotal() const { return total_; }
    std::int64_t rowsDone() const { return next_; }

signals:
    // error is empty on success.
    void finished(const QString& fileName, std::int64_t rows, const QString& error);

private:
    class Writer;
    void slice();
    void end(const QString& error);

    const LogStore& table_;
    const TrendFeed& feed_;
    std::string separator_;
    QString fileName_;
    QTimer tick_;
    std::unique_ptr<Writer> writer_;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<ReadingsCsvWriter> csv_;
    std::int64_t next_ = 0, total_ = 0;
    std::uint64_t clears_ = 0;
    bool timesKnown_ = false;
    std::size_t segment_ = 0;
};

// The name the user typed, with ".csv" added only when it has no extension.
QString CsvFileName(const QString& typed);

} // namespace varnex
