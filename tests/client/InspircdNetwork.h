#pragma once

#include "support/TestDir.h"

#include <QProcess>

#include <string>
#include <utility>
#include <vector>

namespace tavu::test {
class PumpedQtRuntime;
}

namespace tavu::test {

// A small IRC network as real ones run it: InspIRCd 3 with Atheme services linked to it, both on
// free loopback ports with configurations of their own in a temporary folder. Nothing is looked
// up in DNS. Both are stopped when the object goes.
class InspircdNetwork {
public:
    InspircdNetwork();
    ~InspircdNetwork();
    InspircdNetwork(const InspircdNetwork&) = delete;
    InspircdNetwork& operator=(const InspircdNetwork&) = delete;

    // Why the network cannot run here (a server program is not installed); "" when it can.
    static std::string missingPrograms();

    // Starts the IRC server, and the services unless told not to; false (with a message through
    // gtest) when they do not come up. With tls the server has a TLS port too, with a self-signed
    // certificate for 127.0.0.1, and tells the services the client certificates' fingerprints.
    bool start(bool withServices = true, bool tls = false);
    // Starts the services and waits until they have linked to the server.
    bool startServices();
    // Ends the services the polite way, so that they save their accounts.
    void stopServices();

    int port() const { return m_port; }
    int tlsPort() const { return m_tlsPort; }

    // Makes a self-signed certificate for 127.0.0.1 and its key; false (with a message) on failure.
    static bool makeCertificate(const std::string& certificate, const std::string& key);
    // The certificate's SHA-256 fingerprint as the server tells it: lowercase hex without colons.
    static std::string fingerprint(const std::string& certificate);

    // Registers services accounts (nick, password), each by a client signed on under that nick,
    // all at once; the clients quit when done.
    bool registerAccounts(PumpedQtRuntime& runtime, const std::vector<std::pair<std::string, std::string>>& accounts);

    static constexpr const char* kServerName = "irc.tavu.test";
    static constexpr const char* kServicesName = "services.tavu.test";

private:
    void writeConfigs();

    TestDir m_dir;
    int m_port = 0;
    int m_linkPort = 0;
    int m_tlsPort = 0;
    QProcess m_ircd;
    QProcess m_services;
};

} // namespace tavu::test
