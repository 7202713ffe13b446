#pragma once

#include "util/Runtime.h"

#include <QElapsedTimer>
#include <QObject>

namespace tavu {

// The program's event loop: Qt's. Waiting tasks are woken by its timers.
class QtRuntime : public Runtime {
public:
    QtRuntime();
    ~QtRuntime() override;

    double timeOfDay() const override;
    std::int64_t tickMs() const override { return m_clock.elapsed(); }
    void post(std::function<void()> event) override;
    std::unique_ptr<Alarm> wakeAfter(std::int64_t ms, std::function<void()> wake) override;
    std::unique_ptr<Alarm> wakeWhen(std::function<bool()> done, std::function<void()> wake) override;
    std::unique_ptr<TimerSource> makeTimerSource(std::function<void()> tick) override;
    void quit() override;
    bool quitting() const override { return m_quitting; }

private:
    QElapsedTimer m_clock;
    QObject m_context; // posted events run in its thread, the UI thread
    bool m_quitting = false;
};

} // namespace tavu
