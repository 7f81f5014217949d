// Frames fed through the window's serial receive handler, checked on the virtual LCD,
// the terminal marks, the current reading and the log.
#include "WindowTestSupport.h"

#include "chart/TChartControl.h"

#include <algorithm>
#include <vector>

namespace varnex::testing {
namespace {

class app_WindowLcd : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        window().setDecimalSeparator(QStringLiteral("."));
    }

    QString mainDigits()
    {
        QString all;
        for (const char* d : {"LcdD0", "LcdDa", "LcdDb", "LcdDc", "LcdDd", "LcdDe"})
            all += lcdText(d) + QLatin1Char('|');
        return all;
    }

    void expectTerminals(const std::vector<const char*>& red)
    {
        for (const char* t : {"ma", "v", "caphz", "comm", "a"}) {
            const bool shouldBeRed = std::find_if(red.begin(), red.end(), [t](const char* r) {
                                         return std::string(r) == t;
                                     }) != red.end();
            EXPECT_EQ(terminalRed(t), shouldBeRed) << "terminal " << t;
        }
    }
};

TEST_F(app_WindowLcd, DcVoltReadingReachesLcdReadingAndLog)
{
    feed(DcVolts("123456", 0));

    EXPECT_EQ(mainDigits(), QStringLiteral("1|2|3|4|5|6|"));
    EXPECT_TRUE(lcdShown("LcdP0"));
    for (const char* p : {"LcdP1", "LcdP2", "LcdP3", "LcdP4"})
        EXPECT_FALSE(lcdShown(p)) << p;
    EXPECT_TRUE(lcdShown("LcdV"));
    EXPECT_FALSE(lcdShown("Lcdm"));
    EXPECT_TRUE(lcdShown("LcdDc1"));
    EXPECT_EQ(lcdText("LcdDc1"), QStringLiteral("DCV "));
    EXPECT_TRUE(lcdShown("lcdrange"));
    EXPECT_EQ(lcdText("lcdrange"), QStringLiteral("2 V"));
    EXPECT_FALSE(lcdShown("LcdFH"));
    EXPECT_TRUE(lcdShown("LCDsend"));
    EXPECT_TRUE(lcdShown("CONok"));
    EXPECT_FALSE(lcdShown("CONokN"));
    expectTerminals({"v", "comm"});

    const Reading& r = window().CurrentReading();
    EXPECT_EQ(r.FunctionText, "DCV");
    EXPECT_EQ(r.ValueText, "1.23456");
    EXPECT_EQ(r.UnitText, "V");
    EXPECT_EQ(r.Count, 123456.0);
    EXPECT_NEAR(r.ChartValue, 1.23456, 1e-9);
    EXPECT_EQ(window().ChartPager().LeftMaximum(), 2.0);
    EXPECT_EQ(window().ChartPager().LeftMinimum(), -2.0);

    ASSERT_EQ(gridRows(), 1);
    EXPECT_EQ(gridCell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(gridCell(0, 2), QStringLiteral("DCV"));
    EXPECT_EQ(gridCell(0, 3), QStringLiteral("1.23456"));
    EXPECT_EQ(window().cds1().row(0).Unit, "V");
    EXPECT_EQ(window().DecodedFrames(), 1u);
}

TEST_F(app_WindowLcd, NegativeReadingShowsTheMinusSign)
{
    DisplayState s = DcVolts("123456", 0);
    s.negative = true;
    feed(s);
    EXPECT_TRUE(lcdShown("LcdFH"));
    EXPECT_EQ(window().CurrentReading().ValueText, "-1.23456");
    feed(DcVolts("123456", 0));
    EXPECT_FALSE(lcdShown("LcdFH"));
}

TEST_F(app_WindowLcd, AnnunciatorsFollowPositions18To20EveryFrame)
{
    // Each row hides what the row before showed, so hiding is seen, not assumed.
    struct Row {
        std::uint8_t s18, s19, s20;
        std::vector<const char*> shown, hidden;
    };
    const Row rows[] = {
        {0x4, 0x3, 0xF,
         {"Labmax", "LcdAuto", "LCDREL", "LABRCL", "LABSTO", "LABCAL", "LABSETUP"},
         {"LCDHOLD", "Labmin", "LABAVG", "LABALL", "LcdManu"}},
        {0xC, 0x0, 0x0,
         {"LCDHOLD", "LcdManu"},
         {"Labmax", "Labmin", "LABAVG", "LABALL", "LcdAuto", "LCDREL", "LABRCL", "LABSTO", "LABCAL", "LABSETUP"}},
        {0x7, 0x2, 0x4, {"LABALL", "LcdAuto", "LABSTO"}, {"LCDHOLD", "LcdManu", "LCDREL", "LABRCL", "LABCAL", "LABSETUP"}},
        {0x2, 0x2, 0x8, {"Labmin", "LABRCL"}, {"LABALL", "LABSTO"}},
        {0x1, 0x2, 0x3, {"LABAVG", "LABCAL", "LABSETUP"}, {"Labmin", "LABRCL"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << std::hex << "18=" << int(row.s18) << " 19=" << int(row.s19)
                                          << " 20=" << int(row.s20));
        DisplayState s = DcVolts();
        s.status18 = row.s18;
        s.status19 = row.s19;
        s.status20 = row.s20;
        feed(s);
        for (const char* e : row.shown)
            EXPECT_TRUE(lcdShown(e)) << e;
        for (const char* e : row.hidden)
            EXPECT_FALSE(lcdShown(e)) << e;
    }
}

TEST_F(app_WindowLcd, FrameWithoutTableRowKeepsTheRangeCaption)
{
    feed(DcVolts());
    ASSERT_EQ(lcdText("lcdrange"), QStringLiteral("2 V"));

    DisplayState s = DcVolts();
    s.function = '3';
    s.range = '5'; // DCI has no range 5
    feed(s);
    EXPECT_EQ(lcdText("LcdDc1"), QStringLiteral("DCI"));
    EXPECT_TRUE(lcdShown("LCDA"));
    EXPECT_FALSE(lcdShown("LcdV"));
    EXPECT_TRUE(lcdShown("lcdrange"));
    EXPECT_EQ(lcdText("lcdrange"), QStringLiteral("2 V"));
    EXPECT_EQ(window().CurrentReading().FunctionText, "");
    EXPECT_EQ(window().CurrentReading().UnitText, "");
    EXPECT_EQ(window().ChartPager().LeftMaximum(), 2.0) << "the axis is not touched";
    expectTerminals({});
    // Still a reading: it is logged, with empty function and unit.
    ASSERT_EQ(gridRows(), 2);
    EXPECT_EQ(window().cds1().row(1).Function, "");
    EXPECT_EQ(window().cds1().row(1).Unit, "");
}

TEST_F(app_WindowLcd, LastPointIsHiddenByTheNextFramesPointRule)
{
    feed(DcVolts("123456", 4));
    EXPECT_TRUE(lcdShown("LcdP4"));
    EXPECT_EQ(window().CurrentReading().ValueText, "12345.6");
    feed(DcVolts("123456", 0));
    EXPECT_FALSE(lcdShown("LcdP4"));
    EXPECT_TRUE(lcdShown("LcdP0"));
}

TEST_F(app_WindowLcd, OverloadShowsOlAndLogsFullScale)
{
    DisplayState s = DcVolts("000000", -1);
    s.overload = true;
    feed(s);
    EXPECT_EQ(mainDigits(), QStringLiteral("0|v|@|d|--|--|"));
    EXPECT_TRUE(findLcd()->showsOverload());
    EXPECT_EQ(window().CurrentReading().Count, 22000.0);
    EXPECT_EQ(window().CurrentReading().ValueText, "0vLd----");
    ASSERT_EQ(gridRows(), 1);
    EXPECT_EQ(window().cds1().row(0).Value, "0vLd----");

    feed(DcVolts("123456", 0));
    EXPECT_FALSE(findLcd()->showsOverload());
}

TEST_F(app_WindowLcd, FunctionSetsCaptionUnitSignsAndTerminals)
{
    struct Case {
        char function, range;
        const char* caption;
        std::vector<const char*> signs; // unit sign and prefix shown
        const char* range_caption;
        const char* unitText;
        const char* functionText;
        std::vector<const char*> red;
    };
    const Case cases[] = {
        {'6', '1', "OHM", {"LCDohm", "lcdkk"}, "2 K *", "K*", "ohm", {"v", "comm", "ma", "caphz"}},
        {'6', '4', "OHM", {"LCDohm", "LCDMM"}, "2 M *", "M*", "ohm", {"v", "comm", "ma", "caphz"}},
        {'4', '1', "ACI", {"LCDA", "Lcdm"}, "2 0 0 m A", "mA", "ACI", {"a", "comm"}},
        {'0', '0', "DCV ", {"LcdV", "Lcdm"}, "2 0 0 m V", "mV", "DCV", {"v", "comm"}},
        {'8', '0', "FRQ", {"lcdhz", "lcdkk"}, "6 K Hz", "KHz", "FRQ", {"v", "comm"}},
    };
    const char* allSigns[] = {"LcdV", "LCDA", "LCDohm", "LCDF", "lcdhz", "Lcdm", "lcdkk", "LCDMM", "LCDn", "lcduu"};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.function) + "/" + c.range);
        DisplayState s = DcVolts();
        s.function = c.function;
        s.range = c.range;
        feed(s);
        EXPECT_EQ(lcdText("LcdDc1"), QString::fromLatin1(c.caption));
        for (const char* sign : allSigns) {
            const bool expected = std::find_if(c.signs.begin(), c.signs.end(), [sign](const char* x) {
                                      return std::string(x) == sign;
                                  }) != c.signs.end();
            EXPECT_EQ(lcdShown(sign), expected) << sign;
        }
        EXPECT_EQ(lcdText("lcdrange"), QString::fromLatin1(c.range_caption));
        EXPECT_EQ(window().CurrentReading().UnitText, c.unitText);
        EXPECT_EQ(window().CurrentReading().FunctionText, c.functionText);
        EXPECT_EQ(window().cds1().row(window().cds1().size() - 1).Unit, c.unitText);
        expectTerminals(c.red);
    }
}

TEST_F(app_WindowLcd, FrameWithNonDigitCodeIsDroppedQuietly)
{
    feed(DcVolts("123456", 0));
    ASSERT_EQ(gridRows(), 1);
    const QString digitsBefore = mainDigits();

    struct Case {
        char function, range;
    };
    std::uint64_t dropped = window().DroppedFrames();
    for (const Case& c : {Case{'B', '1'}, Case{'0', 'A'}, Case{'6', 'F'}}) {
        SCOPED_TRACE(std::string(1, c.function) + "/" + c.range);
        DisplayState s = DcVolts("654321", 2);
        s.function = c.function;
        s.range = c.range;
        feed(s);
        EXPECT_EQ(window().DroppedFrames(), ++dropped);
        EXPECT_EQ(window().DecodedFrames(), 1u);
        EXPECT_EQ(gridRows(), 1) << "nothing is logged for the frame";
        EXPECT_EQ(window().Log().NextRecordNo(), 2);
        EXPECT_EQ(mainDigits(), digitsBefore) << "the digit labels keep the previous frame's texts";
    }
    EXPECT_TRUE(dialogs_.records.empty()) << "no box for a bad frame";

    // The next good frame decodes as usual.
    feed(DcVolts("200000", 0));
    EXPECT_EQ(gridRows(), 2);
    EXPECT_EQ(window().CurrentReading().ValueText, "2.00000");
}

} // namespace
} // namespace varnex::testing
