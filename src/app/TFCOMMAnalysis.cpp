// The "Analysis" menu: the trend window over every row of the table, and the readings
// as CSV. The menu sits to the right of "Record" and "Help".
#include "app/TFCOMM.h"

#include "app/UserDialogs.h"
#include "app/trend/ReadingsCsvExport.h"
#include "app/trend/TrendFeed.h"
#include "app/trend/TrendWindow.h"
#include "log/MeasurementLog.h"

#include <QFileDialog>
#include <QMenuBar>

namespace varnex {

void TFCOMM::buildAnalysis()
{
    trendFeed_ = std::make_unique<TrendFeed>();
    log_->addListener(trendFeed_.get());
    trendFeed_->setChanged([this] {
        if (trendWindow_)
            trendWindow_->markChanged();
    });

    Analysis1 = menuBar()->addMenu(QStringLiteral("Analysis"));
    Analysis1->setObjectName("Analysis1");
    QAction* trend = Analysis1->addAction(QStringLiteral("Trend and statistics\u2026"));
    trend->setObjectName("TrendAndStatistics1");
    connect(trend, &QAction::triggered, this, &TFCOMM::TrendClick);
    QAction* csv = Analysis1->addAction(QStringLiteral("Export readings as CSV\u2026"));
    csv->setObjectName("ExportReadingsCsv1");
    connect(csv, &QAction::triggered, this, &TFCOMM::ExportCsvClick);

    csvExport_ = new ReadingsCsvExport(cds1_, *trendFeed_, this);
    connect(csvExport_, &ReadingsCsvExport::finished, this,
            [this](const QString& name, std::int64_t rows, const QString& error) {
                if (error.isEmpty())
                    dialogs_.information(QStringLiteral("Readings written to %1 (%2 rows).").arg(name).arg(rows));
                else
                    dialogs_.error(QStringLiteral("Could not write readings to %1: %2").arg(name, error));
            });
    askCsvName_ = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Export readings as CSV"), QString(),
                                            QStringLiteral("CSV file (*.csv);;All files (*)"));
    };
}

void TFCOMM::TrendClick()
{
    // Rows that reached the table without being announced are put in before it shows
    // (not while a loaded file's rows are still being announced: they are on their way).
    if (loadedToAnnounce_.empty())
        trendFeed_->catchUpWith(cds1_, decimalSeparatorBytes_);
    if (!trendWindow_)
        trendWindow_ = new TrendWindow(*trendFeed_, this);
    trendWindow_->show();
    trendWindow_->raise();
    trendWindow_->activateWindow();
}

TrendWindow* TFCOMM::Trend() const
{
    return trendWindow_.data();
}

void TFCOMM::ExportCsvClick()
{
    if (csvExport_->running())
        return; // one export at a time; its box follows
    const QString name = askCsvName_ ? askCsvName_() : QString();
    if (name.isEmpty())
        return;
    // The series is what gives each row its UTC time: bring it in step first.
    if (loadedToAnnounce_.empty())
        trendFeed_->catchUpWith(cds1_, decimalSeparatorBytes_);
    csvExport_->start(CsvFileName(name), decimalSeparatorBytes_);
}

} // namespace varnex
