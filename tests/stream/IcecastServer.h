#pragma once

#include "support/TestDir.h"

#include <QProcess>

#include <optional>
#include <string>

namespace tavu::test {

// A real icecast2 on a free loopback port, with a configuration of its own in a temporary folder.
// Started as root it changes to "nobody", so its folder is open to everyone. Killed when it goes.
class IcecastServer {
public:
    static constexpr const char* kSourcePassword = "hackme";
    static constexpr const char* kMount = "/tavu";

    // relayOf: the port of a master whose /tavu mount this server relays.
    explicit IcecastServer(std::optional<int> relayOf = std::nullopt);
    ~IcecastServer();
    IcecastServer(const IcecastServer&) = delete;
    IcecastServer& operator=(const IcecastServer&) = delete;

    // Starts the server (again, on the same port, after kill) and waits until it answers HTTP.
    bool start();
    void kill();
    int port() const { return m_port; }

    // status-json.xsl as served now ("" when the server does not answer).
    std::string status() const;
    // The listeners of the mount in status-json.xsl, or -1 when the mount is not there.
    int listeners(const std::string& mount = kMount) const;
    std::string errorLog() const;

private:
    void writeConfig();

    TestDir m_dir;
    std::optional<int> m_relayOf;
    int m_port = 0;
    QProcess m_process;
};

// Fetches a URL with curl (a real HTTP client) for at most seconds; the body, or "".
std::string fetch(const std::string& url, double seconds, const std::string& header = {});

} // namespace tavu::test
