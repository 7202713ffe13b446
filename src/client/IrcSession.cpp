#include "client/IrcSession.h"

#include "client/IrcMessage.h"

#include <algorithm>
#include <random>

namespace tavu {
namespace {

std::function<double()> seededRandom()
{
    auto engine = std::make_shared<std::mt19937>(std::random_device{}());
    return [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}

std::string lastParam(const IrcMessage& message)
{
    return message.params.empty() ? std::string{} : message.params.back();
}

bool isJoinFailure(const std::string& command)
{
    static constexpr std::string_view kFailures[] = {"403", "405", "471", "473", "474", "475", "477"};
    return std::find(std::begin(kFailures), std::end(kFailures), command) != std::end(kFailures);
}

} // namespace

IrcSession::IrcSession(Runtime& runtime, IrcTransport& transport, IrcConfig config, std::function<double()> random)
    : m_config(std::move(config)),
      m_connection(runtime, transport, m_config.timings, random ? std::move(random) : seededRandom()),
      m_registration([this](const std::string& line) { m_connection.sendNow(line); },
                     [this](const std::string& text) { notice(text); }),
      m_rejoinTimer(runtime)
{
    m_connection.setEvents({[this] { connecting(); }, [this] { opened(); },
                            [this](const IrcMessage& message) { received(message); },
                            [this](const std::string& reason, std::int64_t retryMs) { lost(reason, retryMs); }});
}

const std::string& IrcSession::nick() const
{
    if (!m_nick.empty())
        return m_nick;
    return m_registration.nick().empty() ? m_config.nick : m_registration.nick();
}

void IrcSession::start()
{
    m_connection.start(m_config.server, m_config.port, m_config.tls);
}

void IrcSession::connecting()
{
    setPhase(Phase::Connecting, "Connecting to " + m_config.server + ":" + std::to_string(m_config.port));
}

void IrcSession::signOff(const std::string& message)
{
    m_rejoinTimer.stop();
    if (m_phase == Phase::Closed || m_phase == Phase::Idle)
        return;
    m_connection.quit(message);
    setPhase(Phase::Closed, "Signed off");
}

void IrcSession::say(const std::string& text, bool action)
{
    const std::string body = action ? "\x01"
                                      "ACTION " +
                                          text + "\x01"
                                    : text;
    m_connection.send("PRIVMSG " + m_config.channel + " :" + body);
}

std::size_t IrcSession::textBudget(bool action) const
{
    const std::size_t overhead = action ? 9 : 0; // "\1ACTION " and "\1"
    return budget("PRIVMSG", m_config.channel.size(), overhead);
}

std::size_t IrcSession::noticeBudget(const std::string& nick) const
{
    return budget("NOTICE", nick.size(), 0);
}

std::size_t IrcSession::budget(std::string_view command, std::size_t targetSize, std::size_t overhead) const
{
    if (m_host.empty())
        return kUnknownPrefixBudget - overhead;
    // ":nick!user@host COMMAND target :" + text + "\r\n" in 512 bytes
    const std::size_t fixed = 1 + nick().size() + 1 + m_user.size() + 1 + m_host.size() + 1 + command.size() + 1 +
                              targetSize + 2 + 2 + overhead;
    return fixed + 32 < 512 ? 512 - fixed : 32;
}

void IrcSession::sendNotice(const std::string& nick, const std::string& text)
{
    m_connection.send("NOTICE " + nick + " :" + text);
}

void IrcSession::opened()
{
    m_nick.clear(), m_user.clear(), m_host.clear();
    m_mapping = IrcCaseMapping();
    setPhase(Phase::SigningOn, "Signing on to " + m_config.server);
    m_registration.start(m_config.nick, m_config.userName, m_config.realName, m_config.password);
}

void IrcSession::lost(const std::string& reason, std::int64_t retryMs)
{
    m_rejoinTimer.stop();
    notice("Disconnected: " + reason);
    setPhase(Phase::Waiting, "Disconnected; trying again in " + std::to_string((retryMs + 999) / 1000) + " s");
}

void IrcSession::received(const IrcMessage& message)
{
    const bool wasWelcomed = m_registration.welcomed();
    if (m_registration.handle(message)) {
        if (!wasWelcomed && m_registration.welcomed())
            welcomed();
        return;
    }
    const std::string& command = message.command;
    if (command == "005")
        readIsupport(message);
    else if (command == "JOIN")
        handleJoin(message);
    else if (command == "PART" || command == "KICK" || command == "QUIT" || command == "NICK")
        handleLeave(message);
    else if (command == "PRIVMSG" || command == "NOTICE")
        handleText(message);
    else if (command == "396" && !message.param(1).empty())
        m_host = message.param(1).substr(message.param(1).find('@') + 1);
    else if (command == "ERROR" || (message.isNumeric() && (command[0] == '4' || command[0] == '5')))
        handleError(message);
}

void IrcSession::welcomed()
{
    m_nick = m_registration.nick();
    m_connection.markRegistered();
    join();
}

void IrcSession::join()
{
    setPhase(Phase::Joining, "Joining " + m_config.channel + " as " + nick());
    m_connection.send(ircLine("JOIN", {m_config.channel}));
}

void IrcSession::readIsupport(const IrcMessage& message)
{
    for (std::size_t i = 1; i + 1 < message.params.size(); ++i) {
        const std::string& token = message.params[i];
        if (token.starts_with("CASEMAPPING="))
            m_mapping = IrcCaseMapping::fromToken(token.substr(12));
    }
}

void IrcSession::handleJoin(const IrcMessage& message)
{
    if (!isChannel(message.param(0)))
        return;
    if (isSelf(message.nick)) {
        m_user = message.user, m_host = message.host;
        setPhase(Phase::InChannel, "In " + m_config.channel + " as " + nick());
        if (m_events.joined)
            m_events.joined();
    } else {
        notice(message.nick + " has joined " + m_config.channel);
    }
}

void IrcSession::handleLeave(const IrcMessage& message)
{
    const std::string& command = message.command;
    if (command == "NICK") {
        if (isSelf(message.nick))
            m_nick = message.param(0);
        notice(message.nick + " is now known as " + message.param(0));
        return;
    }
    if (command == "QUIT") {
        notice(message.nick + " has quit (" + message.param(0) + ")");
        return;
    }
    if (!isChannel(message.param(0)))
        return;
    const std::string& who = command == "KICK" ? message.param(1) : message.nick;
    notice(command == "KICK" ? who + " was kicked by " + message.nick + " (" + message.param(2) + ")"
                             : who + " has left " + m_config.channel);
    if (isSelf(who) && m_phase == Phase::InChannel) {
        setPhase(Phase::Joining, "Not in " + m_config.channel);
        scheduleRejoin();
    }
}

void IrcSession::handleText(const IrcMessage& message)
{
    if (message.nick.empty() || isSelf(message.nick))
        return; // our own line, if a server ever echoes it
    std::string text = message.param(1);
    bool action = false;
    if (text.starts_with('\x01')) {
        std::string_view ctcp(text);
        ctcp = ctcp.substr(1, ctcp.find('\x01', 1) - 1);
        if (!ctcp.starts_with("ACTION ") || message.command != "PRIVMSG")
            return; // other CTCP requests get no answer
        text = std::string(ctcp.substr(7));
        action = true;
    }
    if (message.command == "NOTICE")
        notice("-" + message.nick + "- " + text);
    else if (isChannel(message.param(0)) && m_events.channelMessage)
        m_events.channelMessage(message, text, action);
    else if (isSelf(message.param(0)))
        notice("*" + message.nick + "* " + text);
}

void IrcSession::handleError(const IrcMessage& message)
{
    const std::string text = lastParam(message);
    if (isJoinFailure(message.command) && isChannel(message.param(1))) {
        setPhase(Phase::Joining, "Cannot join " + m_config.channel + ": " + text);
        scheduleRejoin();
    }
    notice(message.command == "ERROR" ? "Server: " + text : text);
}

void IrcSession::scheduleRejoin()
{
    m_rejoinTimer.start(m_config.timings.rejoinMs, [this] {
        if (m_connection.registered() && m_phase == Phase::Joining)
            join();
    });
}

void IrcSession::setPhase(Phase phase, const std::string& text)
{
    m_phase = phase;
    m_statusText = text;
    if (m_events.status)
        m_events.status(phase, text);
}

void IrcSession::notice(const std::string& text)
{
    if (m_events.notice)
        m_events.notice(text);
}

} // namespace tavu
