#include "ScriptedTransport.h"

#include "bot/Bot.h"
#include "bot/Lifecycle.h"
#include "client/ChatScanner.h"
#include "client/IrcChatRoom.h"
#include "client/IrcFormatting.h"
#include "client/OneShotTimer.h"
#include "settings/Settings.h"
#include "style/Style.h"
#include "support/Fakes.h"
#include "support/SimRuntime.h"
#include "support/TestCommands.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu::test {
namespace {

using Lines = std::vector<std::string>;

// The bot in an IRC channel whose server the test plays, on the simulated clock.
class IrcChatRoomTest : public ::testing::Test {
    // "vid3" echoes its argument; "xplist N" sends N lines, a listing like the song search's.
    std::vector<Command> commands = test::commandsWith({
        {"vid3", [](Bot& b, const std::string& arg) { b.reply(" Echo " + arg + " "); }},
        {"xplist",
         [](Bot& b, const std::string& arg) {
             for (int i = 1; i <= std::stoi(arg); ++i)
                 b.reply(" Match " + std::to_string(i) + " ");
         }},
    });

protected:
    void makeRoom(const std::string& owner, bool html = false, IrcTimings timings = {})
    {
        std::filesystem::create_directories(dir.path() / "Styles");
        auto link = std::make_unique<ScriptedTransport>();
        transport = link.get();
        IrcConfig config;
        config.server = "irc.test";
        config.nick = "TavuBot";
        config.channel = "#room";
        config.owner = owner;
        config.htmlFormat = html;
        config.timings = timings;
        room = std::make_unique<IrcChatRoom>(runtime, std::move(link), config, [] { return 0.5; });
        bot = std::make_unique<Bot>(runtime, *room, dir.str(), BotServices{media, sound, dialogs, fonts}, commands);
        bot->startChat();
        room->attach(scanner);
        scanner.ChatMsg = [this](const std::string& who, const std::string& what) {
            scanned.push_back(who + ": " + what);
        };
        scanner.startScan();
        room->start();
    }

    void signOn(const std::string& caps = "")
    {
        transport->accept();
        transport->serverSays(":irc.test CAP * LS :" + caps);
        if (!caps.empty())
            transport->serverSays(":irc.test CAP TavuBot ACK :" + caps);
        transport->serverSays(":irc.test 001 TavuBot :Welcome");
        transport->serverSays(":TavuBot!~tavu@127.0.0.1 JOIN #room");
        runtime.drain();
        transport->take();
    }

    void say(const std::string& prefix, const std::string& text, const std::string& tags = "")
    {
        transport->serverSays(tags + ":" + prefix + " PRIVMSG #room :" + text);
        runtime.drain();
    }

    // The texts of the lines sent to the channel since the last call.
    Lines channelTexts()
    {
        Lines texts;
        for (const std::string& line : transport->take())
            if (line.starts_with("PRIVMSG #room :"))
                texts.push_back(line.substr(15));
        return texts;
    }

    // A reply line in the default style, as written and as sent in IRC formatting.
    static std::string htmlReply(std::string_view body)
    {
        Style style;
        style.loadStyle("/nonexistent/Tavu.ini");
        return style.composeReply(" Tavu ", body);
    }
    static std::string ircReply(std::string_view body) { return htmlToIrc(htmlReply(body)); }

    TestDir dir;
    SimRuntime runtime;
    FakeMediaPlayer media;
    FakeSoundPlayer sound;
    FakeDialogs dialogs;
    FakeFontList fonts;
    ChatScanner scanner{runtime}; // outlives the room it listens to
    Lines scanned;
    ScriptedTransport* transport = nullptr;
    std::unique_ptr<IrcChatRoom> room;
    std::unique_ptr<Bot> bot;
};

constexpr const char* kOwner = "boss!~boss@home.example";

TEST_F(IrcChatRoomTest, ObeysTheMaskAndNobodyElse)
{
    makeRoom("boss!~boss@*.example");
    signOn();
    EXPECT_EQ(room->ownerNick(), "boss");
    say("eve!~eve@other.net", "trig ?");
    say("boss!~evil@other.net", "trig ?"); // the owner's nick, another user and host
    say("Boss!~boss@home.example.evil.net", "trig ?");
    EXPECT_TRUE(channelTexts().empty());
    EXPECT_EQ(bot->trig, "");
    say(kOwner, "trig !");
    say(kOwner, "!vid3 one");
    say("eve!~eve@other.net", "!vid3 eve");
    say(kOwner, "!vid3 two");
    // Whoever sits at the window speaks as the bot, and is not the owner the mask names.
    room->ownerTyped("!vid3 window");
    runtime.advance(10'000);
    EXPECT_EQ(channelTexts(),
              (Lines{ircReply(" Trig Is Now [!] "), ircReply(" Echo one "), ircReply(" Echo two "), "!vid3 window"}));
    EXPECT_EQ(scanned, (Lines{"eve: trig ?", "boss!~evil@other.net: trig ?", "Boss!~boss@home.example.evil.net: trig ?",
                              "boss: trig !", "boss: !vid3 one", "eve: !vid3 eve", "boss: !vid3 two"}));
}

TEST_F(IrcChatRoomTest, ANickOnlyMaskIsObeyedOnTheServicesAccountOnly)
{
    makeRoom("boss");
    signOn("account-tag");
    say("boss!~b@anywhere", "trig ?");
    say("boss!~b@anywhere", "trig ?", "@account=eve ");
    EXPECT_TRUE(channelTexts().empty());
    say("boss_!~b@laptop", "trig !", "@account=boss ");
    EXPECT_EQ(channelTexts(), Lines{ircReply(" Trig Is Now [!] ")});
}

TEST_F(IrcChatRoomTest, AnAccountTagTheServerDidNotAgreeToIsNotBelieved)
{
    makeRoom("boss");
    signOn();
    ASSERT_FALSE(room->transcript().empty());
    EXPECT_NE(room->transcript().back().text.find("nobody will be obeyed"), std::string::npos);
    say("boss!~b@h", "trig !", "@account=boss ");
    EXPECT_TRUE(channelTexts().empty());
}

TEST_F(IrcChatRoomTest, WithoutAMaskTheOwnerTypesInTheWindow)
{
    makeRoom("");
    signOn();
    runtime.advance(10'000); // the sign-on's JOIN is paid for
    EXPECT_EQ(room->ownerNick(), "TavuBot");
    room->ownerTyped("trig !");
    runtime.drain();
    say("eve!~eve@other.net", "!vid3 stranger");
    room->ownerTyped("!vid3 mine");
    runtime.drain();
    room->ownerTyped("/me dances");
    runtime.advance(10'000);
    EXPECT_EQ(channelTexts(), (Lines{"trig !", ircReply(" Trig Is Now [!] "), "!vid3 mine", ircReply(" Echo mine "),
                                     "\x01"
                                     "ACTION dances\x01"}));
    EXPECT_EQ(scanned, (Lines{"TavuBot: trig !", "eve: !vid3 stranger", "TavuBot: !vid3 mine", "TavuBot: /me dances"}));
    const auto& transcript = room->transcript();
    EXPECT_EQ(transcript.back().text, "* TavuBot dances");
}

TEST_F(IrcChatRoomTest, HtmlFormatSendsTheLineAsItIs)
{
    makeRoom(kOwner, true);
    signOn();
    say(kOwner, "trig !");
    const Lines texts = channelTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], htmlReply(" Trig Is Now [!] "));
    EXPECT_NE(texts[0].find("\xC2\xB2"), std::string::npos); // ² as UTF-8
}

TEST_F(IrcChatRoomTest, LinesSaidBeforeTheJoinWaitForItUnlessTheyGrowStale)
{
    IrcTimings timings;
    timings.heldLineMs = 30'000;
    makeRoom(kOwner, true, timings);
    room->sendLine("first");
    room->sendRawLine("second");
    EXPECT_TRUE(transport->written.empty());
    transport->accept();
    transport->serverSays(":irc.test 001 TavuBot :Welcome");
    EXPECT_EQ(channelTexts(), Lines{}); // not in the channel yet
    transport->serverSays(":TavuBot!~tavu@127.0.0.1 JOIN #room");
    EXPECT_EQ(channelTexts(), (Lines{"first", "second"}));

    // Away again: what is said while away goes out after the rejoin, unless it has grown stale.
    transport->serverCloses();
    room->sendLine("stale");
    runtime.advance(40'000);
    room->sendLine("fresh");
    transport->accept();
    transport->serverSays(":irc.test 001 TavuBot :Welcome");
    transport->serverSays(":TavuBot!~tavu@127.0.0.1 JOIN #room");
    EXPECT_EQ(channelTexts(), Lines{"fresh"});
}

// Announcements held for a join that came after the 30 s start-up wait go out with their second
// between them, not in one burst; held for more than two minutes they are dropped, and the window
// says so.
TEST_F(IrcChatRoomTest, RepliesHeldForALateJoinKeepTheirPaceOrAreDroppedWithAWord)
{
    IrcTimings patient; // a server that says nothing for minutes
    patient.quietPingMs = patient.deadMs = 3'600'000;
    for (const std::int64_t joinAt : {40'000, 160'000}) {
        Settings(dir.file("Tavu.ini")).write(keys::Handle, "Quarn");
        makeRoom(kOwner, false, patient);
        std::vector<std::int64_t> at;
        transport->onLine = [&](const std::string& line) {
            if (line.starts_with("PRIVMSG #room :"))
                at.push_back(runtime.elapsedMs());
        };
        const std::int64_t start = runtime.elapsedMs();
        transport->accept();
        transport->serverSays(":irc.test 001 TavuBot :Welcome");
        OneShotTimer join(runtime);
        join.start(joinAt, [&] { transport->serverSays(":TavuBot!~tavu@127.0.0.1 JOIN #room"); });
        ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
        runtime.advance(joinAt + 10'000 - (runtime.elapsedMs() - start));
        if (joinAt < 120'000) {
            ASSERT_EQ(at.size(), 3u);
            EXPECT_GE(at[0] - start, joinAt);
            for (std::size_t i = 1; i < at.size(); ++i) {
                EXPECT_GE(at[i] - at[i - 1], 500) << i;
                EXPECT_LE(at[i] - at[i - 1], 1'500) << i;
            }
        } else {
            EXPECT_TRUE(at.empty());
            EXPECT_TRUE(room->transcript().back().text.find("3 lines said more than 120 s before joining #room") !=
                        std::string::npos)
                << room->transcript().back().text;
        }
        bot.reset();
        room.reset();
    }
}

// Names in replies (file names, folders) are shown as tags are: every control code is a blank, so
// none can end the style's colours, ring a bell or start a CTCP. The formatting comes from the
// reply's HTML alone.
TEST_F(IrcChatRoomTest, ControlCodesInNamesNeverReachTheChannel)
{
    for (const bool html : {false, true}) {
        makeRoom(kOwner, html);
        signOn();
        std::string name = "Song";
        for (int c = 1; c < 0x20; ++c)
            name.push_back(static_cast<char>(c));
        name += "\x7f.mp3";
        room->sendLine(" <u>Now Playing</u> [" + name + "] ");
        runtime.advance(10'000);
        const Lines sent = channelTexts();
        ASSERT_EQ(sent.size(), 1u);
        const std::string blanks(32, ' ');
        const std::string clean = " <u>Now Playing</u> [Song" + blanks + ".mp3] ";
        EXPECT_EQ(sent[0], html ? clean : htmlToIrc(clean));
        // The owner's own help lines, as notices, too.
        say(kOwner, "hello");
        room->sendToOwner("help \x03"
                          "4red\x07");
        runtime.advance(10'000);
        EXPECT_EQ(transport->take(), Lines{"NOTICE boss :help  4red "});
        bot.reset();
        room.reset();
    }
}

TEST_F(IrcChatRoomTest, ALineBreakInAReplyCannotStartACommand)
{
    makeRoom(kOwner);
    signOn();
    room->sendLine("x\r\nQUIT :bye\nJOIN #evil");
    const Lines sent = transport->take();
    EXPECT_EQ(sent, Lines{"PRIVMSG #room :x  QUIT :bye JOIN #evil"});
}

TEST_F(IrcChatRoomTest, LongRepliesAreSplitToFitTheServer)
{
    makeRoom(kOwner);
    signOn();
    std::string body;
    for (int i = 0; i < 80; ++i)
        body += " Match " + std::to_string(i) + ": Ünïcödé title §²";
    bot->reply(body);
    runtime.advance(30'000);
    const Lines sent = channelTexts();
    ASSERT_GE(sent.size(), 3u);
    std::string joined;
    for (const std::string& text : sent) {
        EXPECT_LE((":TavuBot!~tavu@127.0.0.1 PRIVMSG #room :" + text + "\r\n").size(), 512u);
        joined += text;
    }
    EXPECT_GE(sent[0].size(), 460u); // the whole budget is used once our prefix is known
    EXPECT_EQ(stripIrcFormatting(joined), stripIrcFormatting(ircReply(body)));
}

TEST_F(IrcChatRoomTest, ABurstOfRepliesKeepsOrderAndPace)
{
    makeRoom(kOwner);
    signOn();
    runtime.advance(10'000); // the sign-on's JOIN is long paid for
    for (int i = 0; i < 30; ++i)
        bot->reply(" Match " + std::to_string(i) + " ");
    EXPECT_EQ(channelTexts().size(), 4u);
    runtime.advance(2'000);
    EXPECT_EQ(channelTexts().size(), 1u);
    runtime.advance(52'000);
    EXPECT_EQ(channelTexts().size(), 25u);
    EXPECT_EQ(transport->closes, 0);
}

TEST_F(IrcChatRoomTest, ShowsActionsAndNoticesAndStripsFormatting)
{
    makeRoom(kOwner);
    signOn();
    say("eve!~eve@h", "\x01"
                      "ACTION waves\x01");
    transport->serverSays(":eve!~eve@h NOTICE #room :!vid3 notice");
    say(kOwner, "trig !");
    say(kOwner, "\x02!vid3\x02 \x03"
                "04bold");
    runtime.drain();
    EXPECT_EQ(scanned, (Lines{"eve: /me waves", "boss: trig !", "boss: !vid3 bold"}));
    Lines shown;
    for (const auto& entry : room->transcript())
        shown.push_back(entry.sender + "|" + entry.text);
    EXPECT_NE(std::find(shown.begin(), shown.end(), "|* eve waves"), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "|-eve- !vid3 notice"), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "boss|!vid3 bold"), shown.end());
    EXPECT_EQ(channelTexts(), (Lines{ircReply(" Trig Is Now [!] "), ircReply(" Echo bold ")}));
}

TEST_F(IrcChatRoomTest, ReportsItsStateAndQuitsOnSignOff)
{
    makeRoom(kOwner);
    Lines states;
    room->onStatus = [&](const std::string& s) { states.push_back(s); };
    signOn();
    EXPECT_EQ(room->status(), "In #room as TavuBot");
    EXPECT_EQ(states, (Lines{"Signing on to irc.test", "Joining #room as TavuBot", "In #room as TavuBot"}));
    room->signOff();
    EXPECT_EQ(transport->take(), Lines{"QUIT Tavu"});
    EXPECT_EQ(room->status(), "Signed off");
}

TEST_F(IrcChatRoomTest, HelpGoesToTheOwnerAsNotices)
{
    makeRoom("*!~boss@home.example"); // the mask names no nick: the notices go to the nick that asked
    signOn();
    say(kOwner, "trig !");
    transport->take();
    say(kOwner, "!help vol");
    say(kOwner, "!help");
    runtime.advance(10'000);
    const Lines written = transport->take();
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0], "NOTICE boss :" + ircReply(" !vol LEVEL - sets the volume, 0 to 100 "));
    for (const std::string& line : written)
        EXPECT_TRUE(line.starts_with("NOTICE boss :")) << line;
    EXPECT_EQ(room->transcript().back().sender, "TavuBot to boss");
}

TEST_F(IrcChatRoomTest, WithoutAMaskHelpStaysInTheWindow)
{
    makeRoom("");
    signOn();
    runtime.advance(10'000);
    room->ownerTyped("trig !");
    runtime.advance(10'000);
    transport->take();
    room->ownerTyped("!help vol");
    runtime.advance(10'000);
    EXPECT_EQ(channelTexts(), Lines{"!help vol"}); // the owner's own line, not the answer
    EXPECT_EQ(room->transcript().back().kind, LocalChatRoom::Kind::Reply);
    EXPECT_EQ(room->transcript().back().text, htmlReply(" !vol LEVEL - sets the volume, 0 to 100 "));
}

TEST_F(IrcChatRoomTest, SettingsWithoutAServerDoNotConnect)
{
    std::filesystem::create_directories(dir.path() / "Styles");
    auto link = std::make_unique<ScriptedTransport>();
    ScriptedTransport* raw = link.get();
    IrcChatRoom idle(runtime, std::move(link), IrcConfig{});
    idle.start();
    runtime.advance(120'000);
    EXPECT_EQ(raw->opens, 0);
    EXPECT_EQ(idle.status(), "Not signed on: no server in the Chat settings");
}

// Start-up waits for the join before it announces, so the three load lines come a second apart
// instead of held back and sent together; without a join it goes on after 30 s.
TEST_F(IrcChatRoomTest, TheLoadAnnouncementsWaitForTheJoinAndComeASecondApart)
{
    for (const bool joins : {true, false}) {
        Settings(dir.file("Tavu.ini")).write(keys::Handle, "Quarn");
        makeRoom(kOwner);
        std::vector<std::int64_t> at;
        transport->onLine = [&](const std::string& line) {
            if (line.starts_with("PRIVMSG #room :"))
                at.push_back(runtime.elapsedMs());
        };
        const std::int64_t start = runtime.elapsedMs();
        transport->accept();
        transport->serverSays(":irc.test 001 TavuBot :Welcome");
        OneShotTimer join(runtime);
        if (joins)
            join.start(5'000, [&] { transport->serverSays(":TavuBot!~tavu@127.0.0.1 JOIN #room"); });
        ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
        if (joins) {
            ASSERT_EQ(at.size(), 3u);
            EXPECT_GE(at[0] - start, 5'000);
            EXPECT_LE(at[0] - start, 5'100);
            for (std::size_t i = 1; i < at.size(); ++i) {
                EXPECT_GE(at[i] - at[i - 1], 500) << i;
                EXPECT_LE(at[i] - at[i - 1], 1'500) << i;
            }
        } else {
            EXPECT_TRUE(at.empty());
            EXPECT_GE(runtime.elapsedMs() - start, 30'000);
            EXPECT_LE(runtime.elapsedMs() - start, 34'000);
        }
        bot.reset();
        room.reset();
    }
}

// A burst of volume changes that fits the reply queue goes out whole, in order, at the flood pace.
// One that would fill it keeps its last reply instead of minutes of replies, the window says once
// that replies were dropped, and a listing is left whole.
TEST_F(IrcChatRoomTest, ABurstOfOneCommandLeavesItsLastReply)
{
    IrcTimings patient; // minutes of replies from a server that says nothing meanwhile
    patient.quietPingMs = patient.deadMs = 3'600'000;
    makeRoom(kOwner, false, patient);
    signOn();
    runtime.advance(10'000);
    say(kOwner, "trig !");
    Lines expected{ircReply(" Trig Is Now [!] ")};
    for (int i = 1; i <= 12; ++i) {
        say(kOwner, "!vol " + std::to_string(i));
        expected.push_back(ircReply(" Volume Set - [" + std::to_string(i) + "] "));
    }
    runtime.advance(60'000);
    EXPECT_EQ(channelTexts(), expected);
    const auto told = [&] {
        std::size_t n = 0;
        for (const auto& entry : room->transcript())
            n += entry.text.starts_with("Replies were dropped") ? 1 : 0;
        return n;
    };
    EXPECT_EQ(told(), 0u);

    for (int i = 1; i <= 160; ++i) {
        say(kOwner, "!vol " + std::to_string(i % 101));
        runtime.advance(10);
    }
    runtime.advance(400'000);
    const Lines sent = channelTexts();
    EXPECT_LT(sent.size(), 110u);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), ircReply(" Volume Set - [59] "));
    EXPECT_EQ(told(), 1u);
    // Lines of one run are never dropped for each other.
    say(kOwner, "!xplist 12");
    runtime.advance(60'000);
    EXPECT_EQ(channelTexts().size(), 12u);
}

// At the end the queued replies go at the flood rule's pace for a few seconds, then QUIT.
TEST_F(IrcChatRoomTest, SigningOffSendsWhatThePaceAllowsThenQuits)
{
    IrcTimings timings;
    timings.quitLingerMs = 5'000;
    makeRoom(kOwner, false, timings);
    signOn();
    runtime.advance(10'000);
    for (int i = 0; i < 20; ++i)
        room->sendLine("line " + std::to_string(i));
    EXPECT_EQ(channelTexts().size(), 4u);
    room->signOff();
    EXPECT_TRUE(room->signingOff());
    room->sendLine("after the end");
    runtime.advance(5'000);
    const Lines sent = transport->take();
    EXPECT_EQ(sent, (Lines{"PRIVMSG #room :line 4", "PRIVMSG #room :line 5", "QUIT Tavu"}));
    EXPECT_FALSE(room->signingOff());
    EXPECT_EQ(room->status(), "Signed off");
}

// The unload announcements, said a second apart behind a bucket that replies just emptied and a
// reply still waiting, all go out before QUIT.
TEST_F(IrcChatRoomTest, TheUnloadAnnouncementsGoOutBeforeQuit)
{
    makeRoom(kOwner);
    signOn();
    for (int i = 0; i < 4; ++i)
        bot->reply(" Reply " + std::to_string(i) + " "); // with the JOIN, the whole burst and one more
    EXPECT_EQ(channelTexts().size(), 3u);
    for (const char* body : {" By: Quarn ", " Unloaded By - [Quarn] ", " Mp3's Played: - [0] "}) {
        bot->reply(body);
        runtime.advance(body[1] == 'M' ? 0 : 1'500); // the longest a Wait 1 lasts
    }
    room->signOff();
    runtime.advance(20'000);
    const Lines sent = transport->take();
    EXPECT_EQ(sent, (Lines{"PRIVMSG #room :" + ircReply(" Reply 3 "), "PRIVMSG #room :" + ircReply(" By: Quarn "),
                           "PRIVMSG #room :" + ircReply(" Unloaded By - [Quarn] "),
                           "PRIVMSG #room :" + ircReply(" Mp3's Played: - [0] "), "QUIT Tavu"}));
}

TEST(IrcConfig, ReadsTheChatSection)
{
    TestDir dir;
    const Settings settings(dir.file("Tavu.ini"));
    EXPECT_FALSE(wantsIrc(settings));
    settings.write(keys::ChatNetwork, " IRC ");
    settings.write(keys::ChatServer, "irc.example.net");
    settings.write(keys::ChatTls, "1");
    settings.write(keys::ChatNick, "Ta vu");
    settings.write(keys::ChatChannel, "music");
    settings.write(keys::ChatOwner, "boss!*@home");
    settings.write(keys::ChatFormat, "HTML");
    EXPECT_TRUE(wantsIrc(settings));
    IrcConfig config = IrcConfig::fromSettings(settings);
    EXPECT_EQ(config.server, "irc.example.net");
    EXPECT_EQ(config.port, 6697);
    EXPECT_EQ(config.tls, TlsMode::Verified);
    EXPECT_EQ(config.nick, "Tavu");
    EXPECT_EQ(config.channel, "#music");
    EXPECT_EQ(config.owner, "boss!*@home");
    EXPECT_TRUE(config.htmlFormat);
    EXPECT_EQ(config.missing(), "");

    settings.write(keys::ChatTls, "self-signed");
    settings.write(keys::ChatPort, "7000");
    settings.write(keys::ChatChannel, "&local");
    settings.write(keys::ChatFormat, "");
    config = IrcConfig::fromSettings(settings);
    EXPECT_EQ(config.tls, TlsMode::AcceptSelfSigned);
    EXPECT_EQ(config.port, 7000);
    EXPECT_EQ(config.channel, "&local");
    EXPECT_FALSE(config.htmlFormat);

    // A key after the channel's name, or in its own setting, which wins.
    settings.write(keys::ChatChannel, " #music  sekrit ");
    config = IrcConfig::fromSettings(settings);
    EXPECT_EQ(config.channel, "#music");
    EXPECT_EQ(config.channelKey, "sekrit");
    settings.write(keys::ChatChannelKey, "other");
    settings.write(keys::ChatAccount, "botacct");
    settings.write(keys::ChatOwnerAccount, "bossacct");
    config = IrcConfig::fromSettings(settings);
    EXPECT_EQ(config.channel, "#music");
    EXPECT_EQ(config.channelKey, "other");
    EXPECT_EQ(config.loginAccount(), "botacct");
    EXPECT_EQ(config.ownerAccount, "bossacct");
    settings.write(keys::ChatChannel, "music");
    settings.write(keys::ChatChannelKey, "");
    settings.write(keys::ChatAccount, "");
    config = IrcConfig::fromSettings(settings);
    EXPECT_EQ(config.channelKey, "");
    EXPECT_EQ(config.loginAccount(), config.nick);

    settings.write(keys::ChatTls, "0");
    settings.write(keys::ChatPort, "99999");
    settings.write(keys::ChatNetwork, "carrier pigeon");
    config = IrcConfig::fromSettings(settings);
    EXPECT_EQ(config.port, 6667);
    EXPECT_EQ(config.tls, TlsMode::Off);
    EXPECT_FALSE(wantsIrc(settings));
    // Settings of an older version: the names, no CTCP answers, no bot mode, no fallbacks.
    EXPECT_EQ(config.userName, "tavu");
    EXPECT_EQ(config.realName, "Tavu");
    EXPECT_FALSE(config.ctcpReplies);
    EXPECT_FALSE(config.botMode);
    EXPECT_EQ(config.endpoints(), (std::vector<IrcEndpoint>{{"irc.example.net", 6667}}));

    settings.write(keys::ChatUserName, " my bot ");
    settings.write(keys::ChatRealName, " Tavu the bot ");
    settings.write(keys::ChatServerPassword, "door");
    settings.write(keys::ChatServers, "b.example:7000, c.example [::1]:6669 irc.example.net ::1 d.example:notaport");
    settings.write(keys::ChatCtcpReplies, "1");
    settings.write(keys::ChatBotMode, "1");
    config = IrcConfig::fromSettings(settings);
    EXPECT_EQ(config.userName, "mybot");
    EXPECT_EQ(config.realName, "Tavu the bot");
    EXPECT_EQ(config.serverPassword, "door");
    EXPECT_TRUE(config.ctcpReplies);
    EXPECT_TRUE(config.botMode);
    EXPECT_EQ(config.endpoints(), (std::vector<IrcEndpoint>{{"irc.example.net", 6667},
                                                            {"b.example", 7000},
                                                            {"c.example", 6667},
                                                            {"::1", 6669},
                                                            {"::1", 6667},
                                                            {"d.example", 6667}}));
    for (const auto& [text, port] : std::vector<std::pair<std::string, std::optional<int>>>{{"", 0},
                                                                                            {"6667", 6667},
                                                                                            {" 7000 ", 7000},
                                                                                            {"notaport", std::nullopt},
                                                                                            {"0", std::nullopt},
                                                                                            {"65536", std::nullopt},
                                                                                            {"66a", std::nullopt},
                                                                                            {"-1", std::nullopt}})
        EXPECT_EQ(portSetting(text), port) << text;
}

} // namespace
} // namespace tavu::test
