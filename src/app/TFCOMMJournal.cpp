// The window's side of the journal: starting it, the recovery question at start, putting
// recovered rows into the table, the one failure message, and the status in the LCD's
// tooltip (with the record limit, which stops logging without a box).
#include "app/TFCOMM.h"

#include "app/publisher/MqttPublisher.h"

#include "app/LogGrid.h"
#include "app/UserDialogs.h"
#include "app/journal/Journal.h"
#include "app/journal/RecoveryQuestion.h"
#include "app/trend/TrendFeed.h"
#include "log/LogTableModel.h"
#include "log/MeasurementLog.h"

#include <QMenu>

namespace varnex {

void TFCOMM::startJournal(const QString& dataDir)
{
    stopJournal();
    journal_ = std::make_unique<Journal>(dataDir);
    journal_->setOnOpened([this](const std::optional<RecoveryOffer>& offer) {
        if (offer)
            askRecovery(*offer);
    });
    journal_->setOnFailed([this](const QString& reason) { dialogs_.error(JournalFailureMessage(reason)); });
    journal_->setOnRecovered(
        [this](std::int64_t run, const std::vector<JournalRecord>& rows) { putRecoveredRows(run, rows); });
    log_->addListener(journal_.get());
}

void TFCOMM::stopJournal()
{
    if (!journal_)
        return;
    log_->removeListener(journal_.get());
    journal_.reset();
}

void TFCOMM::askRecovery(const RecoveryOffer& offer)
{
    // Frames keep being logged while the question is open.
    if (dialogs_.askYesNo(RecoveryQuestion(offer)))
        journal_->recover(offer);
    else
        journal_->decline(offer);
}

void TFCOMM::putRecoveredRows(std::int64_t run, const std::vector<JournalRecord>& rows)
{
    // As a text load leaves them: appended, unsaved, numbering and chart untouched.
    model_->beginBulkChange();
    for (const JournalRecord& r : rows) {
        const LogRowInput row{r.no, r.time, r.function, r.value, r.unit, r.value2, r.unit2};
        cds1_.append(row);
        log_->announceRow(row, RowSource::Recovered, r.utcMs);
    }
    model_->endBulkChange();
    unsavedRows_ += std::int64_t(rows.size());
    if (!cds1_.empty())
        DBGrid1->scrollToBottom();
    journal_->recovered(run);
}

void TFCOMM::announceLoadedRows(std::size_t first, std::size_t end, bool replacedAll)
{
    // An XML packet replaced every row: what was still to announce is gone, and the trend
    // series starts again with the packet's rows.
    if (replacedAll) {
        loadedToAnnounce_.clear();
        trendFeed_->rowsCleared();
    }
    end = std::min(end, cds1_.size());
    if (first < end)
        loadedToAnnounce_.emplace_back(first, end);
    announceLoadedSlice();
}

void TFCOMM::announceLoadedSlice()
{
    loadedSliceScheduled_ = false;
    // About 5 ms of announcing at a time, and never more than the journal's queue takes.
    constexpr std::size_t kSliceRows = 16384;
    std::size_t budget = kSliceRows;
    if (journal_) {
        const std::size_t waiting = journal_->pendingItems();
        budget = waiting >= JournalQueue::kCapacity / 2 ? 0 : std::min(budget, JournalQueue::kCapacity / 2 - waiting);
    }
    while (budget > 0 && !loadedToAnnounce_.empty()) {
        auto& [next, end] = loadedToAnnounce_.front();
        end = std::min(end, cds1_.size()); // Close Data may have emptied the table
        for (; next < end && budget > 0; ++next, --budget) {
            const LogRowView r = cds1_.row(next);
            log_->announceRow(LogRowInput{r.No, r.Time, r.Function, r.Value, r.Unit, r.Value2, r.Unit2},
                              RowSource::Load);
        }
        if (next >= end)
            loadedToAnnounce_.erase(loadedToAnnounce_.begin());
    }
    if (!loadedToAnnounce_.empty() && !loadedSliceScheduled_) {
        loadedSliceScheduled_ = true;
        QTimer::singleShot(budget == 0 ? 20 : 0, this, &TFCOMM::announceLoadedSlice);
    }
}

void TFCOMM::showRecordLimitState()
{
    const bool reached = log_->LoggedCount() >= log_->RecordLimit();
    if (reached == recordLimitShown_)
        return;
    recordLimitShown_ = reached;
    Record1->setTitle(reached ? QStringLiteral("Record (limit reached)") : QStringLiteral("Record"));
}

QString TFCOMM::statusToolTip() const
{
    // The counters behind the indicator, for whoever wonders why it stays dark.
    QString text = QStringLiteral("Frames decoded: %1\nFrames dropped (bad function or range code): %2")
                       .arg(decodedFrames_)
                       .arg(droppedFrames_);
    if (journal_)
        text += QLatin1Char('\n') + journal_->statusText();
    if (publisher_)
        text += QLatin1Char('\n') +
                QString::fromStdString(DescribePublisherStatus(publisher_->url(), publisher_->status()));
    if (log_->LoggedCount() >= log_->RecordLimit())
        text += QStringLiteral("\nRecord limit %1 reached: new readings are not logged").arg(log_->RecordLimit());
    return text;
}

} // namespace varnex
