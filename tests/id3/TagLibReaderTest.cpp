#include "platform/TagLibReader.h"
#include "support/EncodedSongs.h"
#include "support/Mp3Writer.h"
#include "support/TagFile.h"
#include "support/TagWriter.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tavu::test {
namespace {

// Two frames of silence, the body of every written song.
std::string frames()
{
    return Mp3Writer().silence(2).bytes();
}

struct TagCase {
    const char* name;
    const char* file;
    std::function<std::string()> bytes;
    Id3Tag expected;
};

const std::string kUtf8Title = "\xC3\x9C"
                               "ber den Wolken \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC"; // Über den Wolken — 日本

const TagCase kCases[] = {
    {"Id3v22Latin1",
     "a.mp3",
     [] {
         return id3v2Tag(2, TextEncoding::Latin1, {{"TT2", "Caf\xC3\xA9"}, {"TP1", "Band"}}) + frames();
     },
     {"Caf\xC3\xA9", "Band", "", "", "", "", ""}},
    {"Id3v23Utf16",
     "a.mp3",
     [] {
         return id3v2Tag(3, TextEncoding::Utf16,
                         {{"TIT2", kUtf8Title},
                          {"TPE1", "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE"},
                          {"TALB", "Album"},
                          {"TYER", "1999"},
                          {"COMM", "Note"},
                          {"TCON", "(17)"}}) +
                frames();
     },
     {kUtf8Title, "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", "Album", "1999", "Note", "Rock"}},
    {"Id3v24Utf8",
     "a.mp3",
     [] {
         return id3v2Tag(4, TextEncoding::Utf8, {{"TIT2", kUtf8Title}, {"TPE1", "Artist"}, {"TCON", "67"}}) + frames();
     },
     // Genre numbers take the ID3v1 names, spelled as this program always spelled them.
     {kUtf8Title, "Artist", "", "", "", "Psychaledic"}},
    {"Id3v2BeforeId3v1",
     "a.mp3",
     [] {
         return id3v2Tag(4, TextEncoding::Utf8, {{"TIT2", "New"}}) + frames() + id3v1({"Old", "", "", "", "", 1});
     },
     {"New", "", "", "", "", "", ""}},
    {"Id3v1WhenNothingElse",
     "a.mp3",
     [] {
         return Mp3Writer().id3v2(300).bytes() + frames() + id3v1({"Caf\xE9", "A", "", "", "", 125});
     },
     {"Caf\xC3\xA9", "A", "", "", "", "Dance Hall", ""}},
    {"Ape",
     "a.mp3",
     [] {
         return frames() + apeTag({{"Title", "From APE"}, {"Artist", "Ape Band"}});
     },
     {"From APE", "Ape Band", "", "", "", "", ""}},
    {"ApeBeforeId3v1",
     "a.mp3",
     [] {
         return frames() + apeTag({{"Title", "APE wins"}}) + id3v1({"v1 title", "", "", "", "", 1});
     },
     {"APE wins", "", "", "", "", "", ""}},
    {"FlacWithoutVorbisComment",
     "a.flac",
     [] {
         return id3v2Tag(3, TextEncoding::Latin1, {{"TIT2", "Tagged in front"}}) + std::string("fLaC", 4) +
                std::string("\x80\0\0\x22", 4) + std::string(34, '\0');
     },
     {"Tagged in front", "", "", "", "", "", ""}},
    // Broken files: every one is read to an end, with nothing to show.
    {"ZeroBytes", "a.flac", [] { return std::string(); }, {}},
    {"RandomBytes",
     "a.opus",
     [] {
         std::mt19937 random(7);
         std::string bytes(200000, '\0');
         for (char& c : bytes)
             c = static_cast<char>(random());
         return bytes;
     },
     {}},
    {"TruncatedTag",
     "a.mp3",
     [] {
         return id3v2Tag(4, TextEncoding::Utf8, {{"TIT2", "Cut"}}).substr(0, 14);
     },
     {}},
    {"WavNamedFlac", "a.flac", [] { return std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(40, '\0'); }, {}},
    {"TagClaimingMoreThanTheFile",
     "a.mp3",
     [] { return id3v2Claiming(0x7FFFFFFF, "Huge") + frames(); },
     {"Huge", "", "", "", "", "", ""}},
    {"FiveMegabyteTag",
     "a.mp3",
     [] {
         // The title first, then 5 MB of private data, as taggers write a large picture.
         return id3v2Tag(3, TextEncoding::Latin1, {{"TIT2", "Big cover"}, {"PRIV", std::string(5 << 20, 'x')}}) +
                frames();
     },
     {"Big cover", "", "", "", "", "", ""}},
};

class TagCaseTest : public ::testing::TestWithParam<TagCase> {};

TEST_P(TagCaseTest, ReadsTheTagOfEveryKind)
{
    TestDir dir;
    const std::string path = dir.file(GetParam().file);
    writeBytes(path, GetParam().bytes());
    const Id3Tag tag = TagLibReader().read(path);
    EXPECT_EQ(tag.title, GetParam().expected.title);
    EXPECT_EQ(tag.artist, GetParam().expected.artist);
    EXPECT_EQ(tag.album, GetParam().expected.album);
    EXPECT_EQ(tag.year, GetParam().expected.year);
    EXPECT_EQ(tag.comment, GetParam().expected.comment);
    EXPECT_EQ(tag.genre, GetParam().expected.genre);
}

INSTANTIATE_TEST_SUITE_P(Files, TagCaseTest, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// The fields of every kind of encoded song; the tags come from the encoders themselves.
class EncodedTagTest : public ::testing::TestWithParam<Encoding> {};

TEST_P(EncodedTagTest, ReadsWhatTheEncoderWrote)
{
    TestDir dir;
    const std::string path = dir.file("song." + extensionOf(GetParam()));
    const SongTags tags{"Blue Sky", "The Band", "First", "2004", "Made here", "Jazz"};
    ASSERT_TRUE(encodeSong(GetParam(), path, tags, 0.5));
    const Id3Tag tag = TagLibReader().read(path);
    EXPECT_EQ(tag.title, "Blue Sky");
    EXPECT_EQ(tag.artist, "The Band");
    EXPECT_EQ(tag.album, "First");
    EXPECT_EQ(tag.year, "2004");
    EXPECT_EQ(tag.comment, "Made here");
    EXPECT_EQ(tag.genre, "Jazz");
}

INSTANTIATE_TEST_SUITE_P(Encoders, EncodedTagTest,
                         ::testing::Values(Encoding::Mp3Cbr, Encoding::Mp3Vbr, Encoding::Flac, Encoding::Vorbis,
                                           Encoding::Opus, Encoding::Aac, Encoding::Alac, Encoding::WavPack));

TEST(TagLibReader, NothingButPlainFilesIsOpened)
{
    TestDir dir;
    const std::string fifo = dir.file("pipe.mp3");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "folder.flac");
    EXPECT_EQ(TagLibReader().read(fifo), Id3Tag{}); // would block for ever if opened for reading
    EXPECT_EQ(TagLibReader().read(dir.file("folder.flac")), Id3Tag{});
    EXPECT_EQ(TagLibReader().read(dir.file("missing.mp3")), Id3Tag{});
}

// A song swapped for a pipe again and again while its tag is read: every read ends, with the
// song's tag or with nothing, and none waits on the pipe. A reader that checks the name and then
// opens it a second time sooner or later opens the pipe and waits for a writer that never comes.
struct SwappedSong {
    const char* name;
    std::function<bool(const std::string& path)> write;
    std::function<Id3Tag(const std::string& path)> read;
    const char* title;
};

class SwappedSongTest : public ::testing::TestWithParam<SwappedSong> {};

TEST_P(SwappedSongTest, NoReadWaitsOnAPipePutInItsPlace)
{
    TestDir dir;
    const std::string song = dir.file("song"), pipe = dir.file("pipe"), path = dir.file("swapped.file");
    ASSERT_TRUE(GetParam().write(song));
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // The song is in place before the first read: a reader that runs ahead of the swaps reads it.
    ASSERT_EQ(::link(song.c_str(), path.c_str()), 0);
    constexpr int kReads = 3000;
    std::atomic<int> reads{0};
    std::atomic<int> titled{0};
    std::thread reader([&] {
        for (int i = 0; i < kReads; ++i, ++reads)
            if (GetParam().read(path).title == GetParam().title)
                ++titled;
    });
    // Each swap links the song or the pipe beside the name and renames it over the name.
    const std::string next = dir.file("next");
    for (long swaps = 0; reads < kReads && swaps < 400'000; ++swaps) {
        ::link((swaps % 2 ? pipe : song).c_str(), next.c_str());
        ::rename(next.c_str(), path.c_str());
    }
    // A read still waiting has opened the pipe: give it a writer that goes at once, so it ends.
    int waiting = 0;
    while (reads < kReads) {
        ++waiting;
        const int fd = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        std::this_thread::yield();
    }
    reader.join();
    EXPECT_EQ(waiting, 0) << "a read waited on the pipe";
    EXPECT_GT(titled, 0);
}

const SwappedSong kSwappedSongs[] = {
    {"Flac",
     [](const std::string& path) {
         return encodeSong(Encoding::Flac, path, SongTags{"Blue Sky", {}, {}, {}, {}, {}}, 0.2);
     },
     [](const std::string& path) { return TagLibReader().read(path); }, "Blue Sky"},
    {"Id3v1",
     [](const std::string& path) {
         return Mp3Writer().silence(2).id3v1(Id3v1Fields{"Cold Rain", {}, {}, {}, {}, 255}).write(path);
     },
     [](const std::string& path) { return TagLibReader().read(path); }, "Cold Rain"},
    {"Id3v1Alone",
     [](const std::string& path) {
         return Mp3Writer().silence(2).id3v1(Id3v1Fields{"Cold Rain", {}, {}, {}, {}, 255}).write(path);
     },
     [](const std::string& path) { return readSongTag(path); }, "Cold Rain"},
};

INSTANTIATE_TEST_SUITE_P(Kinds, SwappedSongTest, ::testing::ValuesIn(kSwappedSongs),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace tavu::test
