#pragma once

#include "support/TestDir.h"

#include <QProcess>

#include <string>

namespace tavu::test {

// A real ngircd on free loopback ports, with a configuration of its own in a temporary folder.
// ngircd started as root drops to "nobody", so the folder is readable by everyone and the PID
// file lies in /tmp. Stopped (killed) when the object goes.
class NgircdServer {
public:
    struct Options {
        bool throttle = false;     // ngircd's own flood penalties (3 lines at once, then 3 a second)
        bool tls = false;          // also a TLS port with a fresh self-signed certificate for 127.0.0.1
        std::string password = {}; // what every client must send as PASS
    };

    explicit NgircdServer(Options options);
    NgircdServer() : NgircdServer(Options{}) {}
    ~NgircdServer();
    NgircdServer(const NgircdServer&) = delete;
    NgircdServer& operator=(const NgircdServer&) = delete;

    // Starts the server and waits until it accepts connections; false (with a message through
    // gtest) when it does not come up. Start again after kill() to restart on the same ports.
    bool start();
    // Ends the server at once, as a crash would.
    void kill();

    int port() const { return m_port; }
    int tlsPort() const { return m_tlsPort; }
    std::string output();

    static constexpr const char* kName = "irc.tavu.test";

private:
    void writeConfig();
    bool makeCertificate();

    Options m_options;
    TestDir m_dir;
    std::string m_pidFile;
    int m_port = 0;
    int m_tlsPort = 0;
    QProcess m_process;
};

} // namespace tavu::test
