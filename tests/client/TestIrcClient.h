#pragma once

#include "client/IrcMessage.h"

#include <QTcpSocket>

#include <functional>
#include <string>
#include <vector>

namespace tavu::test {
class PumpedQtRuntime;
}

namespace tavu::test {

// A plain IRC user for the tests: the owner, a stranger or an impostor. It answers PING and keeps
// every line the server sends. It connects from the loopback address fromAddress (127.0.0.1
// unless said otherwise), so that it can stand for a user on another host.
class TestIrcClient {
public:
    TestIrcClient(PumpedQtRuntime& runtime, int port, std::string nick, std::string user,
                  std::string fromAddress = "127.0.0.1");
    ~TestIrcClient();

    // Connects and signs on; false when the welcome does not come within the limit.
    bool signOn();
    // Connects and asks to sign on, without waiting for the welcome (several clients at once).
    void beginSignOn();
    bool welcomed() const { return heard("001"); }
    std::string serverPassword; // sent as PASS at the sign-on
    bool join(const std::string& channel);
    bool signOnAndJoin(const std::string& channel) { return signOn() && join(channel); }
    // Logs in to the services account with NickServ IDENTIFY.
    bool identify(const std::string& account, const std::string& password);
    void send(const std::string& line);
    void say(const std::string& channel, const std::string& text) { send("PRIVMSG " + channel + " :" + text); }
    void quit();

    // Runs the event loop until the condition holds or timeoutMs has passed.
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 15'000);

    // The texts said in the channel by nick, in order of arrival.
    std::vector<std::string> saidBy(const std::string& nick) const;
    // Whether the server has sent a line with this command (or numeric).
    bool heard(const std::string& command) const;
    const std::vector<IrcMessage>& received() const { return m_received; }
    bool connected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }

private:
    void read();

    PumpedQtRuntime& m_runtime;
    int m_port;
    std::string m_nick, m_user, m_from;
    QTcpSocket m_socket;
    std::string m_partial;
    std::vector<IrcMessage> m_received;
};

} // namespace tavu::test
