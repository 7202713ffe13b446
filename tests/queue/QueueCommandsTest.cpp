#include "bot/Continuation.h"
#include "queue/UpNext.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu {
namespace {

using Lines = std::vector<std::string>;

class QueueCommandsTest : public test::BotFixture {
protected:
    QueueCommandsTest()
    {
        bot->trig = "!";
        bot->settings().write(keys::QueueEnabled, "1");
        useSongs({"alpha.mp3", "beta.mp3", "gamma.mp3", "delta one.mp3", "delta two.mp3"});
        bot->upNext->lengthReader = [](const std::string& path) { return path.ends_with("alpha.mp3") ? 75.0 : 200.0; };
    }
    static std::string r(std::string_view body, std::string_view lead = " Tavu ") { return defaultReply(body, lead); }
    std::vector<std::string> queued() const
    {
        std::vector<std::string> out;
        for (const QueuedSong& q : bot->upNext->queue.songs())
            out.push_back(q.song);
        return out;
    }
    void playSomething()
    {
        ownerSays("!play gamma");
        takeLines();
    }
};

TEST_F(QueueCommandsTest, AnOldSettingsFileKnowsNoneOfTheWords)
{
    bot->settings().write(keys::QueueEnabled, "");
    for (const char* line : {"!add alpha", "!queue", "!clear", "!skip", "!save x", "!playlists", "!help add"})
        ownerSays(line);
    EXPECT_EQ(takeLines(), Lines{r(" No such command [add] - !help lists them all ")});
    ownerSays("!help");
    for (const std::string& line : takeLines())
        EXPECT_EQ(line.find("Queue:"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(bot->upNext->savedPath()));
}

TEST_F(QueueCommandsTest, AddStartsAtOnceWhenNothingPlaysAndQueuesOtherwise)
{
    ownerSays("!add alpha");
    EXPECT_EQ(takeLines(), (Lines{r(" Queued #1 - [alpha] (1:15) "), r(" alpha ", " Playing ")}));
    EXPECT_TRUE(bot->upNext->queue.empty());
    ownerSays("!add beta");
    ownerSays("!add zzz");
    ownerSays("!playnext gamma");
    EXPECT_EQ(takeLines(), (Lines{r(" Queued #1 - [beta] (3:20) "), r(" Mp3 string not found - <u>zzz</u> "),
                                  r(" Queued #1 - [gamma] (3:20) ")}));
    EXPECT_EQ(queued(), (Lines{"gamma.mp3", "beta.mp3"}));
    ownerSays("!queue");
    EXPECT_EQ(takeLines(), (Lines{r(" Up next - [2 songs, 0:06:40] "), r(" 1. gamma (3:20) "), r(" 2. beta (3:20) ")}));
}

TEST_F(QueueCommandsTest, SeveralMatchesOpenTheDialogueWhereAddQueues)
{
    playSomething();
    ownerSays("!add delta");
    runtime.advance(1000);
    EXPECT_EQ(takeLines(), (Lines{r(" Multiple Strings Found! "), r(" Scroll found Strings -[y\\n] ")}));
    ownerSays("add 2");
    runtime.advance(1000);
    EXPECT_EQ(takeLines(), (Lines{r(" Queued #1 - [delta two] (3:20) ")}));
    EXPECT_EQ(queued(), (Lines{"delta two.mp3"}));
    EXPECT_EQ(bot->songList.selectedText(), "gamma.mp3") << "what plays stays the current song";
    ownerSays("!mp3?");
    EXPECT_EQ(takeLines(), (Lines{r(" gamma ", " Current Mp3: ")}));
}

TEST_F(QueueCommandsTest, TheQueueGoesFirstAtTheEndOfASongThenThePlayMode)
{
    playSomething(); // gamma, index 2
    bot->setPlayMode(PlayMode::AutoContinue);
    ownerSays("!add alpha");
    ownerSays("!add delta one");
    takeLines();
    runtime.advance(2000);
    media.finish();
    runtime.advance(2000);
    media.finish();
    runtime.advance(2000);
    media.finish();
    runtime.advance(2000);
    EXPECT_EQ(takeLines(),
              (Lines{r(" alpha ", " Playing "), r(" delta one ", " Playing "), r(" delta two ", " AutoCont. ")}));
    // Repeat and stop give way to the queue as well.
    bot->setPlayMode(PlayMode::None);
    ownerSays("!add beta");
    takeLines();
    media.finish();
    runtime.advance(2000);
    media.finish();
    runtime.advance(2000);
    EXPECT_EQ(takeLines(), (Lines{r(" beta ", " Playing ")}));
    EXPECT_EQ(media.state, MediaPlayer::Stopped);
}

TEST_F(QueueCommandsTest, NextSkiptoUnqAndMoveWorkOnPositions)
{
    playSomething();
    for (const char* song : {"alpha", "beta", "delta one", "delta two"})
        ownerSays(std::string("!add ") + song);
    takeLines();
    ownerSays("!move 4 1");
    ownerSays("!move 1 9");
    ownerSays("!unq 2-3");
    ownerSays("!unq 0");
    ownerSays("!unq x");
    EXPECT_EQ(takeLines(), (Lines{r(" Moved #4 to #1 - [delta two] "), r(" Please choose a song between 1 and 4 "),
                                  r(" Removed #2-3 - [2 songs] "), r(" Please choose a song between 1 and 2 "),
                                  r(" Please choose a song between 1 and 2 ")}));
    EXPECT_EQ(queued(), (Lines{"delta two.mp3", "delta one.mp3"}));
    ownerSays("!next");
    EXPECT_EQ(takeLines(), (Lines{r(" delta two ", " Playing ")}));
    ownerSays("!add alpha");
    ownerSays("!add beta");
    ownerSays("!skipto 3");
    EXPECT_EQ(takeLines(),
              (Lines{r(" Queued #2 - [alpha] (1:15) "), r(" Queued #3 - [beta] (3:20) "), r(" beta ", " Playing ")}));
    EXPECT_TRUE(bot->upNext->queue.empty());
    ownerSays("!next"); // an empty queue: the next song of the list, as always
    EXPECT_EQ(takeLines(), (Lines{r(" delta one ", " Playing ")}));
}

TEST_F(QueueCommandsTest, ClearShuffleAndPages)
{
    playSomething();
    ownerSays("!queue");
    ownerSays("!shuffle");
    ownerSays("!clear");
    EXPECT_EQ(takeLines(), (Lines(3, r(" The queue is empty "))));
    for (int i = 0; i < 3; ++i)
        for (const char* song : {"alpha", "beta"})
            ownerSays(std::string("!add ") + song);
    takeLines();
    ownerSays("!queue 2");
    EXPECT_EQ(takeLines(), (Lines{r(" Up next - [6 songs, 0:13:45] "), r(" 5. alpha (1:15) "), r(" 6. beta (3:20) ")}));
    ownerSays("!queue 3");
    ownerSays("!shuffle");
    ownerSays("!clear");
    EXPECT_EQ(takeLines(), (Lines{r(" Please choose a page between 1 and 2 "), r(" Queue shuffled - [6 songs] "),
                                  r(" Queue cleared - [6 songs] ")}));
}

TEST_F(QueueCommandsTest, TheQueueComesBackAfterARestartStopped)
{
    playSomething();
    for (const char* song : {"beta", "alpha", "delta two"})
        ownerSays(std::string("!add ") + song);
    ownerSays("!move 3 1");
    const Lines before = queued();
    bot.reset();
    media.state = MediaPlayer::Stopped;
    media.opened.clear();
    std::filesystem::remove(music.file("alpha.mp3")); // gone meanwhile
    bot = std::make_unique<Bot>(runtime, room, dir.str(), services());
    useSongs({"beta.mp3", "gamma.mp3", "delta two.mp3"});
    bot->upNext->restore();
    EXPECT_EQ(queued(), (Lines{"delta two.mp3", "beta.mp3"}));
    EXPECT_EQ(before, (Lines{"delta two.mp3", "beta.mp3", "alpha.mp3"}));
    EXPECT_TRUE(media.opened.empty());
}

TEST_F(QueueCommandsTest, PlaylistsSaveAndLoadBackAndRefuseHostileNames)
{
    playSomething();
    ownerSays("!save party");
    for (const char* song : {"beta", "alpha", "delta two"})
        ownerSays(std::string("!add ") + song);
    takeLines();
    ownerSays("!save party");
    ownerSays("!clear");
    takeLines();
    std::filesystem::create_symlink("/tmp", dir.path() / "Playlists" / "out.m3u8");
    for (const char* name : {"../Tavu", "a/b", ".hidden", "", "x\\y", "out", "no..dots"})
        ownerSays(std::string("!save ") + name);
    EXPECT_EQ(takeLines(), Lines(7, r(" Please choose another name for the playlist ")));
    ownerSays("!load party");
    EXPECT_EQ(takeLines(), (Lines{r(" Playlist loaded - [party] (3 songs queued, 0 skipped) ")}));
    EXPECT_EQ(queued(), (Lines{"beta.mp3", "alpha.mp3", "delta two.mp3"}));
    // Another player's playlist, with a song that has gone.
    test::writeBytes(dir.file("Playlists/Mixed.m3u"),
                     "#EXTM3U\n#EXTINF:1,x\n" + music.file("beta.mp3") + "\nold.mp3\n");
    ownerSays("!load Mixed");
    ownerSays("!load nothing");
    ownerSays("!playlists");
    EXPECT_EQ(takeLines(), (Lines{r(" Playlist loaded - [Mixed] (1 song queued, 1 skipped) "),
                                  r(" No playlist named [nothing] "), r(" Playlists (2): Mixed party ")}));
}

} // namespace
} // namespace tavu

namespace tavu {
namespace {

// A song added while the player is stopped plays at once, and the songs waiting before it (a queue
// kept from the last run) stay.
TEST_F(QueueCommandsTest, AddingWhileStoppedKeepsTheSongsThatWait)
{
    bot->upNext->queue.assign({{"beta.mp3", {}, {}}, {"gamma.mp3", {}, {}}});
    ownerSays("!add alpha");
    EXPECT_EQ(takeLines(), (Lines{r(" Queued #3 - [alpha] (1:15) "), r(" alpha ", " Playing ")}));
    EXPECT_EQ(queued(), (Lines{"beta.mp3", "gamma.mp3"}));
    std::filesystem::create_directories(dir.path() / "Playlists");
    test::writeBytes(dir.file("Playlists/two.m3u8"), "delta one.mp3\ndelta two.mp3\n");
    media.state = MediaPlayer::Stopped;
    ownerSays("!load two");
    EXPECT_EQ(takeLines(),
              (Lines{r(" Playlist loaded - [two] (2 songs queued, 0 skipped) "), r(" delta one ", " Playing ")}));
    EXPECT_EQ(queued(), (Lines{"beta.mp3", "gamma.mp3", "delta two.mp3"}));
}

} // namespace
} // namespace tavu
