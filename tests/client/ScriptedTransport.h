#pragma once

#include "client/IrcTransport.h"

#include <functional>
#include <string>
#include <vector>

namespace tavu::test {

// A server link driven by the test: it records what the client writes, line by line, and plays
// the server's part on request.
class ScriptedTransport : public IrcTransport {
public:
    void open(const std::string& host, int port, TlsMode tls) override
    {
        ++opens;
        lastHost = host, lastPort = port, lastTls = tls;
        connected = false;
    }
    void write(std::string_view bytes) override
    {
        m_partial.append(bytes);
        for (std::size_t end; (end = m_partial.find("\r\n")) != std::string::npos;) {
            written.push_back(m_partial.substr(0, end));
            m_partial.erase(0, end + 2);
            if (onLine)
                onLine(written.back());
        }
    }
    void close() override { ++closes, connected = false; }
    void finish() override { ++finishes, connected = false; }

    // The test plays the server.
    void accept()
    {
        connected = true;
        m_events.opened();
    }
    void serverSends(std::string_view bytes) { m_events.received(bytes); }
    void serverSays(const std::string& line) { serverSends(line + "\r\n"); }
    void serverCloses(const std::string& reason = "connection reset")
    {
        connected = false;
        m_events.closed(reason);
    }
    // The lines written since the last call.
    std::vector<std::string> take()
    {
        std::vector<std::string> lines;
        lines.swap(written);
        return lines;
    }
    bool wrote(const std::string& line) const
    {
        for (const auto& w : written)
            if (w == line)
                return true;
        return false;
    }

    std::vector<std::string> written;
    std::function<void(const std::string& line)> onLine; // each line as the client writes it
    int opens = 0, closes = 0, finishes = 0;
    bool connected = false;
    std::string lastHost;
    int lastPort = 0;
    TlsMode lastTls = TlsMode::Off;

private:
    std::string m_partial;
};

} // namespace tavu::test
