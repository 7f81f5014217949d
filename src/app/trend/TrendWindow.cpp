#include "app/trend/TrendWindow.h"

#include "app/trend/TrendFeed.h"
#include "app/trend/TrendPictureExport.h"
#include "app/trend/TrendPlotWidget.h"
#include "app/trend/TrendStatistics.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QThreadPool>
#include <QVBoxLayout>

namespace varnex {

namespace {

const QString kPngFilter = QStringLiteral("PNG image (*.png)");
const QString kPng2xFilter = QStringLiteral("PNG image, double resolution (*.png)");
const QString kSvgFilter = QStringLiteral("SVG drawing (*.svg)");
const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)");

QString Lines(const TrendSeries& series, const std::vector<LaneStatistics>& lanes)
{
    QStringList lines;
    for (const LaneStatistics& s : lanes)
        lines << StatisticsLine(series.lanes()[std::size_t(s.lane)], s);
    return lines.isEmpty() ? QStringLiteral("No readings") : lines.join(QLatin1Char('\n'));
}

} // namespace

QString PlacedRowsNote(const TrendFeed& feed)
{
    if (!feed.series().hasPlacedRows())
        return {};
    return QStringLiteral("Rows loaded from a log file have only a time of day: they are placed from %1 on, "
                          "and a time earlier than the one before starts the next day (%2 day changes).")
        .arg(feed.placedFirstDay().toString(QStringLiteral("yyyy-MM-dd")))
        .arg(feed.placedDayChanges());
}

TrendWindow::TrendWindow(TrendFeed& feed, QWidget* parent) : QWidget(parent, Qt::Window), feed_(feed)
{
    setObjectName(QStringLiteral("TrendWindow"));
    setWindowTitle(QString::fromLatin1(kTrendWindowTitle));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(1000, 640);

    plot_ = new TrendPlotWidget(feed_, this);
    fit_ = new QPushButton(QStringLiteral("Fit all"), this);
    fit_->setObjectName(QStringLiteral("TrendFit"));
    export_ = new QPushButton(QStringLiteral("Export picture\u2026"), this);
    export_->setObjectName(QStringLiteral("TrendExport"));
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    note_->setStyleSheet(QStringLiteral("color: rgb(160, 80, 0);"));
    visible_ = new QLabel(this);
    whole_ = new QLabel(this);
    status_ = new QLabel(this);
    for (QLabel* label : {visible_, whole_})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fit_);
    buttons->addWidget(export_);
    buttons->addWidget(status_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(plot_, 1);
    layout->addWidget(note_);
    layout->addWidget(new QLabel(QStringLiteral("<b>In view</b>"), this));
    layout->addWidget(visible_);
    layout->addWidget(new QLabel(QStringLiteral("<b>Whole table</b>"), this));
    layout->addWidget(whole_);

    connect(fit_, &QPushButton::clicked, plot_, &TrendPlotWidget::fitAll);
    connect(export_, &QPushButton::clicked, this, &TrendWindow::exportPictureInteractively);
    connect(plot_, &TrendPlotWidget::viewChanged, this, &TrendWindow::updateTexts);
    refresh_.setInterval(100);
    connect(&refresh_, &QTimer::timeout, this, [this] {
        if (changed_)
            refreshNow();
    });

    askPictureName_ = [](QWidget* parentWidget, const QString& filters, QString* selected) {
        return QFileDialog::getSaveFileName(parentWidget, QStringLiteral("Export picture"), QString(), filters, selected);
    };
    updateTexts();
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refreshNow();
    refresh_.start();
}

void TrendWindow::hideEvent(QHideEvent* event)
{
    refresh_.stop();
    QWidget::hideEvent(event);
}

void TrendWindow::refreshNow()
{
    changed_ = false;
    plot_->seriesChanged();
    updateTexts();
}

void TrendWindow::updateTexts()
{
    const TrendSeries& s = feed_.series();
    const TrendViewport& v = plot_->viewport();
    visible_->setText(SpanText(v.fromMs(), v.toMs(), feed_.zone()) + QLatin1Char('\n') +
                      Lines(s, SpanStatistics(s, v.fromMs(), v.toMs())));
    whole_->setText(Lines(s, WholeStatistics(s)));
    const QString note = PlacedRowsNote(feed_);
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

QString TrendWindow::visibleStatisticsText() const { return visible_->text(); }
QString TrendWindow::wholeStatisticsText() const { return whole_->text(); }
QString TrendWindow::noteText() const { return note_->text(); }
QString TrendWindow::statusText() const { return status_->text(); }

bool TrendWindow::exportPicture(const QString& fileName, double scale)
{
    const auto format = PictureFormatOf(fileName);
    if (!format) {
        status_->setText(QStringLiteral("Pictures are written as .png, .svg or .pdf."));
        return false;
    }
    TrendPictureRequest request;
    request.format = *format;
    request.size = plot_->size();
    request.size.setHeight(request.size.height() + 120); // room for the caption
    request.scale = scale;
    request.fromMs = plot_->viewport().fromMs();
    request.toMs = plot_->viewport().toMs();
    request.title = QStringLiteral("Trend %1").arg(SpanText(request.fromMs, request.toMs, feed_.zone()));
    TrendRenderOptions options = plot_->renderOptions();
    options.note = PlacedRowsNote(feed_);
    // Drawn here (about the width's cost); encoded and written on a worker thread.
    RenderedTrendPicture picture = RenderTrendPicture(feed_.series(), options, request);
    status_->setText(QStringLiteral("Writing %1\u2026").arg(fileName));
    QPointer<TrendWindow> self(this);
    QThreadPool::globalInstance()->start([self, picture = std::move(picture), fileName] {
        const QString error = WriteTrendPicture(picture, fileName);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [self, fileName, error] {
            if (!self)
                return;
            self->status_->setText(error.isEmpty() ? QStringLiteral("Written: %1").arg(fileName)
                                                   : QStringLiteral("Could not write %1: %2").arg(fileName, error));
            emit self->pictureWritten(fileName, error);
        });
    });
    return true;
}

void TrendWindow::exportPictureInteractively()
{
    QString selected;
    const QString filters = QStringList{kPngFilter, kPng2xFilter, kSvgFilter, kPdfFilter}.join(QStringLiteral(";;"));
    QString name = askPictureName_(this, filters, &selected);
    if (name.isEmpty())
        return;
    // A name without a known extension gets the one of the chosen filter.
    if (!PictureFormatOf(name))
        name += selected == kSvgFilter ? QStringLiteral(".svg") : selected == kPdfFilter ? QStringLiteral(".pdf")
                                                                                         : QStringLiteral(".png");
    exportPicture(name, selected == kPng2xFilter ? 2.0 : 1.0);
}

} // namespace varnex
