#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tavu {

// How the connection to the server is secured.
enum class TlsMode {
    Off,
    Verified,         // the certificate must be valid for the server's name
    AcceptSelfSigned, // as Verified, but a self-signed certificate is accepted
};

// A byte stream to an IRC server: a TCP or TLS socket in the program, a script in tests. Opening
// is asynchronous; the events arrive on the UI thread. After close() (or a closed event) it may be
// opened again.
class IrcTransport {
public:
    struct Events {
        std::function<void()> opened; // ready to send (TLS handshake done)
        std::function<void(std::string_view bytes)> received;
        std::function<void(const std::string& reason)> closed; // lost, refused or failed
    };

    virtual ~IrcTransport() = default;

    void setEvents(Events events) { m_events = std::move(events); }

    virtual void open(const std::string& host, int port, TlsMode tls) = 0;
    virtual void write(std::string_view bytes) = 0;
    // Drops the connection at once; no closed event follows.
    virtual void close() = 0;
    // Closes after everything written so far has gone out; no closed event follows.
    virtual void finish() = 0;

protected:
    Events m_events;
};

} // namespace tavu
