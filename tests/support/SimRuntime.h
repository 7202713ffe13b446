#pragma once

#include "util/Runtime.h"

#include <deque>
#include <map>
#include <memory>

namespace tavu {

// A simulated event loop for tests and soak runs. Its clock moves only inside runFor (and
// advance, runWhile): time jumps to the next due timer tick or wake-up, runs it, and so on, so
// waits of seconds take no real time. Queued events run before the clock moves.
class SimRuntime : public Runtime {
public:
    // The clock starts at this time of day (seconds since midnight).
    explicit SimRuntime(double startTimeOfDay = 12 * 3600 + 0.25);
    ~SimRuntime() override;

    double timeOfDay() const override;
    std::int64_t tickMs() const override { return m_nowMs; }
    void post(std::function<void()> event) override;
    std::unique_ptr<Alarm> wakeAfter(std::int64_t ms, std::function<void()> wake) override;
    std::unique_ptr<Alarm> wakeWhen(std::function<bool()> done, std::function<void()> wake) override;
    std::unique_ptr<TimerSource> makeTimerSource(std::function<void()> tick) override;
    void quit() override { m_quitting = true; }
    bool quitting() const override { return m_quitting; }

    // wakeWhen runs the queued events (without moving the clock) before it waits, as the program's
    // event loop would while another thread works; off by default.
    void setRunEventsWhileWaiting(bool run) { m_runEventsWhileWaiting = run; }

    // Lets the simulated time pass, running everything that falls due.
    void runFor(std::int64_t ms);
    void advance(std::int64_t ms) { runFor(ms); }
    // Lets time pass while going() holds, one due tick or wake-up at a time, and stops the clock
    // at the moment it stops holding (or when nothing more falls due).
    void runWhile(const std::function<bool()>& going);
    // Lets time pass until the task has ended (a task that waits on nothing never does); returns
    // whether it did.
    template <typename T>
    bool finish(const Task<T>& task)
    {
        runWhile([&task] { return !task.done(); });
        return task.done();
    }
    // Runs the queued events (and the events they queue) without moving the clock.
    void drain();
    std::size_t pendingEvents() const { return m_events.size(); }

    // Milliseconds since the simulation started.
    std::int64_t elapsedMs() const { return m_nowMs; }

private:
    class Scheduled;
    class SimTimer;
    class SimAlarm;
    struct Due {
        std::int64_t at;
        bool wakeUp; // at the same moment, timer ticks go first, as in the nested waits of old
        std::uint64_t order;
        bool operator<(const Due& o) const
        {
            if (at != o.at)
                return at < o.at;
            if (wakeUp != o.wakeUp)
                return !wakeUp;
            return order < o.order;
        }
    };
    void schedule(Scheduled* entry, std::int64_t at);
    void unschedule(Scheduled* entry);
    bool runOneEvent();
    bool fireNextDue(std::int64_t deadline);

    double m_startTimeOfDay;
    std::int64_t m_nowMs = 0;
    std::uint64_t m_order = 0;
    std::deque<std::function<void()>> m_events;
    std::map<Due, Scheduled*> m_due;
    bool m_quitting = false;
    bool m_runEventsWhileWaiting = false;
};

namespace test {

// Lets the simulated time pass until the task has ended, as a call that waited inside it would;
// its value. A task that never ends (the program told to end meanwhile) gives an empty value.
template <typename T>
T finish(SimRuntime& runtime, Task<T> task)
{
    runtime.finish(task);
    if constexpr (!std::is_void_v<T>) {
        if (!task.done())
            return T{};
        return std::move(task.result());
    }
}

} // namespace test
} // namespace tavu
