#pragma once

#include "util/Runtime.h"

#include <deque>
#include <map>
#include <memory>

namespace tavu {

// A simulated event loop for tests and soak runs. Its clock moves only inside runFor (and
// advance): time jumps to the next due timer tick, runs it, and so on, so waits of seconds take
// no real time. Queued events run before the clock moves.
class SimRuntime : public Runtime {
public:
    // The clock starts at this time of day (seconds since midnight).
    explicit SimRuntime(double startTimeOfDay = 12 * 3600 + 0.25);
    ~SimRuntime() override;

    double timeOfDay() const override;
    std::int64_t tickMs() const override { return m_nowMs; }
    void post(std::function<void()> event) override;
    void runFor(std::int64_t ms) override;
    void runUntil(const std::function<bool()>& done) override;
    std::unique_ptr<TimerSource> makeTimerSource(std::function<void()> tick) override;
    void quit() override { m_quitting = true; }
    bool quitting() const override { return m_quitting; }

    // runUntil runs the queued events (without moving the clock) before it waits, as the program's
    // event loop would while another thread works; off by default.
    void setRunEventsWhileWaiting(bool run) { m_runEventsWhileWaiting = run; }

    // Lets the simulated time pass, running everything that falls due.
    void advance(std::int64_t ms) { runFor(ms); }
    // Runs the queued events (and the events they queue) without moving the clock.
    void drain();
    std::size_t pendingEvents() const { return m_events.size(); }

    // Milliseconds since the simulation started.
    std::int64_t elapsedMs() const { return m_nowMs; }

private:
    class SimTimer;
    struct Due {
        std::int64_t at;
        std::uint64_t order;
        bool operator<(const Due& o) const { return at != o.at ? at < o.at : order < o.order; }
    };
    void schedule(SimTimer* timer, std::int64_t at);
    void unschedule(SimTimer* timer);
    bool runOneEvent();

    double m_startTimeOfDay;
    std::int64_t m_nowMs = 0;
    std::uint64_t m_order = 0;
    std::deque<std::function<void()>> m_events;
    std::map<Due, SimTimer*> m_due;
    bool m_quitting = false;
    bool m_runEventsWhileWaiting = false;
};

} // namespace tavu
