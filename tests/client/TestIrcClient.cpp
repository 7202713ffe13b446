#include "TestIrcClient.h"

#include "support/PumpedQtRuntime.h"

#include <QElapsedTimer>

namespace tavu::test {

TestIrcClient::TestIrcClient(PumpedQtRuntime& runtime, int port, std::string nick, std::string user,
                             std::string fromAddress)
    : m_runtime(runtime), m_port(port), m_nick(std::move(nick)), m_user(std::move(user)), m_from(std::move(fromAddress))
{
    QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] { read(); });
}

TestIrcClient::~TestIrcClient()
{
    m_socket.abort();
}

bool TestIrcClient::signOn()
{
    beginSignOn();
    return waitFor([this] { return welcomed(); });
}

void TestIrcClient::beginSignOn()
{
    m_socket.bind(QHostAddress(QString::fromStdString(m_from)), 0);
    m_socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(m_port));
    if (!m_socket.waitForConnected(5'000))
        return;
    if (!serverPassword.empty())
        send("PASS " + serverPassword);
    send("NICK " + m_nick);
    send("USER " + m_user + " 0 * :Test user");
}

bool TestIrcClient::join(const std::string& channel)
{
    send("JOIN " + channel);
    return waitFor([&] {
        for (const IrcMessage& m : m_received)
            if (m.command == "JOIN" && m.nick == m_nick)
                return true;
        return false;
    });
}

bool TestIrcClient::identify(const std::string& account, const std::string& password)
{
    send("PRIVMSG NickServ :IDENTIFY " + account + " " + password);
    return waitFor([this] { return heard("900"); });
}

bool TestIrcClient::heard(const std::string& command) const
{
    for (const IrcMessage& m : m_received)
        if (m.command == command)
            return true;
    return false;
}

void TestIrcClient::send(const std::string& line)
{
    const std::string bytes = line + "\r\n";
    m_socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    m_socket.flush();
}

void TestIrcClient::quit()
{
    send("QUIT :bye");
    waitFor([this] { return !connected(); }, 5'000);
    m_socket.abort();
}

bool TestIrcClient::waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        m_runtime.runFor(10);
    }
    return true;
}

std::vector<std::string> TestIrcClient::saidBy(const std::string& nick) const
{
    std::vector<std::string> texts;
    for (const IrcMessage& m : m_received)
        if (m.command == "PRIVMSG" && m.nick == nick)
            texts.push_back(m.param(1));
    return texts;
}

void TestIrcClient::read()
{
    m_partial += m_socket.readAll().toStdString();
    for (std::size_t end; (end = m_partial.find("\r\n")) != std::string::npos;) {
        const std::string line = m_partial.substr(0, end);
        m_partial.erase(0, end + 2);
        if (auto message = IrcMessage::parse(line)) {
            if (message->command == "PING")
                send("PONG :" + message->param(0));
            m_received.push_back(std::move(*message));
        }
    }
}

} // namespace tavu::test
