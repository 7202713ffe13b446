#include "bot/PlayerControls.h"
#include "bot/StartSong.h"
#include "settings/ProfileFile.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tavu {
namespace {

class PlayerControlsTest : public test::BotFixture {
protected:
    PlayerControlsTest() { useSongs({"a.mp3", "b.mp3", "c.mp3", "Track.mp3"}); }
};

TEST_F(PlayerControlsTest, CountingFastWritesTheCounterOnceASecondAndTheLastCountLands)
{
    // Every write puts a new file in place; looked at after each step, each write shows as a new
    // inode (the one it replaced is still in use while the new one is made).
    ino_t last = 0;
    std::vector<std::int64_t> writes; // when, on the simulated clock
    useSongs({"a.mp3"});
    const auto count = [this] { ASSERT_TRUE(startSong(*bot, 0, roads::PlayButton)); };
    const auto look = [&] {
        struct stat st {};
        if (::stat(settingsPath().c_str(), &st) == 0 && st.st_ino != last)
            last = st.st_ino, writes.push_back(runtime.elapsedMs());
    };
    for (int second = 0; second < 3; ++second) {
        for (int i = 0; i < 20; ++i) {
            count();
            look();
            runtime.advance(10);
            look();
        }
        runtime.advance(800);
        look();
    }
    EXPECT_GE(writes.size(), 3u);
    for (std::size_t i = 1; i < writes.size(); ++i)
        EXPECT_GE(writes[i] - writes[i - 1], 1000) << "at most one write a second";
    runtime.advance(1000);
    EXPECT_EQ(readSetting("Totals", "Mp3s Played", settingsPath()), "60") << "the last count lands";
    for (int i = 0; i < 5; ++i)
        count();
    bot.reset(); // the end of the program writes what still waits
    EXPECT_EQ(readSetting("Totals", "Mp3s Played", settingsPath()), "65");
}

TEST_F(PlayerControlsTest, PlayWithNothingSelected)
{
    playClick(*bot);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "No file to play");
    EXPECT_EQ(dialogs.shown[0].title, "Error");
    EXPECT_EQ(bot->played.caption(), "");
    EXPECT_EQ(sound.played.size(), 1u);
    EXPECT_NE(sound.played[0].find("Click.wav"), std::string::npos);
}

TEST_F(PlayerControlsTest, PlayThenNextShowTheTitleTwoWays)
{
    bot->songList.select(1);
    playClick(*bot);
    EXPECT_EQ(bot->lblSong.caption(), "b");
    EXPECT_TRUE(bot->titleTimer.enabled() && bot->clockTimer.enabled());
    nextClick(*bot);
    EXPECT_EQ(bot->lblSong.caption(), "c.mp3");
    EXPECT_EQ(bot->playlistRows.selectedIndex(), 2);
    EXPECT_EQ(bot->lstPlay.items(), (std::vector<std::string>{"c.mp3"}));
    prevClick(*bot);
    EXPECT_EQ(bot->lblSong.caption(), "b.mp3");
    EXPECT_EQ(bot->played.caption(), "3");
    runtime.advance(1000); // three counts in a moment are written once, a second later
    EXPECT_EQ(readSetting("Totals", "Mp3s Played", settingsPath()), "3");
    EXPECT_EQ(sound.played.size(), 3u);
}

TEST_F(PlayerControlsTest, EndsOfTheListDoNothing)
{
    prevClick(*bot);
    bot->songList.select(0);
    prevClick(*bot);
    bot->songList.select(3);
    nextClick(*bot);
    EXPECT_TRUE(media.opened.empty());
    EXPECT_EQ(bot->songList.selectedIndex(), 3);
    bot->songList.clear();
    nextClick(*bot);
    EXPECT_TRUE(media.opened.empty());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PlayerControlsTest, UnplayableSongIsNamedAndNotCounted)
{
    std::filesystem::remove(music.file("b.mp3"));
    bot->songList.select(1);
    playClick(*bot);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("b.mp3"), std::string::npos);
    EXPECT_EQ(bot->played.caption(), "");
    EXPECT_FALSE(bot->clockTimer.enabled());
    bot->songList.select(0);
    nextClick(*bot);
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(bot->played.caption(), "");
}

TEST_F(PlayerControlsTest, PauseResumesAndStopResets)
{
    pauseClick(*bot);
    EXPECT_EQ(media.state, MediaPlayer::Stopped) << "pause while stopped does nothing";
    bot->songList.select(0);
    playClick(*bot);
    pauseClick(*bot);
    EXPECT_EQ(media.state, MediaPlayer::Paused);
    pauseClick(*bot);
    EXPECT_EQ(media.state, MediaPlayer::Playing);
    bot->txtTime.setCaption("0:12");
    stopClick(*bot);
    EXPECT_EQ(media.state, MediaPlayer::Stopped);
    EXPECT_EQ(bot->txtTime.caption(), "00:00");
    EXPECT_FALSE(bot->titleTimer.enabled() || bot->clockTimer.enabled());
    EXPECT_EQ(bot->lblSong.caption(), "a");
}

TEST_F(PlayerControlsTest, TogglesKeepOneModeAtMost)
{
    repeatClick(*bot);
    randomClick(*bot);
    EXPECT_EQ(bot->playMode(), PlayMode::AutoRandom);
    randomClick(*bot);
    EXPECT_EQ(bot->playMode(), PlayMode::None);
    autoContinueClick(*bot);
    EXPECT_EQ(bot->playMode(), PlayMode::AutoContinue);
}

TEST_F(PlayerControlsTest, PlaylistClickShowsTagAndDoubleClickPlays)
{
    bot->playlistRows.select(2);
    EXPECT_EQ(bot->songList.selectedIndex(), 2);
    EXPECT_TRUE(media.opened.empty());
    EXPECT_EQ(bot->id3.path, music.str() + "/c.mp3");
    bot->playlistRows.select(3);
    playDoubleClickedSong(*bot);
    EXPECT_EQ(bot->lblSong.caption(), "Track");
    EXPECT_TRUE(bot->clockTimer.enabled());
    EXPECT_EQ(bot->played.caption(), "1");
}

TEST_F(PlayerControlsTest, VolumeMapping)
{
    EXPECT_EQ(volumeToAttenuation(100), 0);
    EXPECT_EQ(volumeToAttenuation(50), -1250);
    EXPECT_EQ(volumeToAttenuation(0), -2500);
    EXPECT_EQ(volumeToAttenuation(40.5), -1488);
}

TEST_F(PlayerControlsTest, SeekMovesTheSongAndTheClockAndTheBarFollowAtOnce)
{
    int seeks = 0;
    const auto following = bot->seeked.subscribe([&] { ++seeks; });
    EXPECT_FALSE(seekTo(*bot, 10)) << "nothing plays";
    bot->songList.select(1);
    playClick(*bot);
    EXPECT_TRUE(seekTo(*bot, 65.4));
    EXPECT_EQ(media.position, 65.4);
    EXPECT_EQ(bot->txtTime.caption(), "1:5");
    EXPECT_EQ(bot->progress.value(), 65);
    media.pause();
    EXPECT_TRUE(seekTo(*bot, 0)) << "a paused song moves too";
    EXPECT_EQ(media.state, MediaPlayer::Paused);
    for (const double outside : {-1.0, 180.5})
        EXPECT_FALSE(seekTo(*bot, outside)) << outside;
    EXPECT_EQ(media.position, 0);
    EXPECT_EQ(seeks, 2);
}

} // namespace
} // namespace tavu
