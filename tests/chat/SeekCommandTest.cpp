#include "chat/SeekCommand.h"
#include "support/SimRuntimeFixture.h"
#include "util/Text.h"

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

struct SeekCase {
    const char* argument;
    double from;       // where the song stands
    const char* reply; // " Seeked to M:SS ", or "" for " Cannot seek here! "
    double to;         // where it stands afterwards
};

// A song of 3:00 that plays.
const SeekCase kCases[] = {
    {"1:00", 10, "1:00", 60},    {" 2:05 ", 10, "2:05", 125}, {"90", 10, "1:30", 90},
    {"0:07.5", 10, "0:07", 7.5}, {"+30", 60, "1:30", 90},     {"-10", 65, "0:55", 55},
    {"-100", 60, "0:00", 0}, // back past the start: the start
    {"+ 0:30", 60, "1:30", 90},  {"3:00", 0, "3:00", 180},    {"0:0:42", 0, "0:42", 42},
    {"3:01", 10, "", 10}, // past the end
    {"+121", 60, "", 60},        {"1:75", 10, "", 10},        {"1:", 10, "", 10},
    {":30", 10, "", 10},         {"abc", 10, "", 10},         {"", 10, "", 10},
    {"1:2:3:4", 10, "", 10},     {"-1:00", 90, "0:30", 30},
};

class SeekCommandTest : public BotFixture, public ::testing::WithParamInterface<SeekCase> {
protected:
    SeekCommandTest()
    {
        bot->trig = "!";
        useSongs({"a.mp3"});
    }
};

TEST_P(SeekCommandTest, JumpsAndTheClockFollows)
{
    ownerSays("!next");
    bot->clockTick();
    media.position = GetParam().from;
    takeLines();
    ownerSays(std::string("!seek ") + GetParam().argument);
    const std::string reply =
        *GetParam().reply ? " Seeked to " + std::string(GetParam().reply) + " " : " Cannot seek here! ";
    EXPECT_EQ(takeLines(), std::vector<std::string>{defaultReply(reply)});
    EXPECT_DOUBLE_EQ(media.position, GetParam().to);
    if (*GetParam().reply) {
        if (GetParam().to < 180) { // at the very end the clock shows the song as over
            EXPECT_EQ(bot->progress.value(), static_cast<int>(roundHalfEven(GetParam().to)));
        }
        EXPECT_EQ(media.state, MediaPlayer::Playing);
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, SeekCommandTest, ::testing::ValuesIn(kCases));

class SeekStateTest : public BotFixture {
protected:
    SeekStateTest()
    {
        bot->trig = "!";
        useSongs({"a.mp3"});
    }
};

TEST_F(SeekStateTest, NothingPlaysNothingSeeksAPausedSongStaysPaused)
{
    ownerSays("!seek 0:10");
    EXPECT_EQ(takeLines(), std::vector<std::string>{defaultReply(" Cannot seek here! ")});
    ownerSays("!next");
    ownerSays("!pause");
    takeLines();
    ownerSays("!seek 2:00");
    EXPECT_EQ(takeLines(), std::vector<std::string>{defaultReply(" Seeked to 2:00 ")});
    EXPECT_EQ(media.state, MediaPlayer::Paused);
    EXPECT_EQ(bot->txtTime.caption(), "2:0");
    ownerSays("!stop");
    ownerSays("!seek 0:10");
    EXPECT_EQ(takeLines().back(), defaultReply(" Cannot seek here! "));
}

TEST(MinutesAndSeconds, WholeMinutesAndTwoDigits)
{
    EXPECT_EQ(minutesAndSeconds(0), "0:00");
    EXPECT_EQ(minutesAndSeconds(59.9), "0:59");
    EXPECT_EQ(minutesAndSeconds(65), "1:05");
    EXPECT_EQ(minutesAndSeconds(4500), "75:00");
    EXPECT_EQ(minutesAndSeconds(-3), "0:00");
}

} // namespace
} // namespace tavu::test
