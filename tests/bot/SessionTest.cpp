#include "bot/Bot.h"
#include "bot/DroppedFiles.h"
#include "bot/Lifecycle.h"
#include "bot/PlayerControls.h"
#include "bot/StartSong.h"
#include "settings/AtomicFile.h"
#include "support/SimRuntimeFixture.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu {
namespace {

using test::TestDir;
using test::writeBytes;

// What a settings file of this version keeps between runs and switches on, and what an older
// file without those keys keeps doing.
class SessionTest : public test::BotFixture {
protected:
    SessionTest()
    {
        useSongs({"a.mp3", "b.mp3", "c.mp3"});
        bot->settings().write(keys::Mp3Directory, music.str());
        bot->settings().write(keys::Handle, "Quarn");
        bot->settings().write(keys::Trig, "!");
    }
    void newProgramDirectory()
    {
        for (const NewProgramDefault& row : kNewProgramDefaults)
            bot->settings().write(row.key, row.value);
    }
    void restart() { bot = std::make_unique<Bot>(runtime, room, dir.str(), services()); }
};

TEST_F(SessionTest, ShutdownKeepsTheSongThatIsOpenAndHowFarItWent)
{
    newProgramDirectory();
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    bot->playlistRows.select(1);
    playClick(*bot);
    media.position = 73.6;
    test::finish(runtime, endSession(*bot, {}));
    EXPECT_EQ(bot->settings().read(keys::DesktopLastSong), "b.mp3");
    EXPECT_EQ(bot->settings().read(keys::DesktopLastPosition), "73");
}

TEST_F(SessionTest, AStoppedPlayerKeepsNoSongAndAnOldFileKeepsNothing)
{
    newProgramDirectory();
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    bot->playlistRows.select(1);
    playClick(*bot);
    stopClick(*bot);
    test::finish(runtime, endSession(*bot, {}));
    EXPECT_EQ(bot->settings().read(keys::DesktopLastSong), "");

    TestDir old;
    writeBytes(old.file("Tavu.ini"), "[Settings]\r\nHandle=Quarn\r\n");
    Bot older(runtime, room, old.str(), services());
    older.setPlayMode(PlayMode::Repeat);
    test::finish(runtime, endSession(older, {}));
    EXPECT_EQ(readFileBytes(old.file("Tavu.ini")).value_or(""), "[Settings]\r\nHandle=Quarn\r\n")
        << "no new keys in an old file";
}

TEST_F(SessionTest, AStartBringsBackTheSongPausedAndThePlayMode)
{
    newProgramDirectory();
    bot->settings().write(keys::DesktopLastSong, "c.mp3");
    bot->settings().write(keys::DesktopLastPosition, "42");
    bot->settings().write(keys::PlayModeKey, "continue");
    restart();
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    EXPECT_EQ(bot->nowPlaying().song, "c.mp3");
    EXPECT_EQ(bot->songList.selectedIndex(), 2);
    EXPECT_EQ(media.state, MediaPlayer::Paused);
    EXPECT_DOUBLE_EQ(media.position, 42);
    EXPECT_EQ(bot->played.caption(), "0") << "a song that comes back is not counted";
    EXPECT_EQ(bot->playMode(), PlayMode::AutoContinue);
    EXPECT_TRUE(bot->paddedClock);
    EXPECT_EQ(room.lines().size(), 3u) << "only the load announcements";

    bot->setPlayMode(PlayMode::AutoRandom);
    EXPECT_EQ(bot->settings().read(keys::PlayModeKey), "random");
    bot->setPlayMode(PlayMode::None);
    EXPECT_EQ(bot->settings().read(keys::PlayModeKey), "none");
}

TEST_F(SessionTest, ASongThatIsGoneDoesNotComeBack)
{
    newProgramDirectory();
    bot->settings().write(keys::DesktopLastSong, "gone.mp3");
    restart();
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    EXPECT_TRUE(media.opened.empty());
    EXPECT_EQ(bot->songList.selectedIndex(), -1);
    EXPECT_TRUE(dialogs.shown.empty());
}

// Every road that starts a song without a word, with "Announce All" on and off.
TEST_F(SessionTest, AnnounceAllAnnouncesThePlayersOwnStarts)
{
    for (const char* value : {"0", "1", ""}) {
        bot->settings().write(keys::ChatAnnounceAll, value);
        room.sent.clear();
        bot->playlistRows.select(0);
        playClick(*bot);
        startSong(*bot, 1, roads::DoubleClick);
        startSong(*bot, 2, roads::StepButton);
        startSong(*bot, 0, roads::RemoteOpen);
        const auto lines = takeLines();
        if (std::string(value) == "1") {
            EXPECT_EQ(lines,
                      (std::vector<std::string>{defaultReply(" a ", " Playing "), defaultReply(" b ", " Playing "),
                                                defaultReply(" c ", " Playing "), defaultReply(" a ", " Playing ")}));
        } else {
            EXPECT_TRUE(lines.empty()) << value;
        }
    }
    bot->settings().write(keys::ChatAnnounceAll, "1");
    bot->trig = "!";
    ownerSays("!next");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{defaultReply(" b ", " Playing ")})) << "a chat start: one line";
}

TEST_F(SessionTest, PlayWithNothingSelectedStartsTheFirstSongWhereSwitchedOn)
{
    playClick(*bot);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "No file to play") << "an old file keeps the box";
    EXPECT_TRUE(media.opened.empty());

    bot->settings().write(keys::DesktopPlayFirst, "1");
    playClick(*bot);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(bot->nowPlaying().song, "a.mp3");
}

TEST_F(SessionTest, DroppedFilesPlayOrOfferTheirFolder)
{
    dropFiles(*bot, {"/no/such.mp3", music.file("b.mp3")});
    EXPECT_EQ(bot->nowPlaying().song, "b.mp3");
    EXPECT_EQ(bot->songList.selectedIndex(), 1);

    TestDir other;
    writeBytes(other.file("x.mp3"), "");
    dropFiles(*bot, {other.file("x.mp3")});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("x.mp3"), std::string::npos);
    EXPECT_EQ(bot->nowPlaying().song, "b.mp3") << "a file from elsewhere does not play";

    dialogs.answers.push_back(false);
    dropFiles(*bot, {other.str()});
    EXPECT_EQ(bot->dir, music.str()) << "said no";
    dialogs.answers.push_back(true);
    dropFiles(*bot, {other.str()});
    EXPECT_EQ(bot->dir, other.str());
    EXPECT_EQ(bot->songList.items(), (std::vector<std::string>{"x.mp3"}));
}

} // namespace
} // namespace tavu
