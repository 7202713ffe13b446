#include "support/SimRuntime.h"

#include <cmath>
#include <cstdint>
#include <thread>

namespace tavu {

class SimRuntime::Scheduled {
public:
    virtual ~Scheduled() = default;
    virtual void fire() = 0;
    virtual bool wakeUp() const = 0;
    Due due{};
    bool scheduled = false;
};

class SimRuntime::SimTimer : public TimerSource, public Scheduled {
public:
    SimTimer(SimRuntime& owner, std::function<void()> tick) : m_owner(owner), m_tick(std::move(tick)) {}
    ~SimTimer() override { stop(); }

    void start(int intervalMs) override
    {
        stop();
        // A "1 ms" window timer ticks as often as the window system delivers ticks; a real one
        // manages about one every 10 ms.
        m_interval = std::max(intervalMs, 10);
        m_owner.schedule(this, m_owner.m_nowMs + m_interval);
    }
    void stop() override { m_owner.unschedule(this); }
    void fire() override
    {
        m_owner.schedule(this, m_owner.m_nowMs + m_interval);
        m_tick();
    }
    bool wakeUp() const override { return false; }

private:
    SimRuntime& m_owner;
    std::function<void()> m_tick;
    int m_interval = 10;
};

class SimRuntime::SimAlarm : public Alarm, public Scheduled {
public:
    SimAlarm(SimRuntime& owner, std::function<void()> wake) : m_owner(owner), m_wake(std::move(wake)) {}
    ~SimAlarm() override { m_owner.unschedule(this); }
    void fire() override
    {
        const auto wake = std::move(m_wake); // waking may drop this alarm
        wake();
    }
    bool wakeUp() const override { return true; }

private:
    SimRuntime& m_owner;
    std::function<void()> m_wake;
};

SimRuntime::SimRuntime(double startTimeOfDay) : m_startTimeOfDay(startTimeOfDay) {}
SimRuntime::~SimRuntime() = default;

double SimRuntime::timeOfDay() const
{
    return std::fmod(m_startTimeOfDay + static_cast<double>(m_nowMs) / 1000.0, 86400.0);
}

std::unique_ptr<Alarm> SimRuntime::wakeAfter(std::int64_t ms, std::function<void()> wake)
{
    auto alarm = std::make_unique<SimAlarm>(*this, std::move(wake));
    schedule(alarm.get(), m_nowMs + std::max<std::int64_t>(ms, 0));
    return alarm;
}

std::unique_ptr<Alarm> SimRuntime::wakeWhen(std::function<bool()> done, std::function<void()>)
{
    if (m_runEventsWhileWaiting)
        drain();
    while (!m_quitting && !done())
        std::this_thread::yield();
    if (done())
        return nullptr;
    return std::make_unique<Alarm>(); // told to end meanwhile: it never wakes
}

void SimRuntime::post(std::function<void()> event)
{
    m_events.push_back(std::move(event));
}

bool SimRuntime::runOneEvent()
{
    if (m_events.empty())
        return false;
    auto event = std::move(m_events.front());
    m_events.pop_front();
    event();
    return true;
}

void SimRuntime::drain()
{
    while (!m_quitting && runOneEvent()) {
    }
}

bool SimRuntime::fireNextDue(std::int64_t deadline)
{
    if (m_due.empty() || m_due.begin()->first.at > deadline)
        return false;
    auto it = m_due.begin();
    Scheduled* entry = it->second;
    m_nowMs = std::max(m_nowMs, it->first.at);
    m_due.erase(it);
    entry->scheduled = false;
    entry->fire();
    return true;
}

void SimRuntime::runFor(std::int64_t ms)
{
    const std::int64_t deadline = m_nowMs + std::max<std::int64_t>(ms, 0);
    for (;;) {
        drain();
        if (m_quitting)
            return;
        if (!fireNextDue(deadline))
            break;
    }
    m_nowMs = std::max(m_nowMs, deadline);
    drain();
}

void SimRuntime::runWhile(const std::function<bool()>& going)
{
    for (;;) {
        drain();
        if (m_quitting || !going())
            return;
        if (!fireNextDue(INT64_MAX))
            return;
    }
}

std::unique_ptr<TimerSource> SimRuntime::makeTimerSource(std::function<void()> tick)
{
    return std::make_unique<SimTimer>(*this, std::move(tick));
}

void SimRuntime::schedule(Scheduled* entry, std::int64_t at)
{
    unschedule(entry);
    entry->due = Due{at, entry->wakeUp(), ++m_order};
    entry->scheduled = true;
    m_due.emplace(entry->due, entry);
}

void SimRuntime::unschedule(Scheduled* entry)
{
    if (entry->scheduled)
        m_due.erase(entry->due);
    entry->scheduled = false;
}

} // namespace tavu
