#include "app/SignalShutdown.h"

namespace tavu {

SignalShutdown::SignalShutdown(std::function<void()> startShutdown, std::function<void()> endNow)
    : m_startShutdown(std::move(startShutdown)), m_endNow(std::move(endNow))
{
    m_deadline.setSingleShot(true);
    QObject::connect(&m_deadline, &QTimer::timeout, &m_deadline, [this] { m_endNow(); });
}

void SignalShutdown::onSignal()
{
    if (++m_seen > 1) {
        m_deadline.stop();
        m_endNow();
        return;
    }
    m_deadline.start(kDeadlineMs);
    m_startShutdown();
}

} // namespace tavu
