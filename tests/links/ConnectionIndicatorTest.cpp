#include "links/ConnectionIndicator.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(ConnectionClock, Format)
{
    struct Row {
        QDateTime time;
        const char* text;
    };
    const Row rows[] = {
        {QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9)), "14 : 05 : 09     12 - 08 - 2026"},
        {QDateTime(QDate(2027, 1, 31), QTime(0, 0, 0)), "00 : 00 : 00     01 - 31 - 2027"},
        {QDateTime(QDate(1999, 7, 4), QTime(23, 59, 59)), "23 : 59 : 59     07 - 04 - 1999"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatConnectionClock(row.time), QString::fromLatin1(row.text));
}

TEST(FrameWatchdog, CountsZeroOneTwoThenShowsNoData)
{
    FrameWatchdog dog;
    EXPECT_FALSE(dog.dataShown());
    dog.frameDecoded();
    EXPECT_TRUE(dog.dataShown());
    EXPECT_EQ(dog.ticks(), 0);
    dog.tick();
    EXPECT_EQ(dog.ticks(), 1);
    dog.tick();
    EXPECT_EQ(dog.ticks(), 2);
    EXPECT_TRUE(dog.dataShown());
    dog.tick();
    EXPECT_EQ(dog.ticks(), 0);
    EXPECT_FALSE(dog.dataShown());
}

TEST(FrameWatchdog, FramesEveryTickKeepTheDataIconShown)
{
    FrameWatchdog dog;
    for (int i = 0; i < 50; ++i) {
        dog.frameDecoded();
        dog.tick();
        EXPECT_TRUE(dog.dataShown());
    }
}

TEST(FrameWatchdog, NoDataWithinThreeTicksOfTheLastFrameWhateverThePhase)
{
    // Ticks are 100 ms apart: a frame may land anywhere in the count.
    for (int before = 0; before < 3; ++before) {
        FrameWatchdog dog;
        for (int i = 0; i < before; ++i)
            dog.tick();
        dog.frameDecoded();
        int ticks = 0;
        while (dog.dataShown() && ticks < 10) {
            dog.tick();
            ++ticks;
        }
        EXPECT_EQ(ticks, 3) << before;
    }
}

} // namespace
} // namespace varnex
