// Any bytes as a text log and as an XML packet: the readers must not crash or hang, the
// table must take rows afterwards, and a packet that loads must write back and load again
// to the very same rows.
#include "log/LogStore.h"
#include "log/files/TextLogFormat.h"
#include "log/files/XmlLogFormat.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using varnex::LogRowInput;
using varnex::LogStore;

struct Row {
    std::int32_t no;
    std::string texts[6];
    bool operator==(const Row& o) const
    {
        for (int i = 0; i < 6; ++i)
            if (texts[i] != o.texts[i])
                return false;
        return no == o.no;
    }
};

std::vector<Row> RowsOf(const LogStore& store)
{
    std::vector<Row> rows;
    for (std::size_t i = 0; i < store.size(); ++i) {
        const varnex::LogRowView v = store.row(i);
        rows.push_back(Row{v.No, {std::string(v.Time), std::string(v.Function), std::string(v.Value),
                                  std::string(v.Unit), std::string(v.Value2), std::string(v.Unit2)}});
    }
    return rows;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// The table logs after whatever the load did.
void RequireUsable(LogStore& store)
{
    const std::size_t before = store.size();
    store.append(LogRowInput{42, "12:00:00", "DCV", "1.0000", "V", "", ""});
    Require(store.size() == before + 1);
    Require(store.currentRow() == static_cast<std::int64_t>(before));
    Require(store.row(before).No == 42 && store.row(before).Value == "1.0000");
}

bool Read(const QByteArray& bytes, bool xml, LogStore& into)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    const std::size_t keep = into.size();
    // A restart (8-bit packet read again as Latin-1) drops what the first pass handed on.
    const auto restart = [&into, keep] {
        Require(keep == 0);
        into.clear();
    };
    return xml ? varnex::ReadXmlLog(buffer, varnex::AppendTo(into), restart)
               : varnex::ReadTextLog(buffer, varnex::AppendTo(into));
}

QByteArray Write(const LogStore& store, bool xml)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    Require(xml ? varnex::WriteXmlLog(buffer, store) : varnex::WriteTextLog(buffer, store));
    buffer.close();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Text: rows are appended after the ones already there, earlier rows stay on failure.
    {
        LogStore table;
        table.append(LogRowInput{1, "t", "f", "v", "u", "", ""});
        Read(bytes, false, table);
        Require(table.size() >= 1 && table.row(0).No == 1 && table.row(0).Time == "t");
        RequireUsable(table);
    }

    // XML: read aside, and what was read writes back to the same rows.
    {
        LogStore incoming;
        if (Read(bytes, true, incoming)) {
            const std::vector<Row> rows = RowsOf(incoming);
            LogStore again;
            Require(Read(Write(incoming, true), true, again));
            Require(RowsOf(again) == rows);
            // The text form of those rows loads back too (texts trimmed on the way out).
            LogStore fromText;
            Require(Read(Write(incoming, false), false, fromText));
            Require(fromText.size() == incoming.size());
        }
        RequireUsable(incoming);
    }
    return 0;
}
