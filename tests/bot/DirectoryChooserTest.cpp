#include "bot/DirectoryChooser.h"
#include "settings/SettingsKeys.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu::test {
namespace {

using Names = std::vector<std::string>;

// Records, for every box, what the settings file held while the box was open.
class BoxDialogs : public FakeDialogs {
public:
    void message(const std::string& text, const std::string& title) override
    {
        FakeDialogs::message(text, title);
        directoryWhileOpen.push_back(settings ? settings->read(keys::Mp3Directory) : "");
    }
    const Settings* settings = nullptr;
    Names directoryWhileOpen;
};

class DirectoryChooserTest : public BotFixture {
protected:
    DirectoryChooserTest()
    {
        bot = std::make_unique<Bot>(runtime, room, dir.str(), BotServices{media, sound, boxes, fonts});
        boxes.settings = &bot->settings();
        writeBytes(oldMusic.file("old1.mp3"), "x");
        writeBytes(oldMusic.file("old2.mp3"), "x");
        bot->dir = oldMusic.str();
        bot->settings().write(keys::Mp3Directory, bot->dir);
        fillSongList(bot->songFiles, bot->songList, bot->playlistRows, bot->dir);
        bot->songList.select(1);
        bot->playlistRows.select(1);
    }

    void expectRefused(const std::string& chosen)
    {
        EXPECT_FALSE(test::finish(runtime, chooseMusicDirectory(*bot, chosen)));
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "Error, Invalid Directory!");
        EXPECT_EQ(boxes.shown[0].title, "Error");
        EXPECT_EQ(bot->songList.items(), (Names{"old1.mp3", "old2.mp3"}));
        EXPECT_EQ(bot->playlistRows.items(), (Names{"old1.mp3", "old2.mp3"}));
        EXPECT_EQ(bot->songList.selectedIndex(), -1);
        EXPECT_EQ(bot->playlistRows.selectedIndex(), -1);
        EXPECT_EQ(bot->dir, oldMusic.str());
        EXPECT_EQ(bot->songFiles.path(), oldMusic.str());
        EXPECT_EQ(bot->settings().read(keys::Mp3Directory), oldMusic.str());
    }

    BoxDialogs boxes;
    TestDir oldMusic;
    TestDir newMusic;
};

TEST_F(DirectoryChooserTest, ADirectoryWithoutSongsIsRefusedAndTheOldSongsComeBack)
{
    writeBytes(newMusic.file("readme.txt"), "x");
    writeBytes(newMusic.file("LOUD.MP3"), "x");
    expectRefused(newMusic.str());
    EXPECT_EQ(sound.played, Names{dir.str() + "/Sounds/Click.wav"});
}

TEST_F(DirectoryChooserTest, ADirectoryThatCannotBeListedIsRefusedNotTakenForTheOldSongs)
{
    expectRefused(newMusic.str() + "/vanished");
}

TEST_F(DirectoryChooserTest, AValidDirectoryIsSavedOnlyAfterTheBoxIsClosed)
{
    writeBytes(newMusic.file("new.mp3"), "x");
    EXPECT_TRUE(test::finish(runtime, chooseMusicDirectory(*bot, newMusic.str())));

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Directory set to: [" + newMusic.str() + "]");
    EXPECT_EQ(boxes.shown[0].title, "Directory Set");
    EXPECT_EQ(boxes.directoryWhileOpen, Names{oldMusic.str()});
    EXPECT_EQ(bot->settings().read(keys::Mp3Directory), newMusic.str());
    EXPECT_EQ(bot->dir, newMusic.str());
    EXPECT_EQ(bot->songList.items(), Names{"new.mp3"});
    EXPECT_EQ(bot->playlistRows.items(), Names{"new.mp3"});
    EXPECT_EQ(bot->songList.selectedIndex(), -1);
}

} // namespace
} // namespace tavu::test
