#include "client/FloodQueue.h"
#include "client/ReconnectBackoff.h"
#include "util/SimRuntime.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

struct Sent {
    std::int64_t at;
    std::string line;
    bool operator==(const Sent&) const = default;
};

class FloodQueueTest : public ::testing::Test {
protected:
    SimRuntime runtime;
    std::vector<Sent> sent;
    FloodQueue queue{runtime, [this](const std::string& line) { sent.push_back({runtime.elapsedMs(), line}); }};
};

TEST_F(FloodQueueTest, ABurstOfFourThenOneLineEveryTwoSecondsInOrder)
{
    for (int i = 0; i < 10; ++i)
        queue.enqueue("line " + std::to_string(i));
    runtime.advance(60'000);
    ASSERT_EQ(sent.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(sent[i].line, "line " + std::to_string(i));
        EXPECT_EQ(sent[i].at, i < 4 ? 0 : (i - 3) * 2000) << i;
    }
}

TEST_F(FloodQueueTest, TheBucketRefillsWhileIdle)
{
    for (int i = 0; i < 4; ++i)
        queue.enqueue("a");
    runtime.advance(3000); // one and a half lines' worth of waiting
    queue.enqueue("b1");
    queue.enqueue("b2");
    runtime.advance(10'000);
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[4], (Sent{3000, "b1"}));
    EXPECT_EQ(sent[5], (Sent{4000, "b2"}));
    runtime.advance(60'000);
    for (int i = 0; i < 5; ++i)
        queue.enqueue("c");
    runtime.drain();
    EXPECT_EQ(sent.size(), 10u); // a full burst again after a long pause
}

TEST_F(FloodQueueTest, SendNowSkipsTheQueueAndFlushAndClearEmptyIt)
{
    for (int i = 0; i < 6; ++i)
        queue.enqueue("q" + std::to_string(i));
    queue.sendNow("PONG :x");
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[4].line, "PONG :x");
    queue.flush();
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(sent[6].line, "q5");
    queue.enqueue("r0");
    queue.enqueue("r1");
    queue.clear();
    runtime.advance(60'000);
    EXPECT_EQ(sent.size(), 7u);
    EXPECT_EQ(queue.pending(), 0u);
}

TEST(ReconnectBackoff, DoublesFromTenSecondsToFiveMinutes)
{
    ReconnectBackoff backoff({}, [] { return 0.5; }); // no jitter
    std::vector<std::int64_t> delays;
    for (int i = 0; i < 8; ++i)
        delays.push_back(backoff.nextDelay(0));
    EXPECT_EQ(delays, (std::vector<std::int64_t>{10'000, 20'000, 40'000, 80'000, 160'000, 300'000, 300'000, 300'000}));
    EXPECT_EQ(backoff.nextDelay(119'000), 300'000); // a short spell online does not count
    EXPECT_EQ(backoff.nextDelay(120'000), 10'000);  // a stable one starts over
}

TEST(ReconnectBackoff, JitterStaysWithinAQuarter)
{
    double r = 0.0;
    ReconnectBackoff backoff({}, [&r] { return r; });
    EXPECT_EQ(backoff.nextDelay(0), 7'500);
    r = 0.999999;
    EXPECT_NEAR(static_cast<double>(backoff.nextDelay(0)), 25'000, 1);
    backoff.reset();
    r = 0.25;
    EXPECT_EQ(backoff.nextDelay(0), 8'750);
}

} // namespace
} // namespace tavu
