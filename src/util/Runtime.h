#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace tavu {

// A repeating timer source of the event loop. Ticks run on the UI thread.
class TimerSource {
public:
    virtual ~TimerSource() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
};

// The event loop and the clocks the behaviour code runs on. The program uses the Qt one; tests use
// SimRuntime, whose clock only moves when something waits.
class Runtime {
public:
    virtual ~Runtime() = default;

    // Local time of day in seconds since midnight, with fractions.
    virtual double timeOfDay() const = 0;
    // A monotonic millisecond counter.
    virtual std::int64_t tickMs() const = 0;

    // Queues an event; it runs on the UI thread after the events queued before it. Safe to call
    // from any thread.
    virtual void post(std::function<void()> event) = 0;

    // Handles events (nested inside the caller) for ms milliseconds, sleeping while there are
    // none. Returns early when the program is quitting.
    virtual void runFor(std::int64_t ms) = 0;
    // Handles the events that wait now (nested inside the caller), without waiting for more.
    virtual void handlePending() { runFor(0); }

    // Until done() holds (work of another thread has ended), or the program is quitting: the Qt
    // runtime handles events meanwhile, nested inside the caller, looking at done() every few
    // milliseconds; the simulated one only waits, running nothing and leaving its clock where it
    // is, so that tests see the work end at once.
    virtual void runUntil(const std::function<bool()>& done) = 0;

    // Makes a timer source whose ticks call tick().
    virtual std::unique_ptr<TimerSource> makeTimerSource(std::function<void()> tick) = 0;

    // Asks the event loop to end; every runFor returns soon after.
    virtual void quit() = 0;
    virtual bool quitting() const = 0;
};

// A timer of a window: an interval, on or off, and a tick handler. A tick never starts while the
// previous tick of the same timer is still running (it may be waiting inside Wait).
class Timer {
public:
    Timer(Runtime& runtime, int intervalMs, std::function<void()> tick);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void setEnabled(bool enabled);
    bool enabled() const { return m_enabled; }
    int interval() const { return m_intervalMs; }
    void setInterval(int intervalMs);
    bool ticking() const { return m_inTick; }

private:
    void fire();

    std::unique_ptr<TimerSource> m_source;
    std::function<void()> m_tick;
    int m_intervalMs;
    bool m_enabled = false;
    bool m_inTick = false;
    std::shared_ptr<bool> m_alive;
};

// Waits the given seconds while events run. The start is the time of day rounded to the nearest
// whole second (halves to the even one), so a wait of 1 s lasts between 0.5 s and 1.5 s. A wait
// that crosses midnight, or during which the clock is set back, still ends.
void Wait(Runtime& runtime, int seconds);

// A random whole number from 1 to n (n = 0 gives 1); the generator is seeded anew from the time
// of day at every call.
double randomNumber(Runtime& runtime, double n);

// A random number uniform in [0, 1) from a generator seeded with the time of day.
double randomFraction(Runtime& runtime);

} // namespace tavu
