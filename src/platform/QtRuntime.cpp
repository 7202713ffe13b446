#include "platform/QtRuntime.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTime>
#include <QTimer>

#include <algorithm>

namespace tavu {
namespace {

class QtTimerSource : public TimerSource {
public:
    explicit QtTimerSource(std::function<void()> tick)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [tick = std::move(tick)] { tick(); });
    }
    void start(int intervalMs) override { m_timer.start(std::max(intervalMs, 1)); }
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
};

} // namespace

QtRuntime::QtRuntime()
{
    m_clock.start();
}
QtRuntime::~QtRuntime() = default;

double QtRuntime::timeOfDay() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void QtRuntime::post(std::function<void()> event)
{
    QMetaObject::invokeMethod(&m_context, std::move(event), Qt::QueuedConnection);
}

void QtRuntime::runFor(std::int64_t ms)
{
    if (m_quitting)
        return;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(static_cast<int>(std::clamp<std::int64_t>(ms, 0, 24 * 3600 * 1000)));
    m_loops.push_back(&loop);
    loop.exec();
    std::erase(m_loops, &loop);
}

void QtRuntime::handlePending()
{
    if (!m_quitting)
        QCoreApplication::processEvents();
}

void QtRuntime::runUntil(const std::function<bool()>& done)
{
    constexpr int kLookMs = 2;
    while (!m_quitting && !done())
        runFor(kLookMs);
}

std::unique_ptr<TimerSource> QtRuntime::makeTimerSource(std::function<void()> tick)
{
    return std::make_unique<QtTimerSource>(std::move(tick));
}

void QtRuntime::quit()
{
    m_quitting = true;
    for (QEventLoop* loop : m_loops)
        loop->quit();
    // Not quit(): in Qt 6 that first asks every window to close, and the main window and the chat
    // room refuse, so the program would never end.
    QCoreApplication::exit(0);
}

} // namespace tavu
