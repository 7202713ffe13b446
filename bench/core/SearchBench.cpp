#include "bot/Bot.h"
#include "bot/PlayerControls.h"
#include "client/ChatRoom.h"
#include "support/Fakes.h"
#include "util/SimRuntime.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

class QuietRoom : public tavu::ChatRoom {
public:
    void ChatSend(const std::string&) override {}
    void ChatSendRaw(const std::string&) override {}
    std::string GetOwnerName() const override { return "Owner"; }
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
    bot.lstMp3.setItems(names);
    bot.lstmp3.setItems(names);
    const std::string line = "!play number 54321.";
    for (auto _ : state) {
        bot.dispatcher().Chat1_ChatMsg("Owner", line);
        benchmark::DoNotOptimize(bot.lstPlay.count());
    }
    if (bot.lstPlay.count() != 1)
        state.SkipWithError("expected exactly one match");
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SongSearch100k)->Unit(benchmark::kMillisecond);

} // namespace
