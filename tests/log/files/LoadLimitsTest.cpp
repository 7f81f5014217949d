// What a load refuses before it can take unbounded memory or time: lines and XML pieces
// beyond their limits, elements with too many attributes, and names that are no regular
// file (a FIFO, a device).
#include "LogFilesTestSupport.h"

#include "log/files/LineReader.h"
#include "log/files/LogFileService.h"
#include "log/files/XmlLogFormat.h"
#include "log/files/XmlSizeGuard.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnex {
namespace {

using testing::Fill;
using testing::Row;
using testing::RowsOf;
using testing::ThreeReadings;
using testing::WriteAll;

class LoadLimitsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.valid());
        Fill(table, ThreeReadings());
    }
    QString path(const char* name) const { return dir.path(QString::fromUtf8(name)); }
    LoadResult Load(const char* name, const QByteArray& bytes)
    {
        WriteAll(path(name), bytes);
        return LoadTableFromFile(path(name), table);
    }

    testing::ScratchDir dir;
    LogStore table;
};

using logfiles_LoadLimits = LoadLimitsTest;

// --- text lines ---

TEST_F(logfiles_LoadLimits, TextLineAtTheLimitLoadsOneBeyondFails)
{
    const std::size_t limit = LineReader::kMaxLineBytes;
    // "1\t" and a long time text: cut to 20 when stored, but the line itself is read.
    const QByteArray atLimit = "1\t" + QByteArray(int(limit) - 2, 't');
    ASSERT_TRUE(Load("at.txt", "h\r\n" + atLimit + "\r\n").ok);
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table.row(3).Time, std::string(20, 't'));

    const LoadResult beyond = Load("beyond.txt", "h\r\n7\ta\r\n" + atLimit + "t\r\n8\tb\r\n");
    EXPECT_FALSE(beyond.ok);
    EXPECT_EQ(beyond.message, "Failed to Load File!");
    // The row of the line before stays; nothing of the long line or after it is added.
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table.row(4).No, 7);
}

TEST_F(logfiles_LoadLimits, OverlongFirstLineFailsThoughItWouldBeDropped)
{
    EXPECT_FALSE(Load("head.txt", QByteArray(int(LineReader::kMaxLineBytes) + 1, 'h') + "\r\n1\ta\r\n").ok);
    EXPECT_EQ(RowsOf(table), ThreeReadings());
}

long MaxResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A sparse file of 2 GB holds no line end: it is refused after the first limit's worth of
// bytes, not read into memory as one line.
TEST_F(logfiles_LoadLimits, SparseFileWithoutLineEndIsRefusedInBoundedMemory)
{
    for (const char* name : {"sparse.txt", "sparse.xml"}) {
        QFile sparse(path(name));
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
        ASSERT_TRUE(sparse.resize(qint64(2) << 30));
        sparse.close();
        const long before = MaxResidentKb();
        const LoadResult result = LoadTableFromFile(path(name), table);
        EXPECT_FALSE(result.ok) << name;
        EXPECT_EQ(result.message, "Failed to Load File!") << name;
        EXPECT_LT(MaxResidentKb() - before, 64 * 1024) << name << ": resident memory grew by more than 64 MB";
        EXPECT_EQ(RowsOf(table), ThreeReadings()) << name;
    }
}

// --- names that are no regular file ---

TEST_F(logfiles_LoadLimits, DeviceWithoutEndIsRefusedAtOnce)
{
    for (const char* name : {"/dev/zero", "/dev/null"}) {
        const LoadResult result = LoadTableFromFile(QString::fromLatin1(name), table);
        EXPECT_FALSE(result.ok) << name;
        EXPECT_EQ(result.message, "Failed to Load File!") << name;
    }
    EXPECT_EQ(RowsOf(table), ThreeReadings());
}

// A FIFO with a writer that never closes: a reader that opened it would wait for good. The
// test holds the writer end; if the load has not come back in 10 s it closes that end, so
// a faulty load ends (and fails the test) instead of hanging it.
TEST_F(logfiles_LoadLimits, FifoIsRefusedWithoutWaitingForAWriter)
{
    for (const char* name : {"fifo.txt", "fifo.xml"}) {
        const QByteArray fifo = QFile::encodeName(path(name));
        ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
        const int writer = ::open(fifo.constData(), O_RDWR | O_CLOEXEC); // never blocks on Linux
        ASSERT_GE(writer, 0);
        const char content[] = "h\r\n1\ta\r\n";
        ASSERT_EQ(::write(writer, content, sizeof content - 1), ssize_t(sizeof content - 1));

        LogStore into;
        auto load = std::async(std::launch::async, [&] { return LoadTableFromFile(path(name), into); });
        const bool cameBack = load.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        ::close(writer);
        const LoadResult result = load.get();
        EXPECT_TRUE(cameBack) << name << ": the load waited on the FIFO";
        EXPECT_FALSE(result.ok) << name;
        EXPECT_TRUE(into.empty()) << name;
    }
}

// --- XML pieces ---

QByteArray Packet(const QByteArray& rows, const QByteArray& beforeRowData = {})
{
    return R"(<?xml version="1.0" standalone="yes"?><DATAPACKET Version="2.0"><METADATA><FIELDS>)"
           R"(<FIELD attrname="No" fieldtype="i4"/><FIELD attrname="Time" fieldtype="string" WIDTH="20"/>)"
           "</FIELDS><PARAMS/></METADATA>" +
           beforeRowData + "<ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

QByteArray RowWithAttributes(int count)
{
    QByteArray row = R"(<ROW No="5" Time="t")";
    for (int i = 2; i < count; ++i)
        row += " x" + QByteArray::number(i) + "=\"\"";
    return row + "/>";
}

QByteArray Nested(int depth)
{
    QByteArray open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<n>";
        close += "</n>";
    }
    return open + close;
}

struct PacketCase {
    const char* title;
    QByteArray packet;
    bool loads;
};

void PrintTo(const PacketCase& c, std::ostream* os) { *os << c.title; }

class PacketLimits : public LoadLimitsTest, public ::testing::WithParamInterface<PacketCase> {};

TEST_P(PacketLimits, LoadOrFailAsALogPacketCan)
{
    const PacketCase& c = GetParam();
    const LoadResult result = Load("in.xml", c.packet);
    EXPECT_EQ(result.ok, c.loads);
    if (c.loads) {
        EXPECT_EQ(RowsOf(table), (std::vector<Row>{{5, "t", "", "", "", "", ""}}));
    } else {
        EXPECT_EQ(result.message, "Failed to Load File!");
        EXPECT_EQ(RowsOf(table), ThreeReadings());
    }
}

const int kMaxAttr = XmlSizeGuard::kMaxAttributes;
const int kMaxToken = int(XmlSizeGuard::kMaxTokenBytes);
const int kMaxDepth = XmlSizeGuard::kMaxDepth;

INSTANTIATE_TEST_SUITE_P(
    logfiles_LoadLimits, PacketLimits,
    ::testing::Values(
        PacketCase{"AttributesUpToTheLimitLoad", Packet(RowWithAttributes(kMaxAttr)), true},
        PacketCase{"OneAttributeTooManyFails", Packet(RowWithAttributes(kMaxAttr + 1)), false},
        PacketCase{"ManyThousandAttributesFail", Packet(RowWithAttributes(100000)), false},
        PacketCase{"AttributeValueNearTheLimitLoads",
                   Packet(R"(<ROW No="5" Time="t" x=")" + QByteArray(kMaxToken - 40, 'v') + R"("/>)"), true},
        PacketCase{"AttributeValueBeyondTheLimitFails",
                   Packet(R"(<ROW No="5" Time="t" x=")" + QByteArray(kMaxToken, 'v') + R"("/>)"), false},
        PacketCase{"GreaterThanInsideAValueIsNoTagEnd",
                   Packet(R"(<ROW No="5" Time="t" x=")" + QByteArray(kMaxToken, '>') + R"("/>)"), false},
        PacketCase{"EqualsSignsInsideAValueAreNoAttributes",
                   Packet(R"(<ROW No="5" Time="t" x=")" + QByteArray(2 * kMaxAttr, '=') + R"("/>)"), true},
        PacketCase{"LongTextRunFails", Packet(QByteArray(kMaxToken + 1, ' ') + R"(<ROW No="5" Time="t"/>)"), false},
        PacketCase{"LongCommentFails",
                   Packet("<!--" + QByteArray(kMaxToken, '<') + R"(--><ROW No="5" Time="t"/>)"), false},
        PacketCase{"ShortCommentAndCdataLoad",
                   Packet(R"(<!-- a > b --><ROW No="5" Time="t"/><x><![CDATA[<>]]></x>)"), true},
        PacketCase{"NestingToTheLimitLoads", Packet(R"(<ROW No="5" Time="t"/>)", Nested(kMaxDepth - 2)), true},
        PacketCase{"NestingBeyondTheLimitFails", Packet(R"(<ROW No="5" Time="t"/>)", Nested(kMaxDepth)), false},
        PacketCase{"DoctypeFails",
                   "<?xml version=\"1.0\"?><!DOCTYPE DATAPACKET [<!ENTITY e \"t\">]>" +
                       Packet(R"(<ROW No="5" Time="&e;"/>)").mid(38),
                   false}),
    [](const ::testing::TestParamInfo<PacketCase>& info) { return std::string(info.param.title); });

// A device that counts what is read from it.
class CountingBuffer : public QBuffer {
public:
    using QBuffer::QBuffer;
    qint64 bytesRead = 0;

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 got = QBuffer::readData(data, maxSize);
        bytesRead += std::max<qint64>(got, 0);
        return got;
    }
};

// A packet broken at its start is not read to its end in search of Latin-1 bytes.
TEST_F(logfiles_LoadLimits, PacketBrokenEarlyIsNotReadToItsEnd)
{
    QByteArray bytes = "<DATAPACKET><</DATAPACKET>" + QByteArray(64 << 20, ' ') + "\xE9";
    CountingBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    int restarts = 0;
    EXPECT_FALSE(ReadXmlLog(device, [](const LogRowInput&) {}, [&restarts] { ++restarts; }));
    EXPECT_EQ(restarts, 0);
    EXPECT_LT(device.bytesRead, qint64(4) << 20);
}

} // namespace
} // namespace varnex
