#include "chart/ChartCommands.h"

#include "chart/ChartBitmapSave.h"
#include "chart/ChartToolBar.h"
#include "chart/ChartWidget.h"
#include "chart/PageSizeEntry.h"
#include "chart/TChartControl.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace varnex {

ChartCommands::ChartCommands(TChartControl& pager, ChartToolBar& toolBar, ChartWidget& chart, QObject* parent)
    : QObject(parent), pager_(pager), toolBar_(toolBar), chart_(chart)
{
    pageSizeTimer_.setObjectName(QStringLiteral("Timer2"));
    pageSizeTimer_.setInterval(kPageSizeDelayMs);
    connect(&pageSizeTimer_, &QTimer::timeout, this, &ChartCommands::PageSizeTimerTick);

    connect(toolBar_.BtFirst(), &QToolButton::clicked, this, &ChartCommands::FirstClicked);
    connect(toolBar_.BTPrevious(), &QToolButton::clicked, this, &ChartCommands::PreviousClicked);
    connect(toolBar_.BtNext(), &QToolButton::clicked, this, &ChartCommands::NextClicked);
    connect(toolBar_.BTlast(), &QToolButton::clicked, this, &ChartCommands::LastClicked);
    // toggled, not clicked: the fill follows the box however it gets checked.
    connect(toolBar_.BtFill(), &QCheckBox::toggled, this, &ChartCommands::FillClicked);
    connect(toolBar_.Maxrecord(), &QLineEdit::textChanged, this, &ChartCommands::PageSizeTextChanged);
    connect(toolBar_.BtSave(), &QToolButton::clicked, this, &ChartCommands::saveRequested);
    connect(toolBar_.TbFd(), &QToolButton::clicked, this, &ChartCommands::enlargeRestoreRequested);
    connect(toolBar_.TbSx(), &QToolButton::clicked, this, &ChartCommands::enlargeRestoreRequested);
    UpdatePageLabel();
}

void ChartCommands::FirstClicked()
{
    pager_.FirstPage();
    UpdatePageLabel();
}

void ChartCommands::PreviousClicked()
{
    pager_.PreviousPage();
    UpdatePageLabel();
}

void ChartCommands::NextClicked()
{
    pager_.NextPage();
    UpdatePageLabel();
}

void ChartCommands::LastClicked()
{
    pager_.LastPage();
    UpdatePageLabel();
}

void ChartCommands::FillClicked()
{
    pager_.SetFill(toolBar_.BtFill()->isChecked());
}

void ChartCommands::PageSizeTextChanged()
{
    pageSizeTimer_.stop();
    pageSizeTimer_.start();
}

void ChartCommands::PageSizeTimerTick()
{
    pageSizeTimer_.stop();
    const PageSizeEntry entry = ReadPageSizeEntry(toolBar_.Maxrecord()->text());
    if (!entry.accepted) {
        emit messageRequested(entry.message);
        return;
    }
    pager_.SetPageSize(entry.pageSize);
    UpdatePageLabel();
}

void ChartCommands::UpdatePageLabel()
{
    toolBar_.SetPageNumber(pager_.CurrentPage());
}

bool ChartCommands::SaveChartAs(const QString& chosenName)
{
    const ChartBitmapResult result = SaveChartBitmap(chart_, chosenName);
    if (!result.saved)
        emit messageRequested(result.message);
    return result.saved;
}

bool ChartCommands::Enlarged() const
{
    return chart_.geometry().top() <= 50;
}

ChartLayoutChange ChartCommands::ToggleEnlarge(QSize windowOuterSize)
{
    const ChartLayoutChange change =
        ToggleChartLayout(ChartLayoutInput{chart_.geometry(), toolBar_.geometry(), rememberedChart_, windowOuterSize});
    rememberedChart_ = change.rememberedChart;
    if (!change.panelsVisible())
        emit panelsVisibilityChanged(false);
    toolBar_.TbFd()->setVisible(change.enlargeButtonVisible());
    toolBar_.TbSx()->setVisible(change.restoreButtonVisible());
    chart_.setGeometry(change.chart);
    toolBar_.setGeometry(change.toolBar);
    if (change.panelsVisible())
        emit panelsVisibilityChanged(true);
    if (change.enlarged)
        toolBar_.raise(); // it lies over the chart's upper left corner
    return change;
}

} // namespace varnex
