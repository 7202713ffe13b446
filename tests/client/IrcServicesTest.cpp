#include "InspircdNetwork.h"
#include "IrcServerFixture.h"

namespace tavu::test {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kBotPassword = "botpw";
constexpr const char* kBossPassword = "bosspw";

// The bot on InspIRCd with Atheme services: accounts, SASL, keys, invitations, nicks.
class IrcServicesTest : public IrcServerFixture {
protected:
    void SetUp() override
    {
        if (const std::string missing = InspircdNetwork::missingPrograms(); !missing.empty())
            GTEST_SKIP() << "InspIRCd and Atheme tests skipped: " << missing;
    }

    bool startNetwork(bool withServices = true)
    {
        const bool up = network.start(withServices);
        ircPort = network.port();
        return up;
    }
    static std::function<void(IrcConfig&)> withPassword()
    {
        return [](IrcConfig& c) { c.password = kBotPassword; };
    }
    bool heardFromBot(TestIrcClient& client, std::size_t n)
    {
        return client.waitFor([&] { return client.saidBy(room->session().nick()).size() >= n; });
    }
    // A line said in the channel has reached the bot (and so has everything said before it).
    bool botHeard(const std::string& text)
    {
        return waitFor([&] { return roomShowed(text); });
    }

    InspircdNetwork network;
};

// SASL at sign-on; a nick-only owner mask is the services account "boss", whoever holds the nick.
TEST_F(IrcServicesTest, LogsInWithSaslAndKnowsTheOwnerByTheAccountTag)
{
    ASSERT_TRUE(startNetwork());
    ASSERT_TRUE(network.registerAccounts(runtime, {{kBotNick, kBotPassword}, {"boss", kBossPassword}}));
    startBot("boss", fastTimings(), TlsMode::Off, 0, withPassword());
    auto clients = joinedClients({{"boss", "boss"}, {"eve", "eve"}});
    ASSERT_EQ(clients.size(), 2u);
    TestIrcClient& boss = *clients[0];
    TestIrcClient& eve = *clients[1];
    ASSERT_TRUE(botInChannel());
    EXPECT_TRUE(roomShowed("Logged in to services as tavubot"));
    EXPECT_EQ(room->session().account(), "tavubot");
    EXPECT_TRUE(room->session().accountTags());

    boss.say(kChannel, "trig ?"); // the nick without the account is anybody
    ASSERT_TRUE(botHeard("trig ?"));
    EXPECT_EQ(bot->trig, "");
    ASSERT_TRUE(boss.identify("boss", kBossPassword));
    boss.say(kChannel, "trig !");
    ASSERT_TRUE(heardFromBot(eve, 1));
    EXPECT_EQ(eve.saidBy(kBotNick), Lines{ircReply(" Trig Is Now [!] ")});
}

// The hole that was: with a full owner mask, somebody from another host logged in to the owner's
// account was obeyed. The mask decides; "Owner Account" asks for the account as well.
TEST_F(IrcServicesTest, AnAccountFromAnotherHostDoesNotBypassTheOwnerMask)
{
    ASSERT_TRUE(startNetwork());
    ASSERT_TRUE(network.registerAccounts(runtime, {{"owner", kBossPassword}}));
    startBot("owner!owner@127.0.0.1");
    auto clients = joinedClients({{"owner", "owner"}, {"evil", "evil", "127.0.0.2"}, {"eve", "eve"}});
    ASSERT_EQ(clients.size(), 3u);
    TestIrcClient& owner = *clients[0];
    TestIrcClient& evil = *clients[1];
    TestIrcClient& eve = *clients[2];
    ASSERT_TRUE(botInChannel());
    ASSERT_TRUE(evil.identify("owner", kBossPassword));
    evil.say(kChannel, "trig !");
    evil.say(kChannel, "!vol 13");
    ASSERT_TRUE(botHeard("!vol 13"));
    EXPECT_EQ(bot->trig, "");
    owner.say(kChannel, "trig !");
    ASSERT_TRUE(heardFromBot(eve, 1));
    evil.say(kChannel, "!vid3 evil");
    owner.say(kChannel, "!vid3 owner");
    ASSERT_TRUE(heardFromBot(eve, 2));
    EXPECT_EQ(eve.saidBy(kBotNick), (Lines{ircReply(" Trig Is Now [!] "), ircReply(" Echo owner ")}));

    // Both the mask and the account: the owner is obeyed once logged in.
    bot.reset();
    room.reset();
    startBot("owner!owner@127.0.0.1", fastTimings(), TlsMode::Off, 0, [](IrcConfig& c) { c.ownerAccount = "owner"; });
    ASSERT_TRUE(botInChannel());
    const std::size_t before = eve.saidBy(room->session().nick()).size();
    owner.say(kChannel, "!vid3 not yet");
    ASSERT_TRUE(botHeard("!vid3 not yet"));
    ASSERT_TRUE(owner.identify("owner", kBossPassword));
    evil.say(kChannel, "!vid3 evil");
    owner.say(kChannel, "!vid3 logged in");
    ASSERT_TRUE(heardFromBot(eve, before + 1));
    const Lines said = eve.saidBy(room->session().nick());
    EXPECT_EQ(Lines(said.begin() + static_cast<std::ptrdiff_t>(before), said.end()),
              Lines{ircReply(" Echo logged in ")});
}

// Services that come after the bot (a server back before its services): the bot logs in with
// NickServ IDENTIFY when they arrive, and says so in the chat room window.
TEST_F(IrcServicesTest, LogsInWhenTheServicesComeAfterIt)
{
    ASSERT_TRUE(startNetwork());
    ASSERT_TRUE(network.registerAccounts(runtime, {{kBotNick, kBotPassword}}));
    network.stopServices();
    startBot("", fastTimings(), TlsMode::Off, 0, [](IrcConfig& c) {
        c.password = kBotPassword;
        c.servicesHost = InspircdNetwork::kServicesName;
    });
    ASSERT_TRUE(botInChannel());
    EXPECT_TRUE(roomShowed("Signed on without logging in to services"));
    EXPECT_EQ(room->session().account(), "");
    ASSERT_TRUE(network.startServices());
    ASSERT_TRUE(waitFor([&] { return roomShowed("Logged in to services as tavubot"); }));
    EXPECT_TRUE(roomShowed("The services are here: logging in as tavubot"));
    EXPECT_EQ(room->session().account(), "tavubot");
}

// While the services are away anybody may sign on as NickServ. The password goes to nobody but the
// NickServ on the services' server, which the bot learned at its first SASL login.
TEST_F(IrcServicesTest, AFakeNickServGetsNoPasswordWhileTheServicesAreAway)
{
    ASSERT_TRUE(startNetwork());
    ASSERT_TRUE(network.registerAccounts(runtime, {{kBotNick, kBotPassword}}));
    std::string learned;
    startBot("", fastTimings(), TlsMode::Off, 0, withPassword());
    room->onServicesHost = [&](const std::string& host) { learned = host; };
    ASSERT_TRUE(botInChannel());
    ASSERT_TRUE(waitFor([&] { return !learned.empty(); }));
    EXPECT_EQ(learned, InspircdNetwork::kServicesName);

    network.stopServices();
    bot.reset();
    room.reset();
    TestIrcClient fake(runtime, ircPort, "NickServ", "NickServ");
    ASSERT_TRUE(fake.signOn());
    for (const std::string& trusted : {std::string(), learned}) {
        startBot("", fastTimings(), TlsMode::Off, 0, [&](IrcConfig& c) {
            c.password = kBotPassword;
            c.servicesHost = trusted;
        });
        ASSERT_TRUE(botInChannel());
        ASSERT_TRUE(waitFor([&] { return roomShowed("Not sending the password to NickServ on irc.tavu.test"); }))
            << trusted;
        bot.reset();
        room.reset();
    }
    fake.waitFor([] { return false; }, 500);
    for (const IrcMessage& m : fake.received())
        EXPECT_EQ(m.param(1).find(kBotPassword), std::string::npos) << m.command << " " << m.param(1);

    // The real services come back (the fake has gone): the bot logs in.
    startBot("", fastTimings(), TlsMode::Off, 0, [&](IrcConfig& c) {
        c.password = kBotPassword;
        c.servicesHost = learned;
    });
    ASSERT_TRUE(botInChannel());
    fake.quit();
    ASSERT_TRUE(network.startServices());
    ASSERT_TRUE(waitFor([&] { return roomShowed("Logged in to services as tavubot"); }));
}

// A network that prefers CertFP: the bot's client certificate logs it in by SASL EXTERNAL, with
// no password anywhere.
TEST_F(IrcServicesTest, LogsInByItsCertificateWithSaslExternal)
{
    ASSERT_TRUE(network.start(true, true));
    ircPort = network.port();
    ASSERT_TRUE(network.registerAccounts(runtime, {{kBotNick, kBotPassword}}));
    const std::string certificate = dir.file("bot-cert.pem"), key = dir.file("bot-key.pem");
    ASSERT_TRUE(InspircdNetwork::makeCertificate(certificate, key));
    const std::string fingerprint = InspircdNetwork::fingerprint(certificate);
    ASSERT_EQ(fingerprint.size(), 64u);
    TestIrcClient keeper(runtime, ircPort, "keeper", "keeper");
    ASSERT_TRUE(keeper.signOn());
    ASSERT_TRUE(keeper.identify(kBotNick, kBotPassword));
    keeper.send("PRIVMSG NickServ :CERT ADD " + fingerprint);
    ASSERT_TRUE(keeper.waitFor([&] {
        for (const IrcMessage& m : keeper.received())
            if (m.command == "NOTICE" && m.nick == "NickServ" && m.param(1).find(fingerprint) != std::string::npos)
                return true;
        return false;
    }));
    keeper.quit();

    startBot("", fastTimings(), TlsMode::AcceptSelfSigned, network.tlsPort(), [&](IrcConfig& c) {
        c.certificate = certificate;
        c.certificateKey = key;
    });
    ASSERT_TRUE(botInChannel());
    EXPECT_TRUE(roomShowed("Logged in to services as tavubot"));
    EXPECT_EQ(room->session().account(), "tavubot");
    bot.reset();
    room.reset();

    // A key that cannot be read is said so, and nothing is sent.
    startBot("", fastTimings(), TlsMode::AcceptSelfSigned, network.tlsPort(), [&](IrcConfig& c) {
        c.certificate = certificate;
        c.certificateKey = dir.file("missing-key.pem");
    });
    ASSERT_TRUE(waitFor([&] { return roomShowed("cannot be read"); }));
    EXPECT_FALSE(room->session().inChannel());
}

// A channel with a key, then invite-only: the bot joins with its key, and after a kick an
// invitation brings it back at once rather than after the 30 s wait.
TEST_F(IrcServicesTest, JoinsWithTheChannelKeyAndWhenInvited)
{
    ASSERT_TRUE(startNetwork(false));
    auto clients = joinedClients({{"op", "op"}});
    ASSERT_EQ(clients.size(), 1u);
    TestIrcClient& op = *clients[0];
    op.send(std::string("MODE ") + kChannel + " +k sekrit");
    ASSERT_TRUE(op.waitFor([&] { return op.heard("MODE"); }));
    startBot("op!op@127.0.0.1", fastTimings(), TlsMode::Off, 0, [](IrcConfig& c) { c.channelKey = "sekrit"; });
    ASSERT_TRUE(botInChannel());

    op.send(std::string("MODE ") + kChannel + " +i");
    op.send(std::string("KICK ") + kChannel + " " + kBotNick + " :out");
    ASSERT_TRUE(waitFor([&] { return !room->session().inChannel(); }));
    op.send(std::string("INVITE ") + kBotNick + " " + kChannel);
    ASSERT_TRUE(waitFor([&] { return room->session().inChannel(); }, 10'000));
    EXPECT_TRUE(roomShowed("op invites us to #tavu"));
    op.say(kChannel, "trig !");
    ASSERT_TRUE(heardFromBot(op, 1));
}

// A refused join is shown with its reason and tried again later.
TEST_F(IrcServicesTest, ShowsWhyItCannotJoin)
{
    ASSERT_TRUE(startNetwork(false));
    auto clients = joinedClients({{"op", "op"}});
    ASSERT_EQ(clients.size(), 1u);
    clients[0]->send(std::string("MODE ") + kChannel + " +k sekrit");
    ASSERT_TRUE(clients[0]->waitFor([&] { return clients[0]->heard("MODE"); }));
    startBot("op!op@127.0.0.1");
    ASSERT_TRUE(waitFor([&] { return roomShowed("Cannot join #tavu (the channel key is wrong or missing)"); }));
    EXPECT_NE(room->status().find("trying again in 30 s"), std::string::npos) << room->status();
}

// Signed on as tavubot_ because tavubot was taken: the nick comes back when it is free.
TEST_F(IrcServicesTest, TakesItsNickBackWhenItIsFree)
{
    ASSERT_TRUE(startNetwork(false));
    TestIrcClient holder(runtime, ircPort, kBotNick, "holder");
    ASSERT_TRUE(holder.signOn());
    startBot("");
    ASSERT_TRUE(botInChannel());
    EXPECT_EQ(room->session().nick(), "tavubot_");
    holder.quit();
    ASSERT_TRUE(waitFor([&] { return room->session().nick() == kBotNick; }, 10'000));
    EXPECT_TRUE(roomShowed("Taking back the nick tavubot"));
    EXPECT_EQ(room->ownerNick(), kBotNick);
}

} // namespace
} // namespace tavu::test
