#pragma once

#include <QTimer>

#include <functional>

namespace tavu {

// What a signal does to a running program. The first one starts the shutdown, which has until
// kDeadlineMs to finish on its own; then, or at a second signal, the program ends at once: the
// announcements not yet sent are dropped, the chat room's QUIT goes out without lingering for
// the server's answer, and the settings already written stay.
class SignalShutdown {
public:
    // startShutdown: the shutdown the exit button runs. endNow: ends the program at once.
    SignalShutdown(std::function<void()> startShutdown, std::function<void()> endNow);

    void onSignal();
    int signalsSeen() const { return m_seen; }

    static constexpr int kDeadlineMs = 3500;

private:
    std::function<void()> m_startShutdown;
    std::function<void()> m_endNow;
    QTimer m_deadline;
    int m_seen = 0;
};

} // namespace tavu
