// varnex-cli plot, run as its own process on 7-column log files: a run across midnight,
// a span chosen with --from/--to, the picture's size and scale, and refused arguments.
#include "app/journal/JournalDatabase.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::string TempPath(const std::string& name)
{
    return ::testing::TempDir() + "varnex_plot_" + std::to_string(::getpid()) + "_" + name;
}

struct PlotRun {
    int exitCode = -1;
    QString err;
};

PlotRun Plot(const QStringList& args)
{
    QProcess cli;
    cli.setProgram(QStringLiteral(VARNEX_CLI));
    cli.setArguments(QStringList{QStringLiteral("plot")} + args);
    cli.start();
    PlotRun r;
    if (!cli.waitForFinished(60000))
        return r;
    r.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    r.err = QString::fromLocal8Bit(cli.readAllStandardError());
    return r;
}

// 1200 readings one a second from 23:50:00: twenty minutes across midnight.
QString MidnightLog()
{
    const QString path = QString::fromStdString(TempPath("midnight.txt"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("No\tTime\tFunction\tValue\tUnit\tValue2\tUnit2\r\n");
    for (int i = 0; i < 1200; ++i) {
        const int s = (23 * 3600 + 50 * 60 + i) % 86400;
        char line[128];
        std::snprintf(line, sizeof line, "%d\t%02d:%02d:%02d\tDCV\t%.5f\tV\t\t\r\n", i + 1, s / 3600, s / 60 % 60,
                      s % 60, 5.0 + 0.01 * std::sin(i / 100.0));
        file.write(line);
    }
    return path;
}

const QStringList kBerlin{QStringLiteral("--date"), QStringLiteral("2026-12-09"), QStringLiteral("--zone"),
                          QStringLiteral("Europe/Berlin")};

QStringList SvgTexts(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(file.readAll());
    QStringList texts;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return texts;
}

TEST(CliPlot, ARunAcrossMidnightIsOneSpanOverTwoDays)
{
    const QString out = QString::fromStdString(TempPath("midnight.svg"));
    const PlotRun run = Plot(QStringList({MidnightLog(), QStringLiteral("-o"), out}) + kBerlin);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList texts = SvgTexts(out);
    EXPECT_TRUE(texts.contains(QStringLiteral("00:00")));
    EXPECT_TRUE(texts.contains(QStringLiteral("2026-12-10"))) << "the date where the day changes";
    const QString all = texts.join(QString());
    EXPECT_TRUE(all.contains(QStringLiteral("Trend 2026-12-09 23:49:36 \u2013 2026-12-10 00:10:22")))
        << all.left(600).toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("DCV [V]: 1200 readings")));
    EXPECT_TRUE(all.contains(QStringLiteral("(1 day changes)")));
}

TEST(CliPlot, FromAndToChooseTheSpanOfAPdf)
{
    const QString out = QString::fromStdString(TempPath("span.pdf"));
    const PlotRun run = Plot(QStringList({MidnightLog(), QStringLiteral("-o"), out, QStringLiteral("--from"),
                                          QStringLiteral("23:55"), QStringLiteral("--to"),
                                          QStringLiteral("2026-12-10T00:05:00")}) + kBerlin);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Trend 2026-12-09 23:55:00 \u2013 2026-12-10 00:05:00 (10 min 00 s)")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("DCV [V]: 600 readings"))) << text.toStdString();
}

TEST(CliPlot, PngTakesItsSizeAndScale)
{
    const QString out = QString::fromStdString(TempPath("sized.png"));
    const PlotRun run = Plot(QStringList({MidnightLog(), QStringLiteral("-o"), out, QStringLiteral("--size"),
                                          QStringLiteral("800x500"), QStringLiteral("--scale"), QStringLiteral("2")}) +
                             kBerlin);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage image(out);
    EXPECT_EQ(image.size(), QSize(1600, 1000));
}

TEST(CliPlot, AJournalRunIsDrawnAtItsUtcMoments)
{
    const QString dir = QString::fromStdString(TempPath("journal"));
    QDir().mkpath(dir);
    {
        varnex::JournalDatabase db;
        ASSERT_TRUE(db.open(QDir(dir).filePath("journal.sqlite").toStdString()));
        const std::int64_t start = QDateTime(QDate(2026, 12, 9), QTime(21, 0), Qt::UTC).toMSecsSinceEpoch();
        const std::int64_t run = db.beginRun(start);
        ASSERT_NE(run, 0);
        std::vector<varnex::JournalRecord> rows;
        for (int i = 0; i < 600; ++i) {
            varnex::JournalRecord r;
            r.utcMs = start + i * 1000LL;
            r.no = i + 1;
            r.time = "22:00:00";
            const bool ohms = i >= 400;
            r.function = ohms ? "OHM" : "DCV";
            r.value = ohms ? "4.700" : "1.00000";
            r.unit = ohms ? "K*" : "V";
            r.siValue = ohms ? 4700.0 : 1.0;
            r.siUnit = ohms ? "\u03A9" : "V";
            rows.push_back(r);
        }
        ASSERT_TRUE(db.begin());
        ASSERT_TRUE(db.insertRows(run, 1, rows.data(), rows.size()));
        ASSERT_TRUE(db.commit());
    }
    const QString out = QString::fromStdString(TempPath("journal.svg"));
    const PlotRun run = Plot({"--journal", "last", "--data-dir", dir, "-o", out, "--zone", "Europe/Berlin"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Texts run on in new elements where the font changes (the Ω): compare without blanks.
    const QString all = SvgTexts(out).join(QString()).remove(QLatin1Char(' '));
    auto has = [&all](const QString& text) { return all.contains(QString(text).remove(QLatin1Char(' '))); };
    // 21:00 UTC is 22:00 in Berlin; the fit leaves 2 % of the 599 s on each side.
    EXPECT_TRUE(has(QStringLiteral("Trend 2026-12-09 21:59:48 \u2013 2026-12-09 22:10:10"))) << all.toStdString();
    EXPECT_TRUE(has(QStringLiteral("DCV [V]: 400 readings")));
    EXPECT_TRUE(has(QStringLiteral("OHM [\u03A9]: 200 readings")));
    EXPECT_FALSE(has(QStringLiteral("placed from"))) << "journal rows carry their own moment";

    EXPECT_EQ(Plot({"--journal", "99", "--data-dir", dir, "-o", out}).exitCode, 1);
    EXPECT_EQ(Plot({"--journal", "last", "--data-dir", dir + "/none", "-o", out}).exitCode, 1);
    EXPECT_EQ(Plot({"--journal", "last", QString::fromStdString(TempPath("x.txt")), "-o", out}).exitCode, 2)
        << "one input only";
}

TEST(CliPlot, RefusesWhatItCannotDo)
{
    const QString log = MidnightLog();
    const QString png = QString::fromStdString(TempPath("refused.png"));
    struct Case {
        const char* why;
        QStringList args;
        int exitCode;
    };
    const Case cases[] = {
        {"no output", {log}, 2},
        {"a form it does not write", {log, "-o", QString::fromStdString(TempPath("x.bmp"))}, 2},
        {"a date that is none", {log, "-o", png, "--date", "2026-13-01"}, 2},
        {"an unknown zone", {log, "-o", png, "--zone", "Mars/Olympus"}, 2},
        {"to before from", {log, "-o", png, "--from", "23:59", "--to", "23:51"}, 2},
        {"a time that is none", {log, "-o", png, "--from", "soon"}, 2},
        {"an input that cannot be read", {QString::fromStdString(TempPath("missing.txt")), "-o", png}, 1},
    };
    for (const Case& c : cases) {
        const PlotRun run = Plot(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.why << ": " << run.err.toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << c.why;
    }
    EXPECT_FALSE(QFile::exists(png));
}

} // namespace
