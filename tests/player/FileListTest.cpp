#include "player/FileList.h"
#include "support/Fakes.h"
#include "support/TestDir.h"
#include "util/ListBox.h"
#include "util/LoadFontList.h"
#include "util/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tavu::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class FileListTest : public ::testing::Test {
protected:
    void touch(const std::string& name, const std::string& bytes = "x") { writeBytes(music.file(name), bytes); }
    std::size_t fill(const std::string& directory)
    {
        return fillSongList(songFiles, songList, playlistRows, directory);
    }

    TestDir music;
    FileList songFiles;
    ListBox songList{true};
    ListBox playlistRows;
};

TEST_F(FileListTest, SongsAreTheDotMp3FilesInOrderWithoutRegardToCase)
{
    for (const char* name : {"b.mp3", "A.mp3", "c.MP3", "notes.txt", "a.mp3.txt", ".hidden.mp3", "real.dat"})
        touch(name);
    fs::create_directory(music.path() / "sub.mp3");
    fs::create_symlink("real.dat", music.path() / "link.mp3");
    fs::create_symlink("missing.dat", music.path() / "dangling.mp3");
    fs::create_symlink("loop.mp3", music.path() / "loop.mp3");
    fs::create_directory_symlink("sub.mp3", music.path() / "dirlink.mp3");

    EXPECT_EQ(fill(music.str()), 4u);
    const Names songs{"A.mp3", "a.mp3.txt", "b.mp3", "link.mp3"};
    EXPECT_EQ(songList.items(), songs);
    EXPECT_EQ(playlistRows.items(), songs);
    EXPECT_EQ(songFiles.items(), (Names{"A.mp3", "a.mp3.txt", "b.mp3", "c.MP3", "link.mp3", "notes.txt", "real.dat"}));
    EXPECT_EQ(songFiles.path(), music.str());
    EXPECT_EQ(songPath(songFiles, "b.mp3"), music.str() + "/b.mp3");
}

TEST_F(FileListTest, OrderAgreesWithTheSortedSongList)
{
    // Latin-1 letters, Š/Ÿ and names equal but for case: the file list's order must be the sorted
    // list box's order, or the playlist window's mirror would show songs at the wrong index.
    for (const char* name : {"Zebra.mp3", "\xC3\xA4pfel.mp3", "\xC3\x84pfel.mp3", "apfel.mp3", "APFEL.mp3",
                             "\xC5\xA0"
                             "ala.mp3",
                             "sala.mp3", "\xC5\xB8ves.mp3", "_under.mp3", "10.mp3", "9.mp3"})
        touch(name);
    fill(music.str());
    EXPECT_TRUE(std::is_sorted(songFiles.items().begin(), songFiles.items().end(),
                               [](const auto& a, const auto& b) { return compareNoCase(a, b) < 0; }));
    EXPECT_EQ(playlistRows.items(), songList.items());
}

TEST_F(FileListTest, NamesThatAreNotUtf8AreListedAndOpenByTheirRealPath)
{
    const std::string latin1 = "Caf\xE9 au lait.mp3";
    const std::string broken = "\xFF\xFE.mp3";
    touch(latin1, "latin-1 song");
    touch(broken, "broken song");
    touch("Cafe.mp3");

    EXPECT_EQ(fill(music.str()), 3u);
    EXPECT_NE(std::find(songList.items().begin(), songList.items().end(), latin1), songList.items().end());
    EXPECT_EQ(readBytes(songPath(songFiles, latin1)), "latin-1 song");
    EXPECT_EQ(readBytes(songPath(songFiles, broken)), "broken song");
}

TEST_F(FileListTest, StartsWithNoDirectorySoAMissingSavedDirectoryGivesNoSongs)
{
    // The working directory holds songs; a missing saved directory must not list them.
    touch("here.mp3");
    const fs::path before = fs::current_path();
    fs::current_path(music.path());
    const std::size_t songs = fill(music.str() + "/gone");
    fs::current_path(before);

    EXPECT_EQ(songs, 0u);
    EXPECT_TRUE(playlistRows.empty());
    EXPECT_EQ(songFiles.path(), "");
    EXPECT_TRUE(songFiles.items().empty());
    EXPECT_EQ(fill(""), 0u);
}

TEST_F(FileListTest, AFailedListingKeepsTheOldDirectoryAndSaysSo)
{
    touch("old.mp3");
    fill(music.str());
    songList.select(0);
    touch("plain.txt");

    bool listed = true;
    for (const std::string& bad : {music.str() + "/gone", music.file("plain.txt"), std::string()}) {
        EXPECT_EQ(fillSongList(songFiles, songList, playlistRows, bad, listed), 1u) << bad;
        EXPECT_FALSE(listed);
        EXPECT_EQ(songFiles.path(), music.str());
        EXPECT_EQ(songList.items(), Names{"old.mp3"});
        EXPECT_EQ(playlistRows.items(), Names{"old.mp3"});
        EXPECT_EQ(songList.selectedIndex(), -1);
    }
    fillSongList(songFiles, songList, playlistRows, music.str(), listed);
    EXPECT_TRUE(listed);
}

TEST_F(FileListTest, LoopingOrUnreadableDirectoriesAreRefused)
{
    fs::create_directory_symlink("loopA", music.path() / "loopB");
    fs::create_directory_symlink("loopB", music.path() / "loopA");
    EXPECT_FALSE(songFiles.setPath(music.str() + "/loopA"));

    const fs::path locked = music.path() / "locked";
    fs::create_directory(locked);
    writeBytes((locked / "x.mp3").string(), "x");
    fs::permissions(locked, fs::perms::none);
    std::error_code ec;
    const bool stillReadable = fs::directory_iterator(locked, ec) != fs::directory_iterator() && !ec;
    const bool listed = songFiles.setPath(locked.string());
    fs::permissions(locked, fs::perms::owner_all);
    if (stillReadable)
        GTEST_SKIP() << "running with the right to read any directory";
    EXPECT_FALSE(listed);
    EXPECT_EQ(songFiles.path(), "");
}

TEST_F(FileListTest, RefreshRereadsTheSameDirectory)
{
    EXPECT_TRUE(songFiles.refresh()); // no directory: nothing to read
    touch("one.mp3");
    songFiles.setPath(music.str());
    touch("two.mp3");
    EXPECT_TRUE(songFiles.refresh());
    EXPECT_EQ(songFiles.items(), (Names{"one.mp3", "two.mp3"}));

    TestDir other;
    writeBytes(other.file("x.mp3"), "x");
    songFiles.setPath(other.str());
    fs::remove_all(other.path());
    EXPECT_FALSE(songFiles.refresh());
    EXPECT_EQ(songFiles.items(), Names{"x.mp3"});
}

TEST(LoadFontList, AddsTheFontsInTheirOrderAfterWhatTheListHolds)
{
    FakeFontList fonts;
    ListBox lstFonts;
    lstFonts.addItem("Already");
    LoadFontList(lstFonts, fonts);
    Names expected{"Already"};
    expected.insert(expected.end(), fonts.fonts.begin(), fonts.fonts.end());
    EXPECT_EQ(lstFonts.items(), expected);
}

} // namespace
} // namespace tavu::test
