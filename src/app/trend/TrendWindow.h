#pragma once
// "Trend and statistics": a separate, resizable, non-modal window over every reading of
// the table against time, with the statistics of the span in view and of the whole
// table per function and unit, and the view's export as PNG, SVG or PDF. It repaints at
// most ten times a second however fast readings come, and writes files off the UI thread.
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace varnex {

class TrendFeed;
class TrendPlotWidget;

inline constexpr char kTrendWindowTitle[] = "Trend and statistics";

class TrendWindow : public QWidget {
    Q_OBJECT
public:
    // Asks for the picture's file name; `selectedFilter` says which of the filters was
    // chosen (the 2× PNG or the plain one). Empty when cancelled.
    using AskPictureName = std::function<QString(QWidget* parent, const QString& filters, QString* selectedFilter)>;

    explicit TrendWindow(TrendFeed& feed, QWidget* parent = nullptr);
    ~TrendWindow() override;

    void setAskPictureName(AskPictureName ask) { askPictureName_ = std::move(ask); }

    TrendPlotWidget* plot() const { return plot_; }
    QString visibleStatisticsText() const;
    QString wholeStatisticsText() const;
    QString noteText() const;
    QString statusText() const;

    // The feed has new rows or was cleared; the next refresh tick shows it.
    void markChanged() { changed_ = true; }
    // Shows what came in since the last tick (called by the tick; tests call it directly).
    void refreshNow();

    // Writes the current view to `fileName` (by its extension) off the UI thread;
    // pictureWritten tells the outcome (an empty text on success).
    bool exportPicture(const QString& fileName, double scale);
    void exportPictureInteractively();

signals:
    void pictureWritten(const QString& fileName, const QString& error);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void updateTexts();

    TrendFeed& feed_;
    TrendPlotWidget* plot_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* visible_ = nullptr;
    QLabel* whole_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* fit_ = nullptr;
    QPushButton* export_ = nullptr;
    QTimer refresh_;
    bool changed_ = false;
    AskPictureName askPictureName_;
};

// "Rows loaded from a log file have only a time of day: …" or empty when there are none.
QString PlacedRowsNote(const TrendFeed& feed);

} // namespace varnex
