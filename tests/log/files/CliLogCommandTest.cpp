// varnex-cli log and convert, run as the executable on captures made with the frame encoder.
#include "LogFilesTestSupport.h"

#include "protocol/Decoder.h"
#include "protocol/FrameEncoder.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnex {
namespace {

using testing::ReadAll;
using testing::WriteAll;

struct CliRun {
    int exitCode = -1;
    QString err;
};

DisplayState Dcv(const char* digits)
{
    DisplayState s;
    s.function = '0';
    s.range = '1';
    s.mainDigits = digits;
    s.mainPoint = 0;
    return s;
}

const DisplayState kA = Dcv("123456");
const DisplayState kB = Dcv("654321");

// Serial bytes as a port opened on a running meter sees them: the CR LF of the frame under
// way, then one frame per state.
QByteArray Capture(const std::vector<DisplayState>& states, bool usb = false)
{
    QByteArray bytes = usb ? QByteArray() : QByteArray("\r\n");
    for (const DisplayState& state : states) {
        const WireFrame frame = EncodeFrame(state);
        bytes.append(reinterpret_cast<const char*>(frame.data()), static_cast<qsizetype>(frame.size()));
    }
    return bytes;
}

std::string ValueTextOf(const DisplayState& state)
{
    return DecodeFrame(EncodeFrameText(state), Reading{}, ".").reading.ValueText;
}

// The rows of a saved text file: No and Value of every line after the header.
std::vector<std::pair<int, std::string>> NoAndValue(const QByteArray& text)
{
    std::vector<std::pair<int, std::string>> rows;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].trimmed().split('\t');
        if (fields.size() >= 4)
            rows.emplace_back(fields[0].toInt(), fields[3].toStdString());
    }
    return rows;
}

class CliLogCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.valid()); }
    QString path(const char* name) const { return dir.path(QString::fromUtf8(name)); }

    static CliRun Run(const QStringList& args, const QByteArray& stdinBytes = QByteArray())
    {
        QProcess process;
        process.start(QStringLiteral(VARNEX_CLI), args);
        process.write(stdinBytes);
        process.closeWriteChannel();
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

    testing::ScratchDir dir;
};

// ctest names of this file start with logfiles_.
using logfiles_CliLogCommand = CliLogCommandTest;

TEST_F(logfiles_CliLogCommand, NoRepeatLeavesOutUnchangedReadingsButUsesTheirNumbers)
{
    WriteAll(path("aaab.bin"), Capture({kA, kA, kA, kB}));
    const CliRun run = Run({"log", "--no-repeat", path("aaab.bin"), "-o", path("out.txt")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err.trimmed(), "Save table to specified file: " + path("out.txt") + " Scuss!");
    const auto rows = NoAndValue(ReadAll(path("out.txt")));
    EXPECT_EQ(rows, (std::vector<std::pair<int, std::string>>{{1, ValueTextOf(kA)}, {4, ValueTextOf(kB)}}));
}

TEST_F(logfiles_CliLogCommand, RepeatOnLogsEveryReadingFromStandardInput)
{
    const CliRun run = Run({"log", "-o", path("out.xls")}, Capture({kA, kA, kA, kB}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto rows = NoAndValue(ReadAll(path("out.xls")));
    ASSERT_EQ(rows.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(rows[static_cast<std::size_t>(i)].first, i + 1);
}

TEST_F(logfiles_CliLogCommand, LimitStopsLoggingAndUsesNoNumbers)
{
    WriteAll(path("four.bin"), Capture({kA, kB, kA, kB}));
    const CliRun run = Run({"log", "--limit", "2", path("four.bin"), "-o", path("out.txt")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto rows = NoAndValue(ReadAll(path("out.txt")));
    EXPECT_EQ(rows, (std::vector<std::pair<int, std::string>>{{1, ValueTextOf(kA)}, {2, ValueTextOf(kB)}}));
}

TEST_F(logfiles_CliLogCommand, UsbCaptureAndSeparator)
{
    WriteAll(path("usb.bin"), Capture({kA, kB}, true));
    const CliRun run = Run({"log", "--usb", "--separator", ",", path("usb.bin"), "-o", path("out.txt")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto rows = NoAndValue(ReadAll(path("out.txt")));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(QString::fromStdString(rows[0].second), QString::fromStdString(ValueTextOf(kA)).replace('.', ','));
}

TEST_F(logfiles_CliLogCommand, OtherExtensionBecomesXlsAndXmlPicksThePacket)
{
    WriteAll(path("ab.bin"), Capture({kA, kB}));
    const CliRun csv = Run({"log", path("ab.bin"), "-o", path("log.csv")});
    ASSERT_EQ(csv.exitCode, 0);
    EXPECT_EQ(csv.err.trimmed(), "Save table to specified file: " + path("log.csv.xls") + " Scuss!");
    EXPECT_TRUE(QFile::exists(path("log.csv.xls")));
    EXPECT_FALSE(QFile::exists(path("log.csv")));

    const CliRun xml = Run({"log", path("ab.bin"), "-o", path("LOG.XML")});
    ASSERT_EQ(xml.exitCode, 0);
    EXPECT_TRUE(ReadAll(path("LOG.XML")).startsWith(R"(<?xml version="1.0" standalone="yes"?>)"));
}

TEST_F(logfiles_CliLogCommand, FailuresExitWithTheirMessages)
{
    WriteAll(path("ab.bin"), Capture({kA, kB}));
    const CliRun unwritable = Run({"log", path("ab.bin"), "-o", path("no/such/dir/out.txt")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.err.trimmed(), "Could not save table to specified file: " + path("no/such/dir/out.txt"));

    EXPECT_EQ(Run({"log", path("ab.bin")}).exitCode, 2) << "-o is required";
    EXPECT_EQ(Run({"log", "--limit", "-1", path("ab.bin"), "-o", path("x.txt")}).exitCode, 2);
    EXPECT_EQ(Run({"log", "--limit", "10000001", path("ab.bin"), "-o", path("x.txt")}).exitCode, 2);
    EXPECT_EQ(Run({"log", path("missing.bin"), "-o", path("x.txt")}).exitCode, 2);
    EXPECT_EQ(Run({"convert", path("only-one")}).exitCode, 2);
}

TEST_F(logfiles_CliLogCommand, ConvertTextToXmlToTextKeepsTheRows)
{
    WriteAll(path("ab.bin"), Capture({kA, kB, kB, kA}));
    ASSERT_EQ(Run({"log", path("ab.bin"), "-o", path("first.txt")}).exitCode, 0);
    const CliRun toXml = Run({"convert", path("first.txt"), path("mid.xml")});
    ASSERT_EQ(toXml.exitCode, 0) << toXml.err.toStdString();
    EXPECT_EQ(toXml.err.trimmed(), "Save table to specified file: " + path("mid.xml") + " Scuss!");
    ASSERT_EQ(Run({"convert", path("mid.xml"), path("second.txt")}).exitCode, 0);
    EXPECT_EQ(ReadAll(path("second.txt")), ReadAll(path("first.txt")));
    EXPECT_EQ(NoAndValue(ReadAll(path("second.txt"))).size(), 4u);
}

TEST_F(logfiles_CliLogCommand, ConvertOfABadFileFailsToLoad)
{
    WriteAll(path("bad.txt"), "header\r\nnot-a-number\tx\r\n");
    const CliRun run = Run({"convert", path("bad.txt"), path("out.xml")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), "Failed to Load File!");
    EXPECT_FALSE(QFile::exists(path("out.xml")));
}

// /dev/zero never ends and a FIFO would block the open until a writer came: convert refuses
// both at once. The test holds the FIFO's writer end open (with a row in it) and closes it
// after 10 s, so a convert that waits on the FIFO ends (and fails the test) instead of hanging.
TEST_F(logfiles_CliLogCommand, ConvertRefusesNamesThatAreNoRegularFile)
{
    const QByteArray fifo = QFile::encodeName(path("fifo.txt"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    int writer = ::open(fifo.constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "h\r\n1\ta\r\n", 8), 8);

    for (const QString& in : {QStringLiteral("/dev/zero"), path("fifo.txt")}) {
        QProcess process;
        process.start(QStringLiteral(VARNEX_CLI), {"convert", in, path("out.xml")});
        const bool ended = process.waitForFinished(10000);
        if (!ended) {
            ::close(writer);
            writer = -1;
            process.kill();
            process.waitForFinished(10000);
        }
        EXPECT_TRUE(ended) << in.toStdString() << ": convert waited";
        EXPECT_EQ(process.exitCode(), 1) << in.toStdString();
        EXPECT_EQ(QString::fromLocal8Bit(process.readAllStandardError()).trimmed(), "Failed to Load File!");
        EXPECT_FALSE(QFile::exists(path("out.xml")));
        if (!ended)
            break;
    }
    if (writer >= 0)
        ::close(writer);
}

} // namespace
} // namespace varnex
