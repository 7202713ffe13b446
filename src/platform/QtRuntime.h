#pragma once

#include "util/Runtime.h"

#include <QElapsedTimer>
#include <QObject>

#include <vector>

class QEventLoop;

namespace tavu {

// The program's event loop: Qt's, with nested loops for waits.
class QtRuntime : public Runtime {
public:
    QtRuntime();
    ~QtRuntime() override;

    double timeOfDay() const override;
    std::int64_t tickMs() const override { return m_clock.elapsed(); }
    void post(std::function<void()> event) override;
    void runFor(std::int64_t ms) override;
    void handlePending() override;
    void runUntil(const std::function<bool()>& done) override;
    std::unique_ptr<TimerSource> makeTimerSource(std::function<void()> tick) override;
    void quit() override;
    bool quitting() const override { return m_quitting; }

private:
    QElapsedTimer m_clock;
    QObject m_context; // posted events run in its thread, the UI thread
    std::vector<QEventLoop*> m_loops;
    bool m_quitting = false;
};

} // namespace tavu
