#include "client/FloodQueue.h"
#include "client/ReconnectBackoff.h"
#include "support/SimRuntime.h"

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

TEST_F(FloodQueueTest, SendNowSkipsTheQueueAndClearEmptiesIt)
{
    for (int i = 0; i < 6; ++i)
        queue.enqueue("q" + std::to_string(i));
    queue.sendNow("PONG :x");
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[4].line, "PONG :x");
    queue.enqueue("r0");
    queue.clear();
    runtime.advance(60'000);
    EXPECT_EQ(sent.size(), 5u);
    EXPECT_EQ(queue.pending(), 0u);
}

// While the queue has room every line waits its turn. Once it is full, a newer run of a command
// replaces the queued lines of its older runs, whatever came between; lines of one run, and
// untagged lines, are never replaced. The window hears of it once a flood.
TEST_F(FloodQueueTest, NewerRunsOfACommandSupersedeOlderOnesAndTheQueueIsBounded)
{
    int dropNotices = 0, empties = 0;
    queue.onDropped = [&] { ++dropNotices; };
    for (int i = 0; i < 4; ++i)
        queue.enqueue("burst " + std::to_string(i));
    queue.onEmpty = [&] { ++empties; };
    for (std::uint64_t run = 1; run <= 200; ++run) {
        queue.enqueue("vol " + std::to_string(run), {"vol", run});
        if (run == 100) {
            queue.enqueue("listing a", {"play", 500});
            queue.enqueue("listing b", {"play", 500});
            queue.enqueue("untagged");
        }
    }
    // vol 1-3 were pushed out at the bound; vol 101 and vol 198 each found the queue full.
    EXPECT_EQ(queue.pending(), 6u);
    runtime.advance(60'000);
    std::vector<std::string> lines;
    for (const Sent& s : sent)
        lines.push_back(s.line);
    EXPECT_EQ(lines, (std::vector<std::string>{"burst 0", "burst 1", "burst 2", "burst 3", "listing a", "listing b",
                                               "untagged", "vol 198", "vol 199", "vol 200"}));
    EXPECT_EQ(dropNotices, 1);
    EXPECT_EQ(empties, 1);

    // Beyond the bound the oldest lines go; after the queue ran empty a new flood is told again.
    for (std::size_t i = 0; i < FloodQueue::kLimit + 10; ++i)
        queue.enqueue("line " + std::to_string(i));
    EXPECT_EQ(queue.pending(), FloodQueue::kLimit);
    EXPECT_EQ(dropNotices, 2);
}

// Twelve replies of one command typed at once all go out, in order, at the flood pace.
TEST_F(FloodQueueTest, ABurstThatFitsTheQueueGoesOutWhole)
{
    int dropNotices = 0;
    queue.onDropped = [&] { ++dropNotices; };
    for (std::uint64_t run = 1; run <= 12; ++run)
        queue.enqueue("vol " + std::to_string(run), {"vol", run});
    runtime.advance(60'000);
    ASSERT_EQ(sent.size(), 12u);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].line, "vol " + std::to_string(i + 1));
        EXPECT_EQ(sent[i].at, i < 4 ? 0 : std::int64_t(i - 3) * 2'000) << i;
    }
    EXPECT_EQ(dropNotices, 0);
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
