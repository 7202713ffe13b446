#include "util/Runtime.h"
#include "support/SimRuntime.h"

#include <gtest/gtest.h>

#include <set>

namespace tavu {
namespace {

// How long Wait(1) takes when it starts at the given fraction of a second.
double waitOneSecondFrom(double fraction)
{
    SimRuntime runtime(10 * 3600 + fraction);
    const auto before = runtime.elapsedMs();
    Wait(runtime, 1);
    return static_cast<double>(runtime.elapsedMs() - before) / 1000.0;
}

TEST(Wait, StartsFromTheNearestWholeSecond)
{
    EXPECT_NEAR(waitOneSecondFrom(0.0), 1.0, 0.002);
    EXPECT_NEAR(waitOneSecondFrom(0.2), 0.8, 0.002);
    EXPECT_NEAR(waitOneSecondFrom(0.7), 1.3, 0.002);
    for (double f = 0.0; f < 1.0; f += 0.05) {
        const double took = waitOneSecondFrom(f);
        EXPECT_GE(took, 0.5 - 1e-9) << f;
        EXPECT_LE(took, 1.502) << f;
    }
}

TEST(Wait, ZeroReturnsAtOnceOrAtTheNextWholeSecond)
{
    EXPECT_EQ(waitOneSecondFrom(0.0) > 0, true);
    SimRuntime down(100.3);
    Wait(down, 0);
    EXPECT_EQ(down.elapsedMs(), 0) << "rounded down: already there";
    SimRuntime up(100.7);
    Wait(up, 0);
    EXPECT_NEAR(static_cast<double>(up.elapsedMs()), 300, 1) << "rounded up: waits for the whole second";
}

TEST(Wait, EndsAcrossMidnight)
{
    SimRuntime runtime(86399.8);
    Wait(runtime, 2);
    EXPECT_GE(runtime.elapsedMs(), 2000);
    EXPECT_LE(runtime.elapsedMs(), 2500);
}

TEST(Wait, RunsEventsAndTimersWhileWaiting)
{
    SimRuntime runtime(50.0);
    int events = 0;
    int ticks = 0;
    Timer timer(runtime, 100, [&] { ++ticks; });
    timer.setEnabled(true);
    runtime.post([&] { ++events; });
    Wait(runtime, 1);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(ticks, 10);
}

TEST(Timer, TickNeverOverlapsItsPreviousTick)
{
    SimRuntime runtime(50.0);
    int running = 0;
    int maxRunning = 0;
    int ticks = 0;
    Timer timer(runtime, 10, [&] {
        ++ticks;
        maxRunning = std::max(maxRunning, ++running);
        Wait(runtime, 1); // the same timer falls due many times inside this wait
        --running;
    });
    timer.setEnabled(true);
    runtime.advance(5000);
    EXPECT_EQ(maxRunning, 1);
    EXPECT_GE(ticks, 4);
}

TEST(Timer, DisabledTimerDoesNotTick)
{
    SimRuntime runtime;
    int ticks = 0;
    Timer timer(runtime, 100, [&] { ++ticks; });
    timer.setEnabled(true);
    runtime.advance(350);
    timer.setEnabled(false);
    runtime.advance(1000);
    EXPECT_EQ(ticks, 3);
}

TEST(Runtime, NestedWaitInsideAnEventKeepsOrder)
{
    SimRuntime runtime(0.0);
    std::vector<int> order;
    runtime.post([&] {
        order.push_back(1);
        runtime.post([&] { order.push_back(3); });
        Wait(runtime, 1);
        order.push_back(4);
    });
    runtime.post([&] { order.push_back(2); });
    runtime.drain();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

TEST(randomNumber, StaysInRange)
{
    SimRuntime runtime(1000.0);
    EXPECT_EQ(randomNumber(runtime, 0), 1);
    std::set<double> seen;
    for (int i = 0; i < 400; ++i) {
        runtime.advance(7);
        const double r = randomNumber(runtime, 5);
        EXPECT_GE(r, 1);
        EXPECT_LE(r, 5);
        EXPECT_EQ(r, static_cast<int>(r));
        seen.insert(r);
    }
    EXPECT_EQ(seen.size(), 5u) << "every value comes up";
}

} // namespace
} // namespace tavu
