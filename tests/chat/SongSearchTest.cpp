#include "chat/SongSearch.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

class SongSearchTest : public test::BotFixture {
protected:
    SongSearchTest()
    {
        bot->trig = "!";
        useSongs({"Abc.mp3", "Blue Sky.mp3", "blues one.mp3"});
    }
    std::string reply(std::string_view body, std::string_view lead = " Tavu ") { return defaultReply(body, lead); }

    // Lines with the simulated time at which each was sent.
    struct Timed {
        std::int64_t ms;
        std::string line;
        bool raw;
    };
    void recordTimes()
    {
        room.onSend = [this](const std::string& line, bool raw) { timed.push_back({runtime.elapsedMs(), line, raw}); };
    }
    std::vector<Timed> timed;
};

TEST_F(SongSearchTest, MarkedTitle)
{
    EXPECT_EQ(markedTitle("Blue Sky.mp3", "BLUE", "BLUE"), "<u>BLUE</U> sky");
    EXPECT_EQ(markedTitle("blues one.mp3", "BLUE", "blue"), "<u>blue</U>s one");
    EXPECT_EQ(markedTitle("Abc.MP3", "", ""), "abc");
}

TEST_F(SongSearchTest, SeveralMatchesOpenTheDialogue)
{
    recordTimes();
    ownerSays("!play BLUE");
    runtime.advance(2000);
    ASSERT_EQ(timed.size(), 2u);
    EXPECT_EQ(timed[0].line, reply(" Multiple Strings Found! "));
    EXPECT_EQ(timed[1].line, reply(" Scroll found Strings -[y\\n] "));
    EXPECT_GE(timed[1].ms - timed[0].ms, 500);
    EXPECT_FALSE(bot->commandScanner.scanning());
    EXPECT_TRUE(bot->choiceScanner.scanning());
    EXPECT_EQ(bot->songList.selectedIndex(), 2) << "left on the last match";
    EXPECT_TRUE(media.opened.empty());

    // No command is obeyed while the dialogue is open.
    ownerSays("!stop");
    ownerSays("trig ?");
    EXPECT_EQ(timed.size(), 2u);
    EXPECT_EQ(bot->trig, "!");

    ownerSays("Y");
    runtime.advance(5000);
    ASSERT_EQ(timed.size(), 5u);
    EXPECT_EQ(timed[2].line, reply(" [1]<u>BLUE</U> sky "));
    EXPECT_TRUE(timed[2].raw);
    EXPECT_EQ(timed[3].line, reply(" [2]<u>BLUE</U>s one "));
    EXPECT_EQ(timed[4].line, reply(" Type play + 1 - 2 or cancel "));
    EXPECT_FALSE(timed[4].raw);
    EXPECT_NEAR(static_cast<double>(timed[3].ms - timed[2].ms), 1000, 10);
    EXPECT_NEAR(static_cast<double>(timed[4].ms - timed[3].ms), 1000, 10);

    ownerSays("yes");
    ownerSays("play");
    say("Stranger", "play 1");
    say("Stranger", "y");
    runtime.advance(3000);
    EXPECT_EQ(timed.size(), 5u);

    for (const char* bad : {"play 3", "play 0", "play x"}) {
        ownerSays(bad);
        runtime.advance(1500);
        EXPECT_EQ(timed.back().line, reply(" Invalid number entry - Try Again or type cancel "));
    }
    EXPECT_TRUE(bot->choiceScanner.scanning());

    ownerSays("play 2");
    runtime.advance(1500);
    EXPECT_EQ(timed.back().line, reply(" <u>BLUE</U>s one ", " Playing "));
    EXPECT_EQ(media.opened.back(), music.file("blues one.mp3"));
    EXPECT_EQ(bot->songList.selectedIndex(), 2);
    EXPECT_EQ(bot->lblSong.caption(), "blues one");
    EXPECT_EQ(bot->played.caption(), "1");
    EXPECT_TRUE(bot->commandScanner.scanning());
    EXPECT_FALSE(bot->choiceScanner.scanning());

    ownerSays("!stop");
    EXPECT_EQ(timed.back().line, reply(" Player Stopped! ")) << "commands work again";
}

TEST_F(SongSearchTest, OneMatchPlaysAtOnceWithTheClockAndTheScroller)
{
    ownerSays("!play BLUE S");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" <u>blue s</U>ky ", " Playing ")}));
    EXPECT_EQ(media.opened.back(), music.file("Blue Sky.mp3"));
    EXPECT_EQ(bot->playlistRows.selectedIndex(), 1);
    EXPECT_EQ(bot->lblSong.caption(), "Blue Sky");
    EXPECT_TRUE(bot->clockTimer.enabled());
    EXPECT_TRUE(bot->titleTimer.enabled());
    EXPECT_EQ(bot->progress.max(), 180);
    EXPECT_EQ(bot->played.caption(), "1");
}

TEST_F(SongSearchTest, NoMatch)
{
    ownerSays("!play zzz");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Mp3 string not found - <u>zzz</u> ")}));
    EXPECT_EQ(bot->UnLin.caption(), "zzz");
    EXPECT_TRUE(bot->commandScanner.scanning());
}

TEST_F(SongSearchTest, CancelAndNCloseTheDialogue)
{
    ownerSays("!play blue");
    runtime.advance(2000);
    ownerSays("cancel");
    EXPECT_TRUE(bot->commandScanner.scanning());
    EXPECT_FALSE(bot->choiceScanner.scanning());
    EXPECT_EQ(bot->songList.selectedIndex(), 2);
    ownerSays("!next"); // goes on from the last match: nothing after it
    ownerSays("!play blue");
    runtime.advance(2000);
    ownerSays("n");
    const auto lines = takeLines();
    EXPECT_EQ(lines[2], reply(" Selections canceled "));
    EXPECT_EQ(lines.back(), reply(" Song selection canceled "));
    EXPECT_TRUE(media.opened.empty());
}

// An answer that comes while "y" lists 20 matches, given when the second numbered line has gone out.
struct ListingCase {
    const char* answer;
    std::vector<std::string> after; // the lines that follow the second numbered line
};

class ListingAnswerTest : public SongSearchTest, public ::testing::WithParamInterface<ListingCase> {};

TEST_P(ListingAnswerTest, AClosedDialogueOrANewListingEndsTheListing)
{
    std::vector<std::string> names;
    for (int i = 10; i < 30; ++i)
        names.push_back("song " + std::to_string(i) + ".mp3");
    useSongs(names);
    ownerSays("!play song");
    runtime.advance(2000);
    // The answer arrives inside the listing's wait, as the owner's lines do in the program.
    room.onSend = [this](const std::string& line, bool) {
        if (line == reply(" [2]<u>song</U> 11 "))
            room.ownerSays(GetParam().answer);
    };
    ownerSays("y");
    runtime.advance(60000);
    room.onSend = nullptr;
    auto lines = takeLines();
    const auto second = std::find(lines.begin(), lines.end(), reply(" [2]<u>song</U> 11 "));
    ASSERT_NE(second, lines.end());
    lines.erase(lines.begin(), second + 1);
    EXPECT_EQ(lines, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ListingAnswerTest,
    ::testing::Values(ListingCase{"cancel", {SongSearchTest::defaultReply(" Selections canceled ")}},
                      ListingCase{"n", {SongSearchTest::defaultReply(" Song selection canceled ")}},
                      // The choice takes its second; the listing keeps its pace meanwhile.
                      ListingCase{"play 20",
                                  {SongSearchTest::defaultReply(" [3]<u>song</U> 12 "),
                                   SongSearchTest::defaultReply(" <u>song</U> 29 ", " Playing ")}}));

TEST_F(SongSearchTest, ASecondYListsAgainInsteadOfTwice)
{
    useSongs({"zz1.mp3", "zz2.mp3", "zz3.mp3"});
    ownerSays("!play zz");
    runtime.advance(2000);
    takeLines();
    bool asked = false;
    room.onSend = [this, &asked](const std::string& line, bool) {
        if (line == reply(" [1]<u>zz</U>1 ") && !asked)
            room.ownerSays("y"), asked = true;
    };
    ownerSays("y");
    runtime.advance(20000);
    room.onSend = nullptr;
    const std::vector<std::string> expected{reply(" [1]<u>zz</U>1 "), reply(" [1]<u>zz</U>1 "),
                                            reply(" [2]<u>zz</U>2 "), reply(" [3]<u>zz</U>3 "),
                                            reply(" Type play + 1 - 3 or cancel ")};
    EXPECT_EQ(takeLines(), expected) << "the first listing ends where the second begins";
}

// Answers typed while the search still runs, before its dialogue opens, are the dialogue's, in
// the order typed; a search without a dialogue drops them.
struct EarlyCase {
    const char* search;
    std::vector<std::string> typed;
    std::vector<std::string> after; // the replies after " Multiple Strings Found! ", or all of them
};

class EarlyAnswerTest : public SongSearchTest, public ::testing::WithParamInterface<EarlyCase> {};

TEST_P(EarlyAnswerTest, AnswersTypedDuringTheSearchReachTheDialogue)
{
    // The answers come in while the search runs: between its steps, as the room's lines do.
    room.ownerSays(GetParam().search);
    for (const std::string& line : GetParam().typed)
        runtime.post([this, line] { room.ownerSays(line); });
    runtime.advance(20000);
    auto lines = takeLines();
    const auto found = std::find(lines.begin(), lines.end(), reply(" Multiple Strings Found! "));
    if (found != lines.end())
        lines.erase(lines.begin(), found + 1);
    EXPECT_EQ(lines, GetParam().after);
    if (!bot->choiceScanner.scanning()) {
        ownerSays("!stop");
        EXPECT_EQ(takeLines(), std::vector<std::string>{reply(" Player Stopped! ")}) << "commands are heard again";
    }
}

const std::string kScroll = SongSearchTest::defaultReply(" Scroll found Strings -[y\\n] ");
const std::string kFirst = SongSearchTest::defaultReply(" [1]<u>blue</U> sky ");
const std::string kSecond = SongSearchTest::defaultReply(" [2]<u>blue</U>s one ");
const std::string kType = SongSearchTest::defaultReply(" Type play + 1 - 2 or cancel ");

INSTANTIATE_TEST_SUITE_P(
    Answers, EarlyAnswerTest,
    ::testing::Values(
        // Heard during the dialogue's first wait, as a "y" typed just then would be; the dialogue's
        // own line comes at the end of its second, before the listing's first.
        EarlyCase{"!play blue", {"y"}, {kScroll, kFirst, kSecond, kType}},
        EarlyCase{
            "!play blue", {"hello", "y", "cancel"}, {SongSearchTest::defaultReply(" Selections canceled "), kScroll}},
        EarlyCase{"!play blue", {"play 2"}, {kScroll, SongSearchTest::defaultReply(" <u>blue</U>s one ", " Playing ")}},
        EarlyCase{"!play blue", {"hello", "n"}, {SongSearchTest::defaultReply(" Song selection canceled "), kScroll}},
        EarlyCase{"!play blue s", {"y"}, {SongSearchTest::defaultReply(" <u>blue s</U>ky ", " Playing ")}}));

TEST_F(SongSearchTest, AnswersKeptForNoDialogueAreNotHeardByTheNext)
{
    room.ownerSays("!play zzz");
    runtime.post([this] { room.ownerSays("y"); });
    runtime.advance(2000);
    takeLines();
    ownerSays("!play blue");
    runtime.advance(10000);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Multiple Strings Found! "), kScroll}));
    EXPECT_TRUE(bot->choiceScanner.scanning());
}

TEST_F(SongSearchTest, EmptySearchMatchesEverySong)
{
    ownerSays("!play ");
    runtime.advance(2000);
    EXPECT_EQ(bot->lstPlay.count(), 3u);
    EXPECT_TRUE(bot->choiceScanner.scanning());
}

TEST_F(SongSearchTest, WithoutABlankTheWholeLineIsSearched)
{
    ownerSays("!play");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Mp3 string not found - <u>!play</u> ")}));
}

TEST_F(SongSearchTest, UnplayableChoiceIsSaidAndNotCounted)
{
    std::filesystem::remove(music.file("blues one.mp3"));
    ownerSays("!play blue");
    runtime.advance(2000);
    ownerSays("play 2");
    runtime.advance(1500);
    EXPECT_EQ(takeLines().back(), reply(" Cannot play blues one "));
    EXPECT_EQ(bot->played.caption(), "");
    EXPECT_TRUE(bot->commandScanner.scanning());
}

} // namespace
} // namespace tavu
