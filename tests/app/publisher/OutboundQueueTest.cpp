// The bounded queue behind the publisher: order, the window, dropping the oldest, and
// acknowledgements that come before the id is known.
#include "app/publisher/OutboundQueue.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(publisher_OutboundQueue, FullQueueDropsTheOldestWaiting)
{
    OutboundQueue q(4, 2);
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(q.push(std::to_string(i)));
    EXPECT_FALSE(q.push("5"));
    EXPECT_FALSE(q.push("6"));
    EXPECT_EQ(q.size(), 4u);
    EXPECT_EQ(q.dropped(), 2u);
    EXPECT_EQ(q.take(), "3");
    EXPECT_EQ(q.take(), "4");
}

TEST(publisher_OutboundQueue, AwaitingReadingsCountAgainstTheCapacity)
{
    OutboundQueue q(3, 2);
    q.push("a");
    q.push("b");
    q.sent((q.take(), 7));
    q.push("c");
    q.push("d"); // a, b awaiting or waiting, c, d: one too many
    EXPECT_EQ(q.size(), 3u);
    EXPECT_EQ(q.dropped(), 1u);
    EXPECT_EQ(q.take(), "c"); // b went, the oldest waiting one
}

TEST(publisher_OutboundQueue, WindowLimitsWhatGoesOutUntilAcknowledged)
{
    OutboundQueue q(10, 2);
    for (int i = 0; i < 5; ++i)
        q.push("x");
    q.take();
    q.sent(1);
    q.take();
    q.sent(2);
    EXPECT_FALSE(q.canSend());
    q.acknowledged(1);
    EXPECT_TRUE(q.canSend());
    EXPECT_EQ(q.delivered(), 1u);
    EXPECT_EQ(q.size(), 4u);
}

TEST(publisher_OutboundQueue, AcknowledgementBeforeTheIdIsKnownStillCounts)
{
    OutboundQueue q(10, 2);
    q.push("x");
    q.take();
    q.acknowledged(9); // the broker was quicker than our bookkeeping
    EXPECT_EQ(q.delivered(), 0u);
    q.sent(9);
    EXPECT_EQ(q.delivered(), 1u);
    EXPECT_TRUE(q.empty());
}

TEST(publisher_OutboundQueue, RefusedReadingGoesBackToTheHead)
{
    OutboundQueue q(10, 2);
    q.push("first");
    q.push("second");
    std::string p = q.take();
    q.unsent(std::move(p));
    EXPECT_EQ(q.awaiting(), 0u);
    EXPECT_EQ(q.take(), "first");
}

TEST(publisher_OutboundQueue, WindowStaysBelowTheCapacity)
{
    OutboundQueue q(5, 100);
    EXPECT_EQ(q.window(), 4u);
    OutboundQueue tiny(0, 0);
    EXPECT_GE(tiny.capacity(), 2u);
    EXPECT_EQ(tiny.window(), 1u);
}

} // namespace
} // namespace varnex
