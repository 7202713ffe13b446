#include "ScriptedTransport.h"

#include "client/IrcMessage.h"
#include "client/IrcSession.h"
#include "client/SaslPlain.h"
#include "support/SimRuntime.h"

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

using Lines = std::vector<std::string>;

class IrcSessionTest : public ::testing::Test {
protected:
    IrcSessionTest() { makeSession({}); }

    void makeSession(const std::string& password, const std::string& nick = "Tavu",
                     const std::function<void(IrcConfig&)>& tweak = {})
    {
        IrcConfig config;
        config.server = "irc.test";
        config.nick = nick;
        config.channel = "#room";
        config.password = password;
        if (tweak)
            tweak(config);
        session.reset(); // the old one lets go of the transport first
        session = std::make_unique<IrcSession>(runtime, transport, config, [] { return 0.5; });
        session->setEvents({[this](IrcSession::Phase, const std::string& text) { statuses.push_back(text); },
                            [this](const std::string& text) { notices.push_back(text); },
                            [this](const IrcMessage& m, const std::string& text, bool action) {
                                heard.push_back(m.nick + (action ? " * " : ": ") + text);
                            },
                            [this] { ++joins; },
                            {},
                            {}});
        session->start();
    }

    // A plain sign-on: no capabilities, the welcome, the join.
    void signOn(const std::string& nick = "Tavu")
    {
        transport.accept();
        transport.serverSays(":irc.test CAP * LS :multi-prefix");
        transport.serverSays(":irc.test 001 " + nick + " :Welcome");
        transport.serverSays(":" + nick + "!~tavu@127.0.0.1 JOIN #room");
        transport.take();
    }

    // For tests that let minutes pass without a word from the server.
    static void patientWithSilence(IrcConfig& config)
    {
        config.timings.quietPingMs = config.timings.deadMs = 24 * 3600 * 1000;
    }

    SimRuntime runtime;
    ScriptedTransport transport;
    std::unique_ptr<IrcSession> session;
    Lines statuses, notices, heard;
    int joins = 0;
};

TEST_F(IrcSessionTest, SignsOnAndJoinsTheChannel)
{
    EXPECT_EQ(transport.opens, 1);
    EXPECT_EQ(transport.lastHost, "irc.test");
    EXPECT_EQ(session->phase(), IrcSession::Phase::Connecting);
    transport.accept();
    EXPECT_EQ(transport.take(), (Lines{"CAP LS 302", "NICK Tavu", "USER tavu 0 * Tavu"}));
    transport.serverSays(":irc.test CAP * LS * :multi-prefix away-notify");
    EXPECT_TRUE(transport.take().empty()); // more capabilities to come
    transport.serverSays(":irc.test CAP * LS :chghost");
    EXPECT_EQ(transport.take(), Lines{"CAP END"});
    transport.serverSays(":irc.test 001 Tavu :Welcome to the network");
    EXPECT_EQ(transport.take(), Lines{"JOIN #room"});
    EXPECT_EQ(session->phase(), IrcSession::Phase::Joining);
    EXPECT_EQ(session->textBudget(), IrcSession::kUnknownPrefixBudget);
    transport.serverSays(":Tavu!~tavu@127.0.0.1 JOIN :#room");
    EXPECT_EQ(session->phase(), IrcSession::Phase::InChannel);
    EXPECT_EQ(joins, 1);
    EXPECT_EQ(statuses.back(), "In #room as Tavu");
    // ":Tavu!~tavu@127.0.0.1 PRIVMSG #room :" is 37 bytes; with CRLF the text gets the rest of 512.
    EXPECT_EQ(session->textBudget(), 512u - 37 - 2);
    EXPECT_EQ(session->textBudget(true), 512u - 37 - 2 - 9);
}

TEST_F(IrcSessionTest, AnswersPingAtAnyTime)
{
    transport.accept();
    transport.take();
    transport.serverSays("PING :before-welcome");
    EXPECT_EQ(transport.take(), Lines{"PONG before-welcome"});
    transport.serverSays(":irc.test 001 Tavu :Welcome");
    transport.take();
    transport.serverSays("PING :two words");
    EXPECT_EQ(transport.take(), Lines{"PONG :two words"});
}

TEST_F(IrcSessionTest, TriesOtherNicksWhenTheServerRefusesOne)
{
    makeSession({}, "LongNickName");
    transport.accept();
    transport.take();
    transport.serverSays(":irc.test 433 * LongNickName :Nickname is already in use");
    transport.serverSays(":irc.test 437 * LongNick_ :Nick is temporarily unavailable");
    EXPECT_EQ(transport.take(), (Lines{"NICK LongNick_", "NICK LongNick1"}));
    transport.serverSays(":irc.test 432 * LongNick1 :Erroneous Nickname");
    transport.serverSays(":irc.test 433 * Tavu :Nickname is already in use");
    EXPECT_EQ(transport.take(), (Lines{"NICK Tavu", "NICK Tavu_"}));
    transport.serverSays(":irc.test 001 Tavu_ :Welcome");
    EXPECT_EQ(session->nick(), "Tavu_");
    transport.serverSays(":irc.test 433 Tavu_ Other :in use"); // after the welcome: not ours to answer
    EXPECT_EQ(transport.take(), Lines{"JOIN #room"});
    transport.serverSays(":Tavu_!~tavu@h NICK :Tavu2");
    EXPECT_EQ(session->nick(), "Tavu2");
}

TEST_F(IrcSessionTest, LogsInWithSaslPlainAndTakesAccountTags)
{
    makeSession("secret");
    transport.accept();
    transport.take();
    transport.serverSays(":irc.test CAP * LS :multi-prefix sasl=EXTERNAL,PLAIN account-tag");
    EXPECT_EQ(transport.take(), Lines{"CAP REQ :sasl account-tag"});
    transport.serverSays(":irc.test CAP * ACK :sasl account-tag");
    EXPECT_EQ(transport.take(), Lines{"AUTHENTICATE PLAIN"});
    EXPECT_TRUE(session->accountTags());
    transport.serverSays("AUTHENTICATE +");
    EXPECT_EQ(transport.take(), Lines{"AUTHENTICATE " + SaslPlain::base64(std::string("Tavu\0Tavu\0secret", 16))});
    transport.serverSays(":irc.test 900 Tavu Tavu!~tavu@h Tavu :You are now logged in as Tavu");
    transport.serverSays(":irc.test 903 Tavu :SASL authentication successful");
    EXPECT_EQ(transport.take(), Lines{"CAP END"});
    transport.serverSays(":irc.test 001 Tavu :Welcome");
    // Only the services grant a SASL login: the NickServ there now is theirs, and the bot learns where.
    EXPECT_EQ(transport.take(), (Lines{"JOIN #room", "WHOIS NickServ"}));
    EXPECT_EQ(notices, Lines{"Logged in to services as Tavu"});
}

TEST_F(IrcSessionTest, SignsOnAnywayWhenSaslFailsOrIsMissing)
{
    makeSession("wrong");
    transport.accept();
    transport.take();
    transport.serverSays(":irc.test CAP * LS :sasl");
    transport.serverSays(":irc.test CAP * ACK :sasl");
    transport.serverSays("AUTHENTICATE +");
    transport.take();
    transport.serverSays(":irc.test 904 Tavu :SASL authentication failed");
    EXPECT_EQ(transport.take(), Lines{"CAP END"});
    transport.serverSays(":irc.test 001 Tavu :Welcome");
    EXPECT_EQ(transport.take(), Lines{"JOIN #room"});
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0], "Logging in to services failed: SASL authentication failed");

    // A server that offers SASL without PLAIN, or no CAP at all.
    makeSession("pw");
    transport.accept();
    transport.take();
    transport.serverSays(":irc.test CAP * LS :sasl=EXTERNAL");
    EXPECT_EQ(transport.take(), Lines{"CAP END"});
    makeSession("pw");
    transport.accept();
    transport.take();
    transport.serverSays(":irc.test 421 Tavu CAP :Unknown command");
    transport.serverSays(":irc.test 001 Tavu :Welcome");
    EXPECT_EQ(transport.take(), Lines{"JOIN #room"});
}

TEST_F(IrcSessionTest, GivesUpASignOnAfterSixtySecondsAndTriesAgain)
{
    transport.accept();
    runtime.advance(59'000);
    EXPECT_EQ(transport.closes, 0);
    runtime.advance(1'000);
    EXPECT_EQ(transport.closes, 1);
    EXPECT_EQ(session->phase(), IrcSession::Phase::Waiting);
    EXPECT_EQ(notices.back(),
              "Disconnected from irc.test:6667: no welcome from the server within 60 s; trying again in 10 s");
    runtime.advance(10'000);
    EXPECT_EQ(transport.opens, 2);
    // A connection attempt that never completes times out the same way.
    runtime.advance(60'000);
    EXPECT_EQ(transport.closes, 2);
    runtime.advance(20'000); // the back-off has doubled
    EXPECT_EQ(transport.opens, 3);
}

TEST_F(IrcSessionTest, PingsAfterAMinuteOfSilenceAndDropsADeadLink)
{
    signOn();
    runtime.advance(59'000);
    EXPECT_TRUE(transport.take().empty());
    runtime.advance(1'000);
    EXPECT_EQ(transport.take(), Lines{"PING :tavu"});
    runtime.advance(30'000);
    transport.serverSays(":irc.test PONG irc.test :tavu");
    runtime.advance(119'000); // asked again 60 s after the PONG, not yet dead
    EXPECT_EQ(transport.take(), Lines{"PING :tavu"});
    EXPECT_EQ(transport.closes, 0);
    runtime.advance(1'000);
    EXPECT_EQ(transport.closes, 1);
    EXPECT_EQ(session->phase(), IrcSession::Phase::Waiting);
}

TEST_F(IrcSessionTest, ReconnectsWithBackOffAndRejoins)
{
    signOn();
    transport.serverSays("ERROR :Closing connection: server shutting down");
    transport.serverCloses();
    EXPECT_EQ(notices.back(), "Disconnected from irc.test:6667: the server said: Closing connection: server shutting "
                              "down; trying again in 10 s");
    EXPECT_EQ(statuses.back(), "Disconnected; trying again in 10 s");
    runtime.advance(9'999);
    EXPECT_EQ(transport.opens, 1);
    runtime.advance(1);
    EXPECT_EQ(transport.opens, 2);
    transport.serverCloses("connection refused");
    runtime.advance(20'000);
    EXPECT_EQ(transport.opens, 3);
    signOn();
    EXPECT_EQ(joins, 2);
    // Two minutes of stable connection start the back-off over.
    runtime.advance(30'000);
    transport.serverSays("PING :k");
    runtime.advance(30'000);
    transport.serverSays("PING :k");
    runtime.advance(30'000);
    transport.serverSays("PING :k");
    runtime.advance(30'000);
    transport.serverCloses();
    EXPECT_EQ(statuses.back(), "Disconnected; trying again in 10 s");
}

TEST_F(IrcSessionTest, PassesOverBadLinesAndKeepsGoing)
{
    signOn();
    transport.serverSends(std::string(20'000, 'x') + "\r\n");
    transport.serverSends(std::string("\0\0\0\r\n", 5));
    transport.serverSays(":");
    transport.serverSays("@");
    transport.serverSays(":irc.test 999 Tavu odd :unknown numeric");
    transport.serverSays(":irc.test FROBNICATE #room :unknown command");
    transport.serverSays("PRIVMSG #room :no prefix");
    transport.serverSays(":n!u@h PRIVMSG");
    transport.serverSays(":n!u@h PRIVMSG #room");
    transport.serverSays(":n!u@h PRIVMSG #room :\x01");
    transport.serverSays(":n!u@h PRIVMSG #room :\x01VERSION\x01");
    transport.serverSays(":[]\\`_^{|}!~o@d PRIVMSG #room :odd \x02nick\x02 caf\xE9");
    transport.serverSends(":a!b@c PRIVMSG #room :split ");
    transport.serverSends("across reads\n:d!e@f PRIVMSG #room :" + std::string(600, 'y') + "\r\n");
    EXPECT_EQ(session->phase(), IrcSession::Phase::InChannel);
    ASSERT_EQ(heard.size(), 4u);
    EXPECT_EQ(heard[0], "n: ");
    EXPECT_EQ(heard[1], "[]\\`_^{|}: odd \x02nick\x02 café");
    EXPECT_EQ(heard[2], "a: split across reads");
    EXPECT_EQ(heard[3], "d: " + std::string(600, 'y'));
}

TEST_F(IrcSessionTest, AServerThatClosesMidLineLeavesNoHalfLine)
{
    signOn();
    transport.serverSends(":boss!u@h PRIVMSG #room :!vo");
    transport.serverCloses();
    runtime.advance(10'000);
    signOn();
    transport.serverSays(":boss!u@h PRIVMSG #room :!stop");
    EXPECT_EQ(heard, Lines{"boss: !stop"});
}

TEST_F(IrcSessionTest, TellsChannelLinesActionsNoticesAndPrivateLinesApart)
{
    signOn();
    transport.serverSays(":eve!e@h PRIVMSG #ROOM :hello");
    transport.serverSays(":eve!e@h PRIVMSG #room :\x01"
                         "ACTION waves\x01");
    transport.serverSays(":eve!e@h NOTICE #room :a notice");
    transport.serverSays(":eve!e@h PRIVMSG Tavu :psst");
    transport.serverSays(":eve!e@h PRIVMSG #other :elsewhere");
    transport.serverSays(":TAVU!~tavu@127.0.0.1 PRIVMSG #room :our own echo");
    EXPECT_EQ(heard, (Lines{"eve: hello", "eve * waves"}));
    EXPECT_EQ(notices, (Lines{"-eve- a notice", "*eve* psst"}));
}

TEST_F(IrcSessionTest, RejoinsAfterAKickOrARefusedJoin)
{
    signOn();
    transport.serverSays(":op!o@h KICK #room Tavu :out");
    EXPECT_EQ(session->phase(), IrcSession::Phase::Joining);
    EXPECT_EQ(notices.back(), "Tavu was kicked by op (out)");
    EXPECT_EQ(statuses.back(), "Not in #room; trying again in 30 s");
    runtime.advance(30'000);
    EXPECT_EQ(transport.take(), Lines{"JOIN #room"});
    transport.serverSays(":irc.test 474 Tavu #room :Cannot join channel (+b)");
    EXPECT_EQ(statuses.back(),
              "Cannot join #room (banned from the channel): Cannot join channel (+b); trying again in 30 s");
    EXPECT_EQ(notices.back(), statuses.back());
    runtime.advance(30'000);
    EXPECT_EQ(transport.take(), Lines{"JOIN #room"});
    transport.serverSays(":Tavu!~tavu@127.0.0.1 JOIN #room");
    EXPECT_TRUE(session->inChannel());
}

// Refused joins are tried again after 30 s, then twice as long each time up to 10 minutes; an
// invitation joins at once, and a join that works starts the series over.
TEST_F(IrcSessionTest, RefusedJoinsBackOffAndAnInvitationJoinsAtOnce)
{
    makeSession("", "Tavu", [](IrcConfig& c) {
        c.channelKey = "sekrit";
        patientWithSilence(c);
    });
    transport.accept();
    transport.serverSays(":irc.test 001 Tavu :Welcome");
    EXPECT_EQ(transport.take().back(), "JOIN #room sekrit");
    const std::pair<const char*, const char*> refusals[] = {{"475", "the channel key is wrong or missing"},
                                                            {"473", "the channel is invite-only"},
                                                            {"471", "the channel is full"},
                                                            {"474", "banned from the channel"},
                                                            {"473", "the channel is invite-only"},
                                                            {"473", "the channel is invite-only"},
                                                            {"473", "the channel is invite-only"}};
    const std::int64_t waits[] = {30'000, 60'000, 120'000, 240'000, 480'000, 600'000, 600'000};
    for (std::size_t i = 0; i < std::size(waits); ++i) {
        transport.serverSays(std::string(":irc.test ") + refusals[i].first + " Tavu #room :Cannot join channel");
        EXPECT_NE(notices.back().find(std::string("(") + refusals[i].second + ")"), std::string::npos)
            << notices.back();
        EXPECT_NE(notices.back().find("trying again in " + std::to_string(waits[i] / 1000) + " s"), std::string::npos)
            << notices.back();
        runtime.advance(waits[i] - 1);
        EXPECT_TRUE(transport.take().empty()) << i;
        runtime.advance(1);
        EXPECT_EQ(transport.take(), Lines{"JOIN #room sekrit"}) << i;
    }
    transport.serverSays(":irc.test 473 Tavu #room :Cannot join channel (+i)");
    transport.serverSays(":op!o@h INVITE Tavu :#room");
    EXPECT_EQ(notices.back(), "op invites us to #room");
    EXPECT_EQ(transport.take(), Lines{"JOIN #room sekrit"});
    transport.serverSays(":op!o@h INVITE Tavu :#elsewhere");
    EXPECT_TRUE(transport.take().empty());
    transport.serverSays(":Tavu!~tavu@h JOIN #room");
    EXPECT_TRUE(session->inChannel());
    transport.serverSays(":op!o@h INVITE Tavu :#room"); // already there
    EXPECT_TRUE(transport.take().empty());
    transport.serverSays(":op!o@h KICK #room Tavu :out");
    runtime.advance(30'000);
    transport.take();
    transport.serverSays(":irc.test 474 Tavu #room :Cannot join channel (+b)");
    EXPECT_EQ(session->nextJoinDelayMs(), 30'000);
}

TEST_F(IrcSessionTest, ComparesNamesByTheServersCaseMapping)
{
    transport.accept();
    transport.serverSays(":irc.test 001 Ta[vu] :Welcome");
    transport.serverSays(":irc.test 005 Ta[vu] CASEMAPPING=rfc1459 :are supported");
    transport.serverSays(":ta{VU}!~t@h JOIN #ROOM");
    EXPECT_TRUE(session->inChannel());
    transport.serverSays(":irc.test 005 Ta[vu] CASEMAPPING=ascii :are supported");
    transport.serverSays(":ta{vu}!x@y PRIVMSG #room :not us under ascii");
    EXPECT_EQ(heard, Lines{"ta{vu}: not us under ascii"});
}

// At sign-off the queued lines go at the flood rule's pace for a while, then QUIT; never in one
// burst, which real networks punish with a kill.
TEST_F(IrcSessionTest, SignOffSendsWhatTheFloodRuleAllowsThenQuitsForGood)
{
    signOn();
    runtime.advance(10'000); // the JOIN is paid for
    for (int i = 0; i < 8; ++i)
        session->say("line " + std::to_string(i));
    EXPECT_EQ(transport.take().size(), 4u);
    session->signOff("Tavu", 5'000);
    EXPECT_EQ(session->phase(), IrcSession::Phase::Closing);
    runtime.advance(4'000);
    EXPECT_EQ(transport.take(), (Lines{"PRIVMSG #room :line 4", "PRIVMSG #room :line 5"}));
    runtime.advance(1'000);
    EXPECT_EQ(transport.take(), Lines{"QUIT Tavu"}); // line 6 is due at 6 s: too late
    EXPECT_EQ(session->phase(), IrcSession::Phase::Closed);
    EXPECT_EQ(transport.finishes, 1);
    runtime.advance(600'000);
    EXPECT_EQ(transport.opens, 1);

    // Without the time to wait, QUIT goes at once behind what the bucket still allows.
    makeSession("");
    signOn();
    for (int i = 0; i < 8; ++i)
        session->say("line " + std::to_string(i));
    session->signOff("Tavu");
    const Lines sent = transport.take();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent.back(), "QUIT Tavu");
}

// Services that are not there at sign-on (a server back before its services) are logged in to
// with NickServ IDENTIFY when they come, under the Account setting; once, until they leave again.
TEST_F(IrcSessionTest, LogsInWhenTheServicesComeLate)
{
    makeSession("pw", "Tavu", [](IrcConfig& c) {
        c.account = "tavuacct";
        c.servicesHost = "services.test";
    });
    transport.accept();
    transport.serverSays(":irc.test CAP * LS :account-tag"); // no sasl: the services are away
    transport.serverSays(":irc.test CAP Tavu ACK :account-tag");
    transport.serverSays(":irc.test 001 Tavu :Welcome");
    transport.serverSays(":irc.test 005 Tavu MONITOR=100 CASEMAPPING=rfc1459 :are supported");
    transport.serverSays(":irc.test 422 Tavu :No MOTD");
    EXPECT_NE(std::find(notices.begin(), notices.end(), "Signed on without logging in to services"), notices.end());
    Lines sent = transport.take();
    EXPECT_EQ(sent.back(), "MONITOR + NickServ");
    transport.serverSays(":irc.test 731 Tavu :NickServ");
    EXPECT_TRUE(transport.take().empty());
    transport.serverSays(":irc.test 730 Tavu :NickServ!NickServ@services.test");
    EXPECT_EQ(transport.take(), Lines{"WHOIS NickServ"});
    transport.serverSays(":irc.test 311 Tavu NickServ NickServ services.test * :Nickname Services");
    transport.serverSays(":irc.test 312 Tavu NickServ services.test :Services");
    transport.serverSays(":irc.test 318 Tavu NickServ :End of /WHOIS list.");
    EXPECT_EQ(notices.back(), "The services are here: logging in as tavuacct");
    EXPECT_EQ(transport.take(), Lines{"PRIVMSG NickServ :IDENTIFY tavuacct pw"});
    transport.serverSays(":irc.test 730 Tavu :NickServ!NickServ@services.test"); // said again: no second try
    EXPECT_TRUE(transport.take().empty());
    transport.serverSays(":irc.test 900 Tavu Tavu!~tavu@h tavuacct :You are now logged in as tavuacct");
    EXPECT_EQ(notices.back(), "Logged in to services as tavuacct");
    EXPECT_EQ(session->account(), "tavuacct");
    runtime.advance(10'000);
    EXPECT_EQ(transport.take(), Lines{"MONITOR - NickServ"});
}

// Anybody may take the nick NickServ while the services are away. The password goes only to a
// NickServ on the services' server: the one set, or the one seen after a SASL login (which only
// the services can grant); with neither the bot says why it does not log in.
TEST_F(IrcSessionTest, TheServicesPasswordGoesOnlyToTheServicesHost)
{
    struct Row {
        const char* servicesHost;
        const char* whoisHost;
        const char* whoisServer;
        bool identifies;
    };
    const Row rows[] = {
        {"", "127.0.0.1", "irc.test", false},
        {"services.test", "127.0.0.1", "irc.test", false},
        {"services.test", "services.test", "services.test", true},
        {"SERVICES.test", "cloak", "services.test", true},
    };
    for (const Row& row : rows) {
        makeSession("pw", "Tavu", [&](IrcConfig& c) { c.servicesHost = row.servicesHost; });
        transport.accept();
        transport.serverSays(":irc.test CAP * LS :account-tag");
        transport.serverSays(":irc.test 001 Tavu :Welcome");
        transport.serverSays(":irc.test 005 Tavu MONITOR=100 :are supported");
        transport.serverSays(":irc.test 376 Tavu :End of MOTD");
        transport.take();
        transport.serverSays(":irc.test 730 Tavu :NickServ!NickServ@host");
        EXPECT_EQ(transport.take(), Lines{"WHOIS NickServ"});
        transport.serverSays(std::string(":irc.test 311 Tavu NickServ u ") + row.whoisHost + " * :x");
        transport.serverSays(std::string(":irc.test 312 Tavu NickServ ") + row.whoisServer + " :x");
        transport.serverSays(":irc.test 318 Tavu NickServ :End of /WHOIS list.");
        const Lines sent = transport.take();
        EXPECT_EQ(sent, row.identifies ? Lines{"PRIVMSG NickServ :IDENTIFY Tavu pw"} : Lines{}) << row.servicesHost;
        if (!row.identifies) {
            EXPECT_EQ(notices.back().find("Not sending the password to NickServ on irc.test"), 0u) << notices.back();
        }
    }

    // Logged in by SASL: the bot learns where NickServ is, and it is told once.
    std::vector<std::string> learned;
    makeSession("pw");
    session->setEvents({{}, {}, {}, {}, [&](const std::string& host) { learned.push_back(host); }, {}});
    transport.accept();
    transport.serverSays(":irc.test CAP * LS :sasl");
    transport.serverSays(":irc.test CAP Tavu ACK :sasl");
    transport.serverSays("AUTHENTICATE +");
    transport.serverSays(":irc.test 900 Tavu Tavu!~tavu@h Tavu :You are now logged in as Tavu");
    transport.serverSays(":irc.test 903 Tavu :SASL authentication successful");
    transport.serverSays(":irc.test 001 Tavu :Welcome");
    EXPECT_TRUE(transport.wrote("WHOIS NickServ"));
    transport.serverSays(":irc.test 311 Tavu NickServ NickServ services.test * :Nickname Services");
    transport.serverSays(":irc.test 312 Tavu NickServ services.test :Services");
    transport.serverSays(":irc.test 318 Tavu NickServ :End of /WHOIS list.");
    EXPECT_EQ(learned, Lines{"services.test"});
    EXPECT_EQ(session->config().servicesHost, "services.test");
}

// What a bot host sets: PASS for a bouncer or a private server, its own user and real name, a
// client certificate that logs in by SASL EXTERNAL.
TEST_F(IrcSessionTest, SendsPassItsNamesAndLogsInByCertificate)
{
    makeSession("", "Tavu", [](IrcConfig& c) {
        c.serverPassword = "door pw";
        c.userName = "bot";
        c.realName = "Tavu the bot";
    });
    transport.accept();
    EXPECT_EQ(transport.take(), (Lines{"PASS :door pw", "CAP LS 302", "NICK Tavu", "USER bot 0 * :Tavu the bot"}));

    makeSession("", "Tavu", [](IrcConfig& c) {
        c.tls = TlsMode::Verified;
        c.certificate = "/home/bot/tavu.pem";
    });
    transport.accept();
    transport.take();
    transport.serverSays(":irc.test CAP * LS :sasl=PLAIN,EXTERNAL account-tag");
    EXPECT_EQ(transport.take(), Lines{"CAP REQ :sasl account-tag"});
    transport.serverSays(":irc.test CAP * ACK :sasl account-tag");
    EXPECT_EQ(transport.take(), Lines{"AUTHENTICATE EXTERNAL"});
    transport.serverSays("AUTHENTICATE +");
    EXPECT_EQ(transport.take(), Lines{"AUTHENTICATE +"});
    transport.serverSays(":irc.test 900 Tavu Tavu!~tavu@h certacct :You are now logged in as certacct");
    transport.serverSays(":irc.test 903 Tavu :SASL authentication successful");
    EXPECT_EQ(transport.take(), Lines{"CAP END"});
    EXPECT_EQ(session->account(), "certacct");
    // A server without EXTERNAL: no login is asked for.
    makeSession("", "Tavu", [](IrcConfig& c) {
        c.tls = TlsMode::Verified;
        c.certificate = "/home/bot/tavu.pem";
    });
    transport.accept();
    transport.take();
    transport.serverSays(":irc.test CAP * LS :sasl=PLAIN");
    EXPECT_EQ(transport.take(), Lines{"CAP END"});
}

// CTCP VERSION and PING get an answer where the settings ask for it, unless replies are waiting;
// user mode +B is set where the server names it in BOT=.
TEST_F(IrcSessionTest, AnswersCtcpAndMarksItselfABot)
{
    for (const bool on : {false, true}) {
        makeSession("", "Tavu", [&](IrcConfig& c) {
            c.ctcpReplies = c.botMode = on;
            c.version = "Tavu 9.9";
        });
        transport.accept();
        transport.serverSays(":irc.test 001 Tavu :Welcome");
        transport.take();
        transport.serverSays(":irc.test 005 Tavu BOT=B CASEMAPPING=ascii :are supported");
        EXPECT_EQ(transport.take(), on ? Lines{"MODE Tavu +B"} : Lines{});
        transport.serverSays(":Tavu!~tavu@127.0.0.1 JOIN #room");
        transport.serverSays(":eve!e@h PRIVMSG Tavu :\x01VERSION\x01");
        transport.serverSays(":eve!e@h PRIVMSG #room :\x01PING 12345\x07\x01");
        transport.serverSays(":eve!e@h PRIVMSG Tavu :\x01"
                             "FINGER\x01");
        transport.serverSays(":eve!e@h NOTICE Tavu :\x01VERSION\x01");
        runtime.drain();
        const Lines answers{"NOTICE eve :\x01VERSION Tavu 9.9\x01", "NOTICE eve :\x01PING 12345 \x01"};
        EXPECT_EQ(transport.take(), on ? answers : Lines{}) << on;
    }
    // A CTCP flood does not push replies back.
    for (int i = 0; i < 10; ++i)
        session->say("reply " + std::to_string(i));
    transport.take();
    transport.serverSays(":eve!e@h PRIVMSG Tavu :\x01VERSION\x01");
    runtime.advance(60'000);
    for (const std::string& line : transport.take())
        EXPECT_EQ(line.find("VERSION"), std::string::npos) << line;
}

// A nick longer than the server allows is cut to the usual length before the fallback nick
// (which a real network has long given away) is tried.
TEST_F(IrcSessionTest, ShortensANickTheServerFindsTooLong)
{
    makeSession({}, "MusicBotOfTheNight");
    transport.accept();
    transport.take();
    transport.serverSays(":irc.test 432 * MusicBotOfTheNight :Erroneous Nickname");
    transport.serverSays(":irc.test 433 * MusicBotO :Nickname is already in use");
    transport.serverSays(":irc.test 433 * MusicBot_ :Nickname is already in use");
    EXPECT_EQ(transport.take(), (Lines{"NICK MusicBotO", "NICK MusicBot_", "NICK MusicBot1"}));
    EXPECT_EQ(notices.front(), "The server refused the nick MusicBotOfTheNight; trying MusicBotO");
}

// Fallback servers are tried in turn with the back-off; after a good stay the same server comes
// first again. A stay of 30 s in the channel starts the back-off over.
TEST_F(IrcSessionTest, TriesTheFallbackServersInTurnAndResetsTheBackOffAfterAGoodStay)
{
    makeSession({}, "Tavu", [](IrcConfig& c) {
        c.fallbacks = {{"two.test", 7000}, {"irc.test", 6667}, {"three.test", 6667}};
        patientWithSilence(c);
    });
    Lines tried{transport.lastHost + ":" + std::to_string(transport.lastPort)};
    for (const std::int64_t backoff : {10'000, 20'000, 40'000}) {
        transport.serverCloses("connection refused");
        runtime.advance(backoff);
        tried.push_back(transport.lastHost + ":" + std::to_string(transport.lastPort));
    }
    EXPECT_EQ(tried, (Lines{"irc.test:6667", "two.test:7000", "three.test:6667", "irc.test:6667"}));
    EXPECT_EQ(notices.front(), "Disconnected from irc.test:6667: connection refused; trying again in 10 s");

    signOn();
    runtime.advance(31'000);
    transport.serverCloses();
    EXPECT_EQ(statuses.back(), "Disconnected; trying again in 10 s");
    runtime.advance(10'000);
    EXPECT_EQ(transport.lastHost, "irc.test"); // the good one again
    signOn();
    runtime.advance(31'000);
    transport.serverCloses();
    EXPECT_EQ(statuses.back(), "Disconnected; trying again in 10 s");
}

// A KILL is told once, with the disconnect that follows it.
TEST_F(IrcSessionTest, AKillIsToldOnce)
{
    signOn();
    notices.clear();
    transport.serverSays(":oper!o@h KILL Tavu :go away");
    transport.serverSays("ERROR :Closing link: (tavu@127.0.0.1) [Killed (oper (go away))]");
    transport.serverCloses();
    EXPECT_EQ(notices, Lines{"Disconnected from irc.test:6667: the server said: Closing link: (tavu@127.0.0.1) [Killed "
                             "(oper (go away))]; trying again in 10 s"});
}

// A plain link to a TLS port: the server's first bytes are a TLS record, said in plain words.
TEST_F(IrcSessionTest, SaysSoWhenAPlainLinkMeetsATlsPort)
{
    transport.accept();
    transport.serverSends(std::string("\x15\x03\x03\x00\x02\x02\x46", 7));
    EXPECT_EQ(session->phase(), IrcSession::Phase::Waiting);
    EXPECT_NE(notices.back().find("answered in TLS: is it a TLS port? Set TLS=1"), std::string::npos) << notices.back();
}

// A server that offers SASL while its services are away never answers the login: the sign-on goes
// on without it.
TEST_F(IrcSessionTest, ASaslLoginWithoutAnAnswerIsGivenUp)
{
    makeSession("pw");
    transport.accept();
    transport.serverSays(":irc.test CAP * LS :sasl=PLAIN");
    transport.serverSays(":irc.test CAP Tavu ACK :sasl");
    transport.serverSays("AUTHENTICATE +");
    transport.take();
    runtime.advance(14'999);
    EXPECT_TRUE(transport.take().empty());
    runtime.advance(1);
    EXPECT_EQ(transport.take(), (Lines{"AUTHENTICATE *", "CAP END"}));
    EXPECT_EQ(notices.back(), "The services did not answer the login; signing on without it");
    // A refused login is not tried again with IDENTIFY: the password is wrong.
    makeSession("pw");
    transport.accept();
    transport.serverSays(":irc.test CAP * LS :sasl");
    transport.serverSays(":irc.test CAP Tavu ACK :sasl");
    transport.serverSays(":irc.test 904 Tavu :SASL authentication failed");
    transport.serverSays(":irc.test 001 Tavu :Welcome");
    transport.serverSays(":irc.test 376 Tavu :End of MOTD");
    runtime.advance(10'000);
    for (const std::string& line : transport.take())
        EXPECT_EQ(line.find("NickServ"), std::string::npos) << line;
}

// Signed on as Tavu_ because Tavu was taken: the bot takes Tavu back when it is free, told by
// MONITOR where the server has it, else by asking with ISON every minute.
TEST_F(IrcSessionTest, TakesItsNickBackWhenItIsFree)
{
    for (const bool monitor : {true, false}) {
        makeSession("", "Tavu", patientWithSilence);
        transport.accept();
        transport.serverSays(":irc.test 433 * Tavu :Nickname is already in use");
        transport.serverSays(":irc.test 001 Tavu_ :Welcome");
        if (monitor)
            transport.serverSays(":irc.test 005 Tavu_ MONITOR=100 :are supported");
        transport.serverSays(":irc.test 376 Tavu_ :End of MOTD");
        transport.serverSays(":Tavu_!~tavu@h JOIN #room");
        Lines sent = transport.take();
        if (monitor) {
            EXPECT_EQ(sent.back(), "MONITOR + Tavu");
            transport.serverSays(":irc.test 730 Tavu_ :Tavu!~x@elsewhere");
            EXPECT_TRUE(transport.take().empty());
            transport.serverSays(":irc.test 731 Tavu_ :Tavu");
        } else {
            EXPECT_EQ(sent.back(), "ISON Tavu");
            transport.serverSays(":irc.test 303 Tavu_ :Tavu");
            runtime.advance(59'999);
            EXPECT_TRUE(transport.take().empty());
            runtime.advance(1);
            EXPECT_EQ(transport.take(), Lines{"ISON Tavu"});
            transport.serverSays(":irc.test 303 Tavu_ :");
        }
        EXPECT_EQ(notices.back(), "Taking back the nick Tavu");
        EXPECT_EQ(transport.take(), Lines{"NICK Tavu"});
        transport.serverSays(":Tavu_!~tavu@h NICK :Tavu");
        EXPECT_EQ(session->nick(), "Tavu");
        runtime.advance(120'000);
        EXPECT_EQ(transport.take(), monitor ? Lines{"MONITOR - Tavu"} : Lines{}) << monitor;
    }
    // Somebody quicker: the claim is tried again a minute later.
    makeSession("", "Tavu", patientWithSilence);
    transport.accept();
    transport.serverSays(":irc.test 433 * Tavu :Nickname is already in use");
    transport.serverSays(":irc.test 001 Tavu_ :Welcome");
    transport.serverSays(":Tavu_!~tavu@h JOIN #room");
    transport.take();
    transport.serverSays(":Tavu!~x@elsewhere QUIT :gone");
    EXPECT_EQ(transport.take(), Lines{"NICK Tavu"});
    transport.serverSays(":irc.test 433 Tavu_ Tavu :Nickname is already in use");
    runtime.advance(60'000);
    EXPECT_EQ(transport.take().back(), "NICK Tavu");
}

TEST_F(IrcSessionTest, NoticesFromServicesLoseTheirFormattingCodes)
{
    signOn();
    transport.serverSays(":NickServ!NickServ@services NOTICE Tavu :This nick is \x02registered\x02: "
                         "\x1f/msg NickServ \x03"
                         "04,01IDENTIFY\x0f pw");
    EXPECT_EQ(notices.back(), "-NickServ- This nick is registered: /msg NickServ IDENTIFY pw");
    transport.serverSays(":op!o@h KICK #room Tavu :\x02"
                         "bye\x02");
    EXPECT_EQ(notices.back(), "Tavu was kicked by op (bye)");
}

} // namespace
} // namespace tavu::test

namespace tavu::test {
namespace {

// With members' requests on, the server is asked for accounts at joins and logins as well; without
// them the request stays as it was.
TEST_F(IrcSessionTest, AsksForMemberAccountsOnlyWithRequestsOn)
{
    for (const bool requests : {false, true}) {
        makeSession("", "Tavu", [&](IrcConfig& c) { c.memberAccounts = requests; });
        transport.accept();
        transport.take();
        transport.serverSays(":irc.test CAP * LS :account-notify extended-join account-tag away-notify");
        EXPECT_EQ(transport.take(),
                  Lines{requests ? "CAP REQ :account-notify extended-join account-tag" : "CAP REQ account-tag"});
    }
}

} // namespace
} // namespace tavu::test
