#include "util/Runtime.h"

#include "util/Text.h"

#include <cmath>
#include <cstring>
#include <random>

namespace tavu {

Timer::Timer(Runtime& runtime, int intervalMs) : m_intervalMs(intervalMs), m_alive(std::make_shared<bool>(true))
{
    m_source = runtime.makeTimerSource([this] { fire(); });
}

Timer::~Timer()
{
    *m_alive = false;
    m_source->stop();
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled)
        m_source->start(m_intervalMs);
    else
        m_source->stop();
}

void Timer::setInterval(int intervalMs)
{
    m_intervalMs = intervalMs;
    if (m_enabled)
        m_source->start(m_intervalMs);
}

void Timer::fire()
{
    if (!m_enabled || m_inTick)
        return;
    m_inTick = true;
    const auto alive = m_alive; // the handler may destroy this timer's owner
    if (m_tick) {
        m_tick();
        if (*alive)
            m_inTick = false;
        return;
    }
    auto tick = m_waitingTick();
    if (*alive)
        m_ticks.start(std::move(tick), [this] { m_inTick = false; });
}

Task<> secondsPass(Runtime& runtime, int seconds)
{
    constexpr double kDay = 86400.0;
    const double start = roundHalfEven(runtime.timeOfDay());
    const std::int64_t startTick = runtime.tickMs();
    // However the wall clock moves, the wait never lasts longer than this.
    const std::int64_t limitMs = (static_cast<std::int64_t>(seconds) + 1) * 1000;
    for (;;) {
        if (runtime.quitting())
            co_return;
        double now = runtime.timeOfDay();
        if (now < start - kDay / 2)
            now += kDay; // past midnight
        const double elapsed = now - start;
        if (elapsed >= seconds)
            co_return;
        const std::int64_t spent = runtime.tickMs() - startTick;
        if (spent >= limitMs)
            co_return;
        const auto remaining = static_cast<std::int64_t>(std::ceil((seconds - elapsed) * 1000.0));
        const std::int64_t ms = std::max<std::int64_t>(1, std::min(remaining, limitMs - spent));
        co_await after(runtime, ms);
    }
}

namespace {
std::mt19937_64 generatorFromTimeOfDay(Runtime& runtime)
{
    const double t = runtime.timeOfDay();
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof t);
    std::memcpy(&bits, &t, sizeof bits);
    return std::mt19937_64(bits);
}
} // namespace

double randomFraction(Runtime& runtime)
{
    auto generator = generatorFromTimeOfDay(runtime);
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

double randomNumber(Runtime& runtime, double n)
{
    const double value = leadingNumber(std::to_string(n));
    return std::floor(value * randomFraction(runtime) + 1.0);
}

} // namespace tavu
