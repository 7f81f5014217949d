// Every function and range the meter has: encode the display, cut it from the wire with both
// assemblers, decode it, and compare with the meter's table.
#include "protocol/FrameAssembler.h"
#include "protocol/FrameEncoder.h"
#include "protocol/FunctionTable.h"
#include "protocol/ReadingDecoder.h"

#include <gtest/gtest.h>

#include <set>

namespace varnex {
namespace {

struct TableRow {
    char function;
    char range;
    const char* functionCaption;
    const char* rangeCaption;
    const char* functionText;
    const char* unitText;
    double fullScale;
    double chartValue;      // for the display 12.3456 (Count 123456), diode 123.45, continuity 12345
    const char* valueText;
};

// The meter's table, written out again from the meter's documentation.
const TableRow kTable[] = {
    {'0', '0', "DCV ", "2 0 0 m V", "DCV", "mV", 200, 123.456, "12.3456"},
    {'0', '1', "DCV ", "2 V", "DCV", "V", 2, 1.23456, "12.3456"},
    {'0', '2', "DCV ", "2 0 V", "DCV", "V", 20, 12.3456, "12.3456"},
    {'0', '3', "DCV ", "2 0 0 V", "DCV", "V", 200, 123.456, "12.3456"},
    {'0', '4', "DCV ", "1 0 0 0 V", "DCV", "V", 1000, 1234.56, "12.3456"},
    {'1', '0', "ACV", "2 0 0 m V", "ACV", "mV", 200, 123.456, "12.3456"},
    {'1', '1', "ACV", "2 V", "ACV", "V", 2, 1.23456, "12.3456"},
    {'1', '2', "ACV", "2 0 V", "ACV", "V", 20, 12.3456, "12.3456"},
    {'1', '3', "ACV", "2 0 0 V", "ACV", "V", 200, 123.456, "12.3456"},
    {'1', '4', "ACV", "7 5 0 V", "ACV", "V", 750, 1234.56, "12.3456"},
    {'2', '0', "ACV DCV", "2 0 0 m V", "ACV DCV", "mV", 200, 123.456, "12.3456"},
    {'2', '1', "ACV DCV", "2 V", "ACV DCV", "V", 2, 1.23456, "12.3456"},
    {'2', '2', "ACV DCV", "2 0 V", "ACV DCV", "V", 20, 12.3456, "12.3456"},
    {'2', '3', "ACV DCV", "2 0 0 V", "ACV DCV", "V", 200, 123.456, "12.3456"},
    {'2', '4', "ACV DCV", "7 5 0 V", "ACV DCV", "V", 750, 1234.56, "12.3456"},
    {'3', '0', "DCI", "2  m A", "DCI", "mA", 2, 1.23456, "12.3456"},
    {'3', '1', "DCI", "2 0 0 m A", "DCI", "mA", 200, 123.456, "12.3456"},
    {'3', '2', "DCI", "1 0 A", "DCI", "A", 10, 12.3456, "12.3456"},
    {'4', '0', "ACI", "2  m A", "ACI", "mA", 2, 1.23456, "12.3456"},
    {'4', '1', "ACI", "2 0 0 m A", "ACI", "mA", 200, 123.456, "12.3456"},
    {'4', '2', "ACI", "1 0 A", "ACI", "A", 10, 12.3456, "12.3456"},
    {'5', '0', "ACI+DCI", "2  m A", "ACI DCI", "mA", 2, 1.23456, "12.3456"},
    {'5', '1', "ACI+DCI", "2 0 0 m A", "ACI DCI", "mA", 200, 123.456, "12.3456"},
    {'5', '2', "ACI+DCI", "1 0 A", "ACI DCI", "A", 10, 12.3456, "12.3456"},
    {'6', '0', "OHM", "2 0 0 *", "ohm", "*", 200, 123.456, "12.3456"},
    {'6', '1', "OHM", "2 K *", "ohm", "K*", 2, 1.23456, "12.3456"},
    {'6', '2', "OHM", "2 0 K *", "ohm", "K*", 20, 12.3456, "12.3456"},
    {'6', '3', "OHM", "2 0 0 K *", "ohm", "K*", 200, 123.456, "12.3456"},
    {'6', '4', "OHM", "2 M *", "ohm", "M*", 2, 1.23456, "12.3456"},
    {'6', '5', "OHM", "2 0 M *", "ohm", "M*", 20, 12.3456, "12.3456"},
    {'7', '0', "CAP", "6 n F", "CAP", "nF", 6, 123.456, "12.3456"},
    {'7', '1', "CAP", "6 0 n F", "CAP", "nF", 60, 1234.56, "12.3456"},
    {'7', '2', "CAP", "600 n F", "CAP", "nF", 600, 12345.6, "12.3456"},
    {'7', '3', "CAP", "6 u F", "CAP", "uF", 6, 123.456, "12.3456"},
    {'7', '4', "CAP", "6 0 u F", "CAP", "uF", 60, 1234.56, "12.3456"},
    {'7', '5', "CAP", "6 0 0 u F", "CAP", "uF", 600, 12345.6, "12.3456"},
    {'7', '6', "CAP", "6 . 0 m F", "CAP", "mF", 6, 123.456, "12.3456"},
    {'8', '0', "FRQ", "6 K Hz", "FRQ", "KHz", 6, 123.456, "12.3456"},
    {'8', '1', "FRQ", "6 0 K Hz", "FRQ", "KHz", 60, 1234.56, "12.3456"},
    {'8', '2', "FRQ", "6 0 0 K Hz", "FRQ", "KHz", 600, 12345.6, "12.3456"},
    {'8', '3', "FRQ", "6 M Hz", "FRQ", "MHz", 6, 123.456, "12.3456"},
    {'8', '4', "FRQ", "6 0 M Hz", "FRQ", "MHz", 60, 1234.56, "12.3456"},
    {'9', '0', "CTN", "6 0 0 *", "CTN", "*", 600, 12345, "12345"},
    {'A', '0', "DIO", "6  V", "DIO", "V", 6, 1234.5, "123.45"},
};

DisplayState StateFor(const TableRow& row)
{
    DisplayState state;
    state.function = row.function;
    state.range = row.range;
    state.mainDigits = "123456";
    state.mainPoint = row.function == '9' ? 4 : row.function == 'A' ? 2 : 1;
    state.secondDigits = "5678";
    state.secondPoint = 2;
    return state;
}

class RoundTrip : public ::testing::TestWithParam<TableRow> {};

TEST_P(RoundTrip, SerialAndUsbDecodeTheTableRow)
{
    const TableRow& row = GetParam();
    const WireFrame wire = EncodeFrame(StateFor(row));
    EXPECT_EQ(wire[19], 0x0D);
    EXPECT_EQ(wire[20], 0x0A);
    for (std::size_t i = 0; i < 19; ++i)
        EXPECT_EQ(wire[i] & 0xF0, 0x30) << i;

    for (bool usb : {false, true}) {
        SCOPED_TRACE(usb ? "usb" : "serial");
        ReadingDecoder decoder;
        DecodeResult last;
        int frames = 0;
        FrameAssembler assembler([&](const std::string& text) {
            last = decoder.Decode(text);
            ++frames;
        });
        if (usb) {
            for (auto b : wire)
                assembler.AddUsbByte(b);
        } else {
            const std::uint8_t lf = 0x0A;
            assembler.VarnexData(&lf, 1);
            assembler.VarnexData(wire.data(), wire.size());
        }
        ASSERT_EQ(frames, 1);
        EXPECT_EQ(assembler.FrameText(), EncodeFrameText(StateFor(row)));
        ASSERT_TRUE(last.decoded);
        EXPECT_EQ(last.reading.FunctionText, row.functionText);
        EXPECT_EQ(last.reading.UnitText, row.unitText);
        EXPECT_EQ(last.reading.ValueText, row.valueText);
        EXPECT_EQ(last.reading.ChartValue, row.chartValue); // exact: the nearest double
        // the diode pass never writes Value2Text (only evaluation A does)
        EXPECT_EQ(last.reading.Value2Text, row.function == 'A' ? "" : "56.78");
        EXPECT_EQ(last.reading.Unit2Text, "KHz");
        EXPECT_EQ(last.lcd.TextOf(LcdElement::LcdDc1), std::optional<std::string>(row.functionCaption));
        EXPECT_EQ(last.lcd.TextOf(LcdElement::lcdrange), std::optional<std::string>(row.rangeCaption));
        ASSERT_TRUE(last.axis.has_value());
        EXPECT_EQ(last.axis->maximum, row.fullScale);
        EXPECT_EQ(last.axis->minimum, -row.fullScale);
    }
}

INSTANTIATE_TEST_SUITE_P(AllRanges, RoundTrip, ::testing::ValuesIn(kTable), [](const auto& info) {
    return std::string("f") + info.param.function + "r" + info.param.range;
});

TEST(RoundTripTable, CoversEveryRowOfTheLibraryTable)
{
    std::set<std::pair<char, char>> tested;
    for (const TableRow& row : kTable)
        tested.insert({row.function, row.range});
    std::size_t rows = 0;
    for (const RangeRow* r = RangeRowsBegin(); r != RangeRowsEnd(); ++r)
        for (const char* f = r->functions; *f != '\0'; ++f, ++rows) {
            const char range = r->code == '*' ? '0' : r->code;
            EXPECT_TRUE(tested.count({*f, range})) << *f << range;
        }
    EXPECT_EQ(rows, tested.size());
}

TEST(FrameEncoder, SignOverloadAndStatusNibbles)
{
    DisplayState state;
    state.negative = true;
    state.overload = true;
    state.mainPoint = -1;
    state.status18 = 0xC;
    state.status19 = 0x3;
    state.status20 = 0xF;
    EXPECT_EQ(EncodeFrameText(state), "A01DF00000E000000C3FD");
}

TEST(FrameEncoder, BlankSecondDisplayHasNoPointMarker)
{
    DisplayState state;
    state.mainDigits = "987654";
    state.mainPoint = 0;
    const std::string text = EncodeFrameText(state);
    EXPECT_EQ(text.substr(4, 7), "9E87654");
    EXPECT_EQ(text.substr(11, 5), "00000");
}

} // namespace
} // namespace varnex
