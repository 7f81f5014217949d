// The LCD part of a decoder pass: clearing, annunciators, function/range signs, points and the
// panel over a sequence of frames.
#include "protocol/Decoder.h"
#include "protocol/LcdPanelState.h"

#include "TestFrame.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace varnex {
namespace {

using test::TestFrame;
using E = LcdElement;

LcdState Pass(const TestFrame& fields)
{
    return DecodeFrame(fields.Text(), Reading{}, ".").lcd;
}

struct AnnunciatorCase {
    std::string name;
    char p18, p19, p20;
    std::set<E> shown; // among the annunciators, exactly these
};

class Annunciators : public ::testing::TestWithParam<AnnunciatorCase> {};

TEST_P(Annunciators, ExactlyTheseShown)
{
    const auto& p = GetParam();
    TestFrame fields;
    fields.p18 = p.p18;
    fields.p19 = p.p19;
    fields.p20 = p.p20;
    const LcdState lcd = Pass(fields);
    for (E e : {E::LCDHOLD, E::Labmax, E::Labmin, E::LABAVG, E::LABALL, E::LCDREL, E::LcdAuto,
                E::LcdManu, E::LABSETUP, E::LABCAL, E::LABSTO, E::LABRCL}) {
        const Visibility expected = p.shown.count(e) ? Visibility::Show : Visibility::Hide;
        EXPECT_EQ(lcd.VisibilityOf(e), expected) << LcdElementName(e);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Annunciators,
    ::testing::Values(
        AnnunciatorCase{"max", '4', '2', '0', {E::Labmax, E::LcdAuto}},
        AnnunciatorCase{"holdWithMax", 'C', '2', '0', {E::LCDHOLD, E::LcdAuto}},
        AnnunciatorCase{"min", '2', '2', '0', {E::Labmin, E::LcdAuto}},
        AnnunciatorCase{"avg", '1', '2', '0', {E::LABAVG, E::LcdAuto}},
        AnnunciatorCase{"all", '7', '2', '0', {E::LABALL, E::LcdAuto}},
        AnnunciatorCase{"holdAlone", '8', '2', '0', {E::LCDHOLD, E::LcdAuto}},
        AnnunciatorCase{"holdWithAll", 'F', '2', '0', {E::LCDHOLD, E::LcdAuto}},
        AnnunciatorCase{"autoRel", '0', '3', '0', {E::LcdAuto, E::LCDREL}},
        AnnunciatorCase{"manu", '0', '0', '0', {E::LcdManu}},
        AnnunciatorCase{"manuRel", '0', '1', '0', {E::LcdManu, E::LCDREL}},
        AnnunciatorCase{"allOfPosition20", '0', '2', 'F', {E::LcdAuto, E::LABRCL, E::LABSTO, E::LABCAL, E::LABSETUP}},
        AnnunciatorCase{"stoAndSetup", '0', '2', '5', {E::LcdAuto, E::LABSTO, E::LABSETUP}},
        AnnunciatorCase{"rclAndCal", '0', '2', 'A', {E::LcdAuto, E::LABRCL, E::LABCAL}}),
    [](const auto& info) { return info.param.name; });

TEST(LcdPass, EveryPassMarksTheLinkAndTheDataSign)
{
    const LcdState lcd = Pass(TestFrame{});
    EXPECT_EQ(lcd.VisibilityOf(E::CONok), Visibility::Show);
    EXPECT_EQ(lcd.VisibilityOf(E::CONokN), Visibility::Hide);
    EXPECT_EQ(lcd.VisibilityOf(E::LCDsend), Visibility::Show);
}

TEST(LcdPass, SignSegment)
{
    TestFrame fields;
    fields.sign = 'D';
    EXPECT_EQ(Pass(fields).VisibilityOf(E::LcdFH), Visibility::Show);
    fields.sign = 'C';
    EXPECT_EQ(Pass(fields).VisibilityOf(E::LcdFH), Visibility::Hide);
}

TEST(LcdPass, PointsFollowTheirMarkers)
{
    TestFrame fields;
    fields.main = "1234E56";
    fields.second = "12E34";
    const LcdState lcd = Pass(fields);
    const E main[5] = {E::LcdP0, E::LcdP1, E::LcdP2, E::LcdP3, E::LcdP4};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(lcd.VisibilityOf(main[k]), k == 3 ? Visibility::Show : Visibility::Hide) << k;
    EXPECT_EQ(lcd.VisibilityOf(E::LCDP21), Visibility::Hide);
    EXPECT_EQ(lcd.VisibilityOf(E::LCDP22), Visibility::Show);
    EXPECT_EQ(lcd.VisibilityOf(E::LCDP23), Visibility::Hide);
}

TEST(LcdPass, OverloadDigitTexts)
{
    TestFrame fields;
    fields.main = "F00000E";
    const LcdState lcd = Pass(fields);
    const std::vector<std::pair<E, std::string>> expected = {
        {E::LcdD0, "0"}, {E::LcdDa, "v"}, {E::LcdDb, "@"}, {E::LcdDc, "d"}, {E::LcdDd, "--"}, {E::LcdDe, "--"}};
    for (const auto& [label, text] : expected)
        EXPECT_EQ(lcd.TextOf(label), std::optional<std::string>(text)) << LcdElementName(label);
}

TEST(LcdPass, OhmFourMegRange)
{
    TestFrame fields;
    fields.function = '6';
    fields.range = '4';
    const DecodeResult r = DecodeFrame(fields.Text(), Reading{}, ".");
    EXPECT_EQ(r.lcd.VisibilityOf(E::LCDMM), Visibility::Show);
    EXPECT_EQ(r.lcd.VisibilityOf(E::lcdkk), Visibility::Hide);
    EXPECT_EQ(r.lcd.VisibilityOf(E::LCDohm), Visibility::Show);
    EXPECT_EQ(r.lcd.TextOf(E::LcdDc1), std::optional<std::string>("OHM"));
    EXPECT_EQ(r.lcd.TextOf(E::lcdrange), std::optional<std::string>("2 M *"));
    EXPECT_EQ(r.reading.UnitText, "M*");
    EXPECT_EQ(r.reading.FunctionText, "ohm");
    for (Terminal t : {Terminal::v, Terminal::comm, Terminal::ma, Terminal::caphz})
        EXPECT_EQ(r.lcd.TerminalRed(t), std::optional<bool>(true)) << TerminalName(t);
    EXPECT_EQ(r.lcd.TerminalRed(Terminal::a), std::optional<bool>(false));
}

TEST(LcdPass, CapacitanceMilliFarad)
{
    TestFrame fields;
    fields.function = '7';
    fields.range = '6';
    const DecodeResult r = DecodeFrame(fields.Text(), Reading{}, ".");
    EXPECT_EQ(r.lcd.VisibilityOf(E::Lcdm), Visibility::Show);
    EXPECT_EQ(r.lcd.VisibilityOf(E::LCDF), Visibility::Show);
    EXPECT_EQ(r.lcd.TextOf(E::lcdrange), std::optional<std::string>("6 . 0 m F"));
    EXPECT_EQ(r.reading.UnitText, "mF");
}

TEST(LcdPass, VoltageRange4DependsOnTheFunction)
{
    TestFrame fields;
    fields.range = '4';
    fields.main = "100000E";
    const DecodeResult dc = DecodeFrame(fields.Text(), Reading{}, ".");
    EXPECT_EQ(dc.lcd.TextOf(E::lcdrange), std::optional<std::string>("1 0 0 0 V"));
    ASSERT_TRUE(dc.axis.has_value());
    EXPECT_EQ(dc.axis->maximum, 1000);
    EXPECT_EQ(dc.axis->minimum, -1000);
    EXPECT_EQ(dc.reading.ChartValue, 1000);

    fields.function = '1';
    const DecodeResult ac = DecodeFrame(fields.Text(), Reading{}, ".");
    EXPECT_EQ(ac.lcd.TextOf(E::lcdrange), std::optional<std::string>("7 5 0 V"));
    ASSERT_TRUE(ac.axis.has_value());
    EXPECT_EQ(ac.axis->maximum, 750);
    EXPECT_EQ(ac.axis->minimum, -750);
}

TEST(LcdPass, CurrentRangeWithoutRow)
{
    TestFrame fields;
    fields.function = '3';
    fields.range = '5';
    const DecodeResult r = DecodeFrame(fields.Text(), Reading{}, ".");
    EXPECT_TRUE(r.decoded);
    EXPECT_EQ(r.lcd.TextOf(E::LcdDc1), std::optional<std::string>("DCI"));
    EXPECT_EQ(r.lcd.VisibilityOf(E::LCDA), Visibility::Show);
    EXPECT_EQ(r.lcd.VisibilityOf(E::Lcdm), Visibility::Hide);
    EXPECT_EQ(r.lcd.VisibilityOf(E::lcdrange), Visibility::Keep);
    EXPECT_FALSE(r.lcd.TextOf(E::lcdrange).has_value());
    EXPECT_FALSE(r.axis.has_value());
    for (std::size_t t = 0; t < kTerminalCount; ++t)
        EXPECT_EQ(r.lcd.terminalRed[t], std::optional<bool>(false));
}

// --- the panel over several frames ------------------------------------------------------------

TEST(LcdPanel, InitialPanel)
{
    const LcdPanelState panel = LcdPanelState::Initial();
    EXPECT_EQ(panel.Text(E::LcdD0), "1");
    EXPECT_EQ(panel.Text(E::LcdDe), "9");
    EXPECT_EQ(panel.Text(E::LCDD2C), "9");
    EXPECT_TRUE(panel.Visible(E::CONokN));
    EXPECT_FALSE(panel.Visible(E::CONok));
    EXPECT_FALSE(panel.Visible(E::LCDsend));
    EXPECT_FALSE(panel.Visible(E::lcdrange));
}

TEST(LcdPanel, PointFourIsHiddenByTheNextFramesPointRule)
{
    LcdPanelState panel = LcdPanelState::Initial();
    TestFrame withPoint;
    withPoint.main = "12345E6";
    panel.Apply(Pass(withPoint));
    EXPECT_TRUE(panel.Visible(E::LcdP4));
    TestFrame without;
    without.main = "123456E";
    panel.Apply(Pass(without));
    EXPECT_FALSE(panel.Visible(E::LcdP4));
}

TEST(LcdPanel, FrameWithoutTableRowKeepsTheRangeCaption)
{
    LcdPanelState panel = LcdPanelState::Initial();
    TestFrame ohm;
    ohm.function = '6';
    ohm.range = '2';
    panel.Apply(Pass(ohm));
    ASSERT_TRUE(panel.Visible(E::lcdrange));
    ASSERT_EQ(panel.Text(E::lcdrange), "2 0 K *");
    ASSERT_TRUE(panel.Visible(E::lcdkk));

    TestFrame noFunction = ohm;
    noFunction.function = 'C';
    panel.Apply(Pass(noFunction));
    EXPECT_TRUE(panel.Visible(E::lcdrange));
    EXPECT_EQ(panel.Text(E::lcdrange), "2 0 K *");
    for (E e : {E::LcdDc1, E::LcdV, E::LCDA, E::LCDohm, E::LCDF, E::lcdhz, E::Lcdm, E::lcdkk,
                E::LCDMM, E::LCDn, E::lcduu})
        EXPECT_FALSE(panel.Visible(e)) << LcdElementName(e);
    EXPECT_FALSE(panel.Red(Terminal::v));
    EXPECT_EQ(panel.Text(E::LcdD0), "0"); // digits still from the ohm frame

    TestFrame noRange = ohm;
    noRange.function = '3';
    noRange.range = '5';
    panel.Apply(Pass(noRange));
    EXPECT_EQ(panel.Text(E::lcdrange), "2 0 K *");
    EXPECT_TRUE(panel.Visible(E::LcdDc1));
    EXPECT_EQ(panel.Text(E::LcdDc1), "DCI");
}

TEST(LcdPanel, SecondDisplayPointsFollowEachFrame)
{
    LcdPanelState panel = LcdPanelState::Initial();
    TestFrame fields;
    fields.function = '8';
    fields.second = "1E234";
    panel.Apply(Pass(fields));
    EXPECT_TRUE(panel.Visible(E::LCDP21));
    EXPECT_TRUE(panel.Visible(E::LCDk));
    fields.second = "00000";
    panel.Apply(Pass(fields));
    EXPECT_FALSE(panel.Visible(E::LCDP21));
    EXPECT_FALSE(panel.Visible(E::LCDk));
    EXPECT_EQ(panel.Text(E::LCDd20), "");
}

TEST(LcdElementNames, NamesAreUniqueAndMatchTheWidgets)
{
    std::set<std::string> names;
    for (std::size_t i = 0; i < kLcdElementCount; ++i) {
        const std::string name = LcdElementName(static_cast<E>(i));
        EXPECT_FALSE(name.empty()) << i;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), kLcdElementCount);
    EXPECT_STREQ(LcdElementName(E::LCDd20), "LCDd20");
    EXPECT_STREQ(LcdElementName(E::lcdrange), "lcdrange");
    EXPECT_STREQ(LcdElementName(E::CONokN), "CONokN");
    EXPECT_STREQ(TerminalName(Terminal::caphz), "caphz");
}

} // namespace
} // namespace varnex
