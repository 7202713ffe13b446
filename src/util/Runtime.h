#pragma once

#include "util/Task.h"

#ifndef Q_MOC_RUN // moc does not read the concepts this header brings
#include <coroutine>
#endif
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

namespace tavu {

// A repeating timer source of the event loop. Ticks run on the UI thread.
class TimerSource {
public:
    virtual ~TimerSource() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
};

// A wake-up the runtime owes a waiting task. Dropping it first means the wake-up never comes.
class Alarm {
public:
    virtual ~Alarm() = default;
};

// The event loop and the clocks the behaviour code runs on. The program uses the Qt one; tests use
// SimRuntime, whose clock only moves when the test lets time pass. Nothing here runs events inside
// the caller: code that waits is a Task, and the loop wakes it when its time has come.
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

    // Calls wake() once, ms milliseconds from now (0: after the events that wait now), from the
    // event loop. Never calls it from here.
    virtual std::unique_ptr<Alarm> wakeAfter(std::int64_t ms, std::function<void()> wake) = 0;

    // Once done() holds (work of another thread has ended), calls wake() from the event loop; the
    // Qt runtime looks every few milliseconds. Returns nothing, and calls nothing, when it holds
    // already: the simulated runtime waits for it here, leaving its clock where it is, so that
    // tests see the work end at once.
    virtual std::unique_ptr<Alarm> wakeWhen(std::function<bool()> done, std::function<void()> wake) = 0;

    // Makes a timer source whose ticks call tick().
    virtual std::unique_ptr<TimerSource> makeTimerSource(std::function<void()> tick) = 0;

    // Asks the event loop to end. Tasks still waiting then wake no more; a wait that starts
    // afterwards ends at once.
    virtual void quit() = 0;
    virtual bool quitting() const = 0;
};

// A timer of a window: an interval, on or off, and a tick handler. A handler that waits returns a
// Task; a tick never starts while the previous tick of the same timer is still waiting.
class Timer {
public:
    template <typename Tick>
    Timer(Runtime& runtime, int intervalMs, Tick tick) : Timer(runtime, intervalMs)
    {
        if constexpr (std::is_void_v<std::invoke_result_t<Tick&>>)
            m_tick = std::move(tick);
        else
            m_waitingTick = std::move(tick);
    }
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void setEnabled(bool enabled);
    bool enabled() const { return m_enabled; }
    int interval() const { return m_intervalMs; }
    void setInterval(int intervalMs);
    bool ticking() const { return m_inTick; }

private:
    Timer(Runtime& runtime, int intervalMs);
    void fire();

    std::unique_ptr<TimerSource> m_source;
    std::function<void()> m_tick;
    std::function<Task<>()> m_waitingTick;
    int m_intervalMs;
    bool m_enabled = false;
    bool m_inTick = false;
    std::shared_ptr<bool> m_alive;
    TaskScope m_ticks;
};

// co_await after(runtime, ms): the events and timers of ms milliseconds run meanwhile; ends at
// once when the program is quitting.
class After {
public:
    After(Runtime& runtime, std::int64_t ms) : m_runtime(runtime), m_ms(ms) {}
    bool await_ready() const { return m_runtime.quitting(); }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        m_alarm = m_runtime.wakeAfter(m_ms, [waiting] { waiting.resume(); });
    }
    void await_resume() const {}

private:
    Runtime& m_runtime;
    std::int64_t m_ms;
    std::unique_ptr<Alarm> m_alarm;
};
inline After after(Runtime& runtime, std::int64_t ms)
{
    return {runtime, ms};
}
// co_await nextTurn(runtime): the events that wait now run first.
inline After nextTurn(Runtime& runtime)
{
    return {runtime, 0};
}

// co_await workDone(runtime, done): until done() holds, as wakeWhen.
class WorkDone {
public:
    WorkDone(Runtime& runtime, std::function<bool()> done) : m_runtime(runtime), m_done(std::move(done)) {}
    bool await_ready() const { return m_done(); }
    bool await_suspend(std::coroutine_handle<> waiting)
    {
        m_alarm = m_runtime.wakeWhen(m_done, [waiting] { waiting.resume(); });
        return m_alarm != nullptr;
    }
    void await_resume() const {}

private:
    Runtime& m_runtime;
    std::function<bool()> m_done;
    std::unique_ptr<Alarm> m_alarm;
};
inline WorkDone workDone(Runtime& runtime, std::function<bool()> done)
{
    return {runtime, std::move(done)};
}

// The given seconds pass while events run. The start is the time of day rounded to the nearest
// whole second (halves to the even one), so a wait of 1 s lasts between 0.5 s and 1.5 s. A wait
// that crosses midnight, or during which the clock is set back, still ends.
Task<> secondsPass(Runtime& runtime, int seconds);

// A random whole number from 1 to n (n = 0 gives 1); the generator is seeded anew from the time
// of day at every call.
double randomNumber(Runtime& runtime, double n);

// A random number uniform in [0, 1) from a generator seeded with the time of day.
double randomFraction(Runtime& runtime);

} // namespace tavu
