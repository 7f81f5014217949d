// The "Analysis" menu: the trend window over every row of the table, and the readings
// as CSV. The menu sits to the right of "Record" and "Help".
#include "app/TFCOMM.h"

#include "app/trend/TrendFeed.h"
#include "app/trend/TrendWindow.h"
#include "log/MeasurementLog.h"

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
}

void TFCOMM::TrendClick()
{
    // Rows that reached the table without being announced are put in before it shows.
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
}

} // namespace varnex
