#include "app/recorder/RecordOptions.h"
#include "app/recorder/RowLinePrinter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace varnex {
namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string> args;
    bool ok;
    std::int32_t limit;
};

class RecordOptionsCases : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(RecordOptionsCases, ParseOrRefuse)
{
    const OptionsCase& c = GetParam();
    RecordOptions options;
    std::FILE* sink = std::tmpfile();
    EXPECT_EQ(ParseRecordOptions(c.args, options, sink), c.ok);
    std::fclose(sink);
    if (c.ok) {
        EXPECT_EQ(options.limit, c.limit);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Record, RecordOptionsCases,
    ::testing::Values(
        OptionsCase{"PortAloneTakesTheDefaultLimit", {"--port", "/dev/ttyUSB0"}, true, 10000},
        OptionsCase{"UsbAlone", {"--usb"}, true, 10000},
        OptionsCase{"LimitZeroIsLimitless", {"--usb", "--limit", "0"}, true, 10000000},
        OptionsCase{"LimitlessByName", {"--usb", "--limit", "limitless"}, true, 10000000},
        OptionsCase{"LimitBetweenMenuItems", {"--usb", "--limit", "1234"}, true, 1234},
        OptionsCase{"LimitAboveLimitless", {"--usb", "--limit", "10000001"}, false, 0},
        OptionsCase{"NegativeLimit", {"--usb", "--limit", "-5"}, false, 0},
        OptionsCase{"NeitherPortNorUsb", {"--limit", "5"}, false, 0},
        OptionsCase{"BothPortAndUsb", {"--usb", "--port", "/dev/ttyS0"}, false, 0},
        OptionsCase{"IntervalMustBeWholeSeconds", {"--usb", "--interval", "1.5"}, false, 0},
        OptionsCase{"MissingValue", {"--usb", "-o"}, false, 0},
        OptionsCase{"UnknownOption", {"--usb", "--fast"}, false, 0},
        OptionsCase{"EverythingAtOnce",
                    {"--port", "/dev/x", "--limit", "50", "--interval", "2", "--no-repeat", "--separator", ",",
                     "--mqtt", "mqtt://h/p", "--data-dir", "/tmp/d", "-o", "out.xls"},
                    true, 50}),
    [](const ::testing::TestParamInfo<OptionsCase>& info) { return std::string(info.param.name); });

TEST(RecordOptions, EveryValueLandsInItsField)
{
    RecordOptions o;
    ASSERT_TRUE(ParseRecordOptions({"--port", "/dev/x", "--interval", "2", "--no-repeat", "--separator", ",",
                                    "--mqtt", "mqtt://h/p", "--data-dir", "/tmp/d", "-o", "out.xls"},
                                   o, stderr));
    EXPECT_EQ(o.port, "/dev/x");
    EXPECT_FALSE(o.usb);
    EXPECT_EQ(o.interval, "2");
    EXPECT_FALSE(o.repeat);
    EXPECT_EQ(o.separator, ",");
    EXPECT_EQ(o.mqttUrl, "mqtt://h/p");
    EXPECT_EQ(o.dataDir, "/tmp/d");
    EXPECT_EQ(o.out, "out.xls");
}

TEST(RowLinePrinter, OneTabSeparatedLineWithIsoTimeAndPlainUnits)
{
    LoggedRow row;
    row.row.No = 12;
    row.row.Time = "19:24:34";
    row.row.Function = "FRQ";
    row.row.Value = "1.2345";
    row.row.Unit = "KHz";
    row.row.Value2 = "50\t0";
    row.row.Unit2 = "KHz";
    row.utcMs = 1796844274123; // 2026-12-09T19:24:34.123Z
    row.si = ToSiQuantity(row.row.Value, row.row.Unit, ".");
    EXPECT_EQ(RowLinePrinter::LineOf(row), "12\t2026-12-09T19:24:34.123Z\t19:24:34\tFRQ\t1.2345\tkHz\t50 0\tkHz");
}

} // namespace
} // namespace varnex
