#include "bot/Continuation.h"
#include "bot/PlayerControls.h"
#include "bot/StartSong.h"
#include "settings/ProfileFile.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

class ContinuationTest : public test::BotFixture {
protected:
    ContinuationTest() { useSongs({"a.mp3", "b.mp3", "c.mp3", "Intro.MP3"}); }
    std::string reply(std::string_view body, std::string_view lead) { return defaultReply(body, lead); }
};

TEST_F(ContinuationTest, AutoContinueWrapsToTheFirstSong)
{
    bot->setPlayMode(PlayMode::AutoContinue);
    bot->playlistRows.select(2);
    media.finish();
    runtime.advance(1500);
    EXPECT_EQ(bot->songList.selectedIndex(), 0);
    EXPECT_EQ(media.opened.back(), music.file("a.mp3"));
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" a ", " AutoCont. ")}));
    EXPECT_EQ(bot->lblSong.caption(), "a");
    media.finish();
    runtime.advance(1500);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" b ", " AutoCont. ")}));
    EXPECT_EQ(bot->played.caption(), "2");
    EXPECT_EQ(bot->playlistRows.selectedIndex(), 1);
}

TEST_F(ContinuationTest, AutoContinueWithNothingSelectedEndsQuietly)
{
    bot->setPlayMode(PlayMode::AutoContinue);
    media.finish();
    runtime.advance(1500);
    EXPECT_TRUE(media.opened.empty());
    EXPECT_TRUE(room.sent.empty());
}

TEST_F(ContinuationTest, AutoRandomWithOneSongPlaysItAgain)
{
    bot->songList.clear();
    bot->playlistRows.clear();
    bot->songList.addItem("Intro.MP3");
    bot->playlistRows.addItem("Intro.MP3");
    bot->setPlayMode(PlayMode::AutoRandom);
    media.finish();
    runtime.advance(60000); // it plays a minute
    media.finish();
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Intro ", " AutoRndm "), reply(" Intro ", " AutoRndm ")}));
    EXPECT_EQ(bot->lblSong.caption(), "Intro");
    EXPECT_EQ(bot->played.caption(), "2");
}

TEST_F(ContinuationTest, AutoRandomWithNoSongsDoesNothing)
{
    bot->songList.clear();
    bot->setPlayMode(PlayMode::AutoRandom);
    media.finish();
    EXPECT_TRUE(media.opened.empty());
    EXPECT_TRUE(room.sent.empty());
}

TEST_F(ContinuationTest, RepeatPlaysTheSameFileAndKeepsTheLabel)
{
    bot->playlistRows.select(1);
    bot->lblSong.setCaption("custom");
    bot->setPlayMode(PlayMode::Repeat);
    media.finish();
    runtime.advance(60000);
    media.finish();
    EXPECT_EQ(media.opened, (std::vector<std::string>{music.file("b.mp3"), music.file("b.mp3")}));
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" b ", " Repeating "), reply(" b ", " Repeating ")}));
    EXPECT_EQ(bot->lblSong.caption(), "custom");
    EXPECT_EQ(bot->played.caption(), "2");
}

TEST_F(ContinuationTest, NoModeStopsAndSaysNothing)
{
    media.openEverything = true;
    media.open("x");
    bot->titleTimer.setEnabled(true);
    bot->clockTimer.setEnabled(true);
    media.finish();
    EXPECT_EQ(media.state, MediaPlayer::Stopped);
    EXPECT_FALSE(bot->titleTimer.enabled());
    EXPECT_TRUE(bot->clockTimer.enabled());
    EXPECT_TRUE(room.sent.empty());
}

// Which songs of a, b, c (Intro.MP3 is no song by the classic rule) cannot be played, and what follows the end of a.
struct BrokenCase {
    const char* name;
    PlayMode mode;
    std::vector<std::string> broken;
    std::vector<std::string> lines; // bodies; the lead is " AutoCont. " for the last under auto continue
};

class BrokenSongsTest : public ContinuationTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenSongsTest, TheModeGoesOnToTheNextPlayableSongOrStopsAfterARound)
{
    const BrokenCase& c = GetParam();
    for (const std::string& song : c.broken)
        std::filesystem::remove(music.file(song)); // still in the list, no longer a song

    bot->setPlayMode(c.mode);
    bot->playlistRows.select(0);
    media.finish();
    runtime.advance(60000);
    std::vector<std::string> expected;
    for (const std::string& body : c.lines)
        expected.push_back(body.starts_with(" Cannot play ") ? defaultReply(body) : reply(body, " AutoCont. "));
    if (c.mode == PlayMode::AutoContinue) {
        EXPECT_EQ(takeLines(), expected);
    } else {
        // Random: each broken song is said at most once, in any order, before the one that plays.
        auto lines = takeLines();
        ASSERT_FALSE(lines.empty());
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(std::adjacent_find(lines.begin(), lines.end()), lines.end()) << "no song said twice";
        if (c.broken.size() == bot->songList.count())
            EXPECT_EQ(lines.size(), c.broken.size()) << "one round, each song once";
        else
            EXPECT_LE(lines.size(), c.broken.size() + 1);
    }
    const bool allBroken = c.broken.size() == bot->songList.count();
    EXPECT_EQ(media.state, allBroken ? MediaPlayer::Stopped : MediaPlayer::Playing);
    EXPECT_FALSE(bot->continuation->heldBack());
    EXPECT_EQ(bot->played.caption(), allBroken ? "" : "1");
}

INSTANTIATE_TEST_SUITE_P(
    Folders, BrokenSongsTest,
    ::testing::Values(BrokenCase{"ContinueSkipsOne", PlayMode::AutoContinue, {"b.mp3"}, {" Cannot play b ", " c "}},
                      BrokenCase{"ContinueSkipsTwoAndWraps",
                                 PlayMode::AutoContinue,
                                 {"b.mp3", "c.mp3"},
                                 {" Cannot play b ", " Cannot play c ", " a "}},
                      BrokenCase{"ContinueStopsAfterARound",
                                 PlayMode::AutoContinue,
                                 {"a.mp3", "b.mp3", "c.mp3"},
                                 {" Cannot play b ", " Cannot play c ", " Cannot play a "}},
                      BrokenCase{"RandomSkipsTheBroken", PlayMode::AutoRandom, {"a.mp3", "c.mp3"}, {}},
                      BrokenCase{"RandomStopsAfterARound", PlayMode::AutoRandom, {"a.mp3", "b.mp3", "c.mp3"}, {}}),
    [](const ::testing::TestParamInfo<BrokenCase>& row) { return std::string(row.param.name); });

// Every song ends the moment it starts, as a file of a few frames does.
class AtOnceTest : public ContinuationTest {
protected:
    AtOnceTest()
    {
        m_following = bot->songStarted.subscribe([this] { runtime.post([this] { media.finish(); }); });
        recordTimes();
    }
    void recordTimes()
    {
        room.onSend = [this](const std::string& line, bool) { times.push_back({runtime.elapsedMs(), line}); };
    }
    std::vector<std::pair<std::int64_t, std::string>> times;
    Signal<>::Subscription m_following;
};

TEST_F(AtOnceTest, RepeatRestartsOnceASecondAndWritesTheCounterOnceASecond)
{
    bot->setPlayMode(PlayMode::Repeat);
    bot->playlistRows.select(1);
    media.finish();
    std::vector<std::string> stored;
    for (int ms = 0; ms < 10000; ms += 50) {
        runtime.advance(50);
        const std::string value = readSetting("Totals", "Mp3s Played", settingsPath());
        if (stored.empty() || stored.back() != value)
            stored.push_back(value);
    }
    ASSERT_GE(times.size(), 9u);
    EXPECT_LE(times.size(), 11u);
    for (std::size_t i = 1; i < times.size(); ++i)
        EXPECT_GE(times[i].first - times[i - 1].first, 1000) << "restart " << i;
    EXPECT_LE(stored.size(), 11u) << "Tavu.ini is written once a second at most";

    ownerSays("stop"); // the trigger is empty: bare words are commands
    const std::size_t said = times.size();
    runtime.advance(5000);
    EXPECT_EQ(times.size(), said) << "nothing after the stop";
    EXPECT_EQ(times.back().second, defaultReply(" Player Stopped! "));
    EXPECT_EQ(readSetting("Totals", "Mp3s Played", settingsPath()), bot->played.caption()) << "the last count lands";
}

TEST_F(AtOnceTest, AutoContinueAndAutoRandomStopAfterARoundOfSongsThatEndAtOnce)
{
    for (const PlayMode mode : {PlayMode::AutoContinue, PlayMode::AutoRandom}) {
        times.clear();
        bot->setPlayMode(mode);
        bot->playlistRows.select(0);
        media.finish();
        runtime.advance(60000);
        EXPECT_EQ(times.size(), bot->songList.count()) << "one announcement for each song, one round";
        EXPECT_EQ(media.state, MediaPlayer::Stopped);
        runtime.advance(60000); // a song that plays long enough: the modes work again
        m_following = {};
        media.finish();
        runtime.advance(1500);
        EXPECT_EQ(times.size(), bot->songList.count() + 1);
        m_following = bot->songStarted.subscribe([this] { runtime.post([this] { media.finish(); }); });
        media.stop();
    }
}

TEST_F(AtOnceTest, AnotherStartDropsTheRestartThatWaits)
{
    bot->setPlayMode(PlayMode::Repeat);
    bot->playlistRows.select(1);
    media.finish();
    runtime.drain();
    ASSERT_TRUE(bot->continuation->heldBack());
    m_following = {};
    ownerSays("next"); // the trigger is empty
    runtime.advance(5000);
    EXPECT_EQ(media.opened.back(), music.file("c.mp3"));
    EXPECT_EQ(media.opened.size(), 2u) << "the repeat of b was dropped";
}

} // namespace
} // namespace tavu

namespace tavu {
namespace {

// With "Gapless" on, the player learns at each start which song follows, and the one the play mode
// then starts is that one; auto continue no longer waits a second for it.
class GaplessContinuationTest : public ContinuationTest {
protected:
    GaplessContinuationTest() { writeSetting("Playback", "Gapless", "1", settingsPath()); }
};

TEST_F(GaplessContinuationTest, ThePlayerIsToldTheFollowingSongAndThatSongPlays)
{
    struct Case {
        PlayMode mode;
        int started;
        const char* following; // "" for none
    };
    const Case cases[] = {
        {PlayMode::AutoContinue, 0, "b.mp3"},
        {PlayMode::AutoContinue, 2, "a.mp3"}, // after the last, the first
        {PlayMode::Repeat, 1, "b.mp3"},
        {PlayMode::None, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.started);
        bot->setPlayMode(c.mode);
        media.following.clear();
        ASSERT_TRUE(startSong(*bot, c.started, roads::SearchMatch));
        ASSERT_FALSE(media.following.empty());
        const std::string expected = *c.following ? music.file(c.following) : "";
        EXPECT_EQ(media.following.back(), expected);
        runtime.advance(1500);
        media.opened.clear();
        const std::int64_t before = runtime.elapsedMs();
        media.finish();
        EXPECT_EQ(runtime.elapsedMs(), before) << "no second's wait";
        if (*c.following) {
            ASSERT_FALSE(media.opened.empty());
            EXPECT_EQ(media.opened.front(), expected);
        } else {
            EXPECT_TRUE(media.opened.empty());
        }
        takeLines();
    }
}

TEST_F(GaplessContinuationTest, AutoRandomDrawsOnceAndPlaysWhatItDrew)
{
    bot->setPlayMode(PlayMode::AutoRandom);
    for (int round = 0; round < 8; ++round) {
        media.following.clear();
        ASSERT_TRUE(startSong(*bot, round % 3, roads::SearchMatch));
        ASSERT_EQ(media.following.size(), 1u);
        runtime.advance(1500 + 37 * round); // another time of day: another draw, were it drawn again
        media.opened.clear();
        media.finish();
        runtime.drain();
        ASSERT_FALSE(media.opened.empty());
        EXPECT_EQ(media.opened.front(), media.following.front());
    }
}

TEST_F(GaplessContinuationTest, AChangeOfModeTellsThePlayerAgain)
{
    bot->setPlayMode(PlayMode::AutoContinue);
    ASSERT_TRUE(startSong(*bot, 0, roads::SearchMatch));
    bot->setPlayMode(PlayMode::Repeat);
    bot->setPlayMode(PlayMode::None);
    EXPECT_EQ(media.following, (std::vector<std::string>{music.file("b.mp3"), music.file("a.mp3"), ""}));
}

// An old settings file keeps the second's wait before auto continue's next song, and tells the
// player nothing.
TEST_F(ContinuationTest, WithoutGaplessAutoContinueWaitsItsSecond)
{
    bot->setPlayMode(PlayMode::AutoContinue);
    ASSERT_TRUE(startSong(*bot, 0, roads::SearchMatch));
    runtime.advance(1500);
    media.opened.clear();
    const std::int64_t before = runtime.elapsedMs();
    media.finish();
    EXPECT_GE(runtime.elapsedMs() - before, 500);
    EXPECT_EQ(media.opened, (std::vector<std::string>{music.file("b.mp3")}));
    EXPECT_TRUE(media.following.empty());
}

} // namespace
} // namespace tavu

namespace tavu {
namespace {

// A click on another row of the playlist shows that row's tag, and nothing else: the song that
// plays stays the current one for mp3?, for what the play mode does at its end, and for the caption.
// The play button then plays the row clicked.
TEST_F(ContinuationTest, AClickOnAnotherRowShowsItsTagAndLeavesTheCurrentSong)
{
    bot->trig = "!";
    struct Case {
        PlayMode mode;
        std::string followingReply;
        std::string followingSong;
    };
    for (const Case& c : {Case{PlayMode::AutoContinue, reply(" b ", " AutoCont. "), "b.mp3"},
                          Case{PlayMode::Repeat, reply(" a ", " Repeating "), "a.mp3"}}) {
        ASSERT_TRUE(startSong(*bot, 0, roads::SearchMatch)); // a plays
        bot->setPlayMode(c.mode);
        takeLines();
        bot->playlistRows.select(2); // the owner clicks c to see its tag
        EXPECT_EQ(bot->id3.path, music.file("c.mp3"));
        EXPECT_EQ(bot->lblSong.caption(), "a");
        ownerSays("!mp3?");
        EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" a ", " Current Mp3: ")}));
        media.finish();
        runtime.advance(1500);
        EXPECT_EQ(media.opened.back(), music.file(c.followingSong));
        EXPECT_EQ(takeLines(), std::vector<std::string>{c.followingReply});
    }
    bot->setPlayMode(PlayMode::None);
    bot->playlistRows.select(2);
    playClick(*bot);
    EXPECT_EQ(media.opened.back(), music.file("c.mp3"));
    EXPECT_EQ(bot->songList.selectedIndex(), 2);
    EXPECT_EQ(bot->lblSong.caption(), "c");
}

} // namespace
} // namespace tavu
