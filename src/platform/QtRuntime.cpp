#include "platform/QtRuntime.h"

#include <QCoreApplication>
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

// The wake-up of an alarm, shared with the Qt timer that delivers it: dropping the alarm empties
// it, and a timer that fires later finds nothing to call.
using Wake = std::shared_ptr<std::function<void()>>;

class QtAlarm : public Alarm {
public:
    explicit QtAlarm(Wake wake) : m_wake(std::move(wake)) {}
    ~QtAlarm() override { *m_wake = nullptr; }

private:
    Wake m_wake;
};

void ring(const Wake& wake)
{
    const auto call = std::exchange(*wake, nullptr); // waking may drop the alarm
    if (call)
        call();
}

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

std::unique_ptr<Alarm> QtRuntime::wakeAfter(std::int64_t ms, std::function<void()> wake)
{
    auto shared = std::make_shared<std::function<void()>>(std::move(wake));
    QTimer::singleShot(static_cast<int>(std::clamp<std::int64_t>(ms, 0, 24 * 3600 * 1000)), Qt::PreciseTimer,
                       &m_context, [weak = std::weak_ptr(shared)] {
                           if (const auto owed = weak.lock())
                               ring(owed);
                       });
    return std::make_unique<QtAlarm>(std::move(shared));
}

std::unique_ptr<Alarm> QtRuntime::wakeWhen(std::function<bool()> done, std::function<void()> wake)
{
    if (done())
        return nullptr;
    constexpr int kLookMs = 2;
    auto shared = std::make_shared<std::function<void()>>(std::move(wake));
    auto* look = new QTimer(&m_context);
    look->setTimerType(Qt::PreciseTimer);
    QObject::connect(look, &QTimer::timeout, look, [look, done = std::move(done), weak = std::weak_ptr(shared)] {
        const auto owed = weak.lock();
        if (!owed) { // the alarm was dropped
            look->stop();
            look->deleteLater();
            return;
        }
        if (!done())
            return;
        look->stop();
        look->deleteLater();
        ring(owed);
    });
    look->start(kLookMs);
    return std::make_unique<QtAlarm>(std::move(shared));
}

std::unique_ptr<TimerSource> QtRuntime::makeTimerSource(std::function<void()> tick)
{
    return std::make_unique<QtTimerSource>(std::move(tick));
}

void QtRuntime::quit()
{
    m_quitting = true;
    // Not quit(): in Qt 6 that first asks every window to close, and the main window and the chat
    // room refuse, so the program would never end.
    QCoreApplication::exit(0);
}

} // namespace tavu
