#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "bot/PlayerControls.h"
#include "client/ChatRoom.h"
#include "support/Fakes.h"
#include "support/SimRuntime.h"
#include "util/Text.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

class QuietRoom : public tavu::ChatRoom {
public:
    void sendLine(const std::string&) override {}
    void sendRawLine(const std::string&) override {}
    std::string ownerNick() const override { return "Owner"; }
};

// "play" over a song list of 100,000 names. The simulated clock makes the waits free, so this is
// the processing alone.
void BM_SongSearch100k(benchmark::State& state)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tavu-bench-XXXXXX").string();
    const std::string dir = ::mkdtemp(pattern.data());
    tavu::SimRuntime runtime;
    QuietRoom room;
    tavu::test::FakeMediaPlayer media;
    media.openEverything = true;
    tavu::test::FakeSoundPlayer sound;
    tavu::test::FakeDialogs dialogs;
    tavu::test::FakeFontList fonts;
    tavu::Bot bot(runtime, room, dir, {media, sound, dialogs, fonts});
    bot.trig = "!";
    std::vector<std::string> names;
    for (int i = 0; i < 100000; ++i)
        names.push_back("Artist " + std::to_string(i % 997) + " - Track number " + std::to_string(i) + ".mp3");
    bot.songList.setItems(names);
    bot.playlistRows.setItems(names);
    const std::string line = "!play number 54321.";
    for (auto _ : state) {
        bot.dispatcher().hearCommandLine("Owner", line);
        benchmark::DoNotOptimize(bot.lstPlay.count());
    }
    if (bot.lstPlay.count() != 1)
        state.SkipWithError("expected exactly one match");
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SongSearch100k)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The same search with titles from tags: every song is matched by its file name and its title.
void BM_SongSearchTags100k(benchmark::State& state)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tavu-bench-XXXXXX").string();
    const std::string dir = ::mkdtemp(pattern.data());
    tavu::SimRuntime runtime;
    QuietRoom room;
    tavu::test::FakeMediaPlayer media;
    media.openEverything = true;
    tavu::test::FakeSoundPlayer sound;
    tavu::test::FakeDialogs dialogs;
    tavu::test::FakeFontList fonts;
    tavu::Bot bot(runtime, room, dir, {media, sound, dialogs, fonts});
    bot.trig = "!";
    tavu::LibraryListing listing;
    listing.options = {true, {"flac", "ogg", "opus"}, true};
    for (int i = 0; i < 100000; ++i)
        listing.files.push_back("Artist " + std::to_string(i / 400) + "/Album " + std::to_string(i / 20 % 20) + "/" +
                                std::to_string(i % 20) + " - Track " + std::to_string(i) + ".mp3");
    std::sort(listing.files.begin(), listing.files.end(),
              [](const std::string& a, const std::string& b) { return tavu::compareNoCase(a, b) < 0; });
    for (const std::string& name : listing.files)
        listing.titles.add(name, "Artist " + name.substr(7, name.find('/') - 7) + " - Song title number " +
                                     name.substr(name.rfind(' ') + 1, name.size() - name.rfind(' ') - 5));
    tavu::useListing(bot, dir, std::move(listing));
    const std::string line = "!play title number 54321";
    for (auto _ : state) {
        bot.dispatcher().hearCommandLine("Owner", line);
        benchmark::DoNotOptimize(bot.lstPlay.count());
    }
    if (bot.lstPlay.count() != 1)
        state.SkipWithError("expected exactly one match");
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SongSearchTags100k)->Unit(benchmark::kMillisecond);

} // namespace
