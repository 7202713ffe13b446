#include "client/IrcSession.h"

#include "client/IrcFormatting.h"
#include "client/IrcMessage.h"

#include <algorithm>
#include <limits>
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

// The numerics by which a server refuses a JOIN, and what each means.
std::string_view joinRefusal(const std::string& command)
{
    static constexpr std::pair<std::string_view, std::string_view> kRefusals[] = {
        {"403", "no such channel"},
        {"405", "in too many channels"},
        {"471", "the channel is full"},
        {"473", "the channel is invite-only"},
        {"474", "banned from the channel"},
        {"475", "the channel key is wrong or missing"},
        {"477", "the channel wants a registered nick"},
    };
    for (const auto& [numeric, meaning] : kRefusals)
        if (command == numeric)
            return meaning;
    return {};
}

std::string seconds(std::int64_t ms)
{
    return std::to_string((ms + 999) / 1000) + " s";
}

} // namespace

IrcSession::IrcSession(Runtime& runtime, IrcTransport& transport, IrcConfig config, std::function<double()> random)
    : m_config(std::move(config)),
      m_connection(runtime, transport, m_config.timings, random ? std::move(random) : seededRandom()),
      m_registration([this](const std::string& line) { m_connection.sendNow(line); },
                     [this](const std::string& text) { notice(text); }),
      m_watch(
          runtime, [this](const std::string& line) { m_connection.send(line); },
          [this](const std::string& nick, bool online) { nickSeen(nick, online); }, m_config.timings.watchPollMs),
      m_rejoinTimer(runtime), m_saslTimer(runtime), m_claimTimer(runtime),
      // No jitter: one client retrying one channel.
      m_joinBackoff({m_config.timings.rejoinMs, std::max(m_config.timings.rejoinMaxMs, m_config.timings.rejoinMs), 0.0,
                     std::numeric_limits<std::int64_t>::max()},
                    [] { return 0.5; })
{
    m_connection.setEvents({[this] { connecting(); }, [this] { opened(); },
                            [this](const IrcMessage& message) { received(message); },
                            [this](const std::string& reason, std::int64_t retryMs) { lost(reason, retryMs); },
                            [this] {
                                notice("Replies were dropped: the server takes one line every " +
                                       seconds(m_config.timings.floodIntervalMs) +
                                       ", and newer replies of a command replace its older ones still waiting");
                            },
                            [this] {
                                log("Signed off from " + m_where);
                                setPhase(Phase::Closed, "Signed off");
                            }});
}

const std::string& IrcSession::nick() const
{
    if (!m_nick.empty())
        return m_nick;
    return m_registration.nick().empty() ? m_config.nick : m_registration.nick();
}

void IrcSession::start()
{
    m_connection.start(m_config.endpoints(), m_config.tls);
}

void IrcSession::connecting()
{
    m_where = m_connection.where();
    log("Connecting to " + m_where);
    setPhase(Phase::Connecting, "Connecting to " + m_where);
}

void IrcSession::signOff(const std::string& message, std::int64_t lingerMs)
{
    m_rejoinTimer.stop();
    m_saslTimer.stop();
    m_claimTimer.stop();
    if (m_phase == Phase::Closed || m_phase == Phase::Idle)
        return;
    m_connection.quit(message, lingerMs);
    if (m_connection.state() == IrcConnection::State::Closing)
        setPhase(Phase::Closing, "Signing off");
    else if (m_phase != Phase::Closed)
        setPhase(Phase::Closed, "Signed off");
}

void IrcSession::say(const std::string& text, bool action, FloodQueue::Tag tag)
{
    const std::string body = action ? "\x01"
                                      "ACTION " +
                                          text + "\x01"
                                    : text;
    m_connection.send("PRIVMSG " + m_config.channel + " :" + body, std::move(tag));
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
    m_watch.reset();
    m_watch.setCaseMapping(m_mapping);
    m_joinBackoff.reset();
    m_identified = m_claimed = m_whoisBusy = m_identifyAfterWhois = m_botModeSet = false;
    log("Connected to " + m_where);
    if (m_config.tls != TlsMode::Off)
        log("TLS in use with " + m_where);
    setPhase(Phase::SigningOn, "Signing on to " + m_connection.server().host);
    m_registration.start(m_config.nick, m_config.userName, m_config.realName,
                         {m_config.loginAccount(), m_config.password, m_config.serverPassword,
                          !m_config.certificate.empty() && m_config.tls != TlsMode::Off});
    // A server may offer SASL while its services are away, and then never answer the login.
    if (!m_config.password.empty() || !m_config.certificate.empty())
        m_saslTimer.start(m_config.timings.saslMs, [this] { m_registration.abandonSasl(); });
}

void IrcSession::lost(const std::string& reason, std::int64_t retryMs)
{
    m_rejoinTimer.stop();
    m_saslTimer.stop();
    m_claimTimer.stop();
    m_watch.reset();
    notice("Disconnected from " + m_where + ": " + reason + "; trying again in " + seconds(retryMs));
    setPhase(Phase::Waiting, "Disconnected; trying again in " + seconds(retryMs));
}

void IrcSession::received(const IrcMessage& message)
{
    const bool wasWelcomed = m_registration.welcomed();
    const bool wasLoggedIn = m_registration.loggedIn();
    if (m_registration.handle(message)) {
        if (!wasWelcomed && m_registration.welcomed())
            welcomed();
        else if (wasLoggedIn != m_registration.loggedIn())
            updateWatches();
        if (!wasLoggedIn && m_registration.loggedIn() && m_registration.welcomed() && m_config.servicesHost.empty())
            whoisServices(false);
        return;
    }
    if (m_registration.welcomed() && m_watch.handle(message))
        return;
    if (handleWhois(message))
        return;
    const std::string& command = message.command;
    if (command == "005")
        readIsupport(message);
    else if (command == "376" || command == "422")
        signedOn();
    else if (command == "JOIN")
        handleJoin(message);
    else if (command == "PART" || command == "KICK" || command == "QUIT" || command == "NICK")
        handleLeave(message);
    else if (command == "PRIVMSG" || command == "NOTICE")
        handleText(message);
    else if (command == "INVITE")
        handleInvite(message);
    else if (command == "396" && !message.param(1).empty())
        m_host = message.param(1).substr(message.param(1).find('@') + 1);
    else if (command == "ERROR" || (message.isNumeric() && (command[0] == '4' || command[0] == '5')))
        handleError(message);
}

void IrcSession::welcomed()
{
    m_saslTimer.stop();
    m_nick = m_registration.nick();
    m_connection.markRegistered();
    join();
    updateWatches();
    // Logged in by SASL, which only the services answer: whoever holds NickServ now is them.
    if (m_registration.loggedIn() && m_config.servicesHost.empty())
        whoisServices(false);
}

// The end of the sign-on greeting: every ISUPPORT line has come, so the watch knows whether the
// server has MONITOR.
void IrcSession::signedOn()
{
    if (!m_watch.begun())
        m_watch.begin();
}

void IrcSession::join()
{
    setPhase(Phase::Joining, "Joining " + m_config.channel + " as " + nick());
    if (m_config.channelKey.empty())
        m_connection.send(ircLine("JOIN", {m_config.channel}));
    else
        m_connection.send(ircLine("JOIN", {m_config.channel, m_config.channelKey}));
}

void IrcSession::readIsupport(const IrcMessage& message)
{
    for (std::size_t i = 1; i + 1 < message.params.size(); ++i) {
        const std::string& token = message.params[i];
        if (token.starts_with("CASEMAPPING=")) {
            m_mapping = IrcCaseMapping::fromToken(token.substr(12));
            m_watch.setCaseMapping(m_mapping);
        } else if (token == "MONITOR" || token.starts_with("MONITOR=")) {
            m_watch.useMonitor();
        } else if (token.starts_with("BOT=") && token.size() > 4 && m_config.botMode && !m_botModeSet) {
            m_botModeSet = true;
            m_connection.send(ircLine("MODE", {nick(), "+" + token.substr(4, 1)}));
        }
    }
}

void IrcSession::handleJoin(const IrcMessage& message)
{
    if (!isChannel(message.param(0)))
        return;
    if (isSelf(message.nick)) {
        m_user = message.user, m_host = message.host;
        m_joinBackoff.reset();
        m_rejoinTimer.stop();
        m_connection.markJoined();
        signedOn(); // in case the server sent no end of its greeting
        log("Joined " + m_config.channel + " as " + nick() + " on " + m_where);
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
    const bool wantedLeft = !isSelf(message.nick) && m_mapping.equals(message.nick, m_registration.wantedNick());
    if (command == "NICK") {
        const bool self = isSelf(message.nick);
        if (self)
            m_nick = message.param(0);
        notice(message.nick + " is now known as " + message.param(0));
        if (self) {
            m_claimed = false;
            m_claimTimer.stop();
            updateWatches();
        } else if (wantedLeft) {
            claimNick();
        }
        return;
    }
    if (command == "QUIT") {
        notice(message.nick + " has quit (" + message.param(0) + ")");
        if (wantedLeft)
            claimNick();
        return;
    }
    if (!isChannel(message.param(0)))
        return;
    const std::string& who = command == "KICK" ? message.param(1) : message.nick;
    notice(command == "KICK" ? who + " was kicked by " + message.nick + " (" + message.param(2) + ")"
                             : who + " has left " + m_config.channel);
    if (isSelf(who) && m_phase == Phase::InChannel) {
        setPhase(Phase::Joining,
                 "Not in " + m_config.channel + "; trying again in " + seconds(m_config.timings.rejoinMs));
        scheduleRejoin(m_config.timings.rejoinMs);
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
        if (!ctcp.starts_with("ACTION ") || message.command != "PRIVMSG") {
            if (message.command == "PRIVMSG")
                handleCtcp(message, ctcp);
            return;
        }
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

void IrcSession::handleInvite(const IrcMessage& message)
{
    if (!isSelf(message.param(0)) || !isChannel(message.param(1)))
        return;
    notice(message.nick + " invites us to " + m_config.channel);
    if (m_connection.registered() && m_phase == Phase::Joining) {
        m_rejoinTimer.stop();
        join();
    }
}

void IrcSession::handleError(const IrcMessage& message)
{
    const std::string text = lastParam(message);
    const std::string_view refusal = joinRefusal(message.command);
    if (!refusal.empty() && isChannel(message.param(1))) {
        const std::int64_t delay = m_joinDelayMs = m_joinBackoff.nextDelay(0);
        const std::string said = "Cannot join " + m_config.channel + " (" + std::string(refusal) + "): " + text +
                                 "; trying again in " + seconds(delay);
        setPhase(Phase::Joining, said);
        notice(said);
        scheduleRejoin(delay);
        return;
    }
    const std::string& command = message.command;
    if (m_claimed && (command == "432" || command == "433" || command == "436" || command == "437")) {
        // Somebody was quicker, or the server holds the nick back for a while: look again later.
        m_claimed = false;
        m_claimTimer.start(m_config.timings.watchPollMs, [this] { claimNick(); });
    }
    // The server's last word is told with the disconnect that follows it.
    if (command != "ERROR")
        notice(text);
}

void IrcSession::handleCtcp(const IrcMessage& message, std::string_view ctcp)
{
    // Replies never wait behind CTCP answers: a flood of requests gets no answer while lines queue.
    if (!m_config.ctcpReplies || m_connection.queuedLines() > 1)
        return;
    const std::string_view word = ctcp.substr(0, ctcp.find(' '));
    std::string answer;
    if (word == "VERSION")
        answer = "VERSION " + m_config.version;
    else if (word == "PING")
        answer = std::string(ctcp.substr(0, 64));
    else
        return;
    for (char& c : answer)
        if (static_cast<unsigned char>(c) < ' ')
            c = ' ';
    m_connection.send("NOTICE " + message.nick + " :\x01" + answer + "\x01");
}

void IrcSession::whoisServices(bool identifyAfter)
{
    m_identifyAfterWhois = m_identifyAfterWhois || identifyAfter;
    if (m_whoisBusy)
        return;
    m_whoisBusy = true;
    m_whoisHost.clear(), m_whoisServer.clear();
    m_connection.send(ircLine("WHOIS", {kNickServ}));
}

// The answers to WHOIS NickServ: 311 its user and host, 312 its server, 318 the end (401 when
// nobody has the nick).
bool IrcSession::handleWhois(const IrcMessage& message)
{
    const std::string& command = message.command;
    if (!m_whoisBusy || !m_mapping.equals(message.param(1), kNickServ) ||
        (command != "311" && command != "312" && command != "318" && command != "401" && command != "317" &&
         command != "330" && command != "671" && command != "378" && command != "379"))
        return false;
    if (command == "311")
        m_whoisHost = message.param(3);
    else if (command == "312")
        m_whoisServer = message.param(2);
    if (command != "318" && command != "401")
        return true;
    m_whoisBusy = false;
    const bool identifyAfter = m_identifyAfterWhois;
    m_identifyAfterWhois = false;
    if (command == "401" || m_whoisServer.empty())
        return true;
    if (m_registration.loggedIn() && m_config.servicesHost.empty()) {
        m_config.servicesHost = m_whoisServer;
        if (m_events.servicesHostLearned)
            m_events.servicesHostLearned(m_whoisServer);
    }
    if (identifyAfter)
        identify(m_whoisHost, m_whoisServer);
    return true;
}

void IrcSession::identify(const std::string& host, const std::string& server)
{
    if (m_config.password.empty() || m_registration.loggedIn() || m_identified)
        return;
    const std::string& trusted = m_config.servicesHost;
    if (trusted.empty() || !(m_mapping.equals(host, trusted) || m_mapping.equals(server, trusted))) {
        m_identified = true; // said once until NickServ comes again
        notice("Not sending the password to " + std::string(kNickServ) + " on " + server +
               (trusted.empty() ? ": nothing tells that it is the services. "
                                  "If it is, set Services Host=" +
                                      server + " in the [Chat] section; or log in by SASL"
                                : ", which is not the services host " + trusted));
        return;
    }
    m_identified = true;
    notice("The services are here: logging in as " + m_config.loginAccount());
    m_connection.send(ircLine("PRIVMSG", {kNickServ, "IDENTIFY " + m_config.loginAccount() + " " + m_config.password}));
}

void IrcSession::scheduleRejoin(std::int64_t delayMs)
{
    m_rejoinTimer.start(delayMs, [this] {
        if (m_connection.registered() && m_phase == Phase::Joining)
            join();
    });
}

void IrcSession::nickSeen(const std::string& nick, bool online)
{
    if (m_mapping.equals(nick, kNickServ)) {
        if (!online) {
            m_identified = false;
            return;
        }
        if (m_config.password.empty() || m_registration.loggedIn() || m_identified)
            return;
        whoisServices(true); // IDENTIFY only once WHOIS shows where this NickServ is
        return;
    }
    if (!online && m_mapping.equals(nick, m_registration.wantedNick()))
        claimNick();
}

// What the watch looks out for: the services while we should be logged in and are not, and our
// own nick while somebody else has it.
void IrcSession::updateWatches()
{
    const bool welcomed = m_registration.welcomed();
    if (welcomed && !m_config.password.empty() && !m_registration.loggedIn() && !m_registration.saslRefused()) {
        if (!m_watch.watching(kNickServ))
            m_identified = false;
        m_watch.watch(kNickServ);
    } else {
        m_watch.unwatch(kNickServ);
    }
    const std::string& wanted = m_registration.wantedNick();
    if (welcomed && !wanted.empty() && !isSelf(wanted))
        m_watch.watch(wanted);
    else
        m_watch.unwatch(wanted);
}

void IrcSession::claimNick()
{
    const std::string& wanted = m_registration.wantedNick();
    if (m_claimed || wanted.empty() || isSelf(wanted) || !m_connection.registered())
        return;
    m_claimed = true;
    notice("Taking back the nick " + wanted);
    m_connection.send(ircLine("NICK", {wanted}));
}

void IrcSession::setPhase(Phase phase, const std::string& text)
{
    m_phase = phase;
    m_statusText = text;
    if (m_events.status)
        m_events.status(phase, text);
}

void IrcSession::log(const std::string& text)
{
    if (m_events.log)
        m_events.log(text);
}

void IrcSession::notice(const std::string& text)
{
    if (m_events.notice)
        m_events.notice(stripIrcFormatting(text));
}

} // namespace tavu
