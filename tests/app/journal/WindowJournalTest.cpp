// The journal seen from the window: the recovery question at start (Yes, No, several runs,
// nothing to recover) answered through UserDialogs, saves and discards settling the run,
// the one failure message, exports equal to the window's own save, and the record limit
// shown without a box.
#include "../WindowTestSupport.h"
#include "JournalTestSupport.h"

#include "app/journal/Journal.h"
#include "app/journal/JournalExport.h"
#include "chart/TChartControl.h"
#include "log/files/LogFileService.h"

#include <QFile>
#include <QMenuBar>

namespace varnex::testing {
namespace {

class journal_Window : public WindowFixture {
protected:
    // A run as a killed program leaves it: rows committed, no end, nothing saved.
    std::int64_t crashedRun(const std::vector<std::int32_t>& numbers, std::int64_t firstUtc)
    {
        JournalDatabase db;
        EXPECT_TRUE(db.open(JournalPath(data_.path())));
        const std::int64_t run = db.beginRun(firstUtc - 10);
        std::vector<JournalRecord> rows;
        for (std::size_t i = 0; i < numbers.size(); ++i)
            rows.push_back(MakeRecord(numbers[i], firstUtc + std::int64_t(i) * 1000, "0." + std::to_string(i + 1)));
        rows.back().time = "9:00:00 p.\xc3\xa9"; // a Latin-1 é, stored as UTF-8
        EXPECT_TRUE(db.begin());
        EXPECT_TRUE(db.insertRows(run, 1, rows.data(), rows.size()));
        EXPECT_TRUE(db.markUnsaved(run));
        EXPECT_TRUE(db.commit());
        return run;
    }
    void startJournal()
    {
        window().startJournal(data_.path());
        ASSERT_TRUE(WaitFor([&] { return window().journal()->state() != JournalState::Opening; }));
        WaitFor([] { return false; }, 100); // the question, if any, comes from the event loop
    }
    std::optional<JournalRun> runInfo(std::int64_t id)
    {
        JournalDatabase db;
        EXPECT_TRUE(db.open(JournalPath(data_.path()), false));
        return db.run(id);
    }
    std::vector<JournalRun> runs()
    {
        JournalDatabase db;
        EXPECT_TRUE(db.open(JournalPath(data_.path()), false));
        return db.runs();
    }
    static QString local(std::int64_t utcMs)
    {
        return QDateTime::fromMSecsSinceEpoch(utcMs).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }

    QTemporaryDir data_;
    QTemporaryDir files_;
};

TEST_F(journal_Window, NothingToRecoverAsksNothing)
{
    // Start-up hands the system's separator to the log as well as to the decoder.
    EXPECT_EQ(QString::fromStdString(window().Log().DecimalSeparator()), window().DecimalSeparatorText());
    startJournal();
    EXPECT_EQ(window().journal()->state(), JournalState::Writing);
    EXPECT_TRUE(dialogs_.records.empty());
}

TEST_F(journal_Window, YesPutsTheRowsBackAsUnsavedRowsThatAreNotJournaledTwice)
{
    const std::int64_t lost = crashedRun({7, 8, 10}, 1'765'202'709'000);
    dialogs_.yesNoAnswers = {true};
    startJournal();
    ASSERT_EQ(dialogs_.count(DialogKind::YesNo), 1);
    EXPECT_EQ(dialogs_.records[0].text,
              QStringLiteral("The last session ended without saving 3 readings (from %1 to %2). Recover them?")
                  .arg(local(1'765'202'709'000), local(1'765'202'711'000)));
    ASSERT_TRUE(WaitFor([&] { return gridRows() == 3; }));
    EXPECT_EQ(gridCell(0, 0), QStringLiteral("7"));
    EXPECT_EQ(gridCell(2, 0), QStringLiteral("10"));
    EXPECT_EQ(gridCell(1, 3), QStringLiteral("0.2"));
    EXPECT_EQ(gridCell(2, 1), QStringLiteral("9:00:00 p.\u00e9")); // the table's Latin-1 again
    EXPECT_TRUE(window().HasUnsavedRows());
    // As a text load leaves them: numbering and chart untouched.
    EXPECT_EQ(window().Log().NextRecordNo(), 1);
    EXPECT_EQ(window().ChartPager().LoggedPoints(), 0);

    feed(DcVolts());
    ASSERT_EQ(gridRows(), 4);
    EXPECT_EQ(gridCell(3, 0), QStringLiteral("1"));
    Journal& journal = *window().journal();
    ASSERT_TRUE(WaitFor([&] { return journal.committedRows() == 1 && journal.pendingItems() == 0; }));
    const std::int64_t current = journal.runId();
    WaitFor([] { return false; }, 2 * Journal::kCommitIntervalMs);
    EXPECT_EQ(runInfo(current)->rows, 1); // only the new reading
    EXPECT_EQ(runInfo(lost)->recoveredInto, current);

    // A save of the table settles the recovered rows with the new ones.
    dialogs_.saveLogNames = {files_.filePath("all.txt")};
    window().saveasClick();
    window().startJournal(data_.path()); // the next start
    ASSERT_TRUE(WaitFor([&] { return window().journal()->state() == JournalState::Writing; }));
    WaitFor([] { return false; }, 100);
    EXPECT_EQ(dialogs_.count(DialogKind::YesNo), 1);
    EXPECT_EQ(runInfo(lost)->state, RunState::Saved);
    EXPECT_EQ(runInfo(current)->state, RunState::Saved);
    EXPECT_TRUE(runInfo(current)->endedUtcMs.has_value());
}

TEST_F(journal_Window, NoKeepsTheRowsInTheJournalAndStopsAsking)
{
    const std::int64_t lost = crashedRun({1, 2}, 1'765'202'709'000);
    dialogs_.yesNoAnswers = {false};
    startJournal();
    ASSERT_EQ(dialogs_.count(DialogKind::YesNo), 1);
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(gridRows(), 0);
    EXPECT_FALSE(window().HasUnsavedRows());
    window().startJournal(data_.path());
    ASSERT_TRUE(WaitFor([&] { return window().journal()->state() == JournalState::Writing; }));
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(dialogs_.count(DialogKind::YesNo), 1);
    EXPECT_EQ(runInfo(lost)->rows, 2);
    EXPECT_TRUE(runInfo(lost)->settled);
}

TEST_F(journal_Window, SeveralRunsOfferTheLatestAndSayHowManyOlderRemain)
{
    crashedRun({1}, 1'700'000'000'000);
    crashedRun({1, 2}, 1'700'100'000'000);
    crashedRun({5, 6, 7, 8}, 1'700'200'000'000);
    dialogs_.yesNoAnswers = {true};
    startJournal();
    ASSERT_EQ(dialogs_.count(DialogKind::YesNo), 1);
    EXPECT_EQ(dialogs_.records[0].text,
              QStringLiteral("The last session ended without saving 4 readings (from %1 to %2). Recover them?"
                             "\n\n2 older sessions with unsaved readings stay in the journal (varnex-cli journal list).")
                  .arg(local(1'700'200'000'000), local(1'700'200'003'000)));
    ASSERT_TRUE(WaitFor([&] { return gridRows() == 4; }));
    EXPECT_EQ(gridCell(0, 0), QStringLiteral("5"));
    // Asked once: with the recovered rows cleared, the older runs are not offered at the
    // next start.
    dialogs_.yesNoAnswers = {true};
    window().RecordNewClick();
    window().startJournal(data_.path());
    ASSERT_TRUE(WaitFor([&] { return window().journal()->state() == JournalState::Writing; }));
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(dialogs_.count(DialogKind::YesNo), 2); // the question and Close Data's
}

TEST_F(journal_Window, DiscardOnCloseSettlesTheRunAndACleanCloseEndsIt)
{
    startJournal();
    const std::int64_t run = window().journal()->runId();
    feed(DcVolts("100000"));
    feed(DcVolts("200000"));
    dialogs_.unsavedAnswers = {UnsavedChoice::Discard};
    window_->close();
    window_.reset(); // the journal drains and ends the run
    const auto info = runInfo(run);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->rows, 2);
    EXPECT_EQ(info->state, RunState::Discarded);
    EXPECT_TRUE(info->endedUtcMs.has_value());
    JournalDatabase db;
    ASSERT_TRUE(db.open(JournalPath(data_.path()), false));
    EXPECT_FALSE(db.recoveryOffer(0));
}

TEST_F(journal_Window, FailureIsToldOnceAndReadingsAreLoggedInMemory)
{
    QFile blocker(files_.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString dir = files_.filePath("not-a-folder/journal");
    window().startJournal(dir);
    ASSERT_TRUE(WaitFor([&] { return dialogs_.count(DialogKind::Error) > 0; }));
    for (int i = 0; i < 5; ++i)
        feed(DcVolts(std::to_string(100000 + i)));
    WaitFor([] { return false; }, 300);
    ASSERT_EQ(dialogs_.records.size(), 1u);
    EXPECT_EQ(dialogs_.records[0].text,
              QStringLiteral("The journal cannot be written: the folder %1 cannot be made. "
                             "Readings are logged in memory only.")
                  .arg(dir));
    EXPECT_EQ(gridRows(), 5);
    EXPECT_TRUE(window().statusToolTip().contains(
        QStringLiteral("Journal: not written (the folder %1 cannot be made); readings are logged in memory only, 5 not journaled").arg(dir)));
}

TEST_F(journal_Window, SiValueFollowsTheWindowsDecimalSeparator)
{
    window().setDecimalSeparator(QStringLiteral(","));
    EXPECT_EQ(window().Log().DecimalSeparator(), ",");
    startJournal();
    feed(DcVolts("123456")); // "1,23456" V
    ASSERT_EQ(gridCell(0, 3), QStringLiteral("1,23456"));
    Journal& journal = *window().journal();
    ASSERT_TRUE(WaitFor([&] { return journal.committedRows() == 1; }));
    JournalDatabase db;
    ASSERT_TRUE(db.open(JournalPath(data_.path()), false));
    const auto rows = RowsOf(db, journal.runId());
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_TRUE(rows[0].siValue.has_value());
    EXPECT_DOUBLE_EQ(*rows[0].siValue, 1.23456);
    EXPECT_EQ(rows[0].value, "1,23456");
}

TEST_F(journal_Window, BigLoadIsJournaledWholeInSlicesWhileTheWindowStaysFree)
{
    startJournal();
    LogStore big;
    for (std::int32_t i = 1; i <= 300000; ++i)
        big.append(LogRowInput{i, "10:00:00", "DCV", "1.00000", "V", "", ""});
    const QString file = files_.filePath("big.txt");
    ASSERT_TRUE(SaveTableToFile(big, file).ok);
    dialogs_.openLogNames = {file};
    window().SpeedButton2Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window().LogLoadRunning(); }, 30000)); // read on a worker
    ASSERT_EQ(gridRows(), 300000);
    feed(DcVolts("111111")); // a reading while the slices go out
    // The event loop keeps turning between slices.
    auto longest = std::chrono::steady_clock::duration::zero();
    auto last = std::chrono::steady_clock::now();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const auto now = std::chrono::steady_clock::now();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start(1);
    Journal& journal = *window().journal();
    ASSERT_TRUE(WaitFor([&] { return journal.committedRows() == 300001; }, 60000)) << journal.committedRows();
    tick.stop();
    EXPECT_EQ(journal.missedRows(), 0);
    EXPECT_LT(longest, std::chrono::milliseconds(100)); // generous: the machine is shared
    JournalDatabase db;
    ASSERT_TRUE(db.open(JournalPath(data_.path()), false));
    const auto rows = RowsOf(db, journal.runId());
    ASSERT_EQ(rows.size(), 300001u);
    EXPECT_EQ(rows.back().no, 300000);
    EXPECT_EQ(rows.back().source, JournalSource::Load);
}

TEST_F(journal_Window, RecordLimitReachedIsShownWithoutABox)
{
    QMenu* record = window().findChild<QMenu*>(QStringLiteral("Record1"));
    ASSERT_NE(record, nullptr);
    window().RecordLimitClick(0); // "1000"
    for (int i = 0; i < 999; ++i)
        feed(DcVolts(std::to_string(100000 + i)));
    EXPECT_EQ(record->title(), QStringLiteral("Record"));
    EXPECT_FALSE(window().statusToolTip().contains(QStringLiteral("Record limit")));
    feed(DcVolts("123456"));
    feed(DcVolts("123457")); // refused
    EXPECT_EQ(gridRows(), 1000);
    EXPECT_EQ(record->title(), QStringLiteral("Record (limit reached)"));
    EXPECT_TRUE(window().statusToolTip().contains(
        QStringLiteral("Record limit 1000 reached: new readings are not logged")));
    EXPECT_TRUE(dialogs_.records.empty());
    window().RecordLimitClick(1); // "5000": logging resumes
    EXPECT_EQ(record->title(), QStringLiteral("Record"));
    window().RecordLimitClick(0);
    EXPECT_EQ(record->title(), QStringLiteral("Record (limit reached)"));
    dialogs_.yesNoAnswers = {true};
    window().RecordNewClick();
    EXPECT_EQ(record->title(), QStringLiteral("Record"));
}

// Each 7-column form of a run, exported from the journal, equals the window's save of the
// same rows byte for byte: logged rows, and rows of a loaded file with Latin-1 texts.
class journal_WindowExport : public journal_Window, public ::testing::WithParamInterface<const char*> {};

TEST_P(journal_WindowExport, ExportEqualsTheWindowsSave)
{
    startJournal();
    feed(DcVolts("123456"));
    feed(DcVolts("-00042", 3));
    const QString loaded = files_.filePath("in.txt");
    {
        QFile in(loaded);
        ASSERT_TRUE(in.open(QIODevice::WriteOnly));
        in.write("No\tTime\tFunction\tValue\tUnit\tValue2\tUnit2\r\n"
                 "5\t9:01:02 p.m.\tohm\t 12.5 \tK*\t\t\r\n"
                 "6\t9:01:03\tcap\t1.0\t\xb5" "F\t50\tKHz\r\n");
    }
    dialogs_.openLogNames = {loaded};
    window().SpeedButton2Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window().LogLoadRunning(); }, 30000)); // read on a worker
    feed(DcVolts("654321"));
    ASSERT_EQ(gridRows(), 5);
    const QString saved = files_.filePath(QStringLiteral("window") + GetParam());
    dialogs_.saveLogNames = {saved};
    window().saveasClick();
    Journal& journal = *window().journal();
    ASSERT_TRUE(WaitFor([&] { return journal.committedRows() == 5; }));

    JournalDatabase db;
    ASSERT_TRUE(db.open(JournalPath(data_.path()), false));
    const QString exported = files_.filePath(QStringLiteral("journal") + GetParam());
    const JournalExportResult result = ExportRun(db, journal.runId(), exported);
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(result.rows, 5);
    QFile a(saved), b(exported);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    const QByteArray expected = a.readAll();
    EXPECT_GT(expected.size(), 100);
    EXPECT_EQ(b.readAll(), expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, journal_WindowExport, ::testing::Values(".txt", ".xls", ".xml"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param + 1); });

} // namespace
} // namespace varnex::testing
