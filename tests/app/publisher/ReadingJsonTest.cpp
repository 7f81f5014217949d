// The JSON object of one reading: its fields, their order and their forms.
#include "app/publisher/ReadingJson.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace varnex {
namespace {

LoggedRow RowOf(std::int32_t no, std::int64_t utcMs, const char* function, const char* value, const char* unit,
                const char* value2 = "", const char* unit2 = "")
{
    LoggedRow row;
    row.row.No = no;
    row.row.Function = function;
    row.row.Value = value;
    row.row.Unit = unit;
    row.row.Value2 = value2;
    row.row.Unit2 = unit2;
    row.utcMs = utcMs;
    row.si = ToSiQuantity(value, unit, ".");
    return row;
}

// 2026-12-09T19:24:34.123Z
constexpr std::int64_t kSampleMs = 1796844274123;

TEST(publisher_ReadingJson, ReadingHasEveryFieldInItsForm)
{
    EXPECT_EQ(ReadingJson(RowOf(12, kSampleMs, "DCV", "1.23456", "V")),
              R"({"no":12,"time":"2026-12-09T19:24:34.123Z","function":"DCV","value":"1.23456","unit":"V",)"
              R"("value2":"","unit2":"","si_value":1.23456,"si_unit":"V","overload":false})");
}

struct UnitCase {
    const char* name;
    const char* value;
    const char* lcdUnit;
    const char* value2;
    const char* lcdUnit2;
    const char* plainUnit;
    const char* plainUnit2;
    double siValue;
    const char* siUnit;
};

void PrintTo(const UnitCase& c, std::ostream* os) { *os << c.name; }

class ReadingJsonUnits : public ::testing::TestWithParam<UnitCase> {};

// Parsed back as JSON, so the test sees what a subscriber sees.
TEST_P(ReadingJsonUnits, UnitsArePlainAndTheValueIsInSiUnits)
{
    const UnitCase& c = GetParam();
    const std::string json = ReadingJson(RowOf(3, kSampleMs, "F", c.value, c.lcdUnit, c.value2, c.lcdUnit2));
    QJsonParseError error{};
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json;
    EXPECT_EQ(o.value("unit").toString().toStdString(), c.plainUnit);
    EXPECT_EQ(o.value("unit2").toString().toStdString(), c.plainUnit2);
    EXPECT_EQ(o.value("value2").toString().toStdString(), c.value2);
    EXPECT_EQ(o.value("si_unit").toString().toStdString(), c.siUnit);
    ASSERT_TRUE(o.value("si_value").isDouble()) << json;
    EXPECT_DOUBLE_EQ(o.value("si_value").toDouble(), c.siValue);
    EXPECT_FALSE(o.value("overload").toBool());
}

INSTANTIATE_TEST_SUITE_P(
    publisher, ReadingJsonUnits,
    ::testing::Values(UnitCase{"KiloOhm", "1.5000", "K*", "", "", "k\u03A9", "", 1500.0, "\u03A9"},
                      UnitCase{"MicroFarad", "10.00", "uF", "", "", "\u00B5F", "", 10e-6, "F"},
                      UnitCase{"MilliVolt", "-12.345", "mV", "", "", "mV", "", -0.012345, "V"},
                      UnitCase{"SecondDisplayKiloHertz", "1.0000", "V", "50.00", "KHz", "V", "kHz", 1.0, "V"}),
    [](const ::testing::TestParamInfo<UnitCase>& info) { return std::string(info.param.name); });

TEST(publisher_ReadingJson, OverloadHasNullValue)
{
    LoggedRow row = RowOf(5, kSampleMs, "DCV", "OL", "V");
    row.si.overload = true;
    row.si.value.reset();
    const std::string json = ReadingJson(row);
    EXPECT_NE(json.find(R"("si_value":null)"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("overload":true)"), std::string::npos) << json;
}

TEST(publisher_ReadingJson, OverloadWinsOverAValue)
{
    LoggedRow row = RowOf(5, kSampleMs, "DCV", "1.0", "V");
    row.si.overload = true; // a value must not be published beside an overload
    EXPECT_NE(ReadingJson(row).find(R"("si_value":null)"), std::string::npos);
}

TEST(publisher_ReadingJson, TextsAreEscapedAndLatin1BecomesUtf8)
{
    LoggedRow row = RowOf(1, kSampleMs, "A\"B\\C\n\x01", "1\xB5", "V");
    const std::string json = ReadingJson(row);
    EXPECT_NE(json.find(R"("function":"A\"B\\C\n\u0001")"), std::string::npos) << json;
    EXPECT_NE(json.find("\"value\":\"1\xC2\xB5\""), std::string::npos) << json;
    QJsonParseError error{};
    QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json;
}

TEST(publisher_ReadingJson, UnknownTimeIsNull)
{
    EXPECT_NE(ReadingJson(RowOf(1, 0, "DCV", "1", "V")).find(R"("time":null)"), std::string::npos);
}

struct TimeCase {
    const char* name;
    std::int64_t ms;
    const char* text;
};

void PrintTo(const TimeCase& c, std::ostream* os) { *os << c.ms; }

class Iso8601Times : public ::testing::TestWithParam<TimeCase> {};

TEST_P(Iso8601Times, MillisecondsInUtc)
{
    EXPECT_EQ(Iso8601UtcMs(GetParam().ms), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(publisher, Iso8601Times,
                         ::testing::Values(TimeCase{"Sample", kSampleMs, "2026-12-09T19:24:34.123Z"},
                                           TimeCase{"Epoch", 1, "1970-01-01T00:00:00.001Z"},
                                           TimeCase{"WholeSecond", 1796844274000, "2026-12-09T19:24:34.000Z"},
                                           TimeCase{"LeapDay", 951782400999, "2000-02-29T00:00:00.999Z"},
                                           TimeCase{"BeforeEpoch", -1, "1969-12-31T23:59:59.999Z"}),
                         [](const ::testing::TestParamInfo<TimeCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnex
