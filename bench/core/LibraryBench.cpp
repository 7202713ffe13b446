#include "player/FileList.h"
#include "support/TestDir.h"
#include "util/ListBox.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

// Listing a music directory of 100,000 files, about one in ten a song, against the shell tools
// doing the same: find | sort -f. Both run in the same process on the same directory, so the page
// cache is equally warm for both. TAVU_BENCH_LIBRARY_DIR names a ready directory to use instead.

namespace {

constexpr int kFiles = 100000;

// Mixed case, some accented (UTF-8) and some Windows-1252 names, as a long-lived collection has.
std::string fileName(int i)
{
    static const char* const kArtists[] = {"Abba",
                                           "beatles",
                                           "Caf\xC3\xA9 Tacvba",
                                           "Sigur R\xC3\xB3s",
                                           "zz top",
                                           "Mot\xF6rhead",
                                           "Queen",
                                           "\xC3\x89"
                                           "dith Piaf"};
    const std::string artist = kArtists[i % 8];
    const std::string number = std::to_string(i);
    if (i % 10 == 0)
        return artist + " - Track " + number + (i % 30 == 0 ? ".MP3.mp3" : ".mp3");
    return artist + " - cover " + number + (i % 3 == 0 ? ".jpg" : ".txt");
}

const std::string& libraryDir()
{
    static std::unique_ptr<tavu::test::TestDir> made;
    static const std::string dir = [] {
        if (const char* given = std::getenv("TAVU_BENCH_LIBRARY_DIR"))
            return std::string(given);
        made = std::make_unique<tavu::test::TestDir>();
        for (int i = 0; i < kFiles; ++i)
            std::ofstream(made->file(fileName(i)));
        return made->str();
    }();
    return dir;
}

void BM_FillSongList100k(benchmark::State& state)
{
    const std::string& dir = libraryDir();
    std::size_t songs = 0;
    for (auto _ : state) {
        tavu::FileList songFiles;
        tavu::ListBox songList{true};
        tavu::ListBox playlistRows;
        songs = tavu::fillSongList(songFiles, songList, playlistRows, dir);
        benchmark::DoNotOptimize(songs);
    }
    state.counters["songs"] = static_cast<double>(songs);
}
BENCHMARK(BM_FillSongList100k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The reference: the shell tools list and sort the same songs.
void BM_FindSortReference100k(benchmark::State& state)
{
    const std::string command = "find '" + libraryDir() + "' -maxdepth 1 -type f -name '*.mp3*' | sort -f > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("find | sort failed");
}
BENCHMARK(BM_FindSortReference100k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace
