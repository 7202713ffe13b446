#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace tavu {
namespace {

class ClockTest : public test::BotFixture {
protected:
    std::string clockAt(double position, double length = 300)
    {
        media.openEverything = true;
        media.open("x");
        media.length = length;
        media.position = position;
        bot->titleTimer.setEnabled(true);
        bot->clockTick();
        return bot->txtTime.caption();
    }
};

TEST_F(ClockTest, ShowsMinutesAndSecondsWithoutLeadingZeros)
{
    EXPECT_EQ(clockAt(187), "3:7");
    EXPECT_EQ(clockAt(65), "1:5");
    EXPECT_EQ(clockAt(0.2), "0:0");
    EXPECT_EQ(clockAt(59.6), "1:0");
    EXPECT_EQ(clockAt(59.4), "0:59");
    EXPECT_EQ(clockAt(119.5), "2:0");
    EXPECT_EQ(clockAt(120.5), "2:0") << "halves go to the even second";
    EXPECT_EQ(bot->progress.max(), 300);
    EXPECT_EQ(bot->progress.value(), 120);
    EXPECT_TRUE(bot->titleTimer.enabled());
}

TEST_F(ClockTest, ANewProgramDirectoryShowsTwoDigitSeconds)
{
    bot->paddedClock = true;
    const std::pair<double, const char*> rows[] = {
        {2, "0:02"}, {187, "3:07"}, {59.4, "0:59"}, {600, "10:00"}, {0, "0:00"}};
    for (const auto& [at, shown] : rows)
        EXPECT_EQ(clockAt(at), shown) << at;
}

TEST_F(ClockTest, EndOfSongStopsTheTitleAndShowsZero)
{
    EXPECT_EQ(clockAt(299.6), "00:00");
    EXPECT_FALSE(bot->titleTimer.enabled());
    EXPECT_EQ(bot->progress.value(), 0);
    EXPECT_EQ(clockAt(0, 0), "00:00") << "a length not known yet";
}

TEST_F(ClockTest, LongPositionsDoNotWrap)
{
    EXPECT_EQ(clockAt(40000, 50000), "666:40");
    EXPECT_EQ(bot->progress.value(), 40000);
    EXPECT_EQ(bot->progress.max(), 50000);
}

TEST_F(ClockTest, TitleTimerScrollsOncePerSecondAtMost)
{
    std::vector<std::string> scrolled;
    bot->scrollTitle = [&](const std::string& text) { scrolled.push_back(text); };
    bot->lblSong.setCaption("Song.mp3");
    bot->setNowPlaying({"Song.mp3", "/music/Song.mp3", "Song"});
    bot->titleTimer.setEnabled(true);
    runtime.advance(5000);
    EXPECT_GE(scrolled.size(), 4u);
    EXPECT_LE(scrolled.size(), 6u);
    EXPECT_EQ(scrolled.front(), "Song") << "the title of the song that plays, whatever the label says";
}

TEST_F(ClockTest, DockingFollowsTheWindowsWhileEnabledAndNeverPolls)
{
    int playlist = 0, side = 0;
    std::string order;
    bot->dockPlaylist = [&] {
        ++playlist;
        order += 'p';
    };
    bot->dockSideWindows = [&] {
        ++side;
        order += 's';
    };
    bot->windowsMoved();
    EXPECT_EQ(playlist + side, 0); // both off

    bot->sideWindowDocking.setEnabled(true);
    bot->playlistDocking.setEnabled(true); // enabling docks at once
    EXPECT_EQ(order, "sp");
    runtime.advance(5000);
    EXPECT_EQ(order, "sp"); // time alone moves nothing
    bot->windowsMoved();
    EXPECT_EQ(order, "spps"); // the playlist first, the side windows under it

    bot->playlistDocking.setEnabled(false);
    bot->windowsMoved();
    EXPECT_EQ(playlist, 2);
    EXPECT_EQ(side, 3);
}

} // namespace
} // namespace tavu
