#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tavu {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the UI thread, so that the program ends through
// its own shutdown (QUIT sent, files written) instead of being cut off. The signal handler only
// writes the signal's number into a pipe that the event loop reads. One watcher at a time; the
// signals get their default actions back when it goes.
class SignalWatcher {
public:
    explicit SignalWatcher(std::function<void(int signal)> onSignal);
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // False when the pipe or the handlers could not be set up; the signals then keep their
    // default actions.
    bool active() const { return m_notifier != nullptr; }

    static constexpr int kSignals[] = {15 /* SIGTERM */, 2 /* SIGINT */, 1 /* SIGHUP */};

private:
    void readSignals();

    std::function<void(int)> m_onSignal;
    int m_fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace tavu
