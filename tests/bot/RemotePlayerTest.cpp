#include "bot/RemotePlayer.h"
#include "bot/Continuation.h"
#include "bot/DesktopControls.h"
#include "bot/PlayerControls.h"
#include "id3/TagReader.h"
#include "queue/UpNext.h"
#include "settings/AtomicFile.h"
#include "support/SimRuntimeFixture.h"
#include "support/TagFile.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tavu::test {
namespace {

class RemotePlayerTest : public BotFixture {
protected:
    RemotePlayerTest()
    {
        useSongs({"Abc.mp3", "Blue Sky.mp3", "blues one.mp3"});
        bot->trig = "!";
        following = remote.changed.subscribe([this] { ++changes; });
    }
    std::size_t clicks() const { return sound.played.size(); }

    RemotePlayer remote{*bot};
    Signal<>::Subscription following;
    int changes = 0;
};

// Each control from a given start: the state it leaves, the song that plays, whether it clicked.
struct Control {
    const char* name;
    void (*setup)(BotFixture&);
    void (*act)(RemotePlayer&);
    const char* status;
    const char* song; // what nowPlaying names afterwards
    bool clicks;
};

void stopped(BotFixture&) {}
void playing(BotFixture& t)
{
    t.bot->playlistRows.select(1);
    playClick(*t.bot);
}
void paused(BotFixture& t)
{
    playing(t);
    pauseClick(*t.bot);
}
void atLast(BotFixture& t)
{
    t.bot->playlistRows.select(2);
    playClick(*t.bot);
}

const Control kControls[] = {
    {"PlayStoppedStartsTheFirstSong", stopped, [](RemotePlayer& r) { r.play(); }, "Playing", "Abc.mp3", true},
    {"PlayResumes", paused, [](RemotePlayer& r) { r.play(); }, "Playing", "Blue Sky.mp3", true},
    {"PlayWhilePlaying", playing, [](RemotePlayer& r) { r.play(); }, "Playing", "Blue Sky.mp3", false},
    {"PausePlaying", playing, [](RemotePlayer& r) { r.pause(); }, "Paused", "Blue Sky.mp3", true},
    {"PauseStopped", stopped, [](RemotePlayer& r) { r.pause(); }, "Stopped", "", false},
    {"PlayPausePauses", playing, [](RemotePlayer& r) { r.playPause(); }, "Paused", "Blue Sky.mp3", true},
    {"PlayPauseResumes", paused, [](RemotePlayer& r) { r.playPause(); }, "Playing", "Blue Sky.mp3", true},
    {"PlayPauseStarts", stopped, [](RemotePlayer& r) { r.playPause(); }, "Playing", "Abc.mp3", true},
    {"StopPlaying", playing, [](RemotePlayer& r) { r.stop(); }, "Stopped", "Blue Sky.mp3", true},
    {"StopStopped", stopped, [](RemotePlayer& r) { r.stop(); }, "Stopped", "", false},
    {"Next", playing, [](RemotePlayer& r) { r.next(); }, "Playing", "blues one.mp3", true},
    {"NextAtTheLastSong", atLast, [](RemotePlayer& r) { r.next(); }, "Playing", "blues one.mp3", false},
    {"Previous", playing, [](RemotePlayer& r) { r.previous(); }, "Playing", "Abc.mp3", true},
    {"PreviousWithNothingSelected", stopped, [](RemotePlayer& r) { r.previous(); }, "Stopped", "", false},
};

class RemoteControlTest : public RemotePlayerTest, public ::testing::WithParamInterface<Control> {};

TEST_P(RemoteControlTest, DoesWhatTheButtonDoesAndAnnouncesNothing)
{
    const Control& c = GetParam();
    c.setup(*this);
    const std::size_t before = clicks();
    c.act(remote);
    EXPECT_EQ(remote.state().status, c.status);
    EXPECT_EQ(bot->nowPlaying().song, c.song);
    EXPECT_EQ(clicks() > before, c.clicks);
    EXPECT_TRUE(room.sent.empty()) << "no button announces";
    EXPECT_TRUE(dialogs.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Controls, RemoteControlTest, ::testing::ValuesIn(kControls),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(RemotePlayerTest, StateFollowsTheChatCommandsAndEverySongStart)
{
    writeBytes(music.file("Blue Sky.mp3"), songWithTag({"Blue Sky", "The Band", "Skies", "", ""}));
    EXPECT_EQ(remote.state().track.number, 0);
    EXPECT_FALSE(remote.state().canPause);
    EXPECT_TRUE(remote.state().canPlay) << "the first song would start";

    changes = 0;
    ownerSays("!play sky");
    RemoteState s = remote.state();
    EXPECT_GT(changes, 0);
    EXPECT_EQ(s.status, "Playing");
    EXPECT_EQ(s.track,
              (RemoteTrack{1, 180'000'000, "Blue Sky", "The Band", "Skies", music.file("Blue Sky.mp3"), 0, ""}));
    EXPECT_TRUE(s.canSeek && s.canPause && s.canGoNext && s.canGoPrevious);

    changes = 0;
    ownerSays("!pause");
    EXPECT_EQ(remote.state().status, "Paused");
    EXPECT_GT(changes, 0) << "a pause by the chat is seen";
    ownerSays("!vol 40");
    EXPECT_DOUBLE_EQ(remote.state().volume, 0.4);
    ownerSays("!rep");
    EXPECT_EQ(remote.state().loop, "Track");
    ownerSays("!acon");
    EXPECT_EQ(remote.state().loop, "Playlist");
    ownerSays("!arnd");
    EXPECT_EQ(remote.state().loop, "None");
    EXPECT_TRUE(remote.state().shuffle);

    ownerSays("!next");
    EXPECT_EQ(remote.state().track.number, 2);
    EXPECT_EQ(remote.state().track.artist, "") << "a song without a tag";
    EXPECT_FALSE(remote.state().canGoNext) << "the last song";
    ownerSays("!stop");
    EXPECT_EQ(remote.state().status, "Stopped");
    EXPECT_EQ(remote.state().track.title, "blues one") << "a stop keeps the song";
    EXPECT_EQ(remote.positionUs(), 0);
}

TEST_F(RemotePlayerTest, SeekAndSetPositionStayWithinTheSong)
{
    int jumps = 0;
    const auto seeking = remote.seeked.subscribe([&] { ++jumps; });
    remote.seek(5'000'000);
    EXPECT_EQ(jumps, 0) << "nothing plays";

    playing(*this);
    media.position = 10;
    remote.seek(30'000'000);
    EXPECT_DOUBLE_EQ(media.position, 40);
    EXPECT_EQ(remote.positionUs(), 40'000'000);
    EXPECT_EQ(bot->txtTime.caption(), "0:40") << "the clock follows at once";
    remote.seek(-100'000'000);
    EXPECT_DOUBLE_EQ(media.position, 0) << "before the start is the start";
    EXPECT_EQ(jumps, 2);

    const std::int64_t track = remote.state().track.number;
    remote.setPosition(track + 1, 60'000'000);
    remote.setPosition(track, 181'000'000);
    remote.setPosition(track, -1);
    EXPECT_DOUBLE_EQ(media.position, 0) << "another track, or outside the song";
    remote.setPosition(track, 60'000'000);
    EXPECT_DOUBLE_EQ(media.position, 60);
    EXPECT_EQ(jumps, 3);

    remote.seek(200'000'000);
    EXPECT_EQ(bot->nowPlaying().song, "blues one.mp3") << "past the end the next song starts";
}

TEST_F(RemotePlayerTest, VolumeLoopAndShuffleGoThroughTheSoundWindowAndTheButtons)
{
    remote.setVolume(0.4);
    EXPECT_EQ(bot->lblVol.caption(), "40");
    EXPECT_EQ(bot->settings().read(keys::Volume), "40");
    EXPECT_EQ(media.volume, -1500);
    remote.setVolume(0.425);
    EXPECT_EQ(bot->lblVol.caption(), "42") << "a whole level, halves to even";
    runtime.advance(1000);
    EXPECT_EQ(bot->settings().read(keys::Volume), "42") << "stored within the second";
    remote.setVolume(0.6064);
    EXPECT_EQ(bot->lblVol.caption(), "61");
    remote.setVolume(1.7);
    EXPECT_EQ(bot->lblVol.caption(), "100");
    remote.setVolume(-1);
    EXPECT_EQ(bot->lblVol.caption(), "0");
    runtime.advance(1000);
    EXPECT_EQ(bot->settings().read(keys::Volume), "0");

    // A burst of sets replaces the settings file once a second, not once a set; the last one lands.
    runtime.advance(1000);
    struct stat first {};
    ::stat(bot->settings().path().c_str(), &first);
    for (int i = 1; i <= 10'000; ++i)
        remote.setVolume(i % 100 / 100.0 + 0.001);
    struct stat during {};
    ::stat(bot->settings().path().c_str(), &during);
    EXPECT_NE(during.st_ino, first.st_ino) << "the first set is written at once";
    EXPECT_EQ(bot->settings().read(keys::Volume), "1");
    runtime.advance(500);
    ::stat(bot->settings().path().c_str(), &first);
    EXPECT_EQ(first.st_ino, during.st_ino) << "nothing more within the second";
    runtime.advance(500);
    EXPECT_EQ(bot->settings().read(keys::Volume), "0");

    const struct {
        const char* loop;
        PlayMode from, to;
        bool clicks;
    } loops[] = {
        {"Track", PlayMode::None, PlayMode::Repeat, true},
        {"Track", PlayMode::Repeat, PlayMode::Repeat, false},
        {"Playlist", PlayMode::AutoRandom, PlayMode::AutoContinue, true},
        {"None", PlayMode::AutoContinue, PlayMode::None, true},
        {"None", PlayMode::Repeat, PlayMode::None, true},
        {"None", PlayMode::AutoRandom, PlayMode::AutoRandom, false},
    };
    for (const auto& row : loops) {
        bot->setPlayMode(row.from);
        const std::size_t before = clicks();
        EXPECT_TRUE(remote.setLoopStatus(row.loop));
        EXPECT_EQ(bot->playMode(), row.to) << row.loop;
        EXPECT_EQ(clicks() > before, row.clicks) << row.loop;
    }
    EXPECT_FALSE(remote.setLoopStatus("Forever"));
    EXPECT_EQ(bot->playMode(), PlayMode::AutoRandom);

    remote.setShuffle(false);
    EXPECT_EQ(bot->playMode(), PlayMode::None);
    bot->setPlayMode(PlayMode::Repeat);
    remote.setShuffle(true);
    EXPECT_EQ(bot->playMode(), PlayMode::AutoRandom) << "one play mode at a time";
    EXPECT_TRUE(room.sent.empty());
}

// A tag reader that finds a picture in every song, to stand in for a tag with a cover.
class PictureReader : public Id3v1TagReader {
public:
    SongPicture picture(const std::string& path) const override
    {
        return path.ends_with("Abc.mp3") ? SongPicture{"image/jpeg", "\xFF\xD8\xFF\xE0 cover"} : SongPicture{};
    }
};

TEST_F(RemotePlayerTest, TheTrackHasTheTagsOwnFieldsAndACover)
{
    bot->settings().write(keys::LibraryTitles, "tags");
    std::string tagged = songWithTag({"Blue Sky", "The Band", "Skies", "1999", "great"});
    tagged[tagged.size() - 3] = '\0'; // ID3v1.1: the comment's last byte is the track number
    tagged[tagged.size() - 2] = 7;
    writeBytes(music.file("Blue Sky.mp3"), tagged);
    writeBytes(music.file("Folder.JPG"), "\xFF\xD8\xFF");
    ownerSays("!refdir");
    PictureReader pictures;
    bot->library.setTagReader(&pictures);
    const std::string covers = music.file("covers");
    RemotePlayer withCovers(*bot, covers);

    ownerSays("!play sky");
    RemoteTrack track = withCovers.state().track;
    EXPECT_EQ(bot->nowPlaying().title, "The Band - Blue Sky") << "the player shows both";
    EXPECT_EQ(track.title, "Blue Sky");
    EXPECT_EQ(track.artist, "The Band");
    EXPECT_EQ(track.album, "Skies");
    EXPECT_EQ(track.trackNumber, 7);
    EXPECT_EQ(track.artPath, music.file("Folder.JPG")) << "the picture beside the song";

    ownerSays("!prev");
    track = withCovers.state().track;
    EXPECT_EQ(track.trackNumber, 0);
    ASSERT_TRUE(track.artPath.starts_with(covers + "/")) << track.artPath;
    EXPECT_TRUE(track.artPath.ends_with(".jpg"));
    EXPECT_EQ(readFileBytes(track.artPath).value_or(""), "\xFF\xD8\xFF\xE0 cover");
    const std::string written = track.artPath;
    ownerSays("!next");
    EXPECT_FALSE(std::filesystem::exists(written)) << "one cover at a time";

    bot->lblVol.setCaption("80");
    bot->setMuteState(true);
    EXPECT_DOUBLE_EQ(withCovers.state().volume, 0.0);
    bot->setMuteState(false);
    EXPECT_DOUBLE_EQ(withCovers.state().volume, 0.8);
}

TEST_F(RemotePlayerTest, AutoContinueStaysPlayingBetweenSongs)
{
    bot->setPlayMode(PlayMode::AutoContinue);
    ASSERT_TRUE(remote.OpenUri(music.file("Abc.mp3")));
    runtime.advance(5000);
    std::vector<std::string> seen;
    const auto watching = remote.changed.subscribe([&] { seen.push_back(remote.state().status); });
    media.finish();
    EXPECT_EQ(bot->nowPlaying().song, "Blue Sky.mp3");
    EXPECT_FALSE(seen.empty());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "Stopped"), 0) << "never Stopped while the list goes on";
    bot->setPlayMode(PlayMode::None);
    runtime.advance(5000);
    media.finish();
    EXPECT_EQ(remote.state().status, "Stopped");
}

TEST_F(RemotePlayerTest, AFailedStartLeavesNoSongShown)
{
    ASSERT_TRUE(remote.OpenUri(music.file("Abc.mp3")));
    ASSERT_EQ(remote.state().track.title, "Abc");
    std::filesystem::remove(music.file("Blue Sky.mp3"));
    ownerSays("!next");
    const RemoteState s = remote.state();
    EXPECT_EQ(s.status, "Stopped");
    EXPECT_EQ(s.track, RemoteTrack{});
    EXPECT_FALSE(s.canPause || s.canSeek);
}

TEST_F(RemotePlayerTest, OpenUriTakesOnlySongsOfTheLibrary)
{
    TestDir elsewhere;
    writeBytes(elsewhere.file("Abc.mp3"), "");
    EXPECT_FALSE(remote.OpenUri(elsewhere.file("Abc.mp3")));
    EXPECT_FALSE(remote.OpenUri(music.str()));
    EXPECT_FALSE(remote.OpenUri(music.file("Missing.mp3")));
    EXPECT_TRUE(media.opened.empty());
    EXPECT_EQ(remote.songIndexOf(music.str() + "/./blues one.mp3"), 2);
    EXPECT_TRUE(remote.OpenUri(music.file("blues one.mp3")));
    EXPECT_EQ(bot->playlistRows.selectedIndex(), 2) << "the playlist shows it";
}

// The look-up OpenUri runs on a worker: the first song of that name, else of that file.
TEST_F(RemotePlayerTest, SongPathsFindASongByItsNameOrItsFile)
{
    TestDir elsewhere;
    writeBytes(elsewhere.file("Abc.mp3"), "");
    std::filesystem::create_symlink(music.file("Blue Sky.mp3"), elsewhere.file("link.mp3"));
    const std::shared_ptr<const SongPaths> paths = remote.songPaths();
    EXPECT_EQ(paths, remote.songPaths()) << "one list until the song list changes";
    const std::pair<std::string, int> cases[] = {
        {music.file("Abc.mp3"), 0},
        {music.file("blues one.mp3"), 2},
        {music.str() + "/./blues one.mp3", 2},
        {elsewhere.file("link.mp3"), 1},
        {elsewhere.file("Abc.mp3"), -1},
        {music.file("Missing.mp3"), -1},
        {music.str(), -1},
        {"", -1},
    };
    for (const auto& [path, index] : cases)
        EXPECT_EQ(paths->indexOf(path), index) << path;

    useSongs({"Abc.mp3"});
    EXPECT_NE(paths, remote.songPaths());
    EXPECT_TRUE(remote.openFound(paths, 2, music.file("Abc.mp3"))) << "an old list: looked up again";
    EXPECT_EQ(bot->songList.selectedIndex(), 0);
}

// The paths a listing made ready are taken only while they are still the song list's.
TEST_F(RemotePlayerTest, PathsMadeWithTheListingAreTakenOnlyWhileTheyFit)
{
    const std::vector<std::string> songs = bot->songList.items();
    std::vector<std::string> made;
    for (const std::string& song : songs)
        made.push_back(music.str() + "/" + song);
    const std::vector<std::vector<std::string>> offered = {
        made,                              // the list's own
        {made.begin(), made.end() - 1},    // one short
        {made.rbegin(), made.rend()},      // another order
        {made.size(), "/nowhere/Abc.mp3"}, // another folder
    };
    for (const auto& paths : offered) {
        useSongs(songs); // a new list: the media controls look afresh
        bot->listedSongPaths = paths;
        const auto found = remote.songPaths();
        EXPECT_TRUE(bot->listedSongPaths.empty()) << "taken, never offered twice";
        EXPECT_EQ(found->indexOf(music.file("blues one.mp3")), 2);
        EXPECT_EQ(found->indexOf(music.file("Abc.mp3")), 0);
    }
}

// The player's keys, as far as they go beyond the buttons.
TEST_F(RemotePlayerTest, KeysPlayPauseSeekAndStepTheVolume)
{
    playPause(*bot);
    ASSERT_EQ(dialogs.shown.size(), 1u) << "as the Play button: nothing selected";
    EXPECT_EQ(dialogs.shown[0].text, "No file to play");
    playing(*this);
    playPause(*bot);
    EXPECT_EQ(media.state, MediaPlayer::Paused);
    playPause(*bot);
    EXPECT_EQ(media.state, MediaPlayer::Playing);

    media.position = 3;
    EXPECT_TRUE(seekBy(*bot, -5));
    EXPECT_DOUBLE_EQ(media.position, 0);
    EXPECT_TRUE(seekBy(*bot, 5));
    EXPECT_DOUBLE_EQ(media.position, 5);

    const struct {
        const char* from;
        double by;
        const char* to;
    } steps[] = {{"97", 5, "100"}, {"3", -5, "0"}, {"42.5", 5, "48"}, {"", 5, "5"}, {"7.25", 5, "12"}};
    for (const auto& row : steps) {
        bot->lblVol.setCaption(row.from);
        stepVolume(*bot, row.by);
        EXPECT_EQ(bot->lblVol.caption(), row.to) << row.from;
        runtime.advance(1000); // the stored level follows within a second
        EXPECT_EQ(bot->settings().read(keys::Volume), row.to);
    }
    toggleMute(*bot);
    EXPECT_TRUE(media.muted && bot->muted());
    toggleMute(*bot);
    EXPECT_FALSE(media.muted || bot->muted());
    EXPECT_TRUE(room.sent.empty());

    bot->setPlayMode(PlayMode::None);
    stopClick(*bot);
    EXPECT_FALSE(seekBy(*bot, 5)) << "nothing plays";
}

} // namespace
} // namespace tavu::test

namespace tavu::test {
namespace {

TEST_F(RemotePlayerTest, TheQueueGivesTheDesktopANextSong)
{
    bot->settings().write(keys::QueueEnabled, "1");
    bot->songList.select(2);
    bot->playlistRows.select(2); // the last song
    EXPECT_FALSE(remote.state().canGoNext);
    bot->upNext->queue.add({"Abc.mp3", {}, {}});
    EXPECT_TRUE(remote.state().canGoNext) << "a queued song is next";
    const int before = changes;
    remote.next();
    EXPECT_GT(changes, before);
    EXPECT_EQ(media.opened.back(), music.file("Abc.mp3"));
    EXPECT_TRUE(bot->upNext->queue.empty());
    EXPECT_TRUE(remote.state().canGoNext);
}

} // namespace
} // namespace tavu::test
