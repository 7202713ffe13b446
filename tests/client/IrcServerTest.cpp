#include "IrcServerFixture.h"

#include "bot/ProgramSettings.h"
#include "client/IrcFormatting.h"
#include "platform/ChatRoomFactory.h"
#include "settings/Settings.h"
#include "windows/ChatRoomWindow.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTcpServer>
#include <QTest>

namespace tavu::test {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kOwnerMask = "boss!~boss@127.0.0.1";

class IrcServerTest : public IrcServerFixture {
protected:
    // Waits until the client has heard n lines from the bot.
    bool heardFromBot(TestIrcClient& client, std::size_t n)
    {
        return client.waitFor([&] { return client.saidBy(kBotNick).size() >= n; });
    }
    std::size_t roomCount(const std::string& text) const
    {
        std::size_t count = 0;
        for (const auto& entry : room->transcript())
            count += entry.text.find(text) != std::string::npos ? 1 : 0;
        return count;
    }
};

TEST_F(IrcServerTest, ObeysTheOwnerAndNotAStranger)
{
    ASSERT_TRUE(startServer());
    startBot(kOwnerMask);
    ASSERT_TRUE(botInChannel());
    auto owner = joinedClient("boss", "boss");
    auto eve = joinedClient("eve", "eve");
    ASSERT_TRUE(owner && eve);
    owner->say(kChannel, "trig !");
    ASSERT_TRUE(heardFromBot(*eve, 1));
    eve->say(kChannel, "trig ?");
    eve->say(kChannel, "!vid3 eve");
    ASSERT_TRUE(waitFor([&] { return roomShowed("!vid3 eve"); }));
    owner->say(kChannel, "!vid3 one");
    owner->say(kChannel, "!vid3 two");
    ASSERT_TRUE(heardFromBot(*eve, 3));
    EXPECT_EQ(eve->saidBy(kBotNick),
              (Lines{ircReply(" Trig Is Now [!] "), ircReply(" Echo one "), ircReply(" Echo two ")}));
    EXPECT_EQ(bot->trig, "!");
}

TEST_F(IrcServerTest, AnImpostorWithTheOwnersNickIsNotObeyed)
{
    ASSERT_TRUE(startServer());
    startBot(kOwnerMask);
    ASSERT_TRUE(botInChannel());
    auto owner = joinedClient("boss", "boss");
    auto eve = joinedClient("eve", "eve");
    ASSERT_TRUE(owner && eve);
    owner->say(kChannel, "trig !");
    ASSERT_TRUE(heardFromBot(*eve, 1));
    owner->quit();
    ASSERT_TRUE(waitFor([&] { return roomCount("boss has quit") == 1; }));

    auto impostor = joinedClient("boss", "evil");
    ASSERT_TRUE(impostor);
    impostor->say(kChannel, "trig ?");
    impostor->say(kChannel, "!vid3 impostor");
    ASSERT_TRUE(waitFor([&] { return roomShowed("!vid3 impostor"); }));
    impostor->quit();
    ASSERT_TRUE(waitFor([&] { return roomCount("boss has quit") == 2; }));

    auto back = joinedClient("boss", "boss");
    ASSERT_TRUE(back);
    back->say(kChannel, "!vid3 back");
    ASSERT_TRUE(heardFromBot(*eve, 2));
    EXPECT_EQ(eve->saidBy(kBotNick), (Lines{ircReply(" Trig Is Now [!] "), ircReply(" Echo back ")}));
}

TEST_F(IrcServerTest, WithoutAnOwnerMaskTheOwnerTypesInTheChatWindow)
{
    ASSERT_TRUE(startServer());
    startBot("");
    ChatRoomWindow window(*room);
    ASSERT_TRUE(botInChannel());
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("status"))->text(), QStringLiteral("In #tavu as tavubot"));
    auto eve = joinedClient("eve", "eve");
    ASSERT_TRUE(eve);
    const auto type = [&](const char* text) {
        window.inputBox()->setText(QString::fromUtf8(text));
        QTest::keyClick(window.inputBox(), Qt::Key_Return);
    };
    type("trig !");
    ASSERT_TRUE(heardFromBot(*eve, 2));
    type("!vid3 window");
    ASSERT_TRUE(heardFromBot(*eve, 4));
    eve->say(kChannel, "!vid3 eve");
    ASSERT_TRUE(waitFor([&] { return roomShowed("!vid3 eve"); }));
    type("!vid3 last");
    ASSERT_TRUE(heardFromBot(*eve, 6));
    EXPECT_EQ(eve->saidBy(kBotNick), (Lines{"trig !", ircReply(" Trig Is Now [!] "), "!vid3 window",
                                            ircReply(" Echo window "), "!vid3 last", ircReply(" Echo last ")}));

    room->signOff();
    ASSERT_TRUE(eve->waitFor([&] {
        for (const IrcMessage& m : eve->received())
            if (m.command == "QUIT" && m.nick == kBotNick)
                return true;
        return false;
    }));
}

TEST_F(IrcServerTest, AListingOfThirtyLinesArrivesWholeAndInOrder)
{
    ASSERT_TRUE(startServer());
    IrcTimings timings = fastTimings();
    timings.floodIntervalMs = 100;
    startBot(kOwnerMask, timings);
    ASSERT_TRUE(botInChannel());
    auto owner = joinedClient("boss", "boss");
    ASSERT_TRUE(owner);
    owner->say(kChannel, "trig !");
    owner->say(kChannel, "!xplist");
    owner->say(kChannel, "!vid3 after");
    ASSERT_TRUE(heardFromBot(*owner, 32));
    Lines expected{ircReply(" Trig Is Now [!] ")};
    for (int i = 1; i <= 30; ++i)
        expected.push_back(ircReply(" Match " + std::to_string(i) + " "));
    expected.push_back(ircReply(" Echo after "));
    EXPECT_EQ(owner->saidBy(kBotNick), expected);
    EXPECT_EQ(disconnects(), 0);
}

TEST_F(IrcServerTest, KeepsItsPaceWithAThrottlingServer)
{
    ASSERT_TRUE(startServer({.throttle = true}));
    IrcTimings timings = fastTimings();
    timings.floodIntervalMs = 400; // within the server's 3 lines a second
    startBot(kOwnerMask, timings);
    ASSERT_TRUE(botInChannel());
    auto owner = joinedClient("boss", "boss");
    ASSERT_TRUE(owner);
    owner->say(kChannel, "trig !");
    owner->say(kChannel, "!xplist 10");
    ASSERT_TRUE(heardFromBot(*owner, 11));
    Lines expected{ircReply(" Trig Is Now [!] ")};
    for (int i = 1; i <= 10; ++i)
        expected.push_back(ircReply(" Match " + std::to_string(i) + " "));
    EXPECT_EQ(owner->saidBy(kBotNick), expected);
    EXPECT_EQ(disconnects(), 0);
    EXPECT_TRUE(room->session().inChannel());
}

TEST_F(IrcServerTest, ComesBackAfterTheServerRestarts)
{
    ASSERT_TRUE(startServer());
    startBot(kOwnerMask);
    ASSERT_TRUE(botInChannel());
    server->kill();
    ASSERT_TRUE(waitFor([&] { return !room->session().inChannel(); }));
    EXPECT_EQ(disconnects(), 1);
    ASSERT_TRUE(server->start());
    ASSERT_TRUE(waitFor([&] { return room->session().inChannel(); }, 20'000));
    auto owner = joinedClient("boss", "boss");
    ASSERT_TRUE(owner);
    owner->say(kChannel, "trig !");
    ASSERT_TRUE(heardFromBot(*owner, 1));
    EXPECT_EQ(owner->saidBy(kBotNick)[0], ircReply(" Trig Is Now [!] "));
}

TEST_F(IrcServerTest, SignsOnOverTlsToASelfSignedServerOnlyWhenAllowed)
{
    ASSERT_TRUE(startServer({.tls = true}));
    startBot(kOwnerMask, fastTimings(), TlsMode::Verified, server->tlsPort());
    ASSERT_TRUE(waitFor([&] { return roomShowed("certificate refused"); }));
    EXPECT_FALSE(room->session().inChannel());
    bot.reset();
    room.reset();

    startBot(kOwnerMask, fastTimings(), TlsMode::AcceptSelfSigned, server->tlsPort());
    ASSERT_TRUE(botInChannel());
    auto owner = joinedClient("boss", "boss");
    ASSERT_TRUE(owner);
    owner->say(kChannel, "trig !");
    ASSERT_TRUE(heardFromBot(*owner, 1));
}

// TLS asked for on a plain port: the port never answers the TLS greeting. It is said in plain
// words once the short wait for the answer is over, and tried again later each time.
TEST_F(IrcServerTest, TlsOnAPlainPortIsToldInPlainWordsAndTriedLessAndLessOften)
{
    ASSERT_TRUE(startServer());
    tlsHandshakeMs = 300;
    IrcTimings timings = fastTimings();
    timings.reconnectMinMs = 200;
    timings.reconnectMaxMs = 5'000;
    startBot(kOwnerMask, timings, TlsMode::Verified);
    std::vector<qint64> at;
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(waitFor(
        [&] {
            if (disconnects() > static_cast<int>(at.size()))
                at.push_back(clock.elapsed());
            return at.size() >= 4;
        },
        20'000));
    EXPECT_TRUE(roomShowed("no TLS answer from 127.0.0.1:" + std::to_string(server->port()) +
                           " within 1 s: is it a plain port? Set TLS=0"));
    // Waits of 200, 400, 800 ms (give or take a quarter) after a 300 ms wait for the answer each.
    EXPECT_GT(at[3] - at[2], at[1] - at[0]);
    EXPECT_FALSE(room->session().inChannel());
}

// TLS=0 on a TLS port is told in plain words too.
TEST_F(IrcServerTest, APlainLinkToATlsPortIsToldInPlainWords)
{
    ASSERT_TRUE(startServer({.tls = true}));
    startBot(kOwnerMask, fastTimings(), TlsMode::Off, server->tlsPort());
    ASSERT_TRUE(waitFor([&] { return roomShowed("is it a TLS port? Set TLS=1"); })) << server->output();
    EXPECT_FALSE(room->session().inChannel());
}

// A private server that wants a password, a bot host's user and real name, CTCP answers and the
// bot mode.
TEST_F(IrcServerTest, SignsOnWithTheServerPasswordAndAnswersCtcp)
{
    ASSERT_TRUE(startServer({.password = "door"}));
    startBot(kOwnerMask, fastTimings(), TlsMode::Off, 0, [](IrcConfig& c) {
        c.serverPassword = "door";
        c.userName = "musicbot";
        c.realName = "Tavu plays music";
        c.ctcpReplies = true;
        c.version = "Tavu 1.2.3";
    });
    ASSERT_TRUE(botInChannel());
    TestIrcClient owner(runtime, ircPort, "boss", "boss");
    owner.serverPassword = "door";
    ASSERT_TRUE(owner.signOnAndJoin(kChannel));
    owner.send(std::string("WHOIS ") + kBotNick);
    owner.send(std::string("PRIVMSG ") + kBotNick + " :\x01VERSION\x01");
    owner.send(std::string("PRIVMSG ") + kBotNick + " :\x01PING 1765000000\x01");
    const auto noticed = [&](const std::string& text) {
        for (const IrcMessage& m : owner.received())
            if (m.command == "NOTICE" && m.nick == kBotNick && m.param(1) == text)
                return true;
        return false;
    };
    ASSERT_TRUE(owner.waitFor([&] { return noticed("\x01PING 1765000000\x01"); }));
    EXPECT_TRUE(noticed("\x01VERSION Tavu 1.2.3\x01"));
    bool named = false;
    for (const IrcMessage& m : owner.received())
        named = named || (m.command == "311" && m.param(2) == "~musicbot" && m.param(5) == "Tavu plays music") ||
                (m.command == "311" && m.param(2) == "musicbot" && m.param(5) == "Tavu plays music");
    EXPECT_TRUE(named);
    bot.reset();
    room.reset();

    // Without the password the server says no, and the bot says what the server said.
    startBot(kOwnerMask);
    ASSERT_TRUE(waitFor([&] { return roomShowed("Disconnected from 127.0.0.1"); }));
    EXPECT_FALSE(room->session().inChannel());
}

TEST_F(IrcServerTest, TheChatSettingsChooseTheRoom)
{
    const std::string ini = dir.file("Tavu.ini");
    const auto local = createChatRoom(ini, runtime, "Quarn");
    EXPECT_EQ(dynamic_cast<IrcChatRoom*>(local.get()), nullptr);
    EXPECT_EQ(local->ownerNick(), "Quarn");

    ASSERT_TRUE(startServer());
    const Settings settings(ini);
    settings.write(keys::ChatNetwork, "irc");
    settings.write(keys::ChatServer, "127.0.0.1");
    settings.write(keys::ChatPort, std::to_string(server->port()));
    settings.write(keys::ChatNick, kBotNick);
    settings.write(keys::ChatChannel, "tavu");
    const auto irc = createChatRoom(ini, runtime, "Quarn");
    auto* ircRoom = dynamic_cast<IrcChatRoom*>(irc.get());
    ASSERT_NE(ircRoom, nullptr);
    EXPECT_TRUE(waitFor([&] { return ircRoom->session().inChannel(); }));
    EXPECT_EQ(irc->ownerNick(), kBotNick);
    EXPECT_EQ(irc->status(), "In #tavu as tavubot");
}

// What the settings window does when the owner chooses a channel: the choices are stored, the room
// is built anew from them, and the running bot moves into it.
TEST_F(IrcServerTest, TheBotMovesIntoTheChannelTheSettingsChose)
{
    ASSERT_TRUE(startServer());
    LocalChatRoom local("Quarn");
    Bot moving(runtime, local, dir.str(), BotServices{media, sound, dialogs, fonts});
    moving.startChat();
    const Settings settings(dir.file("Tavu.ini"));
    const ProgramSettings before = ProgramSettings::read(settings);
    ProgramSettings after = before;
    after.irc = true, after.server = "127.0.0.1", after.port = std::to_string(server->port());
    after.nick = kBotNick, after.channel = kChannel, after.owner = kOwnerMask, after.handle = "Quarn";
    ASSERT_FALSE(checkSettings(after));
    ASSERT_TRUE(storeSettings(settings, before, after).chatRoom);

    const auto irc = createChatRoom(settings.path(), runtime, "Quarn");
    auto* ircRoom = dynamic_cast<IrcChatRoom*>(irc.get());
    ASSERT_NE(ircRoom, nullptr);
    moving.moveToRoom(*irc);
    ASSERT_TRUE(waitFor([&] { return ircRoom->session().inChannel(); }));
    auto owner = joinedClient("boss", "boss");
    ASSERT_TRUE(owner);
    owner->say(kChannel, "trig !");
    owner->say(kChannel, "!help vol");
    ASSERT_TRUE(owner->waitFor([&] {
        for (const IrcMessage& m : owner->received())
            if (m.command == "NOTICE" && m.param(0) == "boss")
                return true;
        return false;
    }));
    EXPECT_EQ(owner->saidBy(kBotNick), Lines{htmlToIrc(moving.style.composeReply(" Tavu ", " Trig Is Now [!] "))});
    EXPECT_EQ(moving.trig, "!");
    local.ownerTyped("trig ?"); // the old room is not heard any more
    runtime.runFor(50);
    EXPECT_EQ(moving.trig, "!");
    moving.moveToRoom(local); // the bot goes before the room it sits in
}

// A server of our own making: silent at first, then cut off mid-line, then garbage before a
// proper welcome.
TEST_F(IrcServerTest, SurvivesASilentServerABrokenLineAndGarbage)
{
    QTcpServer fake;
    ASSERT_TRUE(fake.listen(QHostAddress::LocalHost, 0));
    std::vector<QTcpSocket*> links;
    QObject::connect(&fake, &QTcpServer::newConnection, &fake, [&] {
        QTcpSocket* link = fake.nextPendingConnection();
        links.push_back(link);
        if (links.size() == 2) {
            link->write(":fake 001 tavubot :Wel");
            link->flush();
            link->disconnectFromHost();
        } else if (links.size() == 3) {
            link->write(QByteArray(9000, 'x') + "\r\n");
            link->write(QByteArray("\0\0PING :a\0b\r\n", 13));
            link->write(":fake 999 tavubot :unknown\r\n:fake FROB\n\r:fake 001 tavubot :Welcome\r\n");
            link->write(":tavubot!~tavu@127.0.0.1 JOIN #tavu\r\n");
            link->write(":[x]!y@z PRIVMSG #tavu :caf\xE9\r\n");
        }
    });
    IrcTimings timings = fastTimings();
    timings.registrationMs = 500;
    timings.reconnectMinMs = 100;
    timings.reconnectMaxMs = 200;
    startBot(kOwnerMask, timings, TlsMode::Off, fake.serverPort());
    ASSERT_TRUE(waitFor([&] { return room->session().inChannel(); }));
    EXPECT_EQ(links.size(), 3u);
    EXPECT_TRUE(roomShowed("no welcome from the server within 1 s"));
    ASSERT_TRUE(waitFor([&] { return roomShowed("café"); }));
    QByteArray fromBot;
    EXPECT_TRUE(waitFor([&] { return (fromBot += links[2]->readAll()).contains("PONG ab"); }));
}

} // namespace
} // namespace tavu::test
