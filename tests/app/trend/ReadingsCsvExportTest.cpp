// "Export readings as CSV…" from the rows in memory: Python's csv module reads the file
// back to the same rows (times of meter rows in UTC with milliseconds, none for rows from
// a file, SI values, plain units, quoted texts); the UI thread only formats a slice per
// turn; "Close Data" during the export leaves no file.
#include "app/trend/ReadingsCsvExport.h"
#include "app/journal/ReadingsCsvWriter.h"
#include "app/trend/TrendFeed.h"
#include "log/LogStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QDateTime>

#include <cmath>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace varnex {
namespace {

class ReadingsCsv : public ::testing::Test {
protected:
    // A row into the table and, as the log does, to the feed.
    void add(std::int32_t no, const char* time, const char* function, const char* value, const char* unit,
             std::int64_t utcMs, const char* value2 = "", const char* unit2 = "")
    {
        const LogRowInput row{no, time, function, value, unit, value2, unit2};
        table_.append(row);
        LoggedRow logged;
        logged.row = row;
        logged.utcMs = utcMs;
        logged.si = ToSiQuantity(value, unit, ".");
        logged.source = utcMs == 0 ? RowSource::Load : RowSource::Meter;
        feed_.rowLogged(logged);
    }

    // Python's csv module reads the file; the rows come back as JSON.
    QJsonArray readWithPython(const QString& file)
    {
        QProcess python;
        python.start(QStringLiteral("python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import csv, json, sys\n"
                                     "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                     "    print(json.dumps(list(csv.reader(f, strict=True))))\n"),
                      file});
        EXPECT_TRUE(python.waitForFinished(30000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    }

    QString exportTo(const char* name)
    {
        const QString file = dir_.filePath(QString::fromLatin1(name));
        QSignalSpy done(&export_, &ReadingsCsvExport::finished);
        EXPECT_TRUE(export_.start(file, "."));
        EXPECT_TRUE(done.wait(30000));
        EXPECT_EQ(done.size(), 1);
        if (!done.isEmpty()) {
            EXPECT_EQ(done.at(0).at(2).toString(), QString());
        }
        return file;
    }

    QTemporaryDir dir_;
    LogStore table_;
    TrendFeed feed_{QTimeZone("Europe/Berlin"), [] { return QDate(2026, 12, 9); }};
    ReadingsCsvExport export_{table_, feed_};
};

std::int64_t Utc(int h, int mi, int s, int ms)
{
    return QDateTime(QDate(2026, 12, 9), QTime(h, mi, s, ms), Qt::UTC).toMSecsSinceEpoch();
}

TEST_F(ReadingsCsv, PythonReadsBackTheSameRows)
{
    add(1, "14:05:09", "DCV", "1.23456", "V", Utc(13, 5, 9, 42));
    add(2, "14:05:10", "OHM", "4.7000", "K*", Utc(13, 5, 10, 1));
    add(3, "14:05:11", "OHM", "  OL. ", "M*", Utc(13, 5, 11, 999));
    add(4, "14:05:12", "CAP", "0.470", "uF", Utc(13, 5, 12, 500), "60.00", "Hz");
    add(5, "23:59:59", "A, \"odd\"", "-0.00012", "mA", 0); // loaded from a file, quoting needed
    const QJsonArray rows = readWithPython(exportTo("readings.csv"));
    ASSERT_EQ(rows.size(), 6);
    auto cells = [&](int i) {
        QStringList out;
        for (const auto& v : rows.at(i).toArray())
            out << v.toString();
        return out;
    };
    EXPECT_EQ(cells(0).join(','), QString::fromLatin1(kReadingsCsvHeader.data(), int(kReadingsCsvHeader.size())));
    EXPECT_EQ(cells(1), (QStringList{"2026-12-09T13:05:09.042Z", "1", "DCV", "1.23456", "V", "1.23456", "V", "", ""}));
    EXPECT_EQ(cells(2), (QStringList{"2026-12-09T13:05:10.001Z", "2", "OHM", "4.7000", QString::fromUtf8("k\u03A9"),
                                     "4700", QString::fromUtf8("\u03A9"), "", ""}));
    EXPECT_EQ(cells(3)[5], QString()) << "an overload has no SI value";
    EXPECT_EQ(cells(3)[4], QString::fromUtf8("M\u03A9"));
    EXPECT_EQ(cells(4)[0], QStringLiteral("2026-12-09T13:05:12.500Z"));
    EXPECT_EQ(cells(4)[4], QString::fromUtf8("\u00B5F"));
    EXPECT_DOUBLE_EQ(cells(4)[5].toDouble(), 0.47e-6);
    EXPECT_EQ(cells(4)[7], QStringLiteral("60.00"));
    EXPECT_EQ(cells(4)[8], QStringLiteral("Hz"));
    EXPECT_EQ(cells(5)[0], QString()) << "a row from a file has no known moment";
    EXPECT_EQ(cells(5)[2], QStringLiteral("A, \"odd\""));
    EXPECT_DOUBLE_EQ(cells(5)[5].toDouble(), -0.00012e-3);
}

TEST_F(ReadingsCsv, LargeTablesAreWrittenASliceAtATime)
{
    for (int i = 0; i < 200'000; ++i)
        add(i + 1, "10:00:00", "DCV", i % 2 ? "1.00001" : "0.99999", "V", 1'796'900'000'000 + i * 100LL);
    const QString file = dir_.filePath(QStringLiteral("big.csv"));
    QSignalSpy done(&export_, &ReadingsCsvExport::finished);
    ASSERT_TRUE(export_.start(file, "."));
    EXPECT_TRUE(export_.running());
    EXPECT_FALSE(export_.start(file, ".")) << "one export at a time";
    QCoreApplication::processEvents(); // one turn of the loop: one slice, not the table
    EXPECT_GT(export_.rowsDone(), 0);
    EXPECT_LT(export_.rowsDone(), 200'000);
    EXPECT_TRUE(done.isEmpty());
    EXPECT_FALSE(QFile::exists(file)) << "the file appears whole or not at all";
    ASSERT_TRUE(done.wait(60000));
    EXPECT_EQ(done.at(0).at(1).toLongLong(), 200'000);
    const QJsonArray rows = readWithPython(file);
    ASSERT_EQ(rows.size(), 200'001);
    EXPECT_EQ(rows.at(200'000).toArray().at(1).toString(), QStringLiteral("200000"));
    EXPECT_EQ(rows.at(200'000).toArray().at(0).toString(), QString::fromStdString(IsoUtcText(1'796'900'000'000 + 199'999 * 100LL)));
}

TEST_F(ReadingsCsv, CloseDataDuringTheExportLeavesNoFile)
{
    for (int i = 0; i < 200'000; ++i)
        add(i + 1, "10:00:00", "DCV", "1.0", "V", 1'796'900'000'000 + i * 100LL);
    const QString file = dir_.filePath(QStringLiteral("cleared.csv"));
    QSignalSpy done(&export_, &ReadingsCsvExport::finished);
    ASSERT_TRUE(export_.start(file, "."));
    QCoreApplication::processEvents();
    table_.clear();
    feed_.rowsCleared();
    ASSERT_TRUE(done.wait(30000));
    EXPECT_FALSE(done.at(0).at(2).toString().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(export_.running());
}

TEST_F(ReadingsCsv, TheUsersExtensionIsKept)
{
    EXPECT_EQ(CsvFileName("a/readings"), QStringLiteral("a/readings.csv"));
    EXPECT_EQ(CsvFileName("readings.txt"), QStringLiteral("readings.txt"));
    EXPECT_EQ(CsvFileName("readings.CSV"), QStringLiteral("readings.CSV"));
}

} // namespace
} // namespace varnex
