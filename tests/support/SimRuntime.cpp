#include "support/SimRuntime.h"

#include <thread>

#include <cmath>

namespace tavu {

class SimRuntime::SimTimer : public TimerSource {
public:
    SimTimer(SimRuntime& owner, std::function<void()> tick) : m_owner(owner), m_tick(std::move(tick)) {}
    ~SimTimer() override { stop(); }

    void start(int intervalMs) override
    {
        stop();
        // A "1 ms" window timer ticks as often as the window system delivers ticks; a real one
        // manages about one every 10 ms.
        m_interval = std::max(intervalMs, 10);
        m_running = true;
        m_owner.schedule(this, m_owner.m_nowMs + m_interval);
    }
    void stop() override
    {
        if (m_running)
            m_owner.unschedule(this);
        m_running = false;
    }
    void fire()
    {
        m_owner.schedule(this, m_owner.m_nowMs + m_interval);
        m_tick();
    }

    std::int64_t m_dueAt = 0;
    std::uint64_t m_order = 0;

private:
    SimRuntime& m_owner;
    std::function<void()> m_tick;
    int m_interval = 10;
    bool m_running = false;
};

SimRuntime::SimRuntime(double startTimeOfDay) : m_startTimeOfDay(startTimeOfDay) {}
SimRuntime::~SimRuntime() = default;

double SimRuntime::timeOfDay() const
{
    return std::fmod(m_startTimeOfDay + static_cast<double>(m_nowMs) / 1000.0, 86400.0);
}

void SimRuntime::runUntil(const std::function<bool()>& done)
{
    if (m_runEventsWhileWaiting)
        drain();
    while (!m_quitting && !done())
        std::this_thread::yield();
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

void SimRuntime::runFor(std::int64_t ms)
{
    const std::int64_t deadline = m_nowMs + std::max<std::int64_t>(ms, 0);
    for (;;) {
        drain();
        if (m_quitting)
            return;
        if (m_due.empty() || m_due.begin()->first.at > deadline)
            break;
        auto it = m_due.begin();
        SimTimer* timer = it->second;
        m_nowMs = std::max(m_nowMs, it->first.at);
        m_due.erase(it);
        timer->fire();
    }
    m_nowMs = std::max(m_nowMs, deadline);
    drain();
}

std::unique_ptr<TimerSource> SimRuntime::makeTimerSource(std::function<void()> tick)
{
    return std::make_unique<SimTimer>(*this, std::move(tick));
}

void SimRuntime::schedule(SimTimer* timer, std::int64_t at)
{
    timer->m_dueAt = at;
    timer->m_order = ++m_order;
    m_due.emplace(Due{at, timer->m_order}, timer);
}

void SimRuntime::unschedule(SimTimer* timer)
{
    m_due.erase(Due{timer->m_dueAt, timer->m_order});
}

} // namespace tavu
