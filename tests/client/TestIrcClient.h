#pragma once

#include "client/IrcMessage.h"

#include <QTcpSocket>

#include <functional>
#include <string>
#include <vector>

namespace tavu {
class Runtime;
}

namespace tavu::test {

// A plain IRC user for the tests: the owner, a stranger or an impostor. It answers PING and keeps
// every line the server sends.
class TestIrcClient {
public:
    TestIrcClient(Runtime& runtime, int port, std::string nick, std::string user);
    ~TestIrcClient();

    // Connects, signs on and joins the channel; false when that does not happen within the limit.
    bool signOnAndJoin(const std::string& channel);
    void send(const std::string& line);
    void say(const std::string& channel, const std::string& text) { send("PRIVMSG " + channel + " :" + text); }
    void quit();

    // Runs the event loop until the condition holds or timeoutMs has passed.
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 15'000);

    // The texts said in the channel by nick, in order of arrival.
    std::vector<std::string> saidBy(const std::string& nick) const;
    const std::vector<IrcMessage>& received() const { return m_received; }
    bool connected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }

private:
    void read();

    Runtime& m_runtime;
    int m_port;
    std::string m_nick, m_user;
    QTcpSocket m_socket;
    std::string m_partial;
    std::vector<IrcMessage> m_received;
};

} // namespace tavu::test
