#include "id3/Id3Tag.h"
#include "bot/ShowSongTag.h"
#include "id3/GenreTable.h"
#include "player/FileList.h"
#include "support/SimRuntimeFixture.h"
#include "support/TagFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu::test {
namespace {

class Id3TagTest : public ::testing::Test {
protected:
    Id3Tag read(const std::string& bytes)
    {
        writeBytes(files.file("song.mp3"), bytes);
        return readSongTag(files.file("song.mp3"));
    }
    TestDir files;
};

TEST_F(Id3TagTest, FieldsAreReadTrimmedOfBlanks)
{
    const Id3Tag tag = read(songWithTag({"  Padded Title  ", "Artist", "Album", "1999", " A comment", 125, ' '}));
    EXPECT_EQ(tag, (Id3Tag{"Padded Title", "Artist", "Album", "1999", "A comment", "Dance Hall", ""}));
}

TEST_F(Id3TagTest, FullFieldsAreKeptWhole)
{
    const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
    const Id3Tag tag = read(songWithTag({thirty, thirty, thirty, "2024", thirty, 0}));
    EXPECT_EQ(tag.title, thirty);
    EXPECT_EQ(tag.comment, thirty);
    EXPECT_EQ(tag.year, "2024");
    EXPECT_EQ(tag.genre, "Blues");
}

TEST_F(Id3TagTest, NulEndsAFieldOnlyBlanksAreTrimmedAndTextIsWindows1252)
{
    // Bytes after the first NUL (a track number in the comment) are not shown; a tab is no blank.
    std::string comment = tagField("Comment", 28);
    comment += std::string("\x07", 1);
    const Id3Tag tag = read(songWithTag({std::string_view("Title \0junk", 11), "\tArtist", "", "", comment, 17}));
    EXPECT_EQ(tag.title, "Title");
    EXPECT_EQ(tag.artist, "\tArtist");
    EXPECT_EQ(tag.album, "");
    EXPECT_EQ(tag.comment, "Comment");
    EXPECT_EQ(tag.genre, "Rock");

    const Id3Tag cp1252 = read(songWithTag({"Caf\xE9", "\x80uro", "\x8A\x9F", "", "", 12}));
    EXPECT_EQ(cp1252.title, "Caf\xC3\xA9");
    EXPECT_EQ(cp1252.artist, "\xE2\x82\xACuro");
    EXPECT_EQ(cp1252.album, "\xC5\xA0\xC5\xB8");
}

TEST_F(Id3TagTest, WithoutTheMarkerThereIsNoTag)
{
    EXPECT_EQ(read(songWithTag({"Title", "Artist", "Album", "1999", "c", 13, '\0', "tag"})), Id3Tag{});
    EXPECT_EQ(read(songWithTag({"Title", "Artist", "Album", "1999", "c", 13, '\0', "TAg"})), Id3Tag{});
    // A tag that is not at the very end is not the trailer.
    EXPECT_EQ(read(songWithTag({"Title", "", "", "", "", 13}) + "x"), Id3Tag{});
}

TEST_F(Id3TagTest, ShortMissingAndNonFilePathsGiveEmptyFields)
{
    const std::string tag = id3v1({"Title", "", "", "", "", 13});
    EXPECT_EQ(read(tag).title, "Title"); // exactly 128 bytes is a tag alone
    EXPECT_EQ(read(tag.substr(0, 127)), Id3Tag{});
    EXPECT_EQ(read(""), Id3Tag{});
    EXPECT_EQ(readSongTag(files.file("missing.mp3")), Id3Tag{});
    EXPECT_EQ(readSongTag(files.str()), Id3Tag{});
    EXPECT_EQ(readSongTag(files.str() + "/"), Id3Tag{});
    EXPECT_EQ(readSongTag(""), Id3Tag{});
}

TEST(GenreTable, KeepsItsSpellingsAndHasNothingAbove125)
{
    EXPECT_EQ(genreName(0), "Blues");
    EXPECT_EQ(genreName(51), "Techno-Indistrial");
    EXPECT_EQ(genreName(59), "Gansta");
    EXPECT_EQ(genreName(67), "Psychaledic");
    EXPECT_EQ(genreName(93), "Psychadelic Rock");
    EXPECT_EQ(genreName(125), "Dance Hall");
    for (int genre : {126, 200, 255, -1, 256})
        EXPECT_EQ(genreName(genre), "") << genre;

    std::string text = "kept";
    getgenrefromID(200, text);
    EXPECT_EQ(text, "kept");
    getgenrefromID(14, text);
    EXPECT_EQ(text, "R&B");
}

class ShowSongTagTest : public BotFixture {
protected:
    ShowSongTagTest()
    {
        writeBytes(music.file("a.mp3"), songWithTag({"Title", "Artist", "Album", "2001", "Comment", 125}));
        writeBytes(music.file("b.mp3"), std::string(500, '\x55'));
        writeBytes(music.file("c.mp3"), songWithTag({"Other", "", "", "", "", 200}));
        bot->dir = music.str();
        fillSongList(bot->songFiles, bot->songList, bot->playlistRows, bot->dir);
        following = bot->id3.changed.subscribe([this] { ++refreshes; });
    }
    void show(int index)
    {
        bot->songList.select(index);
        showSongTag(*bot);
    }
    TestDir music;
    int refreshes = 0;
    Signal<>::Subscription following;
};

TEST_F(ShowSongTagTest, ATagLessSongAfterATaggedOneClearsAllSixFields)
{
    show(0);
    EXPECT_EQ(bot->id3.path, music.str() + "/a.mp3");
    EXPECT_EQ(bot->id3.tag, (Id3Tag{"Title", "Artist", "Album", "2001", "Comment", "Dance Hall", ""}));
    show(1);
    EXPECT_EQ(bot->id3.tag, Id3Tag{});
    show(0);
    show(2); // genre 200 has no text: the genre is left cleared, not kept from the song before
    EXPECT_EQ(bot->id3.tag, (Id3Tag{"Other", "", "", "", "", "", ""}));
    EXPECT_EQ(refreshes, 4);
}

TEST_F(ShowSongTagTest, NoSelectionReadsTheDirectoryAndShowsNothing)
{
    show(0);
    show(-1);
    EXPECT_EQ(bot->id3.path, music.str() + "/");
    EXPECT_EQ(bot->id3.tag, Id3Tag{});
}

} // namespace
} // namespace tavu::test
