#pragma once
// The chart tool bar's handlers: page buttons and the page label, the fill switch,
// the page-size entry with its one-shot delay Timer2, the picture save and the
// enlarge/restore toggle. No dialogs or message boxes here: the window shows the
// messages and the file dialog that these signals ask for.
#include "chart/ChartLayout.h"

#include <QObject>
#include <QRect>
#include <QTimer>

namespace varnex {

class ChartToolBar;
class ChartWidget;
class TChartControl;

class ChartCommands : public QObject {
    Q_OBJECT
public:
    static constexpr int kPageSizeDelayMs = 2000;

    ChartCommands(TChartControl& pager, ChartToolBar& toolBar, ChartWidget& chart, QObject* parent = nullptr);

    // PageSizeTimer (Timer2): one shot per burst of page-size edits.
    QTimer& PageSizeTimer() { return pageSizeTimer_; }
    bool Enlarged() const;

public slots:
    void FirstClicked();
    void PreviousClicked();
    void NextClicked();
    void LastClicked();
    void FillClicked();
    void PageSizeTextChanged();
    void PageSizeTimerTick();
    // Shows the pager's CurrentPage on Bt10 (the log calls it after each point too).
    void UpdatePageLabel();
    // Writes the chart to the chosen name (".bmp" forced); false and a message on failure.
    bool SaveChartAs(const QString& chosenName);
    // Enlarges or restores the chart and tool bar for a window of this outer size.
    ChartLayoutChange ToggleEnlarge(QSize windowOuterSize);

signals:
    // A message for the window to show in a box (error icon, OK).
    void messageRequested(const QString& text);
    // BtSave clicked: the window asks for a name and calls SaveChartAs.
    void saveRequested();
    // TbFd or TbSx clicked: the window calls ToggleEnlarge with its outer size.
    void enlargeRestoreRequested();
    // The panels Panel1, GroupBox1, Keyboard and AA are to be shown or hidden.
    void panelsVisibilityChanged(bool visible);

private:
    TChartControl& pager_;
    ChartToolBar& toolBar_;
    ChartWidget& chart_;
    QTimer pageSizeTimer_;
    QRect rememberedChart_;
};

} // namespace varnex
