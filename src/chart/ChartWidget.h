#pragma once
// The chart Chtshow: our own light-weight widget with an area series (index 0,
// "Series2") and a line series (index 1, "Series1") over one shared store of
// 32-bit floats, a manual bottom axis that the pager pages and a manual left axis.
// No legend, no title, no mouse zoom or pan.
#include "chart/ChartAxis.h"
#include "chart/ChartPainter.h"
#include "chart/ChartSeriesView.h"
#include "chart/IChart.h"
#include "chart/SharedSeriesStore.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <memory>

namespace varnex {

class ChartWidget : public QWidget, public IChart {
    Q_OBJECT
public:
    static constexpr int kAreaSeries = 0; // Series2
    static constexpr int kLineSeries = 1; // Series1

    explicit ChartWidget(QWidget* parent = nullptr);
    ~ChartWidget() override;

    int SeriesCount() const override { return int(series_.size()); }
    ChartSeriesView& Series(int index) override { return *series_.at(std::size_t(index)); }
    const ChartSeriesView& Series(int index) const override { return *series_.at(std::size_t(index)); }
    ChartAxis& BottomAxis() override { return bottom_; }
    const ChartAxis& BottomAxis() const override { return bottom_; }
    ChartAxis& LeftAxis() override { return left_; }
    const ChartAxis& LeftAxis() const override { return left_; }
    bool ScrollBottomAxis(double d) override;

    // Draws the whole chart at its present size (for the BMP save).
    QImage RenderImage();
    // Draws the whole chart at its present size with painter's origin at the top left.
    void Render(QPainter& painter);

    const ChartPointStore& Points() const { return store_.Points(); }
    const ChartPainter& Painter() const { return painter_; }
    QSize sizeHint() const override { return QSize(417, 228); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SeriesChanged(std::int64_t x);
    void AxisChanged();
    ChartScene Scene() const;

    SharedSeriesStore store_;
    std::array<std::unique_ptr<ChartSeriesView>, 2> series_;
    ChartAxis bottom_;
    ChartAxis left_;
    ChartPainter painter_;
};

} // namespace varnex
