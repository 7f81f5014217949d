#include "cli/PlotCommand.h"

#include "app/journal/Journal.h"
#include "app/journal/JournalDatabase.h"
#include "app/journal/Latin1Text.h"
#include "app/trend/TrendFeed.h"
#include "app/trend/TrendPictureExport.h"
#include "app/trend/TrendStatistics.h"
#include "app/trend/TrendViewport.h"
#include "app/trend/TrendWindow.h"
#include "cli/LogCommand.h"
#include "log/LogStore.h"
#include "log/files/LogFileService.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <memory>
#include <optional>

namespace varnex::cli {

const char* const kPlotUsage =
    "plot IN|--journal RUN|last [--data-dir DIR] -o OUT.png|.svg|.pdf [--from T] [--to T] [--date YYYY-MM-DD]\n"
    "       [--zone ZONE] [--size WxH] [--scale S]   the trend of a log file or a journal run as a picture";

namespace {

struct PlotOptions {
    std::string in, out, journalRun, dataDir;
    std::string from, to;
    QDate date = QDate::currentDate();
    QTimeZone zone = QTimeZone::systemTimeZone();
    QSize size{1200, 700};
    double scale = 1.0;
};

// Fonts and painting need a GUI application; without a display it draws offscreen.
std::unique_ptr<QGuiApplication> EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "varnex-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

std::optional<double> ParseMoment(const std::string& text, const QDate& firstDay, const QTimeZone& zone)
{
    const QString t = QString::fromStdString(text);
    const QTime time = QTime::fromString(t, Qt::ISODateWithMs);
    if (time.isValid() && !t.contains(QLatin1Char('-')))
        return double(QDateTime(firstDay, time, zone).toMSecsSinceEpoch());
    QDateTime at = QDateTime::fromString(t, Qt::ISODateWithMs);
    if (!at.isValid())
        return std::nullopt;
    if (at.timeSpec() == Qt::LocalTime) // no offset given: the plot's zone
        at = QDateTime(at.date(), at.time(), zone);
    return double(at.toMSecsSinceEpoch());
}

bool ParseArgs(const std::vector<std::string>& args, PlotOptions& o, std::string& error)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        std::string v;
        if (a == "-o") {
            if (!value(o.out))
                return false;
        } else if (a == "--journal") {
            if (!value(o.journalRun))
                return false;
        } else if (a == "--data-dir") {
            if (!value(o.dataDir))
                return false;
        } else if (a == "--from") {
            if (!value(o.from))
                return false;
        } else if (a == "--to") {
            if (!value(o.to))
                return false;
        } else if (a == "--date") {
            if (!value(v))
                return false;
            o.date = QDate::fromString(QString::fromStdString(v), Qt::ISODate);
            if (!o.date.isValid()) {
                error = "--date wants YYYY-MM-DD, not " + v;
                return false;
            }
        } else if (a == "--zone") {
            if (!value(v))
                return false;
            o.zone = QTimeZone(QByteArray::fromStdString(v));
            if (!o.zone.isValid()) {
                error = "unknown time zone " + v;
                return false;
            }
        } else if (a == "--size") {
            if (!value(v))
                return false;
            const QStringList wh = QString::fromStdString(v).split(QLatin1Char('x'));
            const int w = wh.size() == 2 ? wh[0].toInt() : 0, h = wh.size() == 2 ? wh[1].toInt() : 0;
            if (w < 200 || h < 150 || w > 20000 || h > 20000) {
                error = "--size wants WxH from 200x150 to 20000x20000, not " + v;
                return false;
            }
            o.size = QSize(w, h);
        } else if (a == "--scale") {
            if (!value(v))
                return false;
            bool ok = false;
            o.scale = QString::fromStdString(v).toDouble(&ok);
            if (!ok || o.scale < 0.5 || o.scale > 8.0) {
                error = "--scale wants a number from 0.5 to 8, not " + v;
                return false;
            }
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (o.in.empty()) {
            o.in = a;
        } else {
            error = "more than one input: " + a;
            return false;
        }
    }
    if ((o.in.empty() == o.journalRun.empty()) || o.out.empty()) {
        error = "one input (a log file or --journal RUN) and -o OUT are needed";
        return false;
    }
    if (!PictureFormatOf(QString::fromStdString(o.out))) {
        error = "OUT must end in .png, .svg or .pdf: " + o.out;
        return false;
    }
    return true;
}

// The rows of one journal run, each with its own UTC moment (none for loaded rows).
bool FeedJournalRun(const PlotOptions& o, TrendFeed& feed, std::string& error)
{
    const QString dir = JournalDataDir(QString::fromLocal8Bit(o.dataDir.c_str()));
    const QString path = QDir(dir).filePath(QLatin1String(kJournalFileName));
    if (!QFileInfo::exists(path)) {
        error = "no journal in " + QDir::toNativeSeparators(dir).toStdString();
        return false;
    }
    JournalDatabase db;
    if (!db.open(QDir::toNativeSeparators(path).toStdString(), false)) {
        error = path.toStdString() + ": " + db.error();
        return false;
    }
    std::int64_t run = 0;
    if (o.journalRun == "last") {
        run = db.lastRunWithRows();
    } else {
        char* end = nullptr;
        run = std::strtoll(o.journalRun.c_str(), &end, 10);
        if (end == o.journalRun.c_str() || *end != '\0')
            run = 0;
    }
    if (run == 0 || !db.run(run)) {
        error = "no run " + o.journalRun;
        return false;
    }
    const bool read = db.readRun(run, [&feed](const JournalRecord& r) {
        const std::string time = Utf8ToLatin1(r.time), function = Utf8ToLatin1(r.function),
                          value = Utf8ToLatin1(r.value), unit = Utf8ToLatin1(r.unit);
        LoggedRow row;
        row.row = LogRowInput{r.no, time, function, value, unit, "", ""};
        row.utcMs = r.utcMs;
        row.source = r.source == JournalSource::Load ? RowSource::Load : RowSource::Meter;
        row.si = ToSiQuantity(value, unit, ".");
        if (r.siValue) // the value as it was logged, not read again from its text
            row.si.value = r.siValue;
        feed.rowLogged(row);
    });
    if (!read) {
        error = db.error();
        return false;
    }
    return true;
}

} // namespace

int RunPlot(const std::vector<std::string>& args, const CommandIo& io)
{
    PlotOptions o;
    std::string error;
    if (!ParseArgs(args, o, error)) {
        std::fprintf(io.err, "varnex-cli plot: %s\nusage: varnex-cli %s\n", error.c_str(), kPlotUsage);
        return kExitUsage;
    }
    const auto app = EnsureGuiApplication();

    TrendFeed feed(o.zone, [&o] { return o.date; });
    if (!o.journalRun.empty()) {
        if (!FeedJournalRun(o, feed, error)) {
            std::fprintf(io.err, "varnex-cli plot: %s\n", error.c_str());
            return kExitFileFailed;
        }
    } else {
        LogStore table;
        const LoadResult loaded = LoadTableFromFile(QString::fromLocal8Bit(o.in.c_str()), table);
        if (!loaded.ok) {
            std::fprintf(io.err, "%s\n", loaded.message.toLocal8Bit().constData());
            return kExitFileFailed;
        }
        // Log files carry the separator of the system that wrote them; either reads.
        feed.catchUpWith(table, ".");
    }

    TrendViewport view;
    view.fit(double(feed.series().firstMs()), double(feed.series().lastMs()));
    double from = view.fromMs(), to = view.toMs();
    for (auto [text, into] : {std::pair{&o.from, &from}, std::pair{&o.to, &to}}) {
        if (text->empty())
            continue;
        const auto moment = ParseMoment(*text, o.date, o.zone);
        if (!moment) {
            std::fprintf(io.err, "varnex-cli plot: not a time: %s\n", text->c_str());
            return kExitUsage;
        }
        *into = *moment;
    }
    if (!(to > from)) {
        std::fprintf(io.err, "varnex-cli plot: --to must be after --from\n");
        return kExitUsage;
    }

    TrendPictureRequest request;
    request.format = *PictureFormatOf(QString::fromStdString(o.out));
    request.size = o.size;
    request.scale = o.scale;
    request.fromMs = from;
    request.toMs = to;
    request.title = QStringLiteral("Trend %1").arg(SpanText(from, to, o.zone));
    TrendRenderOptions options;
    options.zone = o.zone;
    options.note = PlacedRowsNote(feed);
    const QString written =
        WriteTrendPicture(RenderTrendPicture(feed.series(), options, request), QString::fromLocal8Bit(o.out.c_str()));
    if (!written.isEmpty()) {
        std::fprintf(io.err, "varnex-cli plot: could not write %s: %s\n", o.out.c_str(), written.toLocal8Bit().constData());
        return kExitFileFailed;
    }
    std::fprintf(io.err, "%s: %lld readings, %s\n", o.out.c_str(), static_cast<long long>(feed.series().size()),
                 SpanText(from, to, o.zone).toLocal8Bit().constData());
    return kExitOk;
}

} // namespace varnex::cli
