#include "client/IrcConnection.h"

#include "client/IrcMessage.h"
#include "util/Runtime.h"

namespace tavu {
namespace {

// A line as it may go on the wire: no line breaks or NULs inside, and no longer than the server
// accepts.
std::string wireSafe(const std::string& line)
{
    std::string out = line;
    for (char& c : out)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    if (out.size() > IrcConnection::kMaxLine) {
        std::size_t cut = IrcConnection::kMaxLine;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
            --cut;
        out.resize(cut);
    }
    return out;
}

std::string seconds(std::int64_t ms)
{
    return std::to_string((ms + 500) / 1000) + " s";
}

} // namespace

IrcConnection::IrcConnection(Runtime& runtime, IrcTransport& transport, const IrcTimings& timings,
                             std::function<double()> random)
    : m_runtime(runtime), m_transport(transport), m_timings(timings),
      m_flood(
          runtime, [this](const std::string& line) { write(line); }, timings.floodBurst, timings.floodIntervalMs),
      m_backoff({timings.reconnectMinMs, timings.reconnectMaxMs, 0.25, timings.stableMs}, std::move(random)),
      m_signOnTimer(runtime), m_silenceTimer(runtime), m_retryTimer(runtime), m_lingerTimer(runtime)
{
    m_flood.onDropped = [this] {
        if (m_events.dropped)
            m_events.dropped();
    };
    m_flood.onEmpty = [this] {
        if (m_state == State::Closing)
            finishQuit();
    };
    m_transport.setEvents({[this] { opened(); }, [this](std::string_view bytes) { received(bytes); },
                           [this](const std::string& reason) { closed(reason); }});
}

IrcConnection::~IrcConnection()
{
    m_transport.setEvents({});
}

void IrcConnection::start(std::vector<IrcEndpoint> servers, TlsMode tls)
{
    if (servers.empty())
        servers.push_back({});
    m_servers = std::move(servers);
    m_current = 0;
    m_tls = tls;
    connect();
}

void IrcConnection::connect()
{
    stopTimers();
    m_state = State::Connecting;
    m_registered = false;
    m_heardLine = false;
    m_joinedAt = -1;
    m_serverError.clear();
    m_buffer.clear();
    m_signOnTimer.start(m_timings.registrationMs,
                        [this] { drop("no welcome from the server within " + seconds(m_timings.registrationMs)); });
    if (m_events.connecting)
        m_events.connecting();
    if (m_state == State::Connecting)
        m_transport.open(server().host, server().port, m_tls);
}

void IrcConnection::opened()
{
    if (m_state != State::Connecting)
        return;
    m_state = State::Open;
    m_lastHeard = m_runtime.tickMs();
    m_pingSent = false;
    scheduleSilenceCheck();
    if (m_events.opened)
        m_events.opened();
}

void IrcConnection::received(std::string_view bytes)
{
    if (m_state != State::Open && m_state != State::Closing)
        return;
    // A TLS record (an alert or a handshake) where a plain link expects its first line.
    if (!m_heardLine && m_tls == TlsMode::Off && !bytes.empty() && (bytes[0] == '\x15' || bytes[0] == '\x16')) {
        drop("the server at " + where() +
             " answered in TLS: is it a TLS port? Set TLS=1, or use the server's plain port (often 6667)");
        return;
    }
    for (const std::string& line : m_buffer.feed(bytes)) {
        if (m_state != State::Open && m_state != State::Closing)
            return; // a line before this one ended the link
        handle(line);
    }
}

void IrcConnection::handle(const std::string& line)
{
    m_heardLine = true;
    m_lastHeard = m_runtime.tickMs();
    m_pingSent = false;
    const auto message = IrcMessage::parse(line);
    if (!message)
        return;
    if (message->command == "PING") {
        sendNow(ircLine("PONG", {message->param(0)}));
        return;
    }
    if (message->command == "ERROR")
        m_serverError = message->param(0);
    if (m_events.message)
        m_events.message(*message);
}

void IrcConnection::closed(const std::string& reason)
{
    if (m_state == State::Closing) {
        // Gone while signing off: nothing more to send, and no coming back.
        stopTimers();
        m_flood.clear();
        m_state = State::Closed;
        if (m_events.closed)
            m_events.closed();
        return;
    }
    if (m_state != State::Connecting && m_state != State::Open)
        return;
    drop(m_serverError.empty() ? reason : "the server said: " + m_serverError);
}

void IrcConnection::drop(const std::string& reason)
{
    if (m_state != State::Connecting && m_state != State::Open)
        return;
    m_transport.close();
    stopTimers();
    m_flood.clear();
    m_buffer.clear();
    const std::int64_t now = m_runtime.tickMs();
    const std::int64_t upMs = m_registered ? now - m_registeredAt : 0;
    const bool stayed = m_joinedAt >= 0 && now - m_joinedAt >= m_timings.stableJoinMs;
    if (stayed)
        m_backoff.reset(); // a good stay in the channel: the next outage starts the series again
    m_registered = false;
    m_joinedAt = -1;
    const std::int64_t delay = m_backoff.nextDelay(upMs);
    // After a good link the same server is tried again first; after a poor one, the next server.
    if (!stayed && upMs < m_timings.stableMs && m_servers.size() > 1)
        m_current = (m_current + 1) % m_servers.size();
    m_state = State::Waiting;
    m_retryTimer.start(delay, [this] { connect(); });
    if (m_events.lost)
        m_events.lost(reason, delay);
}

void IrcConnection::quit(const std::string& message, std::int64_t lingerMs)
{
    m_quitMessage = message;
    // A second quit while the first lingers ends it at once.
    if (m_state == State::Open && lingerMs > 0 && m_flood.pending() > 0) {
        m_state = State::Closing;
        m_signOnTimer.stop();
        m_retryTimer.stop();
        m_lingerTimer.start(lingerMs, [this] { finishQuit(); });
        return;
    }
    if (m_state == State::Open || m_state == State::Closing) {
        finishQuit();
        return;
    }
    if (m_state == State::Connecting)
        m_transport.close();
    stopTimers();
    m_flood.clear();
    m_state = State::Closed;
    m_registered = false;
}

void IrcConnection::finishQuit()
{
    if (m_state != State::Open && m_state != State::Closing)
        return;
    m_flood.clear();
    write(ircLine("QUIT", {m_quitMessage}));
    m_transport.finish();
    stopTimers();
    m_state = State::Closed;
    m_registered = false;
    if (m_events.closed)
        m_events.closed();
}

void IrcConnection::send(std::string line, FloodQueue::Tag tag)
{
    if (m_state == State::Open)
        m_flood.enqueue(std::move(line), std::move(tag));
}

void IrcConnection::sendNow(const std::string& line)
{
    if (m_state == State::Open || m_state == State::Closing)
        m_flood.sendNow(line);
}

void IrcConnection::markRegistered()
{
    if (m_state != State::Open || m_registered)
        return;
    m_registered = true;
    m_registeredAt = m_runtime.tickMs();
    m_signOnTimer.stop();
}

void IrcConnection::markJoined()
{
    if (m_state == State::Open && m_joinedAt < 0)
        m_joinedAt = m_runtime.tickMs();
}

void IrcConnection::scheduleSilenceCheck()
{
    const std::int64_t due = m_lastHeard + (m_pingSent ? m_timings.deadMs : m_timings.quietPingMs);
    m_silenceTimer.start(due - m_runtime.tickMs(), [this] { checkSilence(); });
}

void IrcConnection::checkSilence()
{
    const std::int64_t silent = m_runtime.tickMs() - m_lastHeard;
    if (silent >= m_timings.deadMs) {
        drop("no word from the server for " + seconds(silent));
        return;
    }
    if (silent >= m_timings.quietPingMs && !m_pingSent) {
        sendNow("PING :tavu");
        m_pingSent = true;
    }
    scheduleSilenceCheck();
}

void IrcConnection::write(const std::string& line)
{
    if (m_state == State::Open || m_state == State::Closing)
        m_transport.write(wireSafe(line) + "\r\n");
}

void IrcConnection::stopTimers()
{
    m_signOnTimer.stop();
    m_silenceTimer.stop();
    m_retryTimer.stop();
    m_lingerTimer.stop();
}

} // namespace tavu
