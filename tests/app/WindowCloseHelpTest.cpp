// Leaving the program (close box and QUIT, with and without rows that were never
// saved), the print preview, and the Help menu.
#include "WindowTestSupport.h"

#include "ReportPdfChecks.h"

#include "app/FunctionBoard.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>

namespace varnex::testing {
namespace {

class app_WindowClose : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        window().setDecimalSeparator(QStringLiteral("."));
        ASSERT_TRUE(dir_.isValid());
    }

    void logRows(int n)
    {
        for (int i = 0; i < n; ++i)
            feed(DcVolts(QStringLiteral("1%1").arg(i, 5, 10, QLatin1Char('0')).toStdString(), 0));
        ASSERT_EQ(gridRows(), n);
    }

    enum class Via { CloseBox, Quit };
    void closeVia(Via via)
    {
        if (via == Via::CloseBox)
            window().close();
        else
            QTest::mouseClick(child<QPushButton>("BitBtn1"), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir_;
};

TEST_F(app_WindowClose, CloseBoxWithoutRowsClosesWithoutAsking)
{
    EXPECT_TRUE(window().close());
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(dialogs_.records.empty());
}

TEST_F(app_WindowClose, QuitWithoutRowsAsksAndNoKeepsEverythingRunning)
{
    dialogs_.yesNoAnswers = {false};
    closeVia(Via::Quit);
    ASSERT_EQ(dialogs_.records.size(), 1u);
    EXPECT_EQ(dialogs_.records[0].kind, DialogKind::YesNo);
    EXPECT_EQ(dialogs_.records[0].text, QStringLiteral("Are you ensure to exit the program?"));
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(window().ConTimer().isActive());

    dialogs_.yesNoAnswers = {true};
    closeVia(Via::Quit);
    EXPECT_EQ(dialogs_.records.size(), 2u);
    EXPECT_FALSE(window().isVisible());
}

TEST_F(app_WindowClose, UnsavedRowsAskBeforeClosing)
{
    enum class Name { Good, Cancelled, Unwritable };
    struct Case {
        const char* what;
        Via via;
        UnsavedChoice choice;
        Name name;
        bool closes;
    };
    const Case cases[] = {
        {"close box, cancel", Via::CloseBox, UnsavedChoice::Cancel, Name::Good, false},
        {"close box, discard", Via::CloseBox, UnsavedChoice::Discard, Name::Good, true},
        {"close box, save", Via::CloseBox, UnsavedChoice::Save, Name::Good, true},
        {"close box, save cancelled", Via::CloseBox, UnsavedChoice::Save, Name::Cancelled, false},
        {"close box, save failed", Via::CloseBox, UnsavedChoice::Save, Name::Unwritable, false},
        {"quit, cancel", Via::Quit, UnsavedChoice::Cancel, Name::Good, false},
        {"quit, discard", Via::Quit, UnsavedChoice::Discard, Name::Good, true},
        {"quit, save", Via::Quit, UnsavedChoice::Save, Name::Good, true},
        {"quit, save failed", Via::Quit, UnsavedChoice::Save, Name::Unwritable, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A fresh window each time: closing is what is under test.
        closeQuietly();
        window_.reset();
        dialogs_ = FakeUserDialogs();
        makeWindow(SerialPortNames());
        window().setDecimalSeparator(QStringLiteral("."));
        logRows(3);

        const QString path = dir_.filePath(QStringLiteral("log%1.txt").arg(++n));
        dialogs_.unsavedAnswers = {c.choice};
        if (c.name == Name::Good)
            dialogs_.saveLogNames = {path};
        else if (c.name == Name::Unwritable)
            dialogs_.saveLogNames = {dir_.filePath(QStringLiteral("no/such/folder/log.txt"))};
        closeVia(c.via);

        ASSERT_GE(dialogs_.records.size(), 1u);
        EXPECT_EQ(dialogs_.records[0].kind, DialogKind::Unsaved);
        EXPECT_EQ(dialogs_.records[0].unsavedRows, 3);
        EXPECT_EQ(dialogs_.count(DialogKind::YesNo), 0) << "one question, not two";
        EXPECT_EQ(window().isVisible(), !c.closes);
        const bool saved = c.choice == UnsavedChoice::Save && c.name == Name::Good;
        EXPECT_EQ(QFileInfo::exists(path), saved);
        if (c.name == Name::Unwritable) {
            EXPECT_EQ(dialogs_.count(DialogKind::Error) + dialogs_.count(DialogKind::Information), 1)
                << "the failed save is reported";
        }
        if (saved) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
            ASSERT_EQ(lines.size(), 4) << "header and three rows";
            EXPECT_TRUE(lines[0].startsWith("No\tTime\tFunction\tValue\tUnit"));
            EXPECT_TRUE(lines[1].startsWith("1\t"));
            EXPECT_TRUE(lines[3].contains("\tDCV\t1.00002\tV"));
        }
        if (!c.closes) {
            EXPECT_EQ(gridRows(), 3) << "nothing is lost by staying";
            EXPECT_TRUE(window().HasUnsavedRows());
        }
    }
}

TEST_F(app_WindowClose, AfterASuccessfulSaveTheCloseBoxAsksNothing)
{
    logRows(2);
    const QString path = dir_.filePath(QStringLiteral("saved.xls"));
    dialogs_.saveLogNames = {path};
    QTest::mouseClick(child<FunctionBoard>("GroupBox1")->saveAs(), Qt::LeftButton);
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_FALSE(window().HasUnsavedRows());
    dialogs_.clear();

    EXPECT_TRUE(window().close());
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(dialogs_.records.empty());
}

TEST_F(app_WindowClose, RowsLoggedAfterTheSaveAreUnsavedAgain)
{
    logRows(2);
    dialogs_.saveLogNames = {dir_.filePath(QStringLiteral("first.txt"))};
    QTest::mouseClick(child<FunctionBoard>("GroupBox1")->saveAs(), Qt::LeftButton);
    ASSERT_FALSE(window().HasUnsavedRows());
    feed(DcVolts("777777", 0));
    dialogs_.clear();
    dialogs_.unsavedAnswers = {UnsavedChoice::Cancel};
    EXPECT_FALSE(window().close());
    ASSERT_EQ(dialogs_.count(DialogKind::Unsaved), 1);
    EXPECT_EQ(dialogs_.records[0].unsavedRows, 1);
    EXPECT_TRUE(window().isVisible());
}

// Readings keep arriving while any box is open. Whatever the user answers, a row logged
// before the window goes must be in the saved file, unless the user chose to discard.
class app_WindowCloseWhileLogging : public app_WindowClose {
protected:
    void readingArrivesUnderEveryBox()
    {
        dialogs_.whileOpen = [this] {
            feed(DcVolts(QStringLiteral("2%1").arg(++arrived_, 5, 10, QLatin1Char('0')).toStdString(), 0));
        };
    }
    int savedRows(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        return int(file.readAll().trimmed().split('\n').size()) - 1;
    }
    int arrived_ = 0;
};

TEST_F(app_WindowCloseWhileLogging, SaveOnClosingKeepsRowsLoggedUnderTheBoxes)
{
    for (Via via : {Via::CloseBox, Via::Quit}) {
        SCOPED_TRACE(via == Via::CloseBox ? "close box" : "quit");
        closeQuietly();
        window_.reset();
        dialogs_ = FakeUserDialogs();
        makeWindow(SerialPortNames());
        window().setDecimalSeparator(QStringLiteral("."));
        logRows(2);

        const QString path = dir_.filePath(via == Via::CloseBox ? QStringLiteral("box.txt") : QStringLiteral("quit.txt"));
        dialogs_.unsavedAnswers = {UnsavedChoice::Save, UnsavedChoice::Save};
        dialogs_.saveLogNames = {path, path};
        readingArrivesUnderEveryBox();
        closeVia(via);
        dialogs_.whileOpen = nullptr;

        ASSERT_GT(int(window().cds1().size()), 2) << "readings arrived under the boxes";
        if (window().isVisible())
            EXPECT_TRUE(window().HasUnsavedRows()) << "stayed open: the late rows still count as unsaved";
        else
            EXPECT_EQ(savedRows(path), int(window().cds1().size())) << "closed: every logged row is in the file";
    }
}

TEST_F(app_WindowCloseWhileLogging, RowsLoggedUnderTheQuitQuestionAreNotDroppedSilently)
{
    // No rows yet: QUIT asks its question, and a reading arrives meanwhile.
    dialogs_.yesNoAnswers = {true};
    dialogs_.unsavedAnswers = {UnsavedChoice::Cancel};
    readingArrivesUnderEveryBox();
    closeVia(Via::Quit);
    dialogs_.whileOpen = nullptr;

    ASSERT_GE(window().cds1().size(), 1u);
    EXPECT_EQ(dialogs_.count(DialogKind::Unsaved), 1) << "the new rows are asked about";
    EXPECT_TRUE(window().isVisible()) << "and Cancel keeps them";
}

// The report as the window prints it (the preview's printer, the program's bold application
// font): every text in its place, face and size.
TEST_F(app_WindowClose, PrintPreviewRendersTheLoggedRows)
{
    const QString missing = testing::ReportPdfProbe::missingTool();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString() << " (poppler-utils) is not installed";
    const QFont before = QApplication::font();
    QFont programFont(QStringLiteral("Liberation Sans")); // as the program's main() sets it
    programFont.setPixelSize(11);
    programFont.setBold(true);
    QApplication::setFont(programFont);
    logRows(3);
    dialogs_.previewPdfPath = dir_.filePath(QStringLiteral("report.pdf"));
    QTest::mouseClick(child<FunctionBoard>("GroupBox1")->btPrint(), Qt::LeftButton);
    QApplication::setFont(before);
    EXPECT_EQ(dialogs_.printPreviews, 1);
    EXPECT_TRUE(grid()->updatesEnabled()) << "the grid repaints again after the report";

    const testing::ReportPdfProbe probe(dialogs_.previewPdfPath);
    const auto firstWord = [](std::string_view text) {
        return QString::fromLatin1(text.data(), qsizetype(text.size())).section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    };
    const auto lcdPart = [&](std::string_view unit) { return firstWord(unit).section(QLatin1Char('*'), 0, 0); };
    std::vector<std::vector<testing::PrintedField>> printed;
    for (std::size_t i = 0; i < window().cds1().size(); ++i) {
        const LogRowView r = window().cds1().row(i);
        printed.push_back(testing::PrintedRow(r.No, firstWord(r.Time), firstWord(r.Function), firstWord(r.Value),
                                              lcdPart(r.Unit), firstWord(r.Value2), lcdPart(r.Unit2)));
    }
    ASSERT_EQ(printed.size(), 3u);
    testing::ExpectPageFrame(probe, 1);
    for (int line = 0; line < 3; ++line)
        testing::ExpectRowLine(probe, 1, line, printed[std::size_t(line)]);
    testing::ExpectReportFonts(probe, printed);
}

// The unsaved-rows box is given the count as it is, not as it was when the box opened.
TEST_F(app_WindowCloseWhileLogging, TheUnsavedBoxCountsTheRowsThatArriveWhileItIsOpen)
{
    const struct {
        const char* name;
        UnsavedReason reason;
    } cases[] = {{"close box", UnsavedReason::Closing}, {"XML log", UnsavedReason::OpeningXmlLog}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        closeQuietly();
        window_.reset();
        dialogs_ = FakeUserDialogs();
        makeWindow(SerialPortNames());
        window().setDecimalSeparator(QStringLiteral("."));
        logRows(3);
        dialogs_.unsavedAnswers = {UnsavedChoice::Cancel};
        dialogs_.whileOpen = [this] {
            for (int i = 0; i < 2; ++i)
                feed(DcVolts(QStringLiteral("3%1").arg(++arrived_, 5, 10, QLatin1Char('0')).toStdString(), 0));
        };
        if (c.reason == UnsavedReason::Closing) {
            EXPECT_FALSE(window().close());
        } else {
            dialogs_.openLogNames = {dir_.filePath(QStringLiteral("other.xml"))};
            QTest::mouseClick(child<FunctionBoard>("GroupBox1")->openDataFiles(), Qt::LeftButton);
        }
        dialogs_.whileOpen = nullptr;
        ASSERT_EQ(dialogs_.count(DialogKind::Unsaved), 1);
        EXPECT_EQ(dialogs_.unsavedReasons.back(), c.reason);
        const auto box = std::find_if(dialogs_.records.begin(), dialogs_.records.end(),
                                      [](const DialogRecord& r) { return r.kind == DialogKind::Unsaved; });
        EXPECT_EQ(box->unsavedRows, 3) << "when the box opened";
        EXPECT_EQ(box->unsavedRowsAtAnswer, 5) << "when it was answered";
        EXPECT_EQ(gridRows(), 5);
    }
}

using app_HelpMenu = WindowFixture;

TEST_F(app_HelpMenu, EveryClickOpensTheHelpFileBesideTheProgram)
{
    QAction* help = window().menuBar()->actions().at(1);
    ASSERT_EQ(help->text(), QStringLiteral("Help"));
    const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/Varnexhelp.chm");
    for (int click = 1; click <= 3; ++click) {
        help->trigger();
        ASSERT_EQ(dialogs_.openedDocuments.size(), click);
        EXPECT_EQ(dialogs_.openedDocuments.back(), expected);
    }
    EXPECT_TRUE(dialogs_.records.empty()) << "the program says nothing of its own";
}

} // namespace
} // namespace varnex::testing
