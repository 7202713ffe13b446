#include "bot/StartSong.h"
#include "bot/PlayerControls.h"
#include "support/Roads.h"
#include "util/Text.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

class StartSongTest : public test::BotFixture {
protected:
    StartSongTest()
    {
        useSongs({"Abc.mp3", "Blue Sky.mp3", "blues one.mp3"});
        bot->trig = "!";
    }
};

class EveryRoadTest : public StartSongTest, public ::testing::WithParamInterface<test::Road> {};

TEST_P(EveryRoadTest, ShowsTheTitleRunsTheClockAndTheBarAndShowsTheTag)
{
    int started = 0;
    const auto following = bot->songStarted.subscribe([&] { ++started; });
    GetParam().start(*this);

    ASSERT_FALSE(media.opened.empty());
    const std::string song = bot->nowPlaying().song;
    EXPECT_EQ(started, 1);
    EXPECT_EQ(media.opened.back(), music.file(song));
    EXPECT_EQ(bot->nowPlaying().path, music.file(song));
    EXPECT_EQ(bot->nowPlaying().title, titleOf(song));
    EXPECT_TRUE(bot->Timer1.enabled()) << "the title scrolls";
    EXPECT_TRUE(bot->Timer2.enabled()) << "the clock runs";
    EXPECT_EQ(bot->Bar1.max(), 180) << "the bar runs from the song's length";
    EXPECT_EQ(bot->id3.Text2, music.file(song)) << "the ID3 window shows its tag";
    EXPECT_EQ(bot->played.caption(), "1");
}

INSTANTIATE_TEST_SUITE_P(Roads, EveryRoadTest, ::testing::ValuesIn(test::kRoads), test::roadName);

TEST_F(StartSongTest, AnUnplayableSongIsReportedAsTheRoadSaysAndShowsNothing)
{
    std::filesystem::remove(music.file("Blue Sky.mp3"));
    ASSERT_FALSE(startSong(*bot, 1, roads::StepCommand));
    ASSERT_FALSE(startSong(*bot, 1, roads::PlayButton));
    EXPECT_EQ(takeLines(), (std::vector<std::string>{defaultReply(" Cannot play Blue Sky ")}));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Error");
    EXPECT_TRUE(bot->nowPlaying().song.empty());
    EXPECT_FALSE(bot->Timer1.enabled() || bot->Timer2.enabled());
    EXPECT_EQ(bot->played.caption(), "");
    EXPECT_FALSE(startSong(*bot, 3, roads::PlayButton)) << "no such song";
}

} // namespace
} // namespace tavu
