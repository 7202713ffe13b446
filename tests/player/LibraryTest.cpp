#include "player/Library.h"
#include "platform/SqliteLibraryCache.h"
#include "platform/TagLibReader.h"
#include "player/LibraryCache.h"
#include "player/LibraryOptions.h"
#include "player/LibraryScanner.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "support/Mp3Writer.h"
#include "support/TagWriter.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tavu::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

struct OptionsCase {
    const char* subfolders;
    const char* formats;
    const char* titles;
    LibraryOptions expected;
};

// The formats the settings offer and the ones a new program directory plays are formats the
// player plays: the three lists cannot drift apart.
TEST(LibraryFormats, EveryFormatOfferedOrChosenIsPlayable)
{
    std::vector<std::string> offered;
    for (const FormatChoice& choice : formatChoices())
        offered.emplace_back(choice.extension);
    EXPECT_EQ(parseFormats(formatsText(offered)), offered);
    const std::vector<std::string> chosen = parseFormats(kNewProgramFormats);
    EXPECT_EQ(formatsText(chosen), kNewProgramFormats);
}

TEST(LibraryOptions, ReadFromTheSettingsWithTheClassicRulesForMissingKeys)
{
    const OptionsCase cases[] = {
        {nullptr, nullptr, nullptr, {}},
        {"1", "flac ogg opus", "tags", {true, {"flac", "ogg", "opus"}, true}},
        {"0", "", "files", {}},
        // Letter case, dots and repeats are ignored; formats the player does not play are dropped.
        {" 1 ", "FLAC .Ogg mp4 flac wav", "Tags", {true, {"flac", "ogg", "wav"}, true}},
        {"yes", "aac", "titles", {false, {"aac"}, false}},
        {"yes", "midi", "titles", {}},
    };
    for (const OptionsCase& c : cases) {
        TestDir dir;
        const Settings settings(dir.file("Tavu.ini"));
        if (c.subfolders)
            settings.write(keys::LibrarySubfolders, c.subfolders);
        if (c.formats)
            settings.write(keys::LibraryFormats, c.formats);
        if (c.titles)
            settings.write(keys::LibraryTitles, c.titles);
        EXPECT_EQ(readLibraryOptions(settings), c.expected) << (c.formats ? c.formats : "(none)");
    }
}

TEST(LibraryOptions, OnlyChangedChoicesAreWritten)
{
    TestDir dir;
    const Settings settings(dir.file("Tavu.ini"));
    settings.write(keys::Volume, "40");
    const std::string before = readBytes(settings.path());
    writeLibraryOptions(settings, {});
    EXPECT_EQ(readBytes(settings.path()), before); // a classic file stays classic
    writeLibraryOptions(settings, {false, {"opus"}, true});
    EXPECT_EQ(settings.read(keys::LibrarySubfolders), "");
    EXPECT_EQ(settings.read(keys::LibraryFormats), "opus");
    EXPECT_EQ(settings.read(keys::LibraryTitles), "tags");
}

TEST(LibraryOptions, SongsAndFileTitles)
{
    const LibraryOptions classic;
    const LibraryOptions flac{false, {"flac", "mp3"}, false};
    struct Row {
        const char* name;
        bool classicSong, flacSong;
        const char* classicTitle;
        const char* flacTitle;
    };
    for (const Row& r : {Row{"a.mp3", true, true, "a", "a"}, Row{"A.MP3", false, true, "A", "A"},
                         Row{"b.FLAC", false, true, "b.FLAC", "b"}, Row{"c.mp3.txt", true, true, "c.txt", "c.txt"},
                         Row{"flac", false, false, "flac", "flac"}, Row{"Dir.flac/x.ogg", false, false, "", ""}}) {
        EXPECT_EQ(isSong(r.name, classic), r.classicSong) << r.name;
        EXPECT_EQ(isSong(r.name, flac), r.flacSong) << r.name;
        if (*r.classicTitle) {
            EXPECT_EQ(fileTitle(r.name, classic), r.classicTitle) << r.name;
            EXPECT_EQ(fileTitle(r.name, flac), r.flacTitle) << r.name;
        }
    }
}

class LibraryTest : public ::testing::Test {
protected:
    void touch(const std::string& name, const std::string& bytes = "x")
    {
        fs::create_directories((music.path() / name).parent_path());
        writeBytes(music.file(name), bytes);
    }
    void song(const std::string& name, const std::string& title, const std::string& artist = {})
    {
        std::vector<TextFrame> frames{{"TIT2", title}};
        if (!artist.empty())
            frames.push_back({"TPE1", artist});
        touch(name, id3v2Tag(4, TextEncoding::Utf8, frames) + Mp3Writer().silence(2).bytes());
    }
    LibraryListing list(const LibraryOptions& options)
    {
        auto listing = library.list(music.str(), options);
        EXPECT_TRUE(listing.has_value());
        return listing ? std::move(*listing) : LibraryListing{};
    }

    TestDir music;
    TestDir home;
    TagLibReader tags;
    Library library;
};

TEST_F(LibraryTest, SubfoldersAreListedByPathInSongListOrderPastBadEntries)
{
    for (const char* name :
         {"b.mp3", "Artist/Album/02 two.flac", "Artist/Album/01 one.OGG", "Artist/cover.jpg", "artist - loose.opus",
          "Zed/x.mp3", ".hidden/secret.mp3", "Artist/.hidden.mp3", "Artist/Album/notes.txt"})
        touch(name);
    fs::create_directory_symlink("..", music.path() / "Artist" / "loop");      // back to the top
    fs::create_directory_symlink("../Artist", music.path() / "Zed" / "again"); // a second way in
    fs::create_symlink("missing.mp3", music.path() / "Zed" / "dangling.mp3");  // goes nowhere
    fs::create_symlink("../b.mp3", music.path() / "Zed" / "linked.mp3");       // a song elsewhere
    ASSERT_EQ(::mkfifo(music.file("Zed/pipe.mp3").c_str(), 0600), 0);          // would block a reader
    touch("Zed/bad \xFF name.mp3");                                            // not UTF-8

    const LibraryOptions options{true, {"flac", "ogg", "opus"}, false};
    // By the whole path without regard to case: "artist - " sorts before "artist/".
    EXPECT_EQ(list(options).files, (Names{"artist - loose.opus", "Artist/Album/01 one.OGG", "Artist/Album/02 two.flac",
                                          "b.mp3", "Zed/linked.mp3", "Zed/x.mp3"}));
    // Without sub-folders, only the directory's own songs; the classic options list every plain file.
    EXPECT_EQ(list({false, {"opus"}, false}).files, (Names{"artist - loose.opus", "b.mp3"}));
    EXPECT_EQ(list({}).files.size(), 2u);
    EXPECT_FALSE(library.list(music.str() + "/gone", options).has_value());
}

TEST_F(LibraryTest, TitlesComeFromTagsOrTheFileName)
{
    library.setTagReader(&tags);
    song("A/one.mp3", "First", "Band");
    song("A/two.mp3", "Second");
    song("A/three.mp3", "");
    touch("A/four.flac", "not a flac file");
    LibraryListing listing = list({true, {"flac"}, true});
    library.adopt(listing);
    EXPECT_EQ(library.title("A/one.mp3"), "Band - First");
    EXPECT_EQ(library.title("A/two.mp3"), "Second");
    EXPECT_EQ(library.title("A/three.mp3"), "A/three");
    EXPECT_EQ(library.title("A/four.flac"), "A/four");
    EXPECT_EQ(library.title("not/listed.mp3"), "not/listed");
    EXPECT_EQ(library.tagTitle("A/two.mp3", 3), std::optional<std::string_view>("Second"));

    // A line break in a tag would split a reply line.
    song("A/one.mp3", "Evil\r\nPRIVMSG #x :hi", "Band");
    listing = list({true, {}, true});
    library.adopt(listing);
    EXPECT_EQ(library.title("A/one.mp3"), "Band - Evil  PRIVMSG #x :hi");
}

TEST_F(LibraryTest, TheCacheReadsOnlyWhatChanged)
{
    SqliteLibraryCache cache(home.file("Library.db"));
    library.setTagReader(&tags);
    library.setCache(&cache);
    for (int folder = 0; folder < 4; ++folder)
        for (int i = 0; i < 5; ++i)
            song("F" + std::to_string(folder) + "/s" + std::to_string(i) + ".mp3", "T" + std::to_string(i));
    const LibraryOptions options{true, {}, true};
    EXPECT_EQ(list(options).tagsRead, 20u);
    EXPECT_EQ(list(options).tagsRead, 0u);

    song("F1/s2.mp3", "Changed title");  // new size
    song("F3/new.mp3", "New");           // new file
    fs::remove_all(music.path() / "F2"); // a folder gone
    const fs::path touched = music.path() / "F0" / "s0.mp3";
    fs::last_write_time(touched, fs::last_write_time(touched) + std::chrono::seconds(5)); // same size, new time
    LibraryListing listing = list(options);
    EXPECT_EQ(listing.tagsRead, 3u);
    EXPECT_EQ(listing.files.size(), 16u);
    library.adopt(listing);
    EXPECT_EQ(library.title("F1/s2.mp3"), "Changed title");

    // A new program on the same cache file reads nothing; the vanished folder is forgotten.
    SqliteLibraryCache again(home.file("Library.db"));
    library.setCache(&again);
    EXPECT_EQ(list(options).tagsRead, 0u);
    EXPECT_EQ(again.foldersBelow(music.str()).size(), 3u);
    EXPECT_EQ(again.rebuilds(), 0);
}

// File times move on in ticks of a few milliseconds: this returns once a file written now would
// not share the given file's change time.
void waitForTheNextFileTime(const std::string& path)
{
    const auto changed = [](const std::string& file) {
        struct stat st {};
        ::stat(file.c_str(), &st);
        return std::pair(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    };
    const std::string probe = path + ".tick";
    do
        writeBytes(probe, "x");
    while (changed(probe) == changed(path));
    fs::remove(probe);
}

// A tag edit that keeps the size and the modification time (a tagger's "keep file time"), and a
// file put in place by rename with the old size and time, are read again.
TEST_F(LibraryTest, TagEditsThatKeepSizeAndTimeAreSeen)
{
    SqliteLibraryCache cache(home.file("Library.db"));
    library.setTagReader(&tags);
    library.setCache(&cache);
    const LibraryOptions options{false, {}, true};
    const struct {
        const char* how;
        std::function<void(const std::string& path, const std::string& bytes)> put;
    } edits[] = {
        {"in place", [](const std::string& path, const std::string& bytes) { writeBytes(path, bytes); }},
        {"by rename",
         [](const std::string& path, const std::string& bytes) {
             writeBytes(path + ".new", bytes);
             fs::rename(path + ".new", path);
         }},
    };
    char letter = 'A';
    for (const auto& edit : edits) {
        song("s.mp3", std::string("Title ") + letter);
        EXPECT_EQ(list(options).tagsRead, 1u) << edit.how;
        EXPECT_EQ(list(options).tagsRead, 0u) << edit.how;
        const std::string path = music.file("s.mp3");
        waitForTheNextFileTime(path);
        const auto time = fs::last_write_time(path);
        std::string bytes = readBytes(path);
        const std::size_t at = bytes.find(std::string("Title ") + letter) + 6;
        bytes[at] = ++letter; // the same size
        edit.put(path, bytes);
        fs::last_write_time(path, time);
        LibraryListing listing = list(options);
        EXPECT_EQ(listing.tagsRead, 1u) << edit.how;
        library.adopt(listing);
        EXPECT_EQ(library.title("s.mp3"), std::string("Title ") + letter) << edit.how;
        ++letter;
    }
}

// A cache file that is broken, cut short, read-only, a folder, a pipe, held by another program or
// given a stranger's write-ahead log: the listing has the right songs, the owner is told once, and
// only a broken file is removed.
struct HostileCache {
    const char* name;
    // Spoils the cache file, which holds a good listing; returns what ends the spoiling, if anything.
    std::function<std::function<void()>(const std::string& db, const TestDir& home)> spoil;
    const char* told; // a part of the notice, or "" for none
    // Whether the cache still holds the good listing once it is left alone again.
    bool kept;
};

// A second program that holds a write lock on the whole file until it is killed.
std::function<void()> lockedByAnotherProgram(const std::string& db)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(db.c_str(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        const bool locked = fd >= 0 && ::fcntl(fd, F_SETLKW, &lock) == 0;
        (void)!::write(ready[1], locked ? "y" : "n", 1);
        for (;;)
            ::pause();
    }
    char byte = 0;
    (void)!::read(ready[0], &byte, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(byte, 'y') << "the second program holds the lock";
    return [child] {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    };
}

class HostileCacheTest : public LibraryTest, public ::testing::WithParamInterface<HostileCache> {};

TEST_P(HostileCacheTest, ListsTheRightSongsAndSaysOnce)
{
    library.setTagReader(&tags);
    song("a.mp3", "First");
    song("b.mp3", "Second");
    const LibraryOptions options{false, {}, true};
    const std::string db = home.file("Library.db");
    {
        SqliteLibraryCache good(db);
        library.setCache(&good);
        list(options);
    }
    const std::function<void()> release = GetParam().spoil(db, home);
    std::vector<std::string> told;
    {
        SqliteLibraryCache cache(db);
        cache.onNotice = [&told](const std::string& text) { told.push_back(text); };
        library.setCache(&cache);
        for (int round = 0; round < 2; ++round) {
            LibraryListing listing = list(options);
            EXPECT_EQ(listing.files, (Names{"a.mp3", "b.mp3"}));
            library.adopt(listing);
            EXPECT_EQ(library.title("a.mp3"), "First");
            EXPECT_EQ(library.title("b.mp3"), "Second");
        }
    }
    if (release)
        release();
    if (*GetParam().told) {
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0].find(GetParam().told), std::string::npos) << told[0];
        EXPECT_NE(told[0].find(db), std::string::npos) << told[0];
    } else {
        EXPECT_TRUE(told.empty()) << told[0];
    }
    if (GetParam().kept) {
        SqliteLibraryCache again(db);
        EXPECT_EQ(again.folder(music.str()).size(), 2u);
        EXPECT_EQ(again.rebuilds(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileCacheTest,
    ::testing::Values(
        HostileCache{"Garbage",
                     [](const std::string& db, const TestDir&) {
                         writeBytes(db, std::string(5000, 'Z'));
                         return std::function<void()>();
                     },
                     "is made anew", false},
        HostileCache{"CutShort",
                     [](const std::string& db, const TestDir&) {
                         writeBytes(db, readBytes(db).substr(0, 1500));
                         return std::function<void()>();
                     },
                     "is made anew", false},
        HostileCache{"ReadOnly",
                     [](const std::string& db, const TestDir&) {
                         ::chmod(db.c_str(), 0444);
                         return std::function<void()>([db] { ::chmod(db.c_str(), 0644); });
                     },
                     "read-only", true},
        HostileCache{"AFolder",
                     [](const std::string& db, const TestDir&) {
                         fs::remove(db);
                         fs::create_directory(db);
                         writeBytes(db + "/keep", "mine");
                         return std::function<void()>([db] { EXPECT_EQ(readBytes(db + "/keep"), "mine"); });
                     },
                     "not a plain file", false},
        HostileCache{"APipe",
                     [](const std::string& db, const TestDir&) {
                         fs::remove(db);
                         ::mkfifo(db.c_str(), 0600);
                         return std::function<void()>([db] { EXPECT_TRUE(fs::is_fifo(db)); });
                     },
                     "not a plain file", false},
        HostileCache{"LockedByAnotherProgram",
                     [](const std::string& db, const TestDir&) { return lockedByAnotherProgram(db); },
                     "another program holds it", true},
        HostileCache{"AStrangersLog",
                     [](const std::string& db, const TestDir& home) {
                         // The write-ahead log of another cache, taken while that one is open.
                         SqliteLibraryCache other(home.file("Other.db"));
                         other.begin();
                         for (int i = 0; i < 50; ++i)
                             other.storeFolder("/elsewhere/" + std::to_string(i), {{"x.mp3", 1, 2, "X", ""}});
                         other.commit();
                         fs::copy_file(home.file("Other.db-wal"), db + "-wal", fs::copy_options::overwrite_existing);
                         return std::function<void()>();
                     },
                     "", true}),
    [](const auto& row) { return std::string(row.param.name); });

// A folder that changes while it is read lists as it was before the change or as it is after it:
// a song renamed in the middle of the read is there once, under one of its names.
TEST(LibraryScanner, AFolderChangedWhileItIsReadListsAsBeforeOrAfter)
{
    TestDir music;
    constexpr int kSongs = 20000;
    for (int i = 0; i < kSongs; ++i)
        writeBytes(music.file("s" + std::to_string(i) + ".mp3"), "");
    const LibraryOptions options{true, {}, false};
    std::string from = music.file("s0.mp3");
    // The rename comes about halfway through a read, where it is most likely to split one.
    ASSERT_TRUE(scanLibrary(music.str(), options, false)); // the folder has settled after this one
    const auto begun = std::chrono::steady_clock::now();
    ASSERT_TRUE(scanLibrary(music.str(), options, false));
    const auto halfARead = (std::chrono::steady_clock::now() - begun) / 2;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        const std::string to = music.file("moved" + std::to_string(round) + ".mp3");
        std::atomic<bool> started = false;
        std::thread renamer([&] {
            while (!started)
                std::this_thread::yield();
            std::this_thread::sleep_for(halfARead);
            fs::rename(from, to);
        });
        started = true;
        const auto folders = scanLibrary(music.str(), options, false);
        renamer.join();
        ASSERT_TRUE(folders && folders->size() == 1u);
        const std::vector<ScannedSong>& songs = folders->front().songs;
        ASSERT_EQ(songs.size(), std::size_t(kSongs));
        const auto named = [&](const std::string& path) {
            const std::string name = fs::path(path).filename().string();
            return std::count_if(songs.begin(), songs.end(), [&](const ScannedSong& s) { return s.name == name; });
        };
        EXPECT_EQ(named(from) + named(to), 1);
        from = to;
    }
}

TEST(SqliteLibraryCache, ABrokenFileIsMadeAnew)
{
    const LibraryCache::Song song{"a.mp3", 10, 20, "Title", "Artist"};
    for (const std::string& bytes :
         {std::string(5000, '\x5A'), std::string("SQLite format 3\0", 16) + "cut off", std::string()}) {
        TestDir home;
        const std::string path = home.file("Library.db");
        writeBytes(path, bytes);
        SqliteLibraryCache cache(path);
        cache.begin();
        EXPECT_TRUE(cache.folder("/music").empty());
        cache.storeFolder("/music", {song});
        cache.commit();
        EXPECT_EQ(cache.folder("/music"), std::vector<LibraryCache::Song>{song});
        EXPECT_EQ(cache.rebuilds(), bytes.empty() ? 0 : 1);
    }
}

// The file of the version before the measurements keeps its tags and gains the measurements; two
// connections (the listing's and the player's) may both find it old.
TEST(SqliteLibraryCache, AFileWithoutMeasurementsKeepsItsTagsAndGainsThem)
{
    TestDir home;
    const std::string path = home.file("Library.db");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, R"(
            CREATE TABLE folders(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE);
            CREATE TABLE songs(folder INTEGER NOT NULL, name TEXT NOT NULL, size INTEGER NOT NULL,
                               mtime INTEGER NOT NULL, ctime INTEGER NOT NULL, inode INTEGER NOT NULL,
                               title TEXT NOT NULL, artist TEXT NOT NULL, PRIMARY KEY(folder, name)) WITHOUT ROWID;
            INSERT INTO folders VALUES(1, '/music');
            INSERT INTO songs VALUES(1, 'a.flac', 10, 20, 30, 40, 'Title', 'Artist');
            INSERT INTO songs VALUES(1, 'b.m4a', 10, 20, 30, 41, '', '');
            INSERT INTO songs VALUES(1, 'c.WV', 10, 20, 30, 42, '', '');
            PRAGMA user_version = 2;)",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    // The M4A and WavPack songs, whose tags that version never read, are read anew.
    const std::vector<LibraryCache::Song> kept{{"a.flac", 10, 20, "Title", "Artist", 30, 40}};
    const LoudnessStore::Entry measured{10, 20, 40, MeasuredLoudness{-7.5, 0.25}};
    const LoudnessStore::Entry broken{5, 6, 7, std::nullopt};
    {
        SqliteLibraryCache listing(path), player(path);
        EXPECT_FALSE(player.loudness("/music/a.flac"));
        EXPECT_EQ(listing.folder("/music"), kept);
        player.storeLoudness("/music/a.flac", measured);
        player.storeLoudness("/music/broken.mp3", broken);
        EXPECT_EQ(listing.rebuilds() + player.rebuilds(), 0);
    }
    SqliteLibraryCache again(path);
    EXPECT_EQ(again.folder("/music"), kept);
    EXPECT_EQ(again.loudness("/music/a.flac"), measured);
    EXPECT_EQ(again.loudness("/music/broken.mp3"), broken);
    EXPECT_EQ(again.rebuilds(), 0);
    // A new listing of the folder leaves the measurements alone.
    again.begin();
    again.storeFolder("/music", {});
    again.commit();
    EXPECT_EQ(again.loudness("/music/a.flac"), measured);
}

TEST(SqliteLibraryCache, AWriterKilledInTheMiddleLeavesTheLastCommit)
{
    TestDir home;
    const std::string path = home.file("Library.db");
    {
        SqliteLibraryCache cache(path);
        cache.begin();
        cache.storeFolder("/music", {{"kept.mp3", 1, 2, "Kept", ""}});
        cache.commit();
    }
    for (int round = 0; round < 2; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Commits one folder, then writes a listing larger than its page cache, so that part of
            // it is in the file, and is killed before it commits that.
            SqliteLibraryCache cache(path);
            cache.begin();
            cache.storeFolder("/music/done" + std::to_string(round), {{"d.mp3", 1, 2, "Done", ""}});
            cache.commit();
            cache.begin();
            for (int folder = 0; folder < 6000; ++folder)
                cache.storeFolder("/music/" + std::to_string(folder), {{"x.mp3", 1, 2, std::string(500, 'x'), ""}});
            ::raise(SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        std::error_code ec;
        EXPECT_GT(fs::file_size(path + "-wal", ec), 1024u * 1024u); // what the killed writer had written
        SqliteLibraryCache cache(path);
        EXPECT_EQ(cache.folder("/music"), (std::vector<LibraryCache::Song>{{"kept.mp3", 1, 2, "Kept", ""}}));
        Names expected{"/music", "/music/done0"};
        if (round == 1)
            expected.push_back("/music/done1");
        EXPECT_EQ(cache.foldersBelow("/music"), expected);
        EXPECT_EQ(cache.rebuilds(), 0);
    }
}

TEST(SqliteLibraryCache, FoldersBelowARootAreThoseInsideIt)
{
    TestDir home;
    SqliteLibraryCache cache(home.file("Library.db"));
    for (const char* folder : {"/m", "/m/a", "/m/a/b", "/m-other", "/ma", "/m0", "/x"})
        cache.storeFolder(folder, {{"s.mp3", 1, 1, "", ""}});
    EXPECT_EQ(cache.foldersBelow("/m"), (Names{"/m", "/m/a", "/m/a/b"}));
    cache.forgetFolder("/m/a");
    EXPECT_EQ(cache.foldersBelow("/m"), (Names{"/m", "/m/a/b"}));
    EXPECT_TRUE(cache.folder("/m/a").empty());
    EXPECT_FALSE(fs::exists(home.file("nothing.db")));
}

TEST(SqliteLibraryCache, NoFileUntilItIsUsed)
{
    TestDir home;
    {
        SqliteLibraryCache cache(home.file("Library.db"));
    }
    EXPECT_FALSE(fs::exists(home.file("Library.db")));
}

} // namespace
} // namespace tavu::test
