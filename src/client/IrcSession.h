#pragma once

#include "client/IrcCaseMapping.h"
#include "client/IrcConfig.h"
#include "client/IrcConnection.h"
#include "client/IrcNickWatch.h"
#include "client/IrcRegistration.h"
#include "client/OneShotTimer.h"
#include "client/ReconnectBackoff.h"

#include <functional>
#include <string>

namespace tavu {

struct IrcMessage;

// The bot's presence on an IRC network: signed on under a nick and sitting in one channel. It
// joins the channel after every sign-on (with its key, if it has one), joins at once when invited,
// tries again after a kick or a refused join (waiting longer each time), follows its own nick and
// the server's CASEMAPPING, and passes on what is said in the channel.
//
// Two things it keeps after: its own nick, taken back when it is free again (after signing on as
// Tavu_ because Tavu was taken), and its services login, made with NickServ IDENTIFY when the
// services come onto the network after the sign-on (SASL is over by then). The password goes only
// to a NickServ whose host or server is the services' (WHOIS tells it): anybody may take the nick
// NickServ while the services are away.
class IrcSession {
public:
    enum class Phase { Idle, Connecting, SigningOn, Joining, InChannel, Waiting, Closing, Closed };
    struct Events {
        std::function<void(Phase phase, const std::string& text)> status;
        // A line for the transcript: joins, parts, notices, errors, private messages. Free of IRC
        // formatting codes.
        std::function<void(const std::string& text)> notice;
        // A line said in the channel by somebody else; action is true for CTCP ACTION.
        std::function<void(const IrcMessage& message, const std::string& text, bool action)> channelMessage;
        std::function<void()> joined;
        // NickServ's server, learned after a login that only the services can grant: from then
        // on the password goes only to a NickServ there.
        std::function<void(const std::string& host)> servicesHostLearned;
        // The course of the link for the operator's log, one line each, with host and port:
        // connecting, connected, TLS in use, joined. Losses go to notice.
        std::function<void(const std::string& text)> log;
    };

    // random gives numbers uniform in [0, 1) for the reconnect jitter; empty means a seeded generator.
    IrcSession(Runtime& runtime, IrcTransport& transport, IrcConfig config, std::function<double()> random = {});

    void setEvents(Events events) { m_events = std::move(events); }

    void start();
    // Sends QUIT after the lines still queued (for up to lingerMs, at the flood rule's pace), and
    // stays off. The phase is Closing until QUIT has gone.
    void signOff(const std::string& message, std::int64_t lingerMs = 0);

    // Queues one line of text to the channel; the text must fit textBudget(). Lines of a newer run
    // of the tag's command supersede queued ones of older runs.
    void say(const std::string& text, bool action = false, FloodQueue::Tag tag = {});
    // How many bytes of text one line to the channel may carry so that the line, with the prefix
    // the others see, stays within 512 bytes.
    std::size_t textBudget(bool action = false) const;
    // Queues a NOTICE of one line of text to one nick; the text must fit noticeBudget(nick).
    void sendNotice(const std::string& nick, const std::string& text);
    std::size_t noticeBudget(const std::string& nick) const;

    Phase phase() const { return m_phase; }
    const std::string& statusText() const { return m_statusText; }
    bool inChannel() const { return m_phase == Phase::InChannel; }
    const std::string& nick() const;
    const IrcCaseMapping& caseMapping() const { return m_mapping; }
    bool accountTags() const { return m_registration.hasCap("account-tag"); }
    // The services account we are logged in to, "" when none.
    const std::string& account() const { return m_registration.account(); }
    const IrcConfig& config() const { return m_config; }
    const IrcConnection& connection() const { return m_connection; }
    // How long the bot waited, or waits, before it tries the channel again after the last refusal.
    std::int64_t nextJoinDelayMs() const { return m_joinDelayMs; }

    // Text budget while our own prefix is not known yet.
    static constexpr std::size_t kUnknownPrefixBudget = 400;
    // The services' nick service, which IDENTIFY goes to.
    static constexpr const char* kNickServ = "NickServ";

private:
    void connecting();
    void opened();
    void lost(const std::string& reason, std::int64_t retryMs);
    void received(const IrcMessage& message);
    void welcomed();
    void signedOn();
    void readIsupport(const IrcMessage& message);
    void handleJoin(const IrcMessage& message);
    void handleLeave(const IrcMessage& message);
    void handleText(const IrcMessage& message);
    void handleInvite(const IrcMessage& message);
    void handleError(const IrcMessage& message);
    void join();
    void scheduleRejoin(std::int64_t delayMs);
    void nickSeen(const std::string& nick, bool online);
    void updateWatches();
    void claimNick();
    bool handleWhois(const IrcMessage& message);
    void whoisServices(bool identifyAfter);
    void identify(const std::string& host, const std::string& server);
    void handleCtcp(const IrcMessage& message, std::string_view ctcp);
    bool isSelf(const std::string& nick) const { return m_mapping.equals(nick, this->nick()); }
    bool isChannel(const std::string& name) const { return m_mapping.equals(name, m_config.channel); }
    void setPhase(Phase phase, const std::string& text);
    void notice(const std::string& text);
    void log(const std::string& text);
    std::size_t budget(std::string_view command, std::size_t targetSize, std::size_t overhead) const;

    IrcConfig m_config;
    IrcConnection m_connection;
    IrcRegistration m_registration;
    IrcCaseMapping m_mapping;
    IrcNickWatch m_watch;
    OneShotTimer m_rejoinTimer;
    OneShotTimer m_saslTimer;
    OneShotTimer m_claimTimer;
    ReconnectBackoff m_joinBackoff; // refused joins since the last one that worked
    std::int64_t m_joinDelayMs = 0;
    Events m_events;
    Phase m_phase = Phase::Idle;
    std::string m_statusText;
    std::string m_nick;         // ours since the welcome
    std::string m_user, m_host; // ours, as the server shows them to others
    bool m_identified = false;  // IDENTIFY sent since the services last came
    bool m_claimed = false;     // NICK sent for the wanted nick, no answer yet
    std::string m_where;        // host:port of the server tried last
    // WHOIS NickServ under way: what it showed so far, and whether IDENTIFY waits for it.
    bool m_whoisBusy = false;
    bool m_identifyAfterWhois = false;
    std::string m_whoisHost, m_whoisServer;
    bool m_botModeSet = false; // +B asked for on this link
};

} // namespace tavu
