#include "app/journal/Journal.h"

#include "app/journal/Latin1Text.h"
#include "log/MeasurementLog.h"
#include "log/SiQuantity.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>
#include <memory>

namespace varnex {

namespace {

std::string CutToTableWidth(std::string_view text)
{
    return std::string(text.substr(0, LogTextWidth));
}

bool IsAscii(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The table's Latin-1 texts as the UTF-8 the journal stores, with the plain unit texts.
void ToStoredForm(JournalRecord& r)
{
    const auto plain = [](const std::string& lcd) {
        std::string text = PlainUnitText(lcd);
        return text == lcd ? Latin1ToUtf8(lcd) : text;
    };
    r.plainUnit = plain(r.unit);
    r.plainUnit2 = plain(r.unit2);
    for (std::string* text : {&r.time, &r.function, &r.value, &r.unit, &r.value2, &r.unit2})
        if (!IsAscii(*text))
            *text = Latin1ToUtf8(*text);
}

} // namespace

QString JournalFailureMessage(const QString& reason)
{
    return QStringLiteral("The journal cannot be written: %1. Readings are logged in memory only.").arg(reason);
}

QString JournalDataDir(const QString& option)
{
    if (!option.isEmpty())
        return option;
    // AppLocalDataLocation of an application named "varnex", for the window and varnex-cli alike.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/varnex");
}

Journal::Journal(const QString& dataDir, QObject* parent)
    : QObject(parent), dir_(dataDir), path_(QDir(dataDir).filePath(QLatin1String(kJournalFileName)))
{
    writer_ = std::thread([this] { writerMain(); });
}

Journal::~Journal()
{
    queue_.stop();
    if (writer_.joinable())
        writer_.join();
}

void Journal::push(JournalItem&& item)
{
    const bool row = item.kind == JournalItem::Kind::Row;
    if (!queue_.push(std::move(item)) && row)
        missed_.fetch_add(1, std::memory_order_relaxed);
}

void Journal::rowLogged(const LoggedRow& logged)
{
    if (logged.source == RowSource::Recovered)
        return;
    JournalItem item;
    JournalRecord& r = item.row;
    r.utcMs = logged.utcMs;
    r.no = logged.row.No;
    r.time = CutToTableWidth(logged.row.Time);
    r.function = CutToTableWidth(logged.row.Function);
    r.value = CutToTableWidth(logged.row.Value);
    r.unit = CutToTableWidth(logged.row.Unit);
    r.value2 = CutToTableWidth(logged.row.Value2);
    r.unit2 = CutToTableWidth(logged.row.Unit2);
    r.siValue = logged.si.value;
    r.siUnit = logged.si.siUnit;
    r.source = logged.source == RowSource::Load ? JournalSource::Load : JournalSource::Meter;
    push(std::move(item));
}

void Journal::rowsCleared()
{
    markDiscarded();
}

void Journal::markSaved()
{
    JournalItem item;
    item.kind = JournalItem::Kind::Saved;
    push(std::move(item));
}

void Journal::linkEvent(const std::string& kind, const std::string& detail)
{
    JournalItem item;
    item.kind = JournalItem::Kind::Event;
    item.eventKind = kind;
    item.row.value = detail;
    item.row.utcMs = SystemUtcMs();
    push(std::move(item));
}

void Journal::markDiscarded()
{
    JournalItem item;
    item.kind = JournalItem::Kind::Discarded;
    push(std::move(item));
}

void Journal::recover(const RecoveryOffer& offer)
{
    JournalItem read;
    read.kind = JournalItem::Kind::ReadRecoverable;
    read.run = offer.runId;
    push(std::move(read));
    JournalItem settle;
    settle.kind = JournalItem::Kind::Settle;
    settle.runs = offer.olderRunIds;
    push(std::move(settle));
}

void Journal::recovered(std::int64_t run)
{
    JournalItem item;
    item.kind = JournalItem::Kind::RecoverInto;
    item.run = run;
    push(std::move(item));
}

void Journal::decline(const RecoveryOffer& offer)
{
    JournalItem settle;
    settle.kind = JournalItem::Kind::Settle;
    settle.runs = offer.olderRunIds;
    settle.runs.push_back(offer.runId);
    push(std::move(settle));
}

QString Journal::failureReason() const
{
    std::lock_guard<std::mutex> lock(reasonMutex_);
    return reason_;
}

QString Journal::statusText() const
{
    switch (state()) {
    case JournalState::Opening: return QStringLiteral("Journal: opening %1").arg(path_);
    case JournalState::Writing:
        return QStringLiteral("Journal: %1, run %2, %3 readings written").arg(path_).arg(runId()).arg(committedRows());
    case JournalState::Failed:
        return QStringLiteral("Journal: not written (%1); readings are logged in memory only%2")
            .arg(failureReason(),
                 missedRows() > 0 ? QStringLiteral(", %1 not journaled").arg(missedRows()) : QString());
    }
    return {};
}

void Journal::fail(const QString& reason)
{
    {
        std::lock_guard<std::mutex> lock(reasonMutex_);
        reason_ = reason;
    }
    const std::size_t waiting = queue_.size();
    queue_.close();
    missed_.fetch_add(std::int64_t(waiting), std::memory_order_relaxed);
    state_ = JournalState::Failed;
    QMetaObject::invokeMethod(
        this, [this, reason] { if (onFailed_) onFailed_(reason); }, Qt::QueuedConnection);
}

bool Journal::openJournal(JournalDatabase& db)
{
    if (!db.open(QDir::toNativeSeparators(path_).toStdString())) {
        fail(QString::fromStdString(db.error()));
        return false;
    }
    const std::int64_t run = db.beginRun(SystemUtcMs());
    if (run == 0) {
        fail(QString::fromStdString(db.error()));
        return false;
    }
    runId_ = run;
    std::optional<RecoveryOffer> offer = db.recoveryOffer(run);
    state_ = JournalState::Writing;
    QMetaObject::invokeMethod(
        this, [this, offer] { if (onOpened_) onOpened_(offer); }, Qt::QueuedConnection);
    return true;
}

bool Journal::write(JournalDatabase& db, std::vector<JournalItem>& batch)
{
    std::int64_t written = 0;
    const std::int64_t firstSeq = nextSeq_;
    const RunState stateBefore = runState_;
    // Rows go in straight from the batch; nothing holds a second copy.
    const auto insert = [&](JournalRecord& row) {
        ToStoredForm(row);
        if (!db.insertRow(runId_, nextSeq_, row))
            return false;
        if (runState_ != RunState::Unsaved && !db.markUnsaved(runId_))
            return false;
        runState_ = RunState::Unsaved;
        ++nextSeq_;
        ++written;
        return true;
    };
    std::vector<std::pair<std::int64_t, std::shared_ptr<std::vector<JournalRecord>>>> reads;
    bool ok = db.begin();
    for (JournalItem& item : batch) {
        if (!ok)
            break;
        switch (item.kind) {
        case JournalItem::Kind::Row: ok = insert(item.row); break;
        case JournalItem::Kind::Event:
            ok = db.insertEvent(runId_, item.row.utcMs, nextSeq_ - 1, item.eventKind, item.row.value);
            break;
        case JournalItem::Kind::Saved:
        case JournalItem::Kind::Discarded: {
            const RunState state = item.kind == JournalItem::Kind::Saved ? RunState::Saved : RunState::Discarded;
            // Clearing rows that were all saved leaves them saved.
            if (!(state == RunState::Discarded && runState_ == RunState::Saved)) {
                ok = db.markSafe(runId_, nextSeq_ - 1, state);
                runState_ = state;
            }
            break;
        }
        case JournalItem::Kind::ReadRecoverable: {
            auto rows = std::make_shared<std::vector<JournalRecord>>();
            ok = db.readRecoverable(item.run, [&](const JournalRecord& r) {
                JournalRecord copy = r;
                for (std::string* text : {&copy.time, &copy.function, &copy.value, &copy.unit, &copy.value2, &copy.unit2})
                    *text = Utf8ToLatin1(*text);
                rows->push_back(std::move(copy));
            });
            reads.emplace_back(item.run, std::move(rows));
            break;
        }
        case JournalItem::Kind::RecoverInto:
            ok = db.recoverInto(item.run, runId_);
            runState_ = RunState::Unsaved;
            break;
        case JournalItem::Kind::Settle: ok = db.settle(item.runs); break;
        }
    }
    ok = ok && db.commit();
    if (!ok) {
        const QString reason = QString::fromStdString(db.error());
        db.rollback();
        nextSeq_ = firstSeq;
        runState_ = stateBefore;
        // Nothing of the batch was kept.
        missed_.fetch_add(std::count_if(batch.begin(), batch.end(),
                                        [](const JournalItem& i) { return i.kind == JournalItem::Kind::Row; }),
                          std::memory_order_relaxed);
        fail(reason);
        return false;
    }
    committed_.fetch_add(written, std::memory_order_relaxed);
    for (auto& [run, rows] : reads)
        QMetaObject::invokeMethod(
            this, [this, run = run, rows = rows] { if (onRecovered_) onRecovered_(run, *rows); }, Qt::QueuedConnection);
    return true;
}

void Journal::writerMain()
{
    if (!QDir().mkpath(dir_)) {
        fail(QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(dir_)));
        return;
    }
    // One program per folder: a second one gets no run of its own rather than a shared file.
    QLockFile lock(QDir(dir_).filePath(QStringLiteral("journal.lock")));
    lock.setStaleLockTime(0); // only a lock whose program is gone is stale
    if (!lock.tryLock(0)) {
        fail(lock.error() == QLockFile::LockFailedError
                 ? QStringLiteral("another program is writing the journal in %1").arg(QDir::toNativeSeparators(dir_))
                 : QStringLiteral("the folder %1 is not writable").arg(QDir::toNativeSeparators(dir_)));
        return;
    }
    JournalDatabase db;
    if (!openJournal(db))
        return;
    std::vector<JournalItem> batch;
    while (queue_.take(batch, std::chrono::milliseconds(kCommitIntervalMs))) {
        if (!batch.empty() && !write(db, batch))
            return;
    }
    // A clean close: the run ended here.
    if (db.begin() && db.endRun(runId_, SystemUtcMs()))
        db.commit();
    else
        db.rollback();
}

} // namespace varnex
