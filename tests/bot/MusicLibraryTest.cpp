#include "bot/MusicLibrary.h"
#include "app/CommandLine.h"
#include "bot/DirectoryChooser.h"
#include "bot/Lifecycle.h"
#include "bot/PlayerControls.h"
#include "bot/ShowSongTag.h"
#include "platform/SqliteLibraryCache.h"
#include "platform/TagLibReader.h"
#include "settings/ProfileFile.h"
#include "support/EncodedSongs.h"
#include "support/Mp3Writer.h"
#include "support/SimRuntimeFixture.h"
#include "support/TagWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Counts the files whose tags are read.
class CountingReader : public TagReader {
public:
    Id3Tag read(const std::string& path) const override
    {
        ++reads;
        return real.read(path);
    }
    TagLibReader real;
    mutable int reads = 0;
};

// A program directory as this version makes it, with a nested library of every format: songs
// tagged by the encoders, one by a tagger's ID3v2.4 UTF-8 tag, one broken file.
class MusicLibraryTest : public BotFixture {
protected:
    MusicLibraryTest()
    {
        fs::remove(settingsPath());
        EXPECT_EQ(prepareProgramDir(dir.path()), "");
        newBot();
        add(Encoding::Flac, "The Band/First/01 sky.flac", {"Blue Sky", "The Band", "First", "2004", "", ""});
        add(Encoding::Vorbis, "The Band/First/02 rain.ogg", {"Rain", "The Band", "", "", "Vorbis note", ""});
        add(Encoding::Opus, "Solo/night.opus", {"Night Song", "", "", "", "", ""});
        add(Encoding::Mp3Vbr, "Solo/Deep/Deeper/untagged.mp3", {});
        writeBytes(music.file("Solo/utf8.mp3"), id3v2Tag(4, TextEncoding::Utf8, {{"TIT2", kUtf8}, {"TPE1", "Kino"}}) +
                                                    Mp3Writer().silence(4).bytes());
        fs::create_directory(music.path() / "Broken");
        writeBytes(music.file("Broken/bad.flac"), std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(40, '\0'));
        fs::create_directory_symlink("..", music.path() / "Solo" / "up");
        bot->settings().write(keys::Mp3Directory, music.str());
        bot->settings().write(keys::Handle, "me");
        bot->settings().write(keys::Trig, "!");
    }

    void newBot()
    {
        BotServices with = services();
        with.tags = &tags;
        with.libraryCache = &cache;
        bot = std::make_unique<Bot>(runtime, room, dir.str(), with);
    }
    void add(Encoding encoding, const std::string& name, const SongTags& songTags)
    {
        fs::create_directories((music.path() / name).parent_path());
        ASSERT_TRUE(encodeSong(encoding, music.file(name), songTags, 0.3)) << name;
    }
    void start()
    {
        ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
        runtime.drain();
        room.sent.clear();
    }

    static inline const std::string kUtf8 = "\xD0\x93\xD1\x80\xD1\x83\xD0\xBF\xD0\xBF\xD0\xB0 \xE2\x99\xAB"; // Группа ♫
    CountingReader tags;
    SqliteLibraryCache cache{dir.file("Library.db")};
};

TEST_F(MusicLibraryTest, AFreshProgramAnnouncesEverySongOfTheTree)
{
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    EXPECT_EQ(room.lines().back(), defaultReply(" Mp3's - [6] "));
    EXPECT_EQ(bot->songList.items(),
              (Names{"Broken/bad.flac", "Solo/Deep/Deeper/untagged.mp3", "Solo/night.opus", "Solo/utf8.mp3",
                     "The Band/First/01 sky.flac", "The Band/First/02 rain.ogg"}));
    EXPECT_EQ(bot->playlistRows.items(), bot->songList.items());
    EXPECT_EQ(tags.reads, 6);
    EXPECT_EQ(songTitle(*bot, "The Band/First/01 sky.flac"), "The Band - Blue Sky");
    EXPECT_EQ(songTitle(*bot, "Solo/night.opus"), "Night Song");
    EXPECT_EQ(songTitle(*bot, "Solo/utf8.mp3"), "Kino - " + kUtf8);
    EXPECT_EQ(songTitle(*bot, "Solo/Deep/Deeper/untagged.mp3"), "Solo/Deep/Deeper/untagged");

    // The next start takes the tags from the cache.
    room.sent.clear();
    newBot();
    ASSERT_TRUE(test::finish(runtime, beginSession(*bot)));
    EXPECT_EQ(room.lines().back(), defaultReply(" Mp3's - [6] "));
    EXPECT_EQ(tags.reads, 6);
}

TEST_F(MusicLibraryTest, PlayFindsASongByItsTagTitleAndAnnouncesIt)
{
    start();
    ownerSays("!play sky");
    EXPECT_EQ(room.lines(), Names{defaultReply(" the band - blue <u>sky</U> ", " Playing ")});
    EXPECT_EQ(media.openPath, music.file("The Band/First/01 sky.flac"));
    EXPECT_EQ(bot->lblSong.caption(), "The Band - Blue Sky");
    EXPECT_EQ(bot->nowPlaying().title, "The Band - Blue Sky");
    EXPECT_EQ(bot->id3.tag.album, "First"); // every kind of tag in the ID3 window
    // The song's Vorbis comment for the desktop's media controls and notifications too.
    EXPECT_EQ(bot->nowPlaying().tag.artist, "The Band");
    room.sent.clear();
    ownerSays("!mp3?");
    EXPECT_EQ(room.lines(), Names{defaultReply(" The Band - Blue Sky ", " Current Mp3: ")});

    // By the file name too, and the dialogue lists the titles.
    room.sent.clear();
    ownerSays("!play .o");
    runtime.advance(1500);
    ownerSays("y");
    runtime.advance(5000);
    const Names lines = room.lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[2], defaultReply(" [1]night song ")); // found by its file name
    EXPECT_EQ(lines[3], defaultReply(" [2]the band - rain "));
}

TEST_F(MusicLibraryTest, ABrokenFileIsListedWithoutATagAndRefusedByItsTitle)
{
    start();
    bot->songList.select(0);
    showSongTag(*bot);
    EXPECT_EQ(bot->id3.tag, Id3Tag{});
    fs::remove(music.file("Broken/bad.flac")); // the fake player opens any file; this one it cannot
    bot->songList.select(1);
    ownerSays("!prev");
    EXPECT_EQ(room.lines(), Names{defaultReply(" Cannot play Broken/bad ")});
}

TEST_F(MusicLibraryTest, ADirectoryWithSongsOnlyInSubfoldersIsTakenWithSubfolders)
{
    start();
    TestDir nested;
    fs::create_directories(nested.path() / "A" / "B");
    writeBytes(nested.file("A/B/x.mp3"), Mp3Writer().silence(2).bytes());
    ownerSays("!dir " + nested.str());
    EXPECT_EQ(room.lines(), Names{defaultReply(" Directory set to: [" + nested.str() + "] ")});
    EXPECT_EQ(bot->songList.items(), Names{"A/B/x.mp3"});

    // Without sub-folders the library's top folder holds no song of its own.
    room.sent.clear();
    bot->settings().write(keys::LibrarySubfolders, "0");
    ownerSays("!dir " + music.str());
    EXPECT_EQ(room.lines(), Names{defaultReply(" Error, Invalid Directory! ")});
    EXPECT_EQ(bot->dir, nested.str());
    EXPECT_EQ(bot->songList.items(), Names{"A/B/x.mp3"});
}

// The listing runs on a worker while events go on; lines that come meanwhile, for the commands and
// for the selection dialogue, wait for it, and a cut-short listing (the program told to end)
// changes nothing and says nothing.
TEST_F(MusicLibraryTest, LinesThatComeDuringAListingAreAnsweredAfterItInTheirOrder)
{
    start();
    runtime.setRunEventsWhileWaiting(true);
    bot->played.setCaption("7");
    runtime.post([&] {
        ownerSays("!played?");
        ownerSays("!dir?");
    });
    ownerSays("!refdir");
    runtime.drain();
    EXPECT_EQ(room.lines(), (Names{defaultReply(" Directory Refreshed [" + music.str() + "] "),
                                   defaultReply(" Total Mp3's Played - [7] "),
                                   defaultReply(" Current directory: [" + music.str() + "] ", "Tavu ")}));

    room.sent.clear();
    const Names before = bot->songList.items();
    runtime.post([&] { runtime.quit(); });
    TestDir other;
    writeBytes(other.file("x.mp3"), Mp3Writer().silence(2).bytes());
    ownerSays("!dir " + other.str());
    EXPECT_EQ(room.lines(), Names{});
    EXPECT_EQ(bot->dir, music.str());
    EXPECT_EQ(bot->songList.items(), before);
}

// Every road by which a song starts reads its tag once, for the ID3 fields and the desktop alike.
TEST_F(MusicLibraryTest, EachStartReadsTheTagOnce)
{
    start();
    for (const char* line : {"!play sky", "!next", "!prev", "!ran"}) {
        const int before = tags.reads;
        ownerSays(line);
        EXPECT_EQ(tags.reads, before + 1) << line;
        EXPECT_EQ(bot->id3.path, bot->nowPlaying().path) << line;
        EXPECT_EQ(bot->id3.tag, bot->nowPlaying().tag) << line;
    }
    const int before = tags.reads;
    playClick(*bot);
    EXPECT_EQ(tags.reads, before + 1) << "the play button";
}

TEST_F(MusicLibraryTest, RefdirReadsOnlyTheChangedSongs)
{
    start();
    const int before = tags.reads;
    add(Encoding::Opus, "Solo/new.opus", {"Brand New", "", "", "", "", ""});
    ownerSays("!refdir");
    EXPECT_EQ(tags.reads, before + 1);
    EXPECT_EQ(bot->songList.count(), 7u);
    EXPECT_EQ(songTitle(*bot, "Solo/new.opus"), "Brand New");
}

TEST_F(MusicLibraryTest, TheChooserStoresTheChoicesWithTheDirectory)
{
    start();
    TestDir other;
    writeBytes(other.file("top.ogg"), "x");
    EXPECT_FALSE(test::finish(runtime, chooseMusicDirectory(*bot, other.str(), LibraryOptions{}))); // no MP3 there
    EXPECT_EQ(bot->settings().read(keys::LibraryFormats), "flac ogg oga opus m4a");
    EXPECT_TRUE(test::finish(runtime, chooseMusicDirectory(*bot, other.str(), LibraryOptions{false, {"ogg"}, false})));
    EXPECT_EQ(bot->settings().read(keys::LibrarySubfolders), "0");
    EXPECT_EQ(bot->settings().read(keys::LibraryFormats), "ogg");
    EXPECT_EQ(bot->settings().read(keys::LibraryTitles), "files");
    EXPECT_EQ(bot->songList.items(), Names{"top.ogg"});
    EXPECT_EQ(songTitle(*bot, "top.ogg"), "top");
}

} // namespace
} // namespace tavu::test
