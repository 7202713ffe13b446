#include "bot/Lifecycle.h"
#include "settings/ProfileFile.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

class LifecycleTest : public test::BotFixture {
protected:
    std::string reply(std::string_view body) { return defaultReply(body); }
    // A new bot in the same program directory, as at the next start.
    void restart()
    {
        room.sent.clear();
        bot = std::make_unique<Bot>(runtime, room, dir.str(), services());
    }
    void recordStart()
    {
        room.onSend = [this](const std::string&, bool) { times.push_back(runtime.elapsedMs()); };
    }
    std::vector<std::int64_t> times;
};

TEST_F(LifecycleTest, FirstStartWithoutSettings)
{
    recordStart();
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text, "Please be sure to set your mp3 directory!");
    EXPECT_EQ(dialogs.shown[1].kind, "input");
    EXPECT_EQ(dialogs.shown[1].text, "Whats Your Handle?");
    EXPECT_EQ(dialogs.shown[1].title, "Information");
    EXPECT_EQ(readSetting("Totals", "Loads", settingsPath()), "1");
    EXPECT_EQ(readSetting("Settings", "Handle", settingsPath()), "Nickname");
    EXPECT_EQ(bot->played.caption(), "0");
    EXPECT_EQ(bot->lblVol.caption(), "100");
    EXPECT_EQ(media.volume, 0);
    ASSERT_EQ(times.size(), 3u);
    EXPECT_EQ(room.lines(), (std::vector<std::string>{reply(" By: Quarn "), reply(" Loaded By - [Nickname] "),
                                                      reply(" Mp3's - [0] ")}));
    EXPECT_GE(times[1] - times[0], 500);
    EXPECT_GE(times[2] - times[1], 500);
    EXPECT_TRUE(bot->playlistDocking.enabled());
    EXPECT_TRUE(bot->commandScanner.scanning());
}

TEST_F(LifecycleTest, AFileNamedStylesIsSaidInTheWindowAndOnlyItsCommandsAreRefused)
{
    std::filesystem::remove_all(dir.path() / "Styles");
    test::writeBytes(dir.file("Styles"), "mine");
    test::writeBytes(dir.file("Styles.txt"), "Old\r\n");
    std::vector<std::string> notices;
    bot->windowNotice = [&notices](const std::string& text) { notices.push_back(text); };
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("Saved styles are unavailable"), std::string::npos);
    room.sent.clear();
    bot->trig = "!";
    for (const char* line : {"!sstyle New", "!lstyle old", "!tc ff0000", "!rstyle old"})
        ownerSays(line);
    const auto lines = room.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], reply(" Style <u>New</U> could not be saved! "));
    EXPECT_EQ(lines[1], reply(" Style <u>old</U> could not be read! "));
    EXPECT_EQ(bot->style.tc, "ff0000") << "the style commands work";
    EXPECT_EQ(lines[3], bot->style.composeReply(" Tavu ", " The Style <u>old</u> has been removed "));
    EXPECT_EQ(test::readBytes(dir.file("Styles")), "mine");
    bot->windowNotice = nullptr;
}

// Told to end (a signal) while the announcements wait: start-up reports that the program is to
// end, so that no event loop is started after the one that was asked to end.
TEST_F(LifecycleTest, AnEndDuringTheAnnouncementsEndsTheStart)
{
    room.onSend = [this](const std::string& line, bool) {
        if (line == reply(" By: Quarn "))
            runtime.quit();
    };
    EXPECT_FALSE(test::finish(runtime, beginSession(*bot)));
    EXPECT_LT(runtime.elapsedMs(), 500); // the waits were cut short
}

TEST_F(LifecycleTest, EmptyHandleEndsTheStartSilently)
{
    dialogs.inputs.push_back(std::string());
    EXPECT_FALSE(test::finish(runtime, beginSession(*bot)));
    EXPECT_TRUE(room.sent.empty());
    EXPECT_EQ(readSetting("Settings", "Handle", settingsPath()), "");
    restart();
    dialogs.inputs.push_back(std::nullopt); // cancelled
    EXPECT_FALSE(test::finish(runtime, beginSession(*bot)));
    EXPECT_TRUE(room.sent.empty());
}

TEST_F(LifecycleTest, LoadsCountsUpAndSettingsComeBack)
{
    useSongs({"a.mp3", "b.mp3"});
    bot->settings().write(keys::Mp3Directory, music.str());
    bot->settings().write(keys::Volume, "40");
    bot->settings().write(keys::Trig, "!");
    bot->settings().write(keys::Mp3sPlayed, "7");
    for (int i = 0; i < 3; ++i) {
        restart();
        ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    }
    EXPECT_EQ(readSetting("Totals", "Loads", settingsPath()), "3");
    EXPECT_EQ(readSetting("Totals", "Mp3s Played", settingsPath()), "7");
    EXPECT_EQ(bot->trig, "!");
    EXPECT_EQ(media.volume, -1500);
    EXPECT_EQ(bot->songList.count(), 2u);
    EXPECT_EQ(room.lines().back(), reply(" Mp3's - [2] "));
    EXPECT_EQ(dialogs.shown.size(), 1u) << "the handle is asked once, and the directory is known";
}

TEST_F(LifecycleTest, SavedDirectoryWithoutSongs)
{
    bot->settings().write(keys::Mp3Directory, "/no/such/dir");
    bot->settings().write(keys::Handle, "Quarn");
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    EXPECT_TRUE(bot->songList.empty());
    EXPECT_EQ(room.lines().front(), reply(" Error, Invalid Directory! "));
}

TEST_F(LifecycleTest, HandEditedVolumeIsKeptInRange)
{
    bot->settings().write(keys::Volume, "1000");
    bot->settings().write(keys::Handle, "Quarn");
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    EXPECT_EQ(media.volume, 0);
}

TEST_F(LifecycleTest, ShutdownAnnouncesThreeLinesAndEnds)
{
    bot->settings().write(keys::Handle, "Quarn");
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    room.sent.clear();
    bot->played.setCaption("12");
    bool glided = false;
    test::finish(runtime, endSession(*bot, [&] { glided = true; }));
    EXPECT_EQ(room.lines(), (std::vector<std::string>{reply(" By: Quarn "), reply(" Unloaded By - [Quarn] "),
                                                      reply(" Mp3's Played: - [12] ")}));
    EXPECT_TRUE(glided);
    EXPECT_NE(sound.played.back().find("Exit.wav"), std::string::npos);
    EXPECT_TRUE(runtime.quitting());
}

// Told to end at once during the announcements (a second signal): what is still to come is not sent.
TEST_F(LifecycleTest, ShutdownToldToEndAtOnceDropsTheLinesStillToCome)
{
    bot->settings().write(keys::Handle, "Quarn");
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    room.sent.clear();
    runtime.post([&] { runtime.quit(); });
    bool glided = false;
    test::finish(runtime, endSession(*bot, [&] { glided = true; }));
    EXPECT_EQ(room.lines(), (std::vector<std::string>{reply(" By: Quarn ")}));
    EXPECT_FALSE(glided);
    EXPECT_TRUE(runtime.quitting());
}

} // namespace
} // namespace tavu
