// Opening a log file from the window: the file is read on a worker thread, the table stays
// as it is (and keeps logging) until the read is done, a big file shows its progress, and
// files that cannot be a log are refused without waiting.
#include "WindowTestSupport.h"

#include "app/FunctionBoard.h"
#include "log/files/LogFileService.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProgressDialog>
#include <QToolButton>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnex::testing {
namespace {

class app_WindowLogLoad : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        ASSERT_TRUE(dir_.isValid());
        window().setDecimalSeparator(QStringLiteral("."));
    }

    void feedReading(int n) { feed(DcVolts(QStringLiteral("%1").arg(n, 6, 10, QLatin1Char('0')).toStdString(), 0)); }
    void clickOpen() { QTest::mouseClick(child<FunctionBoard>("GroupBox1")->openDataFiles(), Qt::LeftButton); }

    // Waits for the load to end; the largest progress value a visible dialog showed.
    int waitForLoad(int timeoutMs = 30000)
    {
        int shown = -1;
        QElapsedTimer waited;
        waited.start();
        while (window().LogLoadRunning() && waited.elapsed() < timeoutMs) {
            QTest::qWait(10);
            for (QProgressDialog* d : window().findChildren<QProgressDialog*>())
                if (d->isVisible())
                    shown = std::max(shown, d->value());
        }
        return shown;
    }

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir_;
};

TEST_F(app_WindowLogLoad, BigPacketIsReadBesideLoggingAndReplacesTheRowsOnlyWhenDone)
{
    constexpr int kRows = 1000000;
    {
        LogStore big;
        for (int i = 1; i <= kRows; ++i)
            big.append(LogRowInput{i, "10:00:00", "DCV", std::to_string(i), "V", "", ""});
        ASSERT_TRUE(SaveTableToFile(big, path("big.xml")).ok);
    }
    feedReading(1);
    feedReading(2);
    dialogs_.unsavedAnswers = {UnsavedChoice::Discard};
    dialogs_.openLogNames = {path("big.xml")};
    clickOpen();
    ASSERT_TRUE(window().LogLoadRunning()) << "the click returns while the packet is read";
    EXPECT_EQ(gridRows(), 2) << "the table is untouched while the packet is read";
    feedReading(3); // logged meanwhile
    EXPECT_EQ(gridRows(), 3);

    const int progress = waitForLoad();
    ASSERT_FALSE(window().LogLoadRunning());
    EXPECT_GT(progress, 0) << "a big file shows how far its read has come";
    EXPECT_TRUE(dialogs_.texts().filter(QStringLiteral("Failed")).isEmpty());
    ASSERT_EQ(gridRows(), kRows + 1) << "the packet's rows, then the row logged meanwhile";
    EXPECT_EQ(gridCell(0, 3), QStringLiteral("1"));
    EXPECT_EQ(gridCell(kRows - 1, 3), QString::number(kRows));
    EXPECT_EQ(gridCell(kRows, 3), QStringLiteral("0.00003"));
    EXPECT_TRUE(window().HasUnsavedRows());
    for (QProgressDialog* d : window().findChildren<QProgressDialog*>())
        EXPECT_FALSE(d->isVisible()) << "the progress dialog goes when the load is done";
}

// Many attributes on one element would take the XML reader quadratic time: refused early,
// the rows stay.
TEST_F(app_WindowLogLoad, PacketWithThousandsOfAttributesIsRefusedAndTheRowsStay)
{
    QByteArray row = R"(<ROW No="5")";
    for (int i = 0; i < 100000; ++i)
        row += " a" + QByteArray::number(i) + "=\"\"";
    QFile file(path("wide.xml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" standalone="yes"?><DATAPACKET Version="2.0"><METADATA><FIELDS>)"
               R"(<FIELD attrname="No" fieldtype="i4"/></FIELDS><PARAMS/></METADATA><ROWDATA>)" +
               row + "/></ROWDATA></DATAPACKET>");
    file.close();
    feedReading(1);
    dialogs_.unsavedAnswers = {UnsavedChoice::Discard};
    dialogs_.openLogNames = {path("wide.xml")};
    clickOpen();
    waitForLoad();
    ASSERT_FALSE(window().LogLoadRunning());
    EXPECT_EQ(dialogs_.texts().back(), QStringLiteral("Failed to Load File!"));
    EXPECT_EQ(gridRows(), 1);
}

// A FIFO with a writer that never closes (the test holds it; it lets go after 10 s so that a
// faulty read ends) and /dev/zero are refused at once.
TEST_F(app_WindowLogLoad, NamesThatAreNoRegularFileAreRefusedAtOnce)
{
    const QByteArray fifo = QFile::encodeName(path("fifo.txt"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int writer = ::open(fifo.constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "h\r\n1\ta\r\n", 8), 8);
    feedReading(1);
    for (const QString& name : {path("fifo.txt"), QStringLiteral("/dev/zero")}) {
        dialogs_.openLogNames = {name};
        clickOpen();
        waitForLoad(10000);
        const bool ended = !window().LogLoadRunning();
        if (!ended)
            ::close(writer); // let a read stuck on the FIFO end
        waitForLoad();
        EXPECT_TRUE(ended) << name.toStdString() << ": the read waited";
        EXPECT_EQ(dialogs_.texts().back(), QStringLiteral("Failed to Load File!")) << name.toStdString();
        EXPECT_EQ(gridRows(), 1) << name.toStdString();
        if (!ended)
            return;
    }
    ::close(writer);
}

} // namespace
} // namespace varnex::testing
