// The window's side of a reading: from received bytes through the decoder to the LCD,
// the chart axis, the log grid and the page label.
#include "app/TFCOMM.h"

#include "chart/ChartToolBar.h"
#include "chart/TChartControl.h"
#include "display/ApplyLcdState.h"
#include "display/VirtualLcd.h"
#include "log/LogTableModel.h"
#include "log/MeasurementLog.h"


namespace varnex {

void TFCOMM::VarnexData(const std::uint8_t* data, int size)
{
    if (size > 0)
        assembler_.VarnexData(data, std::size_t(size));
}

void TFCOMM::LcdDisplayVarnex()
{
    // The link is alive: the watchdog starts again and CONok shows.
    connection_.frameDecoded();
    DecodeFrameInto(assembler_.FrameText(), decimalSeparatorBytes_, pass_);
    applyLcdState(*Panel1, *face_, pass_.lcd);
    if (pass_.axis) {
        chartPager_->SetLeftMaximum(pass_.axis->maximum);
        chartPager_->SetLeftMinimum(pass_.axis->minimum);
    }
    if (!pass_.decoded) {
        // A function or range code that is not a digit: dropped quietly and counted,
        // never a message box per frame.
        ++droppedFrames_;
        return;
    }
    ++decodedFrames_;
    INDataToTable();
}

void TFCOMM::INDataToTable()
{
    const LogResult result = log_->INDataToTable(pass_.reading);
    if (!result.logged())
        return;
    ++unsavedRows_;
    setPageLabel(chartPager_->CurrentPage());
    showRecordLimitState();
}

void TFCOMM::setPageLabel(int page)
{
    Panel19->SetPageNumber(page);
}

void TFCOMM::ConTimerTimer()
{
    connection_.ConTimerTimer(QDateTime::currentDateTime());
    Panel1->setToolTip(statusToolTip());
}

} // namespace varnex
