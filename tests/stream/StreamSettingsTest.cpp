#include "stream/StreamSettings.h"
#include "bot/Controls.h"
#include "bot/Lifecycle.h"
#include "settings/ProfileFile.h"
#include "stream/Radio.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tavu {
namespace {

StreamSettings goodChoices()
{
    StreamSettings s;
    s.enabled = true;
    s.server = "localhost";
    s.port = "8000";
    s.mount = "/tavu";
    s.user = "source";
    s.password = "hackme";
    s.bitrate = "128";
    s.volume = "100";
    s.idleMinutes = "30";
    return s;
}

struct Refusal {
    const char* field;
    void (*change)(StreamSettings&);
};

class StreamRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(StreamRefusals, BadInputIsRefusedAtItsBox)
{
    StreamSettings choices = goodChoices();
    ASSERT_FALSE(checkStreamSettings(choices));
    GetParam().change(choices);
    const auto problem = checkStreamSettings(choices);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, GetParam().field);
    EXPECT_FALSE(problem->reason.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, StreamRefusals,
    ::testing::Values(Refusal{"streamPort", [](StreamSettings& s) { s.port = "0"; }},
                      Refusal{"streamPort", [](StreamSettings& s) { s.port = "65536"; }},
                      Refusal{"streamPort", [](StreamSettings& s) { s.port = "80a"; }},
                      Refusal{"streamMount", [](StreamSettings& s) { s.mount = "tavu"; }},
                      Refusal{"streamMount", [](StreamSettings& s) { s.mount = "/"; }},
                      Refusal{"streamMount", [](StreamSettings& s) { s.mount = "/my radio"; }},
                      Refusal{"streamServer", [](StreamSettings& s) { s.server = " "; }},
                      Refusal{"streamPassword", [](StreamSettings& s) { s.password.clear(); }},
                      Refusal{"streamPassword", [](StreamSettings& s) { s.password = "a\nb"; }},
                      Refusal{"streamBitrate", [](StreamSettings& s) { s.bitrate = "100"; }},
                      Refusal{"streamBitrate",
                              [](StreamSettings& s) {
                                  s.format = StreamSettings::Format::Opus;
                                  s.bitrate = "500";
                              }},
                      Refusal{"streamVolume", [](StreamSettings& s) { s.volume = "101"; }},
                      Refusal{"streamIdleMinutes", [](StreamSettings& s) { s.idleMinutes = "-1"; }},
                      Refusal{"streamPublicUrl", [](StreamSettings& s) { s.publicUrl = "radio.example.org"; }}));

TEST(StreamSettings, AnOffStreamKeepsWhatWasTypedAndAnOldFileReadsOff)
{
    test::TestDir dir;
    const Settings settings(dir.file("Tavu.ini"));
    writeSetting("Settings", "Volume", "40", settings.path());
    const StreamSettings read = StreamSettings::read(settings);
    EXPECT_FALSE(read.enabled);
    EXPECT_EQ(read.listenUrl(), "http://localhost:8000/tavu");
    EXPECT_EQ(read.volumeLevel(), 100);
    EXPECT_EQ(read.idleMinutesValue(), 30);
    StreamSettings typed = read;
    typed.port = "nonsense";
    EXPECT_FALSE(checkStreamSettings(typed)) << "checked when it is turned on";
}

TEST(StreamSettings, StoringWritesOnlyChangesAndHidesThePassword)
{
    test::TestDir dir;
    const Settings settings(dir.file("Tavu.ini"));
    writeSetting("Settings", "Volume", "40", settings.path());
    ::chmod(settings.path().c_str(), 0644);
    const StreamSettings before = StreamSettings::read(settings);
    EXPECT_FALSE(storeStreamSettings(settings, before, before));
    EXPECT_EQ(test::readBytes(settings.path()).find("Stream"), std::string::npos) << "an old file stays as it was";

    StreamSettings after = before;
    after.enabled = true;
    after.password = "hackme";
    after.tls = true;
    after.format = StreamSettings::Format::Opus;
    after.publicUrl = "https://radio.example.org/tavu";
    EXPECT_TRUE(storeStreamSettings(settings, before, after));
    EXPECT_EQ(readSetting("Stream", "Enabled", settings.path()), "1");
    EXPECT_EQ(readSetting("Stream", "TLS", settings.path()), "on");
    EXPECT_EQ(readSetting("Stream", "Format", settings.path()), "opus");
    EXPECT_EQ(readSetting("Stream", "Server", settings.path()), "") << "unchanged keys stay missing";
    EXPECT_EQ(StreamSettings::read(settings), after);
    EXPECT_EQ(after.listenUrl(), "https://radio.example.org/tavu");
    EXPECT_EQ(after.serverUrl("/status-json.xsl"), "https://localhost:8000/status-json.xsl");
    struct stat st {};
    ASSERT_EQ(::stat(settings.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(StreamSettings, TitlesComeFromTagsElseTheFileName)
{
    NowPlaying song;
    song.song = "03 Blue Monday.flac";
    EXPECT_EQ(streamTitle(song), "03 Blue Monday");
    song.tag.title = "Blue Monday";
    EXPECT_EQ(streamTitle(song), "Blue Monday");
    song.tag.artist = " New Order ";
    EXPECT_EQ(streamTitle(song), "New Order - Blue Monday");
    song.tag.title = "  ";
    EXPECT_EQ(streamTitle(song), "03 Blue Monday") << "an artist without a title is no title";
}

// A stream whose server answers at once (or not at all) with a given listener count.
class ScriptedRadio : public Radio {
public:
    std::string listenUrl() const override { return url; }
    void countListeners(std::function<void(std::optional<int>)> done) override { pending = std::move(done); }
    bool onAir() const override { return !url.empty(); }
    std::optional<int> lastListenerCount() const override { return std::nullopt; }
    void settingsChanged() override {}

    std::string url;
    std::function<void(std::optional<int>)> pending;
};

class ListenTest : public test::BotFixture {
protected:
    ListenTest() { bot->trig = "!"; }
    ScriptedRadio radio;
};

TEST_F(ListenTest, TellsTheAddressAndTheListenersOnlyWhenAsked)
{
    ownerSays("!listen");
    bot->radio = &radio; // set up, but off
    ownerSays("!listen");
    EXPECT_EQ(takeLines(),
              (std::vector<std::string>{defaultReply(" No stream is set up "), defaultReply(" No stream is set up ")}));
    radio.url = "http://radio.example.org:8000/tavu?a&b";
    ownerSays("!listen");
    EXPECT_TRUE(takeLines().empty()) << "the reply waits for the server";
    ownerSays("!vol?");
    EXPECT_EQ(takeLines().size(), 1u) << "other commands are answered meanwhile";
    radio.pending(3);
    radio.pending = nullptr;
    ownerSays("!listen");
    radio.pending(std::nullopt);
    EXPECT_EQ(takeLines(), (std::vector<std::string>{
                               defaultReply(" Listen - [http://radio.example.org:8000/tavu?a&amp;b] (3 listening) "),
                               defaultReply(" Listen - [http://radio.example.org:8000/tavu?a&amp;b] ")}));
}

TEST_F(ListenTest, TheLoadAnnouncementsGainALineOnlyWhileTheStreamIsOn)
{
    writeSetting("Settings", "Handle", "anna", settingsPath());
    bot->radio = &radio;
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    EXPECT_EQ(takeLines(), (std::vector<std::string>{defaultReply(" By: Quarn "), defaultReply(" Loaded By - [anna] "),
                                                     defaultReply(" Mp3's - [0] ")}));
    radio.url = "http://localhost:8000/tavu";
    bot = std::make_unique<Bot>(runtime, room, dir.str(), services());
    bot->radio = &radio;
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    EXPECT_EQ(takeLines(), (std::vector<std::string>{defaultReply(" By: Quarn "), defaultReply(" Loaded By - [anna] "),
                                                     defaultReply(" Mp3's - [0] "),
                                                     defaultReply(" Listen - [http://localhost:8000/tavu] ")}));
}

} // namespace
} // namespace tavu
