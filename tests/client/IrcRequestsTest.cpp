#include "InspircdNetwork.h"
#include "IrcServerFixture.h"
#include "bot/MusicLibrary.h"
#include "queue/UpNext.h"
#include "support/TestDir.h"

namespace tavu::test {
namespace {

using Lines = std::vector<std::string>;

// Requests from the room on InspIRCd with Atheme: the owner and two members logged in to their
// accounts, and somebody who takes a member's nick without the account.
class IrcRequestsTest : public IrcServerFixture {
protected:
    void SetUp() override
    {
        if (const std::string missing = InspircdNetwork::missingPrograms(); !missing.empty())
            GTEST_SKIP() << "InspIRCd and Atheme tests skipped: " << missing;
    }
    bool heardFromBot(TestIrcClient& client, std::size_t n)
    {
        return client.waitFor([&] { return client.saidBy(room->session().nick()).size() >= n; });
    }
    void useSongs(const std::vector<std::string>& names)
    {
        for (const auto& name : names)
            writeBytes(music.file(name), "");
        bot->dir = music.str();
        fillSongList(bot->songFiles, bot->songList, bot->playlistRows, bot->dir);
    }

    InspircdNetwork network;
    TestDir music;
};

TEST_F(IrcRequestsTest, MembersAreKnownByTheirAccountsNotTheirNicks)
{
    ASSERT_TRUE(network.start());
    ircPort = network.port();
    ASSERT_TRUE(network.registerAccounts(runtime, {{"boss", "bosspw"}, {"ann", "annpw"}, {"bob", "bobpw"}}));
    startBot("boss", fastTimings(), TlsMode::Off, 0, [](IrcConfig& c) { c.memberAccounts = true; });
    bot->settings().write(keys::QueueEnabled, "1");
    bot->settings().write(keys::RequestsEnabled, "1");
    bot->settings().write(keys::RequestsCooldown, "0");
    bot->settings().write(keys::RequestsMaxQueued, "1");
    bot->trig = "!";
    useSongs({"alpha.mp3", "beta.mp3", "gamma.mp3", "omega.mp3"});
    auto clients = joinedClients({{"boss", "boss"}, {"ann", "ann"}, {"bob", "bob"}, {"eve", "eve"}});
    ASSERT_EQ(clients.size(), 4u);
    TestIrcClient& boss = *clients[0];
    TestIrcClient& ann = *clients[1];
    TestIrcClient& bob = *clients[2];
    TestIrcClient& eve = *clients[3];
    ASSERT_TRUE(botInChannel());
    ASSERT_TRUE(boss.identify("boss", "bosspw"));
    ASSERT_TRUE(ann.identify("ann", "annpw"));
    ASSERT_TRUE(bob.identify("bob", "bobpw"));

    boss.say(kChannel, "!play omega");
    ASSERT_TRUE(heardFromBot(eve, 1));
    ann.say(kChannel, "!add alpha");
    ASSERT_TRUE(heardFromBot(eve, 2));
    bob.say(kChannel, "!add beta");
    ASSERT_TRUE(heardFromBot(eve, 3));
    bob.say(kChannel, "!unq 1");
    ASSERT_TRUE(heardFromBot(eve, 4));

    // Ann leaves; somebody else takes her nick without her account.
    ann.quit();
    TestIrcClient impostor(runtime, ircPort, "ann", "imp");
    ASSERT_TRUE(impostor.signOnAndJoin(kChannel));
    impostor.say(kChannel, "!unq 1");
    ASSERT_TRUE(heardFromBot(eve, 5));
    impostor.say(kChannel, "!add gamma"); // its own first song, not over Ann's limit
    ASSERT_TRUE(heardFromBot(eve, 6));
    // Five are in the channel (the bot among them), so two votes of the three skip.
    bob.say(kChannel, "!skip");
    ASSERT_TRUE(heardFromBot(eve, 7));
    bob.say(kChannel, "!skip"); // a second vote of the same member is not counted twice
    ASSERT_TRUE(heardFromBot(eve, 8));

    const Lines said = eve.saidBy(room->session().nick());
    EXPECT_EQ(Lines(said.begin() + 1, said.end()),
              (Lines{ircReply(" Queued #1 - [alpha] "), ircReply(" Queued #2 - [beta] "),
                     ircReply(" bob, #1 is not your song "), ircReply(" ann, #1 is not your song "),
                     ircReply(" Queued #3 - [gamma] "), ircReply(" Skip - [1/2] "), ircReply(" Skip - [1/2] ")}));
    const SongQueue& queue = bot->upNext->queue;
    ASSERT_EQ(queue.size(), 3u);
    EXPECT_EQ(queue.countBy("account:ann"), 1u);
    EXPECT_EQ(queue.countBy("account:bob"), 1u);
    EXPECT_EQ(queue.at(2).requester, "ann!imp@127.0.0.1");

    eve.say(kChannel, "!skip");
    ASSERT_TRUE(heardFromBot(eve, 9));
    EXPECT_EQ(eve.saidBy(room->session().nick()).at(8), ircReply(" Skip - [2/2] "));
    ASSERT_TRUE(waitFor([&] { return queue.size() == 2u; }));
    EXPECT_EQ(queue.at(0).requester, "account:bob");
}

} // namespace
} // namespace tavu::test
