#include "settings/ProfileFile.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

class PlayerCommandsTest : public test::BotFixture {
protected:
    PlayerCommandsTest()
    {
        bot->trig = "!";
        useSongs({"a.mp3", "b.mp3", "c.mp3"});
    }
    std::string reply(std::string_view body, std::string_view lead = " Tavu ") { return defaultReply(body, lead); }
};

TEST_F(PlayerCommandsTest, VolumeRangeAndEcho)
{
    ownerSays("!vol 100");
    EXPECT_EQ(media.volume, 0);
    ownerSays("!vol 40.5");
    EXPECT_EQ(media.volume, -1500) << "the whole level, halves to even; the reply echoes what was typed";
    EXPECT_EQ(bot->lblVol.caption(), "40");
    ownerSays("!vol  40");
    EXPECT_EQ(media.volume, -1500);
    EXPECT_EQ(bot->lblVol.caption(), " 40");
    ownerSays("!vol 101");
    ownerSays("!vol -1");
    ownerSays("!vol loud");
    ownerSays("!vol");
    EXPECT_EQ(media.volume, -1500);
    EXPECT_EQ(readSetting("Settings", "Volume", settingsPath()), "40") << "read back without the blank";
    ownerSays("!vol?");
    const auto lines = takeLines();
    const std::string range = reply(" Please choose a volume level between 0 and 100 ");
    EXPECT_EQ(lines, (std::vector<std::string>{reply(" Volume Set - [100] "), reply(" Volume Set - [40.5] "),
                                               reply(" Volume Set - [ 40] "), range, range, range, range,
                                               reply(" Volume is at [ 40%] ")}));
    EXPECT_TRUE(room.sent.empty());
}

TEST_F(PlayerCommandsTest, VolQueryIsRaw)
{
    ownerSays("!vol?");
    ASSERT_EQ(room.sent.size(), 1u);
    EXPECT_TRUE(room.sent[0].raw);
}

TEST_F(PlayerCommandsTest, NextAndPrevWalkTheListAndRunTheClock)
{
    ownerSays("!next"); // nothing selected: next is the first song
    EXPECT_EQ(bot->songList.selectedIndex(), 0);
    ownerSays("!next");
    EXPECT_EQ(bot->songList.selectedIndex(), 1);
    EXPECT_EQ(bot->playlistRows.selectedIndex(), 1) << "the playlist follows";
    EXPECT_EQ(bot->lblSong.caption(), "b.mp3") << "the label keeps the extension";
    EXPECT_EQ(bot->nowPlaying().title, "b") << "the title shows without it";
    EXPECT_TRUE(bot->titleTimer.enabled() && bot->clockTimer.enabled()) << "the title scrolls and the clock runs";
    ownerSays("!prev");
    EXPECT_EQ(bot->songList.selectedIndex(), 0);
    EXPECT_EQ(media.opened.back(), music.file("a.mp3"));
    EXPECT_EQ(bot->played.caption(), "3");
    runtime.advance(1000); // three counts in a moment are written once, a second later
    EXPECT_EQ(readSetting("Totals", "Mp3s Played", settingsPath()), "3");
    const auto lines = takeLines();
    EXPECT_EQ(lines.back(), reply(" a ", " Playing "));
}

TEST_F(PlayerCommandsTest, EndsOfTheListOpenNothing)
{
    ownerSays("!prev"); // nothing selected
    bot->songList.select(2);
    ownerSays("!next"); // on the last song
    EXPECT_TRUE(media.opened.empty());
    EXPECT_EQ(bot->songList.selectedIndex(), 2);
    EXPECT_EQ(bot->played.caption(), "");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" No song to go to! "), reply(" No song to go to! ")}));
}

TEST_F(PlayerCommandsTest, UnplayableSongIsSaidAndNotCounted)
{
    std::filesystem::remove(music.file("a.mp3"));
    ownerSays("!next");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Cannot play a ")}));
    EXPECT_EQ(bot->played.caption(), "");
    EXPECT_EQ(bot->lblSong.caption(), "No current Mp3....");
}

TEST_F(PlayerCommandsTest, RanStartsClockAndPausesTheScanner)
{
    ownerSays("!ran");
    EXPECT_TRUE(bot->titleTimer.enabled());
    EXPECT_TRUE(bot->clockTimer.enabled());
    EXPECT_TRUE(bot->deafSpell.enabled());
    EXPECT_EQ(bot->lblSong.caption().find(".mp3"), std::string::npos);
    const auto lines = takeLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], reply(" " + bot->lblSong.caption() + " ", " Random "));
    // The owner speaks half a second into the pause: the dispatcher does not hear it.
    bool spoke = false;
    Timer during(runtime, 500, [&] {
        if (!spoke) {
            spoke = true;
            EXPECT_FALSE(bot->commandScanner.scanning());
            room.ownerSays("!stop");
        }
    });
    during.setEnabled(true);
    runtime.advance(3000);
    EXPECT_TRUE(spoke);
    EXPECT_TRUE(takeLines().empty()) << "deaf during the pause";
    EXPECT_TRUE(bot->commandScanner.scanning());
    EXPECT_FALSE(bot->deafSpell.enabled());
    ownerSays("!stop");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Player Stopped! ")}));
}

TEST_F(PlayerCommandsTest, RanWithOneSongAndWithNone)
{
    bot->songList.clear();
    bot->playlistRows.clear();
    ownerSays("!ran");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" No songs to play! ")}));
    bot->songList.addItem("b.mp3");
    bot->playlistRows.addItem("b.mp3");
    for (int i = 0; i < 5; ++i) {
        ownerSays("!ran");
        runtime.advance(3000);
        EXPECT_EQ(media.opened.back(), music.file("b.mp3"));
    }
}

TEST_F(PlayerCommandsTest, StateCommandsWithNoSong)
{
    for (const char* line : {"!pause", "!xpause", "!mp3?", "!len?"})
        ownerSays(line);
    EXPECT_EQ(takeLines(),
              (std::vector<std::string>{reply(" No song to pause! "), reply(" No song to Unpause! "),
                                        reply(" No song is playing! "), reply(" Error, no song is playing! ")}));
}

TEST_F(PlayerCommandsTest, LengthPauseAndCurrentSong)
{
    ownerSays("!next");
    takeLines();
    media.length = 600;
    ownerSays("!len?");
    media.length = 59.9;
    ownerSays("!len?");
    media.length = 245.3;
    ownerSays("!len?");
    ownerSays("!pause");
    EXPECT_EQ(media.state, MediaPlayer::Paused);
    ownerSays("!pause");
    ownerSays("!xpause");
    EXPECT_EQ(media.state, MediaPlayer::Playing);
    ownerSays("!mp3?");
    EXPECT_TRUE(room.sent.back().raw);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{
                               reply(" Mp3 length: <u>10:00</U> "), reply(" Mp3 length: <u>0:59</U> "),
                               reply(" Mp3 length: <u>4:05</U> "), reply(" a.mp3 - Paused "), reply(" a.mp3 - Paused "),
                               reply(" a.mp3 - Unpaused "), reply(" a ", " Current Mp3: ")}));
}

TEST_F(PlayerCommandsTest, StopKeepsTheTitle)
{
    ownerSays("!ran");
    runtime.advance(3000);
    const std::string title = bot->lblSong.caption();
    bot->txtTime.setCaption("1:5");
    ownerSays("!stop");
    EXPECT_EQ(media.state, MediaPlayer::Stopped);
    EXPECT_FALSE(bot->titleTimer.enabled());
    EXPECT_FALSE(bot->clockTimer.enabled());
    EXPECT_EQ(bot->txtTime.caption(), "00:00");
    EXPECT_EQ(bot->progress.value(), 0);
    EXPECT_EQ(bot->lblSong.caption(), title);
}

TEST_F(PlayerCommandsTest, PlayModes)
{
    ownerSays("!arnd");
    EXPECT_EQ(bot->playMode(), PlayMode::AutoRandom);
    ownerSays("!xrep");
    EXPECT_EQ(bot->playMode(), PlayMode::AutoRandom) << "xrep leaves auto random on";
    ownerSays("!rep");
    ownerSays("!rep");
    EXPECT_EQ(bot->playMode(), PlayMode::Repeat);
    ownerSays("!acon");
    ownerSays("!xacon");
    ownerSays("!xacon");
    EXPECT_EQ(bot->playMode(), PlayMode::None);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{
                               reply(" Auto Random Enabled "), reply(" Repeat Disabled "), reply(" Repeat Enabled "),
                               reply(" Repeat Enabled "), reply(" Auto Continue Enabled "),
                               reply(" Auto Continue Disabled "), reply(" Auto Continue Disabled ")}));
}

TEST_F(PlayerCommandsTest, DirectoryCommands)
{
    ownerSays("!dir?");
    test::TestDir other;
    test::writeBytes(other.file("x.mp3"), "");
    test::writeBytes(other.file("y.MP3"), "");
    ownerSays("!dir " + other.str());
    EXPECT_EQ(bot->songList.items(), (std::vector<std::string>{"x.mp3"}));
    EXPECT_EQ(bot->playlistRows.items(), (std::vector<std::string>{"x.mp3"}));
    EXPECT_EQ(readSetting("Settings", "Mp3 Directory", settingsPath()), other.str());
    ownerSays("!dir?");
    test::writeBytes(other.file("z.mp3"), "");
    ownerSays("!refdir");
    EXPECT_EQ(bot->songList.count(), 2u);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Current directory: [" + music.str() + "] ", "Tavu "),
                                                     reply(" Directory set to: [" + other.str() + "] "),
                                                     reply(" Current directory: [" + other.str() + "] ", "Tavu "),
                                                     reply(" Directory Refreshed [" + other.str() + "] ")}));
}

TEST_F(PlayerCommandsTest, UnlistableDirectoryChangesNothing)
{
    bot->settings().write(keys::Mp3Directory, music.str());
    ownerSays("!dir /no/such/place");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Error, Invalid Directory! ")}));
    EXPECT_EQ(bot->dir, music.str());
    EXPECT_EQ(bot->songList.count(), 3u);
    EXPECT_EQ(readSetting("Settings", "Mp3 Directory", settingsPath()), music.str());
}

TEST_F(PlayerCommandsTest, ARefusedDirectoryKeepsTheSongsTheSelectionAndTheDirectory)
{
    test::TestDir empty;
    bot->songList.select(1);
    bot->playlistRows.select(1);
    const auto songs = bot->songList.items();
    for (const std::string& path : {empty.str(), empty.str() + "/missing"}) {
        ownerSays("!dir " + path);
        EXPECT_EQ(bot->songList.items(), songs) << path;
        EXPECT_EQ(bot->playlistRows.items(), songs) << path;
        EXPECT_EQ(bot->songList.selectedIndex(), 1) << path;
        EXPECT_EQ(bot->playlistRows.selectedIndex(), 1) << path;
    }
    EXPECT_EQ(readSetting("Settings", "Mp3 Directory", settingsPath()), "");
    ownerSays("!refdir");
    EXPECT_EQ(takeLines(),
              (std::vector<std::string>{reply(" Error, Invalid Directory! "), reply(" Error, Invalid Directory! "),
                                        reply(" Directory Refreshed [" + music.str() + "] ")}));
}

// A refused directory changes nothing that "dir?" reports, whatever made it unusable.
class RefusedDirectoryTest : public PlayerCommandsTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(RefusedDirectoryTest, DirQueryStillReportsTheOldDirectory)
{
    test::TestDir place;
    test::writeBytes(place.file("a file"), "");
    test::writeBytes(place.file("only/Upper.MP3"), "");
    std::string typed = GetParam();
    if (const auto at = typed.find("PLACE"); at != std::string::npos)
        typed.replace(at, 5, place.str());
    ownerSays("!dir " + typed);
    ownerSays("!dir?");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Error, Invalid Directory! "),
                                                     reply(" Current directory: [" + music.str() + "] ", "Tavu ")}));
    EXPECT_EQ(bot->songList.count(), 3u);
    EXPECT_EQ(bot->songFiles.path(), music.str());
    EXPECT_FALSE(std::filesystem::exists(settingsPath()));
}

INSTANTIATE_TEST_SUITE_P(Paths, RefusedDirectoryTest,
                         ::testing::Values("/proc", "/no/such/place", "PLACE", "PLACE/a file", "PLACE/only", "",
                                           "no such folder", "../../no/such/place"));

TEST_F(PlayerCommandsTest, RelativeDirectoriesStartAtTheMusicDirectory)
{
    test::TestDir elsewhere;
    const std::filesystem::path sub = music.path() / "more";
    test::writeBytes((sub / "x.mp3").string(), "");
    test::writeBytes((sub / "deeper" / "y.mp3").string(), "");
    test::writeBytes(elsewhere.file("more/z.mp3"), ""); // what the working directory would have found
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.path());
    ownerSays("!dir more");
    std::filesystem::current_path(cwd);
    EXPECT_EQ(bot->songList.items(), (std::vector<std::string>{"x.mp3"}));
    ownerSays("!dir ./deeper/");
    EXPECT_EQ(bot->songList.items(), (std::vector<std::string>{"y.mp3"}));
    ownerSays("!dir ../..");
    EXPECT_EQ(bot->songList.count(), 3u);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Directory set to: [" + sub.string() + "] "),
                                                     reply(" Directory set to: [" + (sub / "deeper").string() + "] "),
                                                     reply(" Directory set to: [" + music.str() + "] ")}));
    EXPECT_EQ(readSetting("Settings", "Mp3 Directory", settingsPath()), music.str()) << "stored as a full path";
    ownerSays("!dir " + music.str() + "/");
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Directory set to: [" + music.str() + "/] ")}))
        << "a full path stays as typed";
}

TEST_F(PlayerCommandsTest, WithNoMusicDirectoryARelativeOneStartsAtHome)
{
    bot.reset();
    bot = std::make_unique<Bot>(runtime, room, dir.str(), services());
    bot->startChat();
    bot->trig = "!";
    test::TestDir home;
    test::writeBytes(home.file("Music/x.mp3"), "");
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", home.str().c_str(), 1);
    ownerSays("!dir Music");
    ::setenv("HOME", oldHome.c_str(), 1);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Directory set to: [" + home.str() + "/Music] ")}));
}

TEST_F(PlayerCommandsTest, AReadOnlySettingsFileIsKeptAndTheWindowSaysSoOnce)
{
    std::vector<std::string> notices;
    bot->windowNotice = [&notices](const std::string& text) { notices.push_back(text); };
    const std::string before = "[Settings]\r\nVolume=50\r\n";
    test::writeBytes(settingsPath(), before);
    std::filesystem::permissions(settingsPath(), std::filesystem::perms::owner_read);
    ownerSays("!vol 45");
    ownerSays("!tc ff0000");
    ownerSays("!next");
    runtime.advance(2000);
    const auto lines = takeLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], reply(" Volume Set - [45] ")) << "the reply is the usual one";
    EXPECT_NE(lines[2].find("ff0000"), std::string::npos) << "the new style is in effect all the same";
    EXPECT_EQ(test::readBytes(settingsPath()), before);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("Settings are not being saved"), std::string::npos);
    EXPECT_EQ(bot->lblVol.caption(), "45") << "the level is in effect for the rest of the run";
    bot->windowNotice = nullptr;
}

TEST_F(PlayerCommandsTest, CountersAndMute)
{
    bot->played.setCaption("12");
    ownerSays("!played?");
    ownerSays("!mute");
    EXPECT_TRUE(media.muted);
    EXPECT_EQ(media.state, MediaPlayer::Stopped);
    ownerSays("!xmute");
    EXPECT_FALSE(media.muted);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{reply(" Total Mp3's Played - [12] "), reply(" Player Muted! "),
                                                     reply(" Player Un-muted! ")}));
}

TEST_F(PlayerCommandsTest, StrangersChangeNothing)
{
    for (const char* line : {"!vol 10", "!next", "!ran", "!dir /tmp", "!stop", "!arnd", "!play a"})
        say("Stranger", line);
    EXPECT_TRUE(room.sent.empty());
    EXPECT_TRUE(media.opened.empty());
    EXPECT_EQ(bot->playMode(), PlayMode::None);
    EXPECT_FALSE(std::filesystem::exists(settingsPath()));
}

} // namespace
} // namespace tavu
