#include "app/trend/ReadingsCsvExport.h"

#include "app/journal/ReadingsCsvWriter.h"
#include "app/trend/TrendFeed.h"
#include "log/LogStore.h"
#include "log/SiQuantity.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace varnex {

namespace {

constexpr qint64 kSliceMs = 8; // the UI thread's share per turn of the event loop

std::string Utf8(std::string_view latin1)
{
    return QString::fromLatin1(latin1.data(), qsizetype(latin1.size())).toStdString();
}

} // namespace

// Writes the blocks it is given, in order, on its own thread; the file is committed (or
// dropped) after the last one.
class ReadingsCsvExport::Writer {
public:
    Writer(const QString& fileName, std::function<void(QString)> done)
        : fileName_(fileName), done_(std::move(done)), thread_([this] { run(); })
    {
    }
    ~Writer()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            abandoned_ = true;
            closed_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    void push(std::string block)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            blocks_.push_back(std::move(block));
        }
        wake_.notify_one();
    }
    void close()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
        }
        wake_.notify_one();
    }

private:
    void run()
    {
        QSaveFile file(fileName_);
        QString error;
        if (!file.open(QIODevice::WriteOnly))
            error = file.errorString();
        for (;;) {
            std::string block;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return !blocks_.empty() || closed_; });
                if (abandoned_) {
                    file.cancelWriting();
                    return;
                }
                if (blocks_.empty())
                    break;
                block = std::move(blocks_.front());
                blocks_.pop_front();
            }
            if (error.isEmpty() && file.write(block.data(), qint64(block.size())) != qint64(block.size()))
                error = file.errorString();
        }
        if (error.isEmpty() && !file.commit())
            error = file.errorString();
        if (!error.isEmpty())
            file.cancelWriting();
        done_(error);
    }

    QString fileName_;
    std::function<void(QString)> done_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> blocks_;
    bool closed_ = false;
    bool abandoned_ = false;
    std::thread thread_;
};

QString CsvFileName(const QString& typed)
{
    return QFileInfo(typed).suffix().isEmpty() ? typed + QStringLiteral(".csv") : typed;
}

ReadingsCsvExport::ReadingsCsvExport(const LogStore& table, const TrendFeed& feed, QObject* parent)
    : QObject(parent), table_(table), feed_(feed)
{
    tick_.setInterval(0);
    connect(&tick_, &QTimer::timeout, this, &ReadingsCsvExport::slice);
}

ReadingsCsvExport::~ReadingsCsvExport()
{
    tick_.stop();
    writer_.reset(); // an unfinished file is dropped
    csv_.reset();
}

bool ReadingsCsvExport::running() const
{
    return tick_.isActive() || writer_ != nullptr;
}

bool ReadingsCsvExport::start(const QString& fileName, const std::string& decimalSeparator)
{
    if (running())
        return false;
    fileName_ = fileName;
    separator_ = decimalSeparator;
    next_ = 0;
    total_ = std::int64_t(table_.size());
    clears_ = feed_.clears();
    segment_ = 0;
    // The series holds each row's UTC time when it matches the table row for row.
    timesKnown_ = feed_.series().size() == total_;
    QPointer<ReadingsCsvExport> self(this);
    writer_ = std::make_unique<Writer>(fileName, [self](QString error) {
        // Runs on the writer's thread: the outcome is handed to the UI thread.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [self, error] {
                if (self)
                    self->end(error);
            },
            Qt::QueuedConnection);
    });
    // The journal's CSV writer formats into memory; each slice's text goes to the file thread.
    buffer_ = std::make_unique<QBuffer>();
    buffer_->open(QIODevice::WriteOnly);
    csv_ = std::make_unique<ReadingsCsvWriter>(*buffer_);
    tick_.start();
    return true;
}

void ReadingsCsvExport::slice()
{
    // "Close Data" or a rebuilt table since the start: the row indices no longer hold.
    if (feed_.clears() != clears_ || std::int64_t(table_.size()) < total_) {
        tick_.stop();
        writer_.reset();
        emit finished(fileName_, next_, QStringLiteral("The table was cleared while its readings were being written."));
        return;
    }
    QElapsedTimer clock;
    clock.start();
    const TrendSeries& series = feed_.series();
    const auto& segments = series.segments();
    while (next_ < total_ && (next_ % 256 != 0 || clock.elapsed() < kSliceMs)) {
        const LogRowView row = table_.row(std::size_t(next_));
        const SiQuantity si = ToSiQuantity(row.Value, row.Unit, separator_);
        const std::string function = Utf8(row.Function), value = Utf8(row.Value), value2 = Utf8(row.Value2);
        const std::string unit2 = PlainUnitText(row.Unit2);
        CsvReading fields; // utcMs 0: the moment is not known (a row from a file)
        if (timesKnown_) {
            while (segment_ < segments.size() && segments[segment_].end <= next_)
                ++segment_;
            if (segment_ < segments.size() && !segments[segment_].placed)
                fields.utcMs = series.timeAt(next_);
        }
        fields.no = row.No;
        fields.function = function;
        fields.value = value;
        fields.unit = si.plainUnit;
        fields.siValue = si.value;
        fields.siUnit = si.siUnit;
        fields.value2 = value2;
        fields.unit2 = unit2;
        csv_->write(fields);
        ++next_;
    }
    if (!csv_->finish()) {
        tick_.stop();
        writer_.reset();
        emit finished(fileName_, next_, QStringLiteral("The readings could not be formatted."));
        return;
    }
    writer_->push(buffer_->data().toStdString());
    buffer_->buffer().clear();
    buffer_->seek(0);
    if (next_ >= total_) {
        tick_.stop();
        writer_->close(); // finished comes from the writer when the file is committed
    }
}

void ReadingsCsvExport::end(const QString& error)
{
    writer_.reset();
    emit finished(fileName_, next_, error);
}

} // namespace varnex
