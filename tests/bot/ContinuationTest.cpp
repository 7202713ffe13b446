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
    bot->lstmp3.select(2);
    media.finish();
    runtime.advance(1500);
    EXPECT_EQ(bot->lstMp3.selectedIndex(), 0);
    EXPECT_EQ(media.opened.back(), music.file("a.mp3"));
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" a ", " AutoCont. ")}));
    EXPECT_EQ(bot->lblSong.caption(), "a");
    media.finish();
    runtime.advance(1500);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" b ", " AutoCont. ")}));
    EXPECT_EQ(bot->played.caption(), "2");
    EXPECT_EQ(bot->lstmp3.selectedIndex(), 1);
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
    bot->lstMp3.clear();
    bot->lstmp3.clear();
    bot->lstMp3.addItem("Intro.MP3");
    bot->lstmp3.addItem("Intro.MP3");
    bot->setPlayMode(PlayMode::AutoRandom);
    media.finish();
    media.finish();
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Intro ", " AutoRndm "), reply(" Intro ", " AutoRndm ")}));
    EXPECT_EQ(bot->lblSong.caption(), "Intro");
    EXPECT_EQ(bot->played.caption(), "2");
}

TEST_F(ContinuationTest, AutoRandomWithNoSongsDoesNothing)
{
    bot->lstMp3.clear();
    bot->setPlayMode(PlayMode::AutoRandom);
    media.finish();
    EXPECT_TRUE(media.opened.empty());
    EXPECT_TRUE(room.sent.empty());
}

TEST_F(ContinuationTest, RepeatPlaysTheSameFileAndKeepsTheLabel)
{
    bot->lstmp3.select(1);
    bot->lblSong.setCaption("custom");
    bot->setPlayMode(PlayMode::Repeat);
    media.finish();
    media.finish();
    EXPECT_EQ(media.opened, (std::vector<std::string>{music.file("b.mp3"), music.file("b.mp3")}));
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" b ", " Repeating "), reply(" b ", " Repeating ")}));
    EXPECT_EQ(bot->lblSong.caption(), "custom");
    EXPECT_EQ(bot->played.caption(), "2");
}

TEST_F(ContinuationTest, NoModeStopsAndSaysNothing)
{
    media.openEverything = true;
    media.Open("x");
    bot->Timer1.setEnabled(true);
    bot->Timer2.setEnabled(true);
    media.finish();
    EXPECT_EQ(media.state, MediaPlayer::Stopped);
    EXPECT_FALSE(bot->Timer1.enabled());
    EXPECT_TRUE(bot->Timer2.enabled());
    EXPECT_TRUE(room.sent.empty());
}

TEST_F(ContinuationTest, UnplayableNextSongIsAnnouncedAsSuch)
{
    std::filesystem::remove(music.file("b.mp3"));
    bot->setPlayMode(PlayMode::AutoContinue);
    bot->lstmp3.select(0);
    media.finish();
    runtime.advance(1500);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{defaultReply(" Cannot play b ")}));
    EXPECT_EQ(bot->played.caption(), "");
}

} // namespace
} // namespace tavu
