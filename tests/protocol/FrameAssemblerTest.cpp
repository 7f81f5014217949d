#include "protocol/FrameAssembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

constexpr std::uint8_t CR = 0x0D;
constexpr std::uint8_t LF = 0x0A;

// 19 data bytes as the meter sends them (0x30 | nibble) from a 19-digit nibble text.
std::vector<std::uint8_t> DataBytes(const std::string& nibbles)
{
    std::vector<std::uint8_t> bytes;
    for (char c : nibbles) {
        const int value = c <= '9' ? c - '0' : c - 'A' + 10;
        bytes.push_back(static_cast<std::uint8_t>(0x30 | value));
    }
    return bytes;
}

// DCV, 2 V range, "12345E0" (point 4 lit), blank second display, MIN, MANU: 19 nibbles
const std::string kData = "01012345E0000000200";

std::vector<std::uint8_t> WireFrame(const std::string& nibbles = kData)
{
    auto bytes = DataBytes(nibbles);
    bytes.push_back(CR);
    bytes.push_back(LF);
    return bytes;
}

struct Collector {
    std::vector<std::string> frames;
    FrameAssembler assembler{[this](const std::string& f) { frames.push_back(f); }};

    void Serial(const std::vector<std::uint8_t>& bytes) { assembler.VarnexData(bytes.data(), bytes.size()); }
    std::vector<bool> Usb(const std::vector<std::uint8_t>& bytes)
    {
        std::vector<bool> flags;
        for (auto b : bytes)
            flags.push_back(assembler.AddUsbByte(b));
        return flags;
    }
};

// --- USB -------------------------------------------------------------------------------------

TEST(UsbAssembler, OneFrameByteByByteGivesOneFrame)
{
    Collector c;
    const auto flags = c.Usb(WireFrame());
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0], "A" + kData + "D");
    EXPECT_EQ(c.assembler.FrameText(), "A" + kData + "D");
    for (std::size_t i = 0; i + 1 < flags.size(); ++i)
        EXPECT_FALSE(flags[i]) << "byte " << i;
    EXPECT_TRUE(flags.back());
    EXPECT_EQ(c.assembler.UsbFramePos(), 0u);
}

TEST(UsbAssembler, FunctionNibbleEIsBuiltButNotAccepted)
{
    Collector c;
    std::string data = kData;
    data[0] = 'E';
    c.Usb(WireFrame(data));
    EXPECT_TRUE(c.frames.empty());
    EXPECT_EQ(c.assembler.FrameText(), "A" + data + "D");
    EXPECT_EQ(c.assembler.FramesRejected(), 1u);
}

TEST(UsbAssembler, HighBitsAreIgnored)
{
    Collector c;
    auto bytes = WireFrame();
    for (std::size_t i = 0; i < 19; ++i)
        bytes[i] = static_cast<std::uint8_t>((bytes[i] & 0x0F) | 0xA0);
    c.Usb(bytes);
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0], "A" + kData + "D");
}

struct MisalignedCase {
    char dataByte18;
    bool accepted;
};

class UsbMisaligned : public ::testing::TestWithParam<MisalignedCase> {};

// A group that starts with the previous frame's CR LF ends on data byte 18.
TEST_P(UsbMisaligned, CharacterTwentyOneIsDataByte18)
{
    std::string data = kData;
    data[17] = GetParam().dataByte18;
    Collector c;
    std::vector<std::uint8_t> group = {CR, LF};
    const auto bytes = DataBytes(data);
    group.insert(group.end(), bytes.begin(), bytes.end()); // data bytes 1-19
    ASSERT_EQ(group.size(), 21u);
    const auto flags = c.Usb(group);
    EXPECT_TRUE(flags.back());
    EXPECT_EQ(c.assembler.FrameText(), "ADA" + data.substr(0, 18));
    EXPECT_EQ(c.frames.size(), GetParam().accepted ? 1u : 0u);

    // the next group starts with the next byte read (after the link's flush)
    c.Usb(WireFrame());
    EXPECT_EQ(c.assembler.FrameText(), "A" + kData + "D");
}

INSTANTIATE_TEST_SUITE_P(Cases, UsbMisaligned,
                         ::testing::Values(MisalignedCase{'2', false}, MisalignedCase{'0', false},
                                           MisalignedCase{'D', true}),
                         [](const auto& info) { return std::string("Byte18Nibble") + info.param.dataByte18; });

TEST(UsbAssembler, ResetKeepsThePositionAndZeroesTheEarlierBytes)
{
    Collector c;
    const auto frame = WireFrame();
    for (int i = 0; i < 5; ++i)
        c.assembler.AddUsbByte(frame[static_cast<std::size_t>(i)]);
    c.assembler.ResetUsbFrame();
    EXPECT_EQ(c.assembler.UsbFramePos(), 5u);

    bool completed = false;
    int added = 0;
    for (std::size_t i = 5; i < frame.size() && !completed; ++i, ++added)
        completed = c.assembler.AddUsbByte(frame[i]);
    EXPECT_TRUE(completed);
    EXPECT_EQ(added, 16);
    // bytes 0-4 of the group were zeroed: nibbles "0"
    EXPECT_EQ(c.assembler.FrameText(), "A00000" + kData.substr(5) + "D");
    EXPECT_EQ(c.frames.size(), 1u); // "A" ... "D" and function "0": it passes
}

TEST(UsbAssembler, ResetAfterAFullGroupStartsAtZero)
{
    Collector c;
    c.Usb(WireFrame());
    c.assembler.ResetUsbFrame();
    EXPECT_EQ(c.assembler.UsbFramePos(), 0u);
    c.Usb(WireFrame());
    EXPECT_EQ(c.frames.size(), 2u);
}

// --- serial ----------------------------------------------------------------------------------

TEST(SerialAssembler, LfDataCrPasses)
{
    Collector c;
    std::vector<std::uint8_t> stream = {CR, LF};
    const auto data = DataBytes(kData);
    stream.insert(stream.end(), data.begin(), data.end());
    stream.push_back(CR);
    c.Serial(stream);
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0], "A" + kData + "D");
}

TEST(SerialAssembler, FrameWithoutLfDoesNotPass)
{
    Collector c;
    std::vector<std::uint8_t> stream = {CR};
    const auto data = DataBytes(kData);
    stream.insert(stream.end(), data.begin(), data.end());
    stream.push_back(CR);
    c.Serial(stream);
    EXPECT_TRUE(c.frames.empty());
    EXPECT_EQ(c.assembler.FrameText(), kData + "D"); // 20 characters
}

TEST(SerialAssembler, EveryBlockSplitGivesExactlyOneFrame)
{
    std::vector<std::uint8_t> stream = {CR};
    const auto frame = WireFrame();
    stream.insert(stream.end(), frame.begin(), frame.end());
    stream.insert(stream.end(), frame.begin(), frame.end() - 1); // second frame: CR, no LF yet
    for (std::size_t split = 0; split <= stream.size(); ++split) {
        Collector c;
        c.assembler.VarnexData(stream.data(), split);
        c.assembler.VarnexData(stream.data() + split, stream.size() - split);
        ASSERT_EQ(c.frames.size(), 1u) << "split at " << split;
        EXPECT_EQ(c.frames[0], "A" + kData + "D");
    }
}

TEST(SerialAssembler, ByteByByteEqualsOneBlock)
{
    std::vector<std::uint8_t> stream = {CR};
    for (int i = 0; i < 3; ++i) {
        const auto frame = WireFrame();
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    stream.push_back(0x37); // a partial frame that the next CR would end
    Collector whole, single;
    whole.Serial(stream);
    for (auto b : stream)
        single.assembler.VarnexData(&b, 1);
    // the first run has no LF before it; the next two pass; the last byte waits for a CR
    EXPECT_EQ(whole.frames.size(), 2u);
    EXPECT_EQ(whole.frames, single.frames);
}

struct SerialRunCase {
    std::string name;
    std::string nibblesBeforeCr; // hex digits, each one byte 0x30|n
    std::string expectedFrameText;
    bool accepted;
};

class SerialRuns : public ::testing::TestWithParam<SerialRunCase> {};

TEST_P(SerialRuns, RunUpToCrBecomesFrameText)
{
    const auto& p = GetParam();
    Collector c;
    auto bytes = DataBytes(p.nibblesBeforeCr);
    bytes.push_back(CR);
    c.Serial(bytes);
    EXPECT_EQ(c.assembler.FrameText(), p.expectedFrameText);
    EXPECT_EQ(c.frames.size(), p.accepted ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialRuns,
    ::testing::Values(
        SerialRunCase{"exact", "A" + kData, "A" + kData + "D", true},
        // a longer run keeps its first 21 digits; here the 21st is a "D" from the data
        SerialRunCase{"longRunWithDAt21", "A" + kData + "D123", "A" + kData + "D", true},
        SerialRunCase{"longRunOtherAt21", "A" + kData + "7D", "A" + kData + "7", false},
        SerialRunCase{"short", "A0101", "A0101D", false},
        SerialRunCase{"empty", "", "D", false},
        SerialRunCase{"noLeadingA", "5" + kData, "5" + kData + "D", false},
        // the serial path passes function code "E" on (the decoder deals with it)
        SerialRunCase{"functionE", "AE" + kData.substr(1), "AE" + kData.substr(1) + "D", true}),
    [](const auto& info) { return info.param.name; });

TEST(SerialAssembler, NibbleDOfANonCrByteDoesNotEndTheRun)
{
    Collector c;
    auto bytes = DataBytes("A" + kData);
    bytes[5] = 0x3D; // nibble D, but not a CR
    bytes.push_back(CR);
    c.Serial(bytes);
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0][5], 'D');
}

TEST(SerialAssembler, EndlessRunWithoutCrKeepsOnlyTheFirst21)
{
    Collector c;
    std::vector<std::uint8_t> garbage(1'000'000, 0x3A);
    c.Serial(garbage);
    EXPECT_TRUE(c.frames.empty());
    const std::uint8_t cr = CR;
    c.assembler.VarnexData(&cr, 1);
    EXPECT_EQ(c.assembler.FrameText(), std::string(21, 'A'));
    EXPECT_TRUE(c.frames.empty());
}

TEST(SerialAssembler, SharesFrameTextWithUsb)
{
    Collector c;
    c.Usb(WireFrame());
    EXPECT_EQ(c.assembler.FrameText(), "A" + kData + "D");
    auto bytes = DataBytes("A01");
    bytes.push_back(CR);
    c.Serial(bytes);
    EXPECT_EQ(c.assembler.FrameText(), "A01D");
    EXPECT_EQ(c.assembler.FramesAccepted(), 1u);
    EXPECT_EQ(c.assembler.FramesRejected(), 1u);
}

TEST(SerialAssembler, NoHandlerIsHarmless)
{
    FrameAssembler assembler;
    auto bytes = WireFrame();
    bytes.insert(bytes.begin(), LF);
    assembler.VarnexData(bytes.data(), bytes.size());
    EXPECT_EQ(assembler.FramesAccepted(), 1u);
}

} // namespace
} // namespace varnex
