#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace tavu {

class Runtime;
class TimerSource;

// Runs an action once, after a delay, on the runtime's event loop. Starting it again replaces
// the pending action.
class OneShotTimer {
public:
    explicit OneShotTimer(Runtime& runtime);
    ~OneShotTimer();
    OneShotTimer(const OneShotTimer&) = delete;
    OneShotTimer& operator=(const OneShotTimer&) = delete;

    void start(std::int64_t delayMs, std::function<void()> action);
    void stop();
    bool active() const { return static_cast<bool>(m_action); }

private:
    void fire();

    std::unique_ptr<TimerSource> m_source;
    std::function<void()> m_action;
};

} // namespace tavu
