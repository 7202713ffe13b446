#include "bot/StartSong.h"
#include "bot/PlayerControls.h"
#include "chat/SongSearch.h"
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
    EXPECT_TRUE(bot->titleTimer.enabled()) << "the title scrolls";
    EXPECT_TRUE(bot->clockTimer.enabled()) << "the clock runs";
    EXPECT_EQ(bot->progress.max(), 180) << "the bar runs from the song's length";
    EXPECT_EQ(bot->id3.path, music.file(song)) << "the ID3 window shows its tag";
    EXPECT_EQ(bot->played.caption(), "1");
}

INSTANTIATE_TEST_SUITE_P(Roads, EveryRoadTest, ::testing::ValuesIn(test::kRoads), test::roadName);

// Song names that hold markup, in the order of the songs the roads expect.
class MarkupNamesTest : public test::BotFixture, public ::testing::WithParamInterface<test::Road> {
protected:
    MarkupNamesTest()
    {
        useSongs({"Abc <font color=red>.mp3", "Blue Sky <b>&.mp3", "blues one \"x'.mp3"});
        bot->trig = "!";
    }

    // What of a reply line is neither the owner's style nor the underline of a search: the text that
    // came from the song's name.
    static std::string fileText(std::string line)
    {
        Style style;
        style.loadStyle("/nonexistent/Tavu.ini");
        for (const std::string& piece : {style.fascii(), style.mascii(), style.bascii(), std::string("<u>"),
                                         std::string("</U>"), std::string("</u>")})
            for (auto at = line.find(piece); at != std::string::npos; at = line.find(piece))
                line.erase(at, piece.size());
        return line;
    }
};

TEST_P(MarkupNamesTest, EveryReplyNamingTheSongCarriesItsNameAsText)
{
    GetParam().start(*this);
    ownerSays("!mp3?");
    ownerSays("!pause");
    ownerSays("!xpause");
    const auto lines = takeLines();
    ASSERT_GE(lines.size(), 3u);
    const std::string title = htmlText(titleOf(bot->nowPlaying().song));
    for (const std::string& line : lines) {
        const std::string text = fileText(line);
        EXPECT_EQ(text.find_first_of("<>\"'"), std::string::npos) << line;
    }
    EXPECT_NE(lines.back().find(htmlText(bot->lblSong.caption())), std::string::npos);
    EXPECT_NE(lines[lines.size() - 3].find(title), std::string::npos) << "mp3? names the song";
}

INSTANTIATE_TEST_SUITE_P(Roads, MarkupNamesTest, ::testing::ValuesIn(test::kRoads), test::roadName);

TEST_F(MarkupNamesTest, UnplayableAndSearchRepliesEscapeTheName)
{
    std::filesystem::remove(music.file("Abc <font color=red>.mp3"));
    ownerSays("!next");
    ownerSays("!play >");
    runtime.advance(1500);
    ownerSays("y");
    runtime.advance(5000);
    ownerSays("cancel");
    const auto lines = takeLines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], defaultReply(" Cannot play Abc &lt;font color=red&gt; "));
    EXPECT_EQ(lines[3], defaultReply(" [1]abc &lt;font color=red<u>&gt;</U> "));
    EXPECT_EQ(lines[4], defaultReply(" [2]blue sky &lt;b<u>&gt;</U>&amp; "));
    EXPECT_EQ(markedTitle("A<b>b.mp3", "<B", "<B"), "a<u>&lt;B</U>&gt;b") << "the search text marks the name's text";
}

TEST_F(StartSongTest, AStartThatFailsLeavesNothingOfTheSongBefore)
{
    ASSERT_TRUE(startSong(*bot, 0, roads::PlayButton));
    media.position = 42;
    bot->clockTick();
    ASSERT_EQ(bot->progress.value(), 42);
    std::filesystem::remove(music.file("Blue Sky.mp3"));
    int cleared = 0;
    const auto following = bot->songCleared.subscribe([&] { ++cleared; });
    ASSERT_FALSE(startSong(*bot, 1, roads::StepCommand));
    EXPECT_EQ(media.state, MediaPlayer::Stopped);
    EXPECT_EQ(bot->progress.value(), 0);
    EXPECT_EQ(bot->txtTime.caption(), "00:00");
    EXPECT_EQ(bot->lblSong.caption(), "No current Mp3....");
    EXPECT_TRUE(bot->nowPlaying().path.empty());
    EXPECT_FALSE(bot->titleTimer.enabled() || bot->clockTimer.enabled());
    EXPECT_EQ(cleared, 1);
}

TEST_F(StartSongTest, AnUnplayableSongIsReportedAsTheRoadSaysAndShowsNothing)
{
    std::filesystem::remove(music.file("Blue Sky.mp3"));
    ASSERT_FALSE(startSong(*bot, 1, roads::StepCommand));
    ASSERT_FALSE(startSong(*bot, 1, roads::PlayButton));
    EXPECT_EQ(takeLines(), (std::vector<std::string>{defaultReply(" Cannot play Blue Sky ")}));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Error");
    EXPECT_TRUE(bot->nowPlaying().song.empty());
    EXPECT_FALSE(bot->titleTimer.enabled() || bot->clockTimer.enabled());
    EXPECT_EQ(bot->played.caption(), "");
    EXPECT_FALSE(startSong(*bot, 3, roads::PlayButton)) << "no such song";
}

} // namespace
} // namespace tavu
