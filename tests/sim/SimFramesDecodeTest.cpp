// What the simulated meter sends must read back, through the program's own decoder, as the
// reading it meant: function, unit, value and second display.
#include "protocol/Decoder.h"
#include "sim/MeterModel.h"

#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace varnex::sim {
namespace {

using testing::Seconds;

DecodeResult DecodeShown(const DisplayState& shown)
{
    return DecodeFrame(EncodeFrameText(shown), Reading{}, ".");
}

struct DecodeCase {
    const char* name;
    std::vector<MeterKey> keys;
    const char* functionText;
    const char* unitText;
    std::optional<double> chartValue;  // in the unit of unitText
    double tolerance;
    const char* valuePrefix;           // how ValueText starts
    const char* unit2Text;
};

void PrintTo(const DecodeCase& c, std::ostream* out)
{
    *out << c.name;
}

class SimFramesDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(SimFramesDecode, ReadBackAsTheIntendedReading)
{
    const DecodeCase& c = GetParam();
    MeterModel model(13);
    for (MeterKey key : c.keys)
        model.Press(key);
    for (double t : {1.0, 20.0, 33.3}) {
        const DecodeResult result = DecodeShown(model.Sample(Seconds(t)));
        ASSERT_TRUE(result.decoded) << c.name << " at " << t << " s";
        EXPECT_EQ(result.reading.FunctionText, c.functionText) << c.name;
        EXPECT_EQ(result.reading.UnitText, c.unitText) << c.name;
        if (c.chartValue) {
            EXPECT_NEAR(result.reading.ChartValue, *c.chartValue, c.tolerance) << c.name << " at " << t << " s";
        }
        EXPECT_EQ(result.reading.ValueText.rfind(c.valuePrefix, 0), 0u)
            << c.name << ": ValueText " << result.reading.ValueText;
        EXPECT_EQ(result.reading.Unit2Text, c.unit2Text) << c.name;
        EXPECT_FALSE(result.secondOverloadApplied) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachFunction, SimFramesDecode,
    ::testing::Values(
        DecodeCase{"DCV", {}, "DCV", "V", 1.2346, 0.002, "1.23", ""},
        DecodeCase{"ACV", {MeterKey::Acv}, "ACV", "V", 230.0, 1.5, "02", "KHz"},
        DecodeCase{"ACV_DCV", {MeterKey::Acv, MeterKey::AcDc}, "ACV DCV", "V", 230.0, 1.5, "02", "KHz"},
        DecodeCase{"DCI", {MeterKey::Dci}, "DCI", "mA", 12.345, 0.02, "012.3", ""},
        DecodeCase{"ACI", {MeterKey::Aci}, "ACI", "mA", 150.5, 0.5, "150.", "KHz"},
        DecodeCase{"ACI_DCI", {MeterKey::Aci, MeterKey::AcDc}, "ACI DCI", "mA", 151.0, 0.5, "15", "KHz"},
        DecodeCase{"OHM", {MeterKey::Ohm}, "ohm", "K*", 4.7, 0.005, "04.", ""},
        DecodeCase{"CAP", {MeterKey::Cap}, "CAP", "nF", 47.0, 0.1, "004", ""},
        DecodeCase{"FRQ", {MeterKey::Hz}, "FRQ", "KHz", 1.0, 0.002, "00", "KHz"},
        DecodeCase{"CTN", {MeterKey::Continuity}, "CTN", "*", 0.0, 1.0, "0000", ""},
        // the diode reading shows five digits, 0.6 V as 000.61
        DecodeCase{"DIO", {MeterKey::Diode}, "DIO", "V", std::nullopt, 0, "000.6", ""}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(SimFramesDecode, TheFrequencyShowsOnTheSecondDisplayInKilohertz)
{
    MeterModel model(13);
    model.Press(MeterKey::Hz);
    const DecodeResult frq = DecodeShown(model.Sample(Seconds(3)));
    EXPECT_NEAR(std::stod(frq.reading.Value2Text), 1.0, 0.002) << frq.reading.Value2Text;
    EXPECT_EQ(frq.reading.Value2Text.size(), 5u) << "S0 . S1 S2 S3";

    model.Press(MeterKey::Acv);
    const DecodeResult acv = DecodeShown(model.Sample(Seconds(4)));
    EXPECT_EQ(acv.reading.Value2Text, "0.050") << "mains at 50 Hz";
}

TEST(SimFramesDecode, NegativeDcReadingsCarryTheSign)
{
    MeterModel model(13);
    model.ConnectInput([](MeterFunction, SimTime) { return SignalSample{-1.5, 0}; });
    const DecodeResult result = DecodeShown(model.Sample(SimTime{0}));
    EXPECT_EQ(result.reading.ValueText, "-1.50000");
    EXPECT_DOUBLE_EQ(result.reading.ChartValue, -1.5);
}

TEST(SimFramesDecode, OverloadReadsAsFullScaleCount)
{
    MeterModel model(13);
    model.Sample(Seconds(1));
    model.Press(MeterKey::Down);  // 1.23 V on the 200 mV range
    const DecodeResult result = DecodeShown(model.Sample(Seconds(2)));
    ASSERT_TRUE(result.decoded);
    EXPECT_EQ(result.reading.Count, FullScaleCount);
    EXPECT_EQ(result.reading.UnitText, "mV");
}

TEST(SimFramesDecode, OpenLeadsOnResistanceChartAt220)
{
    MeterModel model(13);
    model.Press(MeterKey::Ohm);
    const DecodeResult result = DecodeShown(model.Sample(Seconds(46)));
    ASSERT_TRUE(result.decoded);
    EXPECT_DOUBLE_EQ(result.reading.ChartValue, 220.0);
    EXPECT_EQ(result.reading.UnitText, "M*") << "AUTO went to the top range";
}

TEST(SimFramesDecode, AnnunciatorsLightOnTheVirtualLcd)
{
    MeterModel model(13);
    model.Sample(Seconds(1));
    for (MeterKey key : {MeterKey::Hold, MeterKey::Rel, MeterKey::Store, MeterKey::Setup, MeterKey::Up})
        model.Press(key);
    const DecodeResult result = DecodeShown(model.Sample(Seconds(2)));
    const LcdState& lcd = result.lcd;
    EXPECT_EQ(lcd.VisibilityOf(LcdElement::LCDHOLD), Visibility::Show);
    EXPECT_EQ(lcd.VisibilityOf(LcdElement::LCDREL), Visibility::Show);
    EXPECT_EQ(lcd.VisibilityOf(LcdElement::LABSTO), Visibility::Show);
    EXPECT_EQ(lcd.VisibilityOf(LcdElement::LABSETUP), Visibility::Show);
    EXPECT_EQ(lcd.VisibilityOf(LcdElement::LcdManu), Visibility::Show);
    EXPECT_EQ(lcd.VisibilityOf(LcdElement::LcdAuto), Visibility::Hide);
    EXPECT_EQ(lcd.VisibilityOf(LcdElement::LABRCL), Visibility::Hide);

    model.Press(MeterKey::Hold);
    model.Press(MeterKey::MaxMin);
    const DecodeResult recording = DecodeShown(model.Sample(Seconds(3)));
    EXPECT_EQ(recording.lcd.VisibilityOf(LcdElement::Labmax), Visibility::Show);
    EXPECT_EQ(recording.lcd.VisibilityOf(LcdElement::LCDHOLD), Visibility::Hide);
}

} // namespace
} // namespace varnex::sim
