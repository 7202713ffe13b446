#include "queue/M3uPlaylist.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu {
namespace {

class M3uPlaylistTest : public ::testing::Test {
protected:
    M3uPlaylistTest()
    {
        std::filesystem::create_directories(music.path() / "sub");
        std::filesystem::create_directories(lists.path() / "near");
        for (const char* name : {"a.mp3", "sub/b c.flac", "é.ogg"})
            test::writeBytes(music.file(name), "");
        test::writeBytes(lists.file("near/n.mp3"), "");
        test::writeBytes(outside.file("o.mp3"), "");
    }
    test::TestDir music, lists, outside;
};

TEST_F(M3uPlaylistTest, WhatIsWrittenReadsBackTheSame)
{
    const std::vector<QueuedSong> songs{
        {"a.mp3", {}, {}}, {"sub/b c.flac", "acct:ann", "Ann"}, {"é.ogg", "x!y@z", "z"}};
    const std::string text = m3u::write(songs);
    EXPECT_TRUE(text.starts_with("#EXTM3U\n"));
    const auto read = m3u::read(text, lists.str(), music.str());
    EXPECT_EQ(read.songs, songs);
    EXPECT_EQ(read.skipped, 0u);
}

TEST_F(M3uPlaylistTest, ReadsOtherPlayersFilesAndSkipsWhatIsNotInTheMusicFolder)
{
    const std::string text = "\xEF\xBB\xBF#EXTM3U\r\n"
                             "#EXTINF:215,Artist - A\r\n" +
                             music.file("a.mp3") + "\r\n" +                           // absolute, inside
                             "sub\\b c.flac\r\n" +                                    // another system's separators
                             "\r\n#just a comment\n" + outside.file("o.mp3") + "\n" + // absolute, outside
                             "../" + music.path().filename().string() + "/é.ogg\n" +  // climbs, but lands inside
                             "gone.mp3\n" + "near/n.mp3\n" + "sub\n";
    const auto read = m3u::read(text, lists.str(), music.str());
    std::vector<std::string> songs;
    for (const auto& q : read.songs)
        songs.push_back(q.song);
    EXPECT_EQ(songs, (std::vector<std::string>{"a.mp3", "sub/b c.flac", "é.ogg"}));
    // outside, missing, relative to the playlist but outside the music folder, a folder
    EXPECT_EQ(read.skipped, 4u);
}

} // namespace
} // namespace tavu
