// The readings CSV: header, ISO 8601 UTC times with milliseconds, empty fields for what is
// unknown, and RFC 4180 quoting of commas, quotes and line breaks.
#include "app/journal/ReadingsCsvWriter.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <ostream>

namespace varnex {
namespace {

std::string Csv(const std::vector<CsvReading>& readings)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        ReadingsCsvWriter writer(buffer);
        for (const CsvReading& r : readings)
            writer.write(r);
        EXPECT_TRUE(writer.finish());
    }
    return buffer.data().toStdString();
}

TEST(journal_Csv, HeaderAndOneLinePerReadingEndingCrLf)
{
    CsvReading r;
    r.utcMs = 1'765'202'709'042; // 2025-12-08T14:05:09.042Z
    r.no = 12;
    r.function = "ACV DCV";
    r.value = "1.23456";
    r.unit = "mV";
    r.siValue = 0.00123456;
    r.siUnit = "V";
    r.value2 = "50.00";
    r.unit2 = "kHz";
    EXPECT_EQ(Csv({r}), "time_utc,no,function,value,unit,si_value,si_unit,value2,unit2\r\n"
                        "2025-12-08T14:05:09.042Z,12,ACV DCV,1.23456,mV,0.00123456,V,50.00,kHz\r\n");
}

TEST(journal_Csv, UnknownMomentAndOverloadLeaveTheirFieldsEmpty)
{
    CsvReading r;
    r.no = -3;
    r.function = "ohm";
    r.value = "0.L";
    r.unit = "M\u03A9";
    r.siUnit = "\u03A9";
    EXPECT_EQ(Csv({r}).substr(kReadingsCsvHeader.size() + 2), ",-3,ohm,0.L,M\u03A9,,\u03A9,,\r\n");
}

struct QuotingCase {
    const char* name;
    const char* value;
    const char* written;
};
// Stable test names in ctest: the case's name, not its bytes.
inline void PrintTo(const QuotingCase& c, std::ostream* os) { *os << c.name; }

class CsvQuoting : public ::testing::TestWithParam<QuotingCase> {};

TEST_P(CsvQuoting, FieldIsQuotedOnlyWhenItMustBe)
{
    CsvReading r;
    r.no = 1;
    r.value = GetParam().value;
    const std::string line = Csv({r}).substr(kReadingsCsvHeader.size() + 2);
    EXPECT_EQ(line, std::string(",1,,") + GetParam().written + ",,,,,\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CsvQuoting,
    ::testing::Values(QuotingCase{"Plain", "1.23456", "1.23456"},
                      QuotingCase{"DecimalComma", "1,23456", "\"1,23456\""},
                      QuotingCase{"Quote", "say \"hi\"", "\"say \"\"hi\"\"\""},
                      QuotingCase{"LineFeed", "a\nb", "\"a\nb\""},
                      QuotingCase{"CarriageReturn", "a\rb", "\"a\rb\""},
                      QuotingCase{"Blanks", " 0.L ", " 0.L "}),
    [](const ::testing::TestParamInfo<QuotingCase>& info) { return std::string(info.param.name); });

TEST(journal_Csv, IsoTimesAcrossDatesAndBeforeTheEpoch)
{
    EXPECT_EQ(IsoUtcText(0), "1970-01-01T00:00:00.000Z");
    EXPECT_EQ(IsoUtcText(951'782'400'999), "2000-02-29T00:00:00.999Z");
    EXPECT_EQ(IsoUtcText(-1), "1969-12-31T23:59:59.999Z");
    EXPECT_EQ(IsoUtcText(4'102'444'799'000), "2099-12-31T23:59:59.000Z");
}

TEST(journal_Csv, SiValuesReadBackExactly)
{
    for (double v : {0.00123456, 1e-9, 12345.0, -0.5, 2.2e7}) {
        const std::string text = ShortestNumberText(v);
        EXPECT_EQ(std::stod(text), v) << text;
    }
    EXPECT_EQ(ShortestNumberText(12345.0), "12345");
}

} // namespace
} // namespace varnex
