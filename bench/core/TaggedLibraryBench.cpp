#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "client/ChatRoom.h"
#include "platform/SqliteLibraryCache.h"
#include "platform/TagLibReader.h"
#include "support/Fakes.h"
#include "support/Mp3Writer.h"
#include "support/SimRuntime.h"
#include "support/TagWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

// A tagged library of 100,000 files in 5,000 album folders (250 artists of 20 albums of 20 files),
// nine in ten of them MP3 songs with ID3v2.4 tags, the rest covers and notes. The tree is made once
// in TAVU_BENCH_TREE (default: tavu-bench-tagged-tree in the temporary folder) and kept for the
// next run; bench/report removes it when it is done.
//   BM_TaggedFirstScan100k   the song list with tag titles and an empty cache (page cache warm)
//   BM_TaggedWarmStart100k   the same with the cache of the last listing, nothing changed
//   BM_TaggedChanged100      the listing after 100 songs changed; counter "read" = tags read again
//   BM_FindSortTree100k      the reference: find | sort -f of the same tree

namespace {

namespace fs = std::filesystem;
constexpr int kArtists = 250, kAlbums = 20, kFiles = 20;

class QuietRoom : public tavu::ChatRoom {
public:
    void sendLine(const std::string&) override {}
    void sendRawLine(const std::string&) override {}
    std::string ownerNick() const override { return "Owner"; }
};

std::string songBytes(int artist, int album, int track, int variant)
{
    using tavu::test::TextEncoding;
    return tavu::test::id3v2Tag(4, TextEncoding::Utf8,
                                {{"TIT2", "Song " + std::to_string(track) + " of album " + std::to_string(album) +
                                              (variant ? " (changed)" : "")},
                                 {"TPE1", "Artist " + std::to_string(artist)},
                                 {"TALB", "Album " + std::to_string(album)}}) +
           tavu::test::Mp3Writer().silence(2).bytes();
}

fs::path songPath(const fs::path& root, int artist, int album, int track)
{
    return root / ("Artist " + std::to_string(artist)) / ("Album " + std::to_string(album)) /
           (std::to_string(track) + " - Song " + std::to_string(track) + ".mp3");
}

const fs::path& tree()
{
    static const fs::path root = [] {
        const char* given = std::getenv("TAVU_BENCH_TREE");
        fs::path dir = given ? fs::path(given) : fs::temp_directory_path() / "tavu-bench-tagged-tree";
        if (fs::exists(dir / ".complete"))
            return dir;
        fs::remove_all(dir);
        for (int artist = 0; artist < kArtists; ++artist)
            for (int album = 0; album < kAlbums; ++album) {
                const fs::path folder = songPath(dir, artist, album, 0).parent_path();
                fs::create_directories(folder);
                for (int track = 0; track < kFiles; ++track) {
                    if (track >= kFiles - 2) {
                        std::ofstream(folder / (track == kFiles - 1 ? "cover.jpg" : "notes.txt")) << "not a song";
                        continue;
                    }
                    std::ofstream(songPath(dir, artist, album, track), std::ios::binary)
                        << songBytes(artist, album, track, 0);
                }
            }
        std::ofstream(dir / ".complete");
        return dir;
    }();
    return root;
}

// A bot as the program has it, in a program directory of its own, with the real tag reader and
// cache.
struct LibraryBot {
    LibraryBot() : bot(runtime, room, home(), services()) {}
    static std::string home()
    {
        std::string pattern = (fs::temp_directory_path() / "tavu-bench-XXXXXX").string();
        return ::mkdtemp(pattern.data());
    }
    tavu::BotServices services() { return {media, sound, dialogs, fonts, &tags, cache.get()}; }
    ~LibraryBot() { fs::remove_all(bot.programDir()); }

    std::size_t fill()
    {
        const tavu::FilledList filled = tavu::test::finish(runtime, tavu::fillSongList(bot, tree().string(), options));
        return filled.listed ? filled.songs : 0;
    }

    tavu::SimRuntime runtime;
    QuietRoom room;
    tavu::test::FakeMediaPlayer media;
    tavu::test::FakeSoundPlayer sound;
    tavu::test::FakeDialogs dialogs;
    tavu::test::FakeFontList fonts;
    tavu::TagLibReader tags;
    std::string cacheFile =
        (fs::temp_directory_path() / ("tavu-bench-cache-" + std::to_string(::getpid()) + ".db")).string();
    std::unique_ptr<tavu::SqliteLibraryCache> cache = std::make_unique<tavu::SqliteLibraryCache>(cacheFile);
    tavu::LibraryOptions options{true, {"flac", "ogg", "opus"}, true};
    tavu::Bot bot;
};

void removeCache(const std::string& file)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((file + suffix).c_str());
}

void BM_TaggedFirstScan100k(benchmark::State& state)
{
    tree();
    LibraryBot b;
    std::size_t songs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.cache.reset();
        removeCache(b.cacheFile);
        b.cache = std::make_unique<tavu::SqliteLibraryCache>(b.cacheFile);
        b.bot.library.setCache(b.cache.get());
        state.ResumeTiming();
        songs = b.fill();
    }
    state.counters["songs"] = static_cast<double>(songs);
    state.counters["songs_per_s"] = benchmark::Counter(
        static_cast<double>(songs) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    b.cache.reset();
    removeCache(b.cacheFile);
}
BENCHMARK(BM_TaggedFirstScan100k)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_TaggedWarmStart100k(benchmark::State& state)
{
    tree();
    LibraryBot b;
    b.fill(); // the cache of the last run
    std::size_t songs = 0;
    for (auto _ : state) {
        // A start: a new program on the cache file the last one left.
        state.PauseTiming();
        b.cache = std::make_unique<tavu::SqliteLibraryCache>(b.cacheFile);
        b.bot.library.setCache(b.cache.get());
        state.ResumeTiming();
        songs = b.fill();
    }
    state.counters["songs"] = static_cast<double>(songs);
    b.cache.reset();
    removeCache(b.cacheFile);
}
BENCHMARK(BM_TaggedWarmStart100k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_TaggedChanged100(benchmark::State& state)
{
    tree();
    LibraryBot b;
    b.fill();
    std::size_t read = 0;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // 100 songs in 100 folders get new tags, so new sizes.
        ++round;
        for (int i = 0; i < 100; ++i)
            std::ofstream(songPath(tree(), i * 2, i % kAlbums, i % (kFiles - 2)), std::ios::binary)
                << songBytes(i * 2, i % kAlbums, i % (kFiles - 2), round % 2 + 1) << std::string(round % 2 + 1, ' ');
        state.ResumeTiming();
        auto listing = b.bot.library.list(tree().string(), b.options);
        read = listing ? listing->tagsRead : 0;
        benchmark::DoNotOptimize(listing);
    }
    state.counters["read"] = static_cast<double>(read);
    b.cache.reset();
    removeCache(b.cacheFile);
    // The tree as it was made, for the next run.
    for (int i = 0; i < 100; ++i)
        std::ofstream(songPath(tree(), i * 2, i % kAlbums, i % (kFiles - 2)), std::ios::binary)
            << songBytes(i * 2, i % kAlbums, i % (kFiles - 2), 0);
}
BENCHMARK(BM_TaggedChanged100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_FindSortTree100k(benchmark::State& state)
{
    const std::string command = "find '" + tree().string() + "' | sort -f > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("find | sort failed");
}
BENCHMARK(BM_FindSortTree100k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

namespace {

// Reading the tag of a broken file of 50 MB (random bytes named as each format, a tag that claims
// more than the file holds) costs no more than the few reads it takes: nothing is searched.
void BM_TagsOfBrokenFiles(benchmark::State& state)
{
    const fs::path dir = fs::temp_directory_path() / ("tavu-bench-broken-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string noise(50 << 20, '\0');
    std::uint64_t x = 88172645463325252ull;
    for (char& c : noise) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        c = static_cast<char>(x);
    }
    std::vector<std::string> files;
    for (const char* name : {"noise.mp3", "noise.flac", "noise.ogg", "noise.opus", "noise.wav"}) {
        files.push_back((dir / name).string());
        std::ofstream(files.back(), std::ios::binary) << noise;
    }
    files.push_back((dir / "claims.mp3").string());
    std::ofstream(files.back(), std::ios::binary) << tavu::test::id3v2Claiming(0x0FFFFFFF, "Huge") << noise;
    const tavu::TagLibReader reader;
    for (auto _ : state)
        for (const std::string& file : files)
            benchmark::DoNotOptimize(reader.read(file));
    state.SetItemsProcessed(static_cast<std::int64_t>(files.size()) * state.iterations());
    fs::remove_all(dir);
}
BENCHMARK(BM_TagsOfBrokenFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
