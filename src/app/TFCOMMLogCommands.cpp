// The function board's commands on the log: Close Data, save, open and print, and
// closing the window with rows that were never saved.
#include "app/TFCOMM.h"

#include "app/LogGrid.h"
#include "app/UserDialogs.h"
#include "app/journal/Journal.h"
#include "app/logload/LogFileLoadTask.h"
#include "links/ConnectionViewState.h"
#include "log/LogTableModel.h"
#include "log/MeasurementLog.h"
#include "log/files/LogFileService.h"
#include "log/files/ReportLayout.h"

#include <QCloseEvent>
#include <QPrinter>
#include <QTableView>

namespace varnex {
namespace {

// Suspends the grid's repainting for the length of a file operation or the report.
class GridRepaintPause {
public:
    explicit GridRepaintPause(QTableView* grid) : grid_(grid) { grid_->setUpdatesEnabled(false); }
    ~GridRepaintPause() { grid_->setUpdatesEnabled(true); }
    GridRepaintPause(const GridRepaintPause&) = delete;
    GridRepaintPause& operator=(const GridRepaintPause&) = delete;

private:
    QTableView* grid_;
};

void showResult(UserDialogs& dialogs, const QString& text, MessageIcon icon)
{
    if (icon == MessageIcon::Error)
        dialogs.error(text);
    else
        dialogs.information(text);
}

} // namespace

void TFCOMM::RecordNewClick()
{
    if (!dialogs_.askYesNo(QString::fromLatin1(CloseDataQuestion)))
        return;
    log_->CloseData(); // the journal hears of it as a listener
    loadedToAnnounce_.clear();
    loadKeepsFrom_ = 0; // a packet being read replaces no row of before any more
    setPageLabel(chartPager_->CurrentPage());
    unsavedRows_ = 0; // the table is empty: nothing left to lose
    showRecordLimitState();
}

bool TFCOMM::saveLogInteractively(bool reportSuccess)
{
    const QString name = dialogs_.askSaveLogName();
    if (name.isEmpty())
        return false;
    SaveResult result;
    {
        GridRepaintPause pause(DBGrid1);
        result = SaveTableToFile(cds1_, name);
    }
    if (result.ok) {
        unsavedRows_ = 0;
        if (journal_)
            journal_->markSaved();
    }
    if (!result.ok || reportSuccess)
        showResult(dialogs_, result.message, result.icon);
    return result.ok;
}

void TFCOMM::saveasClick()
{
    saveLogInteractively();
}

void TFCOMM::SpeedButton2Click()
{
    if (LogLoadRunning())
        return; // one file at a time
    const QString name = dialogs_.askOpenLogName();
    if (name.isEmpty())
        return;
    const bool replaces = name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
    // An XML packet replaces every row: rows never saved are not thrown away without a word.
    bool discarding = false; // the rows the packet replaces were thrown away, not saved
    if (replaces && HasUnsavedRows()) {
        switch (dialogs_.askUnsaved([this] { return unsavedRows_; }, UnsavedReason::OpeningXmlLog)) {
        case UnsavedChoice::Save:
            // No success box: rows logged while it stood open would miss the file and
            // then be replaced.
            if (!saveLogInteractively(false))
                return;
            break;
        case UnsavedChoice::Discard: discarding = true; break;
        case UnsavedChoice::Cancel: return;
        }
    }
    // The file is read on a worker thread into a table of its own; cds1 keeps logging and
    // stays as it is until the rows are taken over in takeLoadedRows.
    if (!logLoad_) {
        logLoad_ = new LogFileLoadTask(this);
        logLoad_->setParent(this);
        connect(logLoad_, &LogFileLoadTask::finished, this, &TFCOMM::takeLoadedRows);
    }
    loadReplaces_ = replaces;
    loadDiscarded_ = discarding;
    loadKeepsFrom_ = cds1_.size();
    logLoad_->start(name);
}

bool TFCOMM::LogLoadRunning() const
{
    return logLoad_ && logLoad_->running();
}

void TFCOMM::takeLoadedRows()
{
    LogStore& incoming = logLoad_->rows();
    const LoadResult result = logLoad_->result();
    const std::size_t before = cds1_.size();
    const std::size_t loaded = incoming.size();
    {
        GridRepaintPause pause(DBGrid1);
        model_->beginBulkChange();
        if (loadReplaces_) {
            if (result.ok) {
                // The packet's rows replace the rows held when the load began; rows logged
                // while it was read follow them.
                for (std::size_t i = std::min(loadKeepsFrom_, cds1_.size()); i < cds1_.size(); ++i) {
                    const LogRowView r = cds1_.row(i);
                    incoming.append(LogRowInput{r.No, r.Time, r.Function, r.Value, r.Unit, r.Value2, r.Unit2});
                }
                cds1_.swapRows(incoming);
            }
        } else if (cds1_.empty()) {
            cds1_.swapRows(incoming); // also the rows of a text file's lines before a failing one
        } else {
            cds1_.reserve(cds1_.size() + loaded);
            for (std::size_t i = 0; i < loaded; ++i) {
                const LogRowView r = incoming.row(i);
                cds1_.append(LogRowInput{r.No, r.Time, r.Function, r.Value, r.Unit, r.Value2, r.Unit2});
            }
        }
        model_->endBulkChange();
    }
    incoming.clear();
    // Rows that came in (or, for an XML packet, the rows that replaced the old ones)
    // have not been saved from here.
    if (loadReplaces_ && result.ok)
        unsavedRows_ = std::int64_t(cds1_.size());
    else if (cds1_.size() > before)
        unsavedRows_ += std::int64_t(cds1_.size() - before);
    // The journal hears of the file's rows only (rows logged during the read are in it).
    if (loadReplaces_ && result.ok) {
        if (loadDiscarded_ && journal_)
            journal_->markDiscarded();
        announceLoadedRows(0, loaded, true);
    } else if (!loadReplaces_) {
        announceLoadedRows(before, cds1_.size(), false);
    }
    if (!cds1_.empty())
        DBGrid1->scrollToBottom();
    if (!result.ok)
        showResult(dialogs_, result.message, result.icon);
}

void TFCOMM::BtPrintClick()
{
    // The report holds the rows present now; rows logged while the preview is open are not in it.
    const std::size_t snapshot = cds1_.size();
    GridRepaintPause pause(DBGrid1);
    dialogs_.showPrintPreview([this, snapshot](QPrinter* printer) {
        ReportLayout().render(*printer, cds1_, snapshot);
    });
}

bool TFCOMM::confirmCloseWithUnsavedRows()
{
    switch (dialogs_.askUnsaved([this] { return unsavedRows_; }, UnsavedReason::Closing)) {
    case UnsavedChoice::Save: return saveLogInteractively(false);
    case UnsavedChoice::Discard:
        if (journal_)
            journal_->markDiscarded();
        return true;
    case UnsavedChoice::Cancel: return false;
    }
    return false;
}

void TFCOMM::BitBtn1Click()
{
    if (!HasUnsavedRows() && !dialogs_.askYesNo(QString::fromLatin1(kQuitQuestion)))
        return;
    // Readings are logged while the question is open: rows that came in meanwhile are
    // asked about like any other unsaved rows.
    if (HasUnsavedRows() && !confirmCloseWithUnsavedRows())
        return;
    closingConfirmed_ = true;
    close();
}

void TFCOMM::closeEvent(QCloseEvent* event)
{
    if (endingWithoutQuestions_) {
        event->accept();
        return;
    }
    // The close box asks nothing, unless rows would be lost.
    if (!closingConfirmed_ && HasUnsavedRows() && !confirmCloseWithUnsavedRows()) {
        event->ignore();
        return;
    }
    closingConfirmed_ = false;
    event->accept();
}

} // namespace varnex
