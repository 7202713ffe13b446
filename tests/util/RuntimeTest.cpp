#include "util/Runtime.h"
#include "support/SimRuntime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace tavu {
namespace {

// Lets the seconds pass on the simulated clock.
void Wait(SimRuntime& runtime, int seconds)
{
    ASSERT_TRUE(runtime.finish(secondsPass(runtime, seconds)));
}

// How long a wait of 1 s takes when it starts at the given fraction of a second.
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
    Timer timer(runtime, 10, [&]() -> Task<> {
        ++ticks;
        maxRunning = std::max(maxRunning, ++running);
        co_await secondsPass(runtime, 1); // the same timer falls due many times meanwhile
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

// A task runs at once up to its first wait; events queued meanwhile run before it goes on.
TEST(Task, RunsUpToItsFirstWaitThenLetsEventsRun)
{
    SimRuntime runtime(0.0);
    std::vector<int> order;
    TaskScope tasks;
    runtime.post([&] {
        order.push_back(1);
        runtime.post([&] { order.push_back(3); });
        tasks.start([](SimRuntime& clock, std::vector<int>& seen) -> Task<> {
            co_await secondsPass(clock, 1);
            seen.push_back(4);
        }(runtime, order));
    });
    runtime.post([&] { order.push_back(2); });
    runtime.drain();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    runtime.advance(1000);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

Task<int> twiceAfterASecond(Runtime& runtime, int n)
{
    co_await secondsPass(runtime, 1);
    co_return 2 * n;
}

Task<> addUp(Runtime& runtime, int& sum, bool& finished)
{
    sum += co_await twiceAfterASecond(runtime, 2);
    sum += co_await twiceAfterASecond(runtime, 3);
    finished = true;
}

// An awaited task hands back its value; a scope that goes (or the code that holds a task, when it
// drops it) destroys its tasks where they wait, with the tasks they await, and nothing of theirs
// runs later.
TEST(Task, AwaitsValuesAndDiesWithItsScope)
{
    SimRuntime runtime(0.0);
    int sum = 0;
    bool finished = false;
    bool ended = false;
    {
        TaskScope tasks;
        tasks.start(addUp(runtime, sum, finished), [&] { ended = true; });
        EXPECT_EQ(tasks.running(), 1u);
        runtime.advance(1000);
        EXPECT_EQ(sum, 4);
        runtime.advance(1000);
        EXPECT_EQ(sum, 10);
        EXPECT_TRUE(finished && ended);
        EXPECT_EQ(tasks.running(), 0u);

        finished = ended = false;
        const auto mark = tasks.mark();
        tasks.start(addUp(runtime, sum, finished), [&] { ended = true; });
        EXPECT_TRUE(tasks.runningSince(mark));
        runtime.advance(1000);
    }
    runtime.advance(5000);
    EXPECT_EQ(sum, 14) << "the second half never ran";
    EXPECT_FALSE(finished || ended);

    // A task dropped by the code that started it goes where it waits, as with its scope.
    {
        auto dropped = addUp(runtime, sum, finished);
        runtime.advance(1000);
    }
    runtime.advance(5000);
    EXPECT_EQ(sum, 18);
    EXPECT_FALSE(finished);
}

// Work of another thread: the simulated runtime waits for it without moving its clock.
TEST(Task, WorkDoneKeepsTheSimulatedClock)
{
    SimRuntime runtime(0.0);
    std::atomic<bool> done = false;
    std::thread worker([&] { done = true; });
    auto waited = [](Runtime& clock, std::atomic<bool>& flag) -> Task<> {
        co_await workDone(clock, [&flag] { return flag.load(); });
    }(runtime, done);
    EXPECT_TRUE(waited.done());
    EXPECT_EQ(runtime.elapsedMs(), 0);
    worker.join();
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
