#include "log/files/XmlLogFormat.h"

#include "log/files/BufferedWriter.h"
#include "log/files/Latin1AsUtf8Device.h"
#include "log/files/WholeNumber.h"
#include "log/files/XmlSizeGuard.h"

#include <QIODevice>
#include <QXmlStreamReader>

#include <array>
#include <optional>
#include <string>

namespace varnex {

namespace {

constexpr std::array<LogField, LogFieldCount> kFields = {
    LogField::No,   LogField::Time,   LogField::Function, LogField::Value,
    LogField::Unit, LogField::Value2, LogField::Unit2};

bool NeedsEscape(unsigned char byte)
{
    return byte < 0x20 || byte >= 0x7F || byte == '&' || byte == '<' || byte == '>' || byte == '"';
}

void WriteCharacterReference(BufferedWriter& out, unsigned char byte)
{
    out.write("&#");
    out.writeDecimal(byte);
    out.put(';');
}

void WriteFieldList(BufferedWriter& out)
{
    out.write(R"(<DATAPACKET Version="2.0"><METADATA><FIELDS>)");
    out.write(R"(<FIELD attrname="No" fieldtype="i4"/>)");
    for (std::size_t i = 1; i < kFields.size(); ++i) {
        out.write(R"(<FIELD attrname=")");
        out.write(LogFieldName(kFields[i]));
        out.write(R"(" fieldtype="string" WIDTH="20"/>)");
    }
    out.write("</FIELDS><PARAMS/></METADATA><ROWDATA>\r\n");
}

// Latin-1 copy of an attribute value; characters beyond Latin-1 become "?".
void ToLatin1(QStringView text, std::string& out)
{
    out.clear();
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text)
        out.push_back(c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?');
}

} // namespace

void WriteXmlAttributeValue(BufferedWriter& out, std::string_view latin1)
{
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < latin1.size(); ++i) {
        const auto byte = static_cast<unsigned char>(latin1[i]);
        if (!NeedsEscape(byte))
            continue;
        out.write(latin1.substr(runStart, i - runStart));
        runStart = i + 1;
        switch (byte) {
        case '&': out.write("&amp;"); break;
        case '<': out.write("&lt;"); break;
        case '>': out.write("&gt;"); break;
        case '"': out.write("&quot;"); break;
        case '\t':
        case '\n':
        case '\r': WriteCharacterReference(out, byte); break;
        default:
            if (byte < 0x20)
                out.put('?');
            else
                WriteCharacterReference(out, byte);
        }
    }
    out.write(latin1.substr(runStart));
}

bool WriteXmlLog(QIODevice& device, const LogStore& store)
{
    BufferedWriter out(device);
    out.write(kXmlDeclaration);
    out.write("\r\n");
    WriteFieldList(out);
    const std::size_t rows = store.size();
    for (std::size_t r = 0; r < rows && out.ok(); ++r) {
        const LogRowView row = store.row(r);
        out.write(R"(<ROW No=")");
        out.writeDecimal(row.No);
        out.put('"');
        for (std::size_t i = 1; i < kFields.size(); ++i) {
            // An empty text is left out, as the table engine leaves out empty (null) fields;
            // readers take an absent field as empty.
            if (row.text(kFields[i]).empty())
                continue;
            out.put(' ');
            out.write(LogFieldName(kFields[i]));
            out.write("=\"");
            WriteXmlAttributeValue(out, row.text(kFields[i]));
            out.put('"');
        }
        out.write("/>\r\n");
    }
    out.write("</ROWDATA></DATAPACKET>\r\n");
    return out.finish();
}

namespace {

class PacketReader {
public:
    PacketReader(QIODevice& device, const LogRowSink& sink) : xml_(&device), sink_(sink) {}

    bool read()
    {
        if (!xml_.readNextStartElement() || xml_.name() != QLatin1String("DATAPACKET"))
            return false;
        while (xml_.readNextStartElement()) {
            if (xml_.name() == QLatin1String("METADATA")) {
                readMetadata();
            } else if (xml_.name() == QLatin1String("ROWDATA")) {
                if (!readRows())
                    return false;
            } else {
                xml_.skipCurrentElement();
            }
        }
        // Read to the end so that anything broken after the packet is noticed too.
        while (!xml_.atEnd())
            xml_.readNext();
        return !xml_.hasError() && declaredName_[0].has_value();
    }

    bool declaredEncoding() const { return !xml_.documentEncoding().isEmpty(); }

private:
    void readMetadata()
    {
        while (xml_.readNextStartElement()) {
            if (xml_.name() != QLatin1String("FIELDS")) {
                xml_.skipCurrentElement();
                continue;
            }
            while (xml_.readNextStartElement()) {
                if (xml_.name() == QLatin1String("FIELD"))
                    declareField(xml_.attributes().value(QLatin1String("attrname")));
                xml_.skipCurrentElement();
            }
        }
    }

    // Field names are matched without regard to case, as the table engine does; rows
    // then use the name exactly as declared.
    void declareField(QStringView attrname)
    {
        for (std::size_t i = 0; i < kFields.size(); ++i) {
            if (attrname.compare(QLatin1String(LogFieldName(kFields[i])), Qt::CaseInsensitive) == 0) {
                if (!declaredName_[i])
                    declaredName_[i] = attrname.toString();
                return;
            }
        }
    }

    bool readRows()
    {
        if (!declaredName_[0])
            return false;
        while (xml_.readNextStartElement()) {
            if (xml_.name() == QLatin1String("ROW") && !readRow())
                return false;
            xml_.skipCurrentElement();
        }
        return !xml_.hasError();
    }

    bool readRow()
    {
        LogRowInput row;
        std::string_view* texts[] = {nullptr,    &row.Time,  &row.Function, &row.Value,
                                     &row.Unit,  &row.Value2, &row.Unit2};
        for (const QXmlStreamAttribute& attribute : xml_.attributes()) {
            const QStringView name = attribute.name();
            for (std::size_t i = 0; i < kFields.size(); ++i) {
                if (!declaredName_[i] || name != *declaredName_[i])
                    continue;
                ToLatin1(attribute.value(), text_[i]);
                if (i == 0) {
                    if (!ParseWholeNumber(text_[0], row.No))
                        return false;
                } else {
                    *texts[i] = text_[i];
                }
                break;
            }
        }
        sink_(row);
        return true;
    }

    QXmlStreamReader xml_;
    const LogRowSink& sink_;
    std::array<std::optional<QString>, LogFieldCount> declaredName_;
    std::array<std::string, LogFieldCount> text_; // reused for every row
};

} // namespace

bool ReadXmlLog(QIODevice& device, const LogRowSink& sink, const std::function<void()>& restart)
{
    const qint64 start = device.pos();
    bool declaredEncoding = false;
    qint64 readSoFar = 0;
    {
        XmlSizeGuard guarded(device);
        PacketReader asDeclared(guarded, sink);
        if (asDeclared.read())
            return true;
        if (guarded.refused())
            return false;
        declaredEncoding = asDeclared.declaredEncoding();
        readSoFar = device.pos() - start;
    }
    // The table engine's 8-bit packets declare no encoding, which means UTF-8 to a reader:
    // when the bytes the reader stopped in are no UTF-8, read them again as the Latin-1
    // they are. Only those bytes are looked at: a packet broken early is not read to its end.
    if (!restart || device.isSequential() || declaredEncoding || !device.seek(start) ||
        !HoldsInvalidUtf8(device, readSoFar) || !device.seek(start))
        return false;
    restart();
    XmlSizeGuard guarded(device);
    Latin1AsUtf8Device latin1(guarded);
    return PacketReader(latin1, sink).read();
}

} // namespace varnex
