#pragma once

#include "client/FloodQueue.h"
#include "client/IrcConfig.h"
#include "client/IrcLineBuffer.h"
#include "client/OneShotTimer.h"
#include "client/ReconnectBackoff.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tavu {

class Runtime;
struct IrcMessage;

// One server link and its upkeep: opening it, reading lines, answering PING at any time, the
// time-outs (sign-on, silence, dead link), flood control of what we send, and coming back after a
// lost link with a growing back-off. It knows nothing of nicks or channels; IrcSession does.
class IrcConnection {
public:
    enum class State { Idle, Connecting, Open, Waiting, Closing, Closed };
    struct Events {
        std::function<void()> connecting;
        std::function<void()> opened;
        std::function<void(const IrcMessage&)> message;
        // The link is gone; the next attempt starts in retryMs.
        std::function<void(const std::string& reason, std::int64_t retryMs)> lost;
        // Flood control dropped queued lines (said once until the queue has run empty).
        std::function<void()> dropped;
        // quit() has sent QUIT.
        std::function<void()> closed;
    };

    IrcConnection(Runtime& runtime, IrcTransport& transport, const IrcTimings& timings, std::function<double()> random);
    ~IrcConnection();

    void setEvents(Events events) { m_events = std::move(events); }

    // Connects, and keeps reconnecting after every loss until quit(), to each server in turn.
    void start(std::vector<IrcEndpoint> servers, TlsMode tls);
    // Queued behind flood control; dropped while the link is not open.
    void send(std::string line, FloodQueue::Tag tag = {});
    // Goes out at once (PONG, the sign-on dialogue).
    void sendNow(const std::string& line);
    // The server has welcomed us: the sign-on time-out ends.
    void markRegistered();
    // We are in the channel: a stay of stableJoinMs resets the back-off.
    void markJoined();
    // Gives the link up and tries again after the back-off.
    void drop(const std::string& reason);
    // Stops reconnecting and signs off: the lines still queued go out at the flood rule's pace for
    // up to lingerMs (meanwhile the state is Closing), then QUIT, and the link closes. Lines not
    // sent by then are dropped; with lingerMs 0 QUIT goes at once.
    void quit(const std::string& message, std::int64_t lingerMs = 0);

    State state() const { return m_state; }
    bool registered() const { return m_registered; }
    // The server being tried, or the one we are on.
    const IrcEndpoint& server() const { return m_servers[m_current]; }
    std::string where() const { return server().host + ":" + std::to_string(server().port); }
    TlsMode tls() const { return m_tls; }
    std::size_t queuedLines() const { return m_flood.pending(); }

    // Longest line we send, line end not counted; longer ones are cut.
    static constexpr std::size_t kMaxLine = 510;

private:
    void connect();
    void opened();
    void received(std::string_view bytes);
    void handle(const std::string& line);
    void closed(const std::string& reason);
    void checkSilence();
    void scheduleSilenceCheck();
    void write(const std::string& line);
    void finishQuit();
    void stopTimers();

    Runtime& m_runtime;
    IrcTransport& m_transport;
    IrcTimings m_timings;
    Events m_events;
    IrcLineBuffer m_buffer;
    FloodQueue m_flood;
    ReconnectBackoff m_backoff;
    OneShotTimer m_signOnTimer;
    OneShotTimer m_silenceTimer;
    OneShotTimer m_retryTimer;
    OneShotTimer m_lingerTimer;
    std::string m_quitMessage;
    std::vector<IrcEndpoint> m_servers{IrcEndpoint{}};
    std::size_t m_current = 0;
    bool m_heardLine = false; // a line has come on this link
    TlsMode m_tls = TlsMode::Off;
    State m_state = State::Idle;
    bool m_registered = false;
    bool m_pingSent = false;
    std::int64_t m_lastHeard = 0;
    std::int64_t m_registeredAt = 0;
    std::int64_t m_joinedAt = -1; // -1: not in the channel on this link
    std::string m_serverError;
};

} // namespace tavu
