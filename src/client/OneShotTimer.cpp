#include "client/OneShotTimer.h"

#include "util/Runtime.h"

#include <algorithm>

namespace tavu {

OneShotTimer::OneShotTimer(Runtime& runtime) : m_source(runtime.makeTimerSource([this] { fire(); })) {}

OneShotTimer::~OneShotTimer()
{
    m_source->stop();
}

void OneShotTimer::start(std::int64_t delayMs, std::function<void()> action)
{
    m_action = std::move(action);
    m_source->start(static_cast<int>(std::clamp<std::int64_t>(delayMs, 1, 24 * 3600 * 1000)));
}

void OneShotTimer::stop()
{
    m_source->stop();
    m_action = nullptr;
}

void OneShotTimer::fire()
{
    m_source->stop();
    auto action = std::move(m_action);
    m_action = nullptr;
    if (action)
        action();
}

} // namespace tavu
