#include "protocol/ReadingDecoder.h"

#include "TestFrame.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(ReadingDecoder, CountsDroppedFramesAndKeepsTheReading)
{
    ReadingDecoder decoder(",");
    test::TestFrame good;
    good.main = "1E23456";
    test::TestFrame badFunction = good;
    badFunction.function = 'B';
    test::TestFrame badRange = good;
    badRange.range = 'D';

    EXPECT_TRUE(decoder.Decode(good.Text()).decoded);
    EXPECT_EQ(decoder.Current().ValueText, "1,23456");
    EXPECT_FALSE(decoder.Decode(badFunction.Text()).decoded);
    EXPECT_FALSE(decoder.Decode(badRange.Text()).decoded);
    EXPECT_EQ(decoder.Current().ValueText, "1,23456");
    EXPECT_EQ(decoder.Current().ChartValue, 1.23456);

    good.main = "2E00000";
    EXPECT_TRUE(decoder.Decode(good.Text()).decoded);
    EXPECT_EQ(decoder.Current().ValueText, "2,00000");
    EXPECT_EQ(decoder.DecodedFrames(), 2u);
    EXPECT_EQ(decoder.DroppedFrames(), 2u);
}

} // namespace
} // namespace varnex
