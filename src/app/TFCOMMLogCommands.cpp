// The function board's commands on the log: Close Data, save, open and print, and
// closing the window with rows that were never saved.
#include "app/TFCOMM.h"

#include "app/LogGrid.h"
#include "app/UserDialogs.h"
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
    log_->CloseData();
    setPageLabel(chartPager_->CurrentPage());
    unsavedRows_ = 0; // the table is empty: nothing left to lose
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
    if (result.ok)
        unsavedRows_ = 0;
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
    const QString name = dialogs_.askOpenLogName();
    if (name.isEmpty())
        return;
    const bool replaces = name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
    // An XML packet replaces every row: rows never saved are not thrown away without a word.
    if (replaces && HasUnsavedRows()) {
        switch (dialogs_.askUnsaved([this] { return unsavedRows_; }, UnsavedReason::OpeningXmlLog)) {
        case UnsavedChoice::Save:
            // No success box: rows logged while it stood open would miss the file and
            // then be replaced.
            if (!saveLogInteractively(false))
                return;
            break;
        case UnsavedChoice::Discard: break;
        case UnsavedChoice::Cancel: return;
        }
    }
    const std::size_t before = cds1_.size();
    LoadResult result;
    {
        GridRepaintPause pause(DBGrid1);
        model_->beginBulkChange();
        result = LoadTableFromFile(name, cds1_);
        model_->endBulkChange();
    }
    // Rows that came in (or, for an XML packet, the rows that replaced the old ones)
    // have not been saved from here.
    if (replaces && result.ok)
        unsavedRows_ = std::int64_t(cds1_.size());
    else if (cds1_.size() > before)
        unsavedRows_ += std::int64_t(cds1_.size() - before);
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
    case UnsavedChoice::Discard: return true;
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
