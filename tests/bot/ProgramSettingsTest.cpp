#include "bot/ProgramSettings.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace tavu::test {
namespace {

// Choices that can be stored: a folder with a song, a handle, an IRC channel.
ProgramSettings good(const TestDir& music)
{
    ProgramSettings c;
    c.musicFolder = music.str();
    c.handle = "anna";
    c.irc = true;
    c.server = "irc.example.net";
    c.channel = "#music";
    return c;
}

struct Row {
    const char* name;
    void (*change)(ProgramSettings& c, const TestDir& music);
    const char* field; // "" when the choices pass
};

const Row kRows[] = {
    {"Good", [](ProgramSettings&, const TestDir&) {}, ""},
    {"NoFolderYet", [](ProgramSettings& c, const TestDir&) { c.musicFolder.clear(); }, ""},
    {"MissingFolder", [](ProgramSettings& c, const TestDir& m) { c.musicFolder = m.file("gone"); }, "musicFolder"},
    {"FolderWithoutSongs", [](ProgramSettings& c, const TestDir& m) { c.musicFolder = m.file("empty"); },
     "musicFolder"},
    {"SongsOnlyInSubfolders", [](ProgramSettings& c, const TestDir& m) { c.musicFolder = m.file("deep"); },
     "musicFolder"},
    {"SongsInSubfoldersListed",
     [](ProgramSettings& c, const TestDir& m) { c.musicFolder = m.file("deep"), c.subfolders = true; }, ""},
    {"FlacWithoutTheFormat", [](ProgramSettings& c, const TestDir& m) { c.musicFolder = m.file("flac"); },
     "musicFolder"},
    {"FlacWithTheFormat",
     [](ProgramSettings& c, const TestDir& m) { c.musicFolder = m.file("flac"), c.formats = "ogg FLAC"; }, ""},
    {"TriggerWithABlank", [](ProgramSettings& c, const TestDir&) { c.trigger = "a b"; }, "trigger"},
    {"EmptyTrigger", [](ProgramSettings& c, const TestDir&) { c.trigger.clear(); }, ""},
    {"EmptyHandle", [](ProgramSettings& c, const TestDir&) { c.handle = "  "; }, "handle"},
    {"LineBreak", [](ProgramSettings& c, const TestDir&) { c.handle = "a\nTrig=x"; }, "handle"},
    {"PortNotANumber", [](ProgramSettings& c, const TestDir&) { c.port = "66x"; }, "port"},
    {"PortTooHigh", [](ProgramSettings& c, const TestDir&) { c.port = "65536"; }, "port"},
    {"PortZero", [](ProgramSettings& c, const TestDir&) { c.port = "0"; }, "port"},
    {"Port", [](ProgramSettings& c, const TestDir&) { c.port = "6697"; }, ""},
    {"NoServer", [](ProgramSettings& c, const TestDir&) { c.server = " "; }, "server"},
    {"NoChannel", [](ProgramSettings& c, const TestDir&) { c.channel.clear(); }, "channel"},
    {"ChannelWithoutAName", [](ProgramSettings& c, const TestDir&) { c.channel = "#"; }, "channel"},
    {"ChannelWithAKey", [](ProgramSettings& c, const TestDir&) { c.channel = "#music secret"; }, ""},
    {"ChannelWithoutHash", [](ProgramSettings& c, const TestDir&) { c.channel = "music"; }, ""},
    {"NickWithABlank", [](ProgramSettings& c, const TestDir&) { c.nick = "my bot"; }, "nick"},
    {"NickWithADigitFirst", [](ProgramSettings& c, const TestDir&) { c.nick = "9bot"; }, "nick"},
    {"MaskWithABlank", [](ProgramSettings& c, const TestDir&) { c.owner = "me!~me@home net"; }, "owner"},
    {"MaskWithAtInTheNick", [](ProgramSettings& c, const TestDir&) { c.owner = "me@x!~me@home"; }, "owner"},
    {"MaskWithTwoAts", [](ProgramSettings& c, const TestDir&) { c.owner = "me!~me@home@net"; }, "owner"},
    {"WildNickAlone", [](ProgramSettings& c, const TestDir&) { c.owner = "bo*"; }, "owner"},
    {"NickAlone", [](ProgramSettings& c, const TestDir&) { c.owner = "boss"; }, ""},
    {"FullMask", [](ProgramSettings& c, const TestDir&) { c.owner = "boss!~boss@*.example"; }, ""},
    // The built-in room needs no server or channel, but a port it would keep must still be one.
    {"BuiltInRoom", [](ProgramSettings& c, const TestDir&) { c.irc = false, c.server.clear(), c.channel.clear(); }, ""},
    {"BuiltInRoomBadPort", [](ProgramSettings& c, const TestDir&) { c.irc = false, c.port = "x"; }, "port"},
    {"ScreenNameWithBang", [](ProgramSettings& c, const TestDir&) { c.screenName = "me!"; }, "screenName"},
};

class SettingsCheckTest : public ::testing::TestWithParam<Row> {
protected:
    SettingsCheckTest()
    {
        writeBytes(music.file("song.mp3"), "");
        std::filesystem::create_directories(music.path() / "empty");
        std::filesystem::create_directories(music.path() / "deep/album");
        writeBytes(music.file("deep/album/track.mp3"), "");
        writeBytes(music.file("deep/.hidden.mp3"), "");
        std::filesystem::create_directories(music.path() / "flac");
        writeBytes(music.file("flac/track.flac"), "");
    }
    TestDir music;
};

TEST_P(SettingsCheckTest, RefusesWrongChoicesWithTheFieldAtFault)
{
    ProgramSettings c = good(music);
    GetParam().change(c, music);
    const auto problem = checkSettings(c);
    EXPECT_EQ(problem ? problem->field : "", GetParam().field) << (problem ? problem->reason : "");
    if (problem) {
        EXPECT_TRUE(problem->reason.ends_with('.')) << problem->reason;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsCheckTest, ::testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SettingsStore, WritesOnlyWhatChangedAndKeepsAnOldFileAsItWas)
{
    TestDir dir;
    const std::string old = "[Settings]\r\nTrig=!\r\nHandle=anna\r\nVolume=40\r\n[Totals]\r\nLoads=7\r\n";
    writeBytes(dir.file("Tavu.ini"), old);
    const Settings settings(dir.file("Tavu.ini"));
    const ProgramSettings before = ProgramSettings::read(settings);
    EXPECT_EQ(before.trigger, "!");
    EXPECT_FALSE(before.irc);
    EXPECT_TRUE(before.onTop);
    EXPECT_TRUE(before.intro);
    EXPECT_FALSE(before.notify);
    EXPECT_FALSE(storeSettings(settings, before, before).any());
    EXPECT_EQ(readBytes(dir.file("Tavu.ini")), old);

    ProgramSettings after = before;
    after.trigger = "?";
    after.intro = false;
    after.setFormat("opus", true);
    const SettingsChanges changes = storeSettings(settings, before, after);
    EXPECT_TRUE(changes.trigger);
    EXPECT_TRUE(changes.library);
    EXPECT_FALSE(changes.chatRoom);
    EXPECT_EQ(readBytes(dir.file("Tavu.ini")),
              "[Settings]\r\nTrig=?\r\nHandle=anna\r\nVolume=40\r\n[Totals]\r\n"
              "Loads=7\r\n\r\n[Library]\r\nFORMATS=opus\r\n\r\n[Desktop]\r\nINTRO=0\r\n");
    EXPECT_EQ(ProgramSettings::read(settings), after);

    // IRC choices made while the built-in room stays do not reopen it; choosing IRC does.
    ProgramSettings irc = after;
    irc.server = "irc.example.net";
    EXPECT_FALSE(storeSettings(settings, after, irc).chatRoom);
    ProgramSettings on = irc;
    on.irc = true;
    on.tls = ProgramSettings::Tls::AcceptSelfSigned;
    EXPECT_TRUE(storeSettings(settings, irc, on).chatRoom);
    EXPECT_EQ(settings.read(keys::ChatNetwork), "irc");
    EXPECT_EQ(settings.read(keys::ChatTls), "self-signed");
}

TEST(SettingsStore, APasswordMakesTheFileTheOwnersAlone)
{
    TestDir dir;
    writeBytes(dir.file("Tavu.ini"), "[Settings]\r\nHandle=anna\r\n");
    ::chmod(dir.file("Tavu.ini").c_str(), 0644);
    const Settings settings(dir.file("Tavu.ini"));
    const ProgramSettings before = ProgramSettings::read(settings);
    ProgramSettings after = before;
    after.password = "s3cret";
    storeSettings(settings, before, after);
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("Tavu.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(settings.read(keys::ChatPassword), "s3cret");
    // Later writes keep the mode.
    settings.write(keys::Loads, "2");
    ASSERT_EQ(::stat(dir.file("Tavu.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

class ApplySettingsTest : public BotFixture {};

TEST_F(ApplySettingsTest, TheBotTakesTheFolderTriggerAndHandleAtOnce)
{
    writeBytes(music.file("b.mp3"), "");
    writeBytes(music.file("a.mp3"), "");
    int trigChanges = 0;
    const auto following = bot->trigChanged.subscribe([&] { ++trigChanges; });
    const ProgramSettings before = ProgramSettings::read(bot->settings());
    ProgramSettings after = before;
    after.musicFolder = music.str();
    after.trigger = "!";
    after.handle = "anna";
    ASSERT_FALSE(checkSettings(after));
    test::finish(runtime, applySettings(*bot, after, storeSettings(bot->settings(), before, after)));
    EXPECT_EQ(bot->dir, music.str());
    EXPECT_EQ(bot->songList.items(), (std::vector<std::string>{"a.mp3", "b.mp3"}));
    EXPECT_EQ(bot->playlistRows.items(), bot->songList.items());
    EXPECT_EQ(bot->Handle.caption(), "anna");
    EXPECT_EQ(trigChanges, 1);
    ownerSays("!dir?");
    EXPECT_EQ(takeLines(),
              std::vector<std::string>{defaultReply(" Current directory: [" + music.str() + "] ", "Tavu ")});
}

TEST_F(ApplySettingsTest, TheLibraryChoicesTakeEffectAtOnce)
{
    writeBytes(music.file("a.mp3"), "");
    std::filesystem::create_directories(music.file("Deep/Er"));
    writeBytes(music.file("Deep/Er/b.flac"), "");
    writeBytes(music.file("Deep/c.mp3"), "");
    ProgramSettings before = ProgramSettings::read(bot->settings());
    before.musicFolder = music.str();
    test::finish(
        runtime,
        applySettings(*bot, before, storeSettings(bot->settings(), ProgramSettings::read(bot->settings()), before)));
    ASSERT_EQ(bot->songList.items(), (std::vector<std::string>{"a.mp3"}));

    ProgramSettings after = before;
    after.subfolders = true;
    after.formats = "flac";
    test::finish(runtime, applySettings(*bot, after, storeSettings(bot->settings(), before, after)));
    EXPECT_EQ(bot->songList.items(), (std::vector<std::string>{"a.mp3", "Deep/c.mp3", "Deep/Er/b.flac"}));
    EXPECT_EQ(bot->playlistRows.items(), bot->songList.items());
}

} // namespace
} // namespace tavu::test
