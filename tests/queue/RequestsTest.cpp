#include "queue/UpNext.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

using Lines = std::vector<std::string>;

// Members of the room: Ann and Bob logged in to their accounts; "Ann" later taken by somebody else.
class RequestsTest : public test::BotFixture {
protected:
    RequestsTest()
    {
        bot->trig = "!";
        bot->settings().write(keys::QueueEnabled, "1");
        bot->settings().write(keys::RequestsEnabled, "1");
        useSongs({"alpha.mp3", "beta.mp3", "gamma.mp3", "delta.mp3", "long.mp3", "omega.mp3"});
        bot->upNext->lengthReader = [](const std::string& path) { return path.ends_with("long.mp3") ? 601.0 : 60.0; };
        room.identities = {{"Ann", "ann"}, {"Bob", "bob"}};
        room.members = 9;
    }
    static std::string r(std::string_view body, std::string_view lead = " Tavu ") { return defaultReply(body, lead); }
    // A member's line, after the cooldown of the last one.
    void member(const std::string& nick, const std::string& line)
    {
        runtime.advance(10'000);
        say(nick, line);
    }
};

TEST_F(RequestsTest, WithRequestsOffMembersAreIgnored)
{
    for (const SettingKey* off : {&keys::RequestsEnabled, &keys::QueueEnabled}) {
        bot->settings().write(keys::QueueEnabled, "1");
        bot->settings().write(keys::RequestsEnabled, "1");
        bot->settings().write(*off, "0");
        member("Ann", "!add alpha");
        member("Ann", "!mp3?");
    }
    bot->settings().write(keys::RequestsEnabled, "1");
    member("Stranger", "!add alpha"); // the room cannot tell who this is
    member("Ann", "!vol 0");          // not a member's command
    member("Ann", "!clear");
    EXPECT_TRUE(room.sent.empty());
    EXPECT_TRUE(bot->upNext->queue.empty());
}

TEST_F(RequestsTest, LimitsNameTheMemberAndTheLimit)
{
    ownerSays("!play omega");
    member("Ann", "!add alpha");
    member("Ann", "!add alpha");
    member("Ann", "!add long");
    member("Ann", "!add a"); // alpha, beta, gamma, delta, omega
    member("Ann", "!add beta");
    member("Ann", "!add gamma");
    member("Ann", "!add delta");
    EXPECT_EQ(room.lines(),
              (Lines{r(" <u>omega</U> ", " Playing "), r(" Queued #1 - [alpha] (1:00) "),
                     r(" Ann, alpha is queued already "), r(" Ann, long is too long (10:01, the limit is 10:00) "),
                     r(" Ann, 5 songs match - please type more of the name "), r(" Queued #2 - [beta] (1:00) "),
                     r(" Queued #3 - [gamma] (1:00) "), r(" Ann, you have 3 songs queued (the limit is 3) ")}));
    takeLines();
    bot->settings().write(keys::RequestsQueueSize, "4");
    member("Bob", "!add delta");
    member("Bob", "!add long");
    member("Bob", "!queue");
    EXPECT_EQ(takeLines(),
              (Lines{r(" Queued #4 - [delta] (1:00) "), r(" Bob, the queue is full (the limit is 4 songs) "),
                     r(" Up next - [4 songs, 0:04:00] "), r(" 1. alpha (1:00) [Ann] "), r(" 2. beta (1:00) [Ann] "),
                     r(" 3. gamma (1:00) [Ann] "), r(" 4. delta (1:00) [Bob] ")}));
}

TEST_F(RequestsTest, AMemberRemovesOnlyTheirOwnSongsAndAnImpostorNone)
{
    ownerSays("!play omega");
    member("Ann", "!add alpha");
    member("Bob", "!add beta");
    takeLines();
    member("Bob", "!unq 1");
    room.identities["Ann"] = "Ann!imp@elsewhere"; // somebody took Ann's nick without her account
    member("Ann", "!unq 1");
    member("Ann", "!add gamma");
    member("Ann", "!add delta");
    member("Ann", "!add omega");
    EXPECT_EQ(takeLines(), (Lines{r(" Bob, #1 is not your song "), r(" Ann, #1 is not your song "),
                                  r(" Queued #3 - [gamma] (1:00) "), r(" Queued #4 - [delta] (1:00) "),
                                  r(" Queued #5 - [omega] (1:00) ")}));
    room.identities["Ann"] = "ann";
    member("Ann", "!unq 1");
    member("Ann", "!add gamma");
    EXPECT_EQ(takeLines(), (Lines{r(" Removed #1 - [alpha] "), r(" Ann, gamma is queued already ")}));
}

TEST_F(RequestsTest, TheCooldownGoesUnanswered)
{
    member("Ann", "!queue");
    runtime.advance(9'000);
    say("Ann", "!queue");
    say("Ann", "!add alpha");
    EXPECT_EQ(takeLines(), (Lines{r(" The queue is empty ")}));
    runtime.advance(1'000);
    say("Bob", "!queue"); // another member has a cooldown of their own
    say("Ann", "!queue");
    EXPECT_EQ(takeLines(), (Lines{r(" The queue is empty "), r(" The queue is empty ")}));
}

TEST_F(RequestsTest, SkipIsAVoteUnlessTheSongIsYours)
{
    ownerSays("!play omega");
    member("Ann", "!add alpha");
    takeLines();
    room.identities["Cy"] = "cy";
    member("Ann", "!skip");
    member("Ann", "!skip"); // one vote each
    member("Bob", "!skip");
    runtime.advance(2000);
    member("Cy", "!skip");
    runtime.advance(2000);
    EXPECT_EQ(takeLines(), (Lines{r(" Skip - [1/3] "), r(" Skip - [1/3] "), r(" Skip - [2/3] "), r(" Skip - [3/3] "),
                                  r(" alpha ", " Playing ")}));
    member("Bob", "!skip");
    member("Ann", "!skip"); // her own song goes at once
    runtime.advance(2000);
    EXPECT_EQ(takeLines(), (Lines{r(" Skip - [1/3] ")}));
    EXPECT_EQ(media.state, MediaPlayer::Stopped);
    // In a small room half its members are enough.
    room.members = 4;
    ownerSays("!play omega");
    member("Bob", "!skip");
    member("Cy", "!skip");
    EXPECT_EQ(takeLines(), (Lines{r(" <u>omega</U> ", " Playing "), r(" Skip - [1/2] "), r(" Skip - [2/2] ")}));
}

} // namespace
} // namespace tavu
