#include "bot/Bot.h"
#include "client/ChatRoom.h"
#include "settings/ProfileFile.h"
#include "style/Style.h"
#include "support/Fakes.h"
#include "support/SimRuntime.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

class SilentRoom : public tavu::ChatRoom {
public:
    void sendLine(const std::string&) override { ++sent; }
    void sendRawLine(const std::string&) override { ++sent; }
    std::string ownerNick() const override { return "Owner"; }
    long sent = 0;
};

std::string tempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tavu-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data());
}

// Every command word of the program's table, each counting its runs.
long ran = 0;
std::vector<tavu::Command> countingCommands()
{
    std::vector<tavu::Command> table;
    for (const tavu::Command& command : tavu::chatCommands())
        table.push_back({command.word, [](tavu::Bot&, const std::string&) { ++ran; }});
    return table;
}

struct BenchBot {
    BenchBot() : dir(tempDir()), bot(runtime, room, dir, {media, sound, dialogs, fonts}, commands)
    {
        bot.startChat();
        bot.trig = "!";
        ran = 0;
    }
    ~BenchBot() { std::filesystem::remove_all(dir); }
    std::string dir;
    tavu::SimRuntime runtime;
    SilentRoom room;
    tavu::test::FakeMediaPlayer media;
    tavu::test::FakeSoundPlayer sound;
    tavu::test::FakeDialogs dialogs;
    tavu::test::FakeFontList fonts;
    std::vector<tavu::Command> commands = countingCommands();
    tavu::Bot bot;
};

void BM_DispatchStrangerLines(benchmark::State& state)
{
    BenchBot b;
    const std::string sender = "Stranger";
    const std::string line = "!vol 40 and some more text of a normal chat line";
    for (auto _ : state)
        b.bot.dispatcher().hearCommandLine(sender, line);
    state.SetItemsProcessed(state.iterations());
    if (ran || b.room.sent)
        state.SkipWithError("a stranger was obeyed");
}
BENCHMARK(BM_DispatchStrangerLines);

void BM_DispatchOwnerLinesMatchingNothing(benchmark::State& state)
{
    BenchBot b;
    const std::string sender = "Owner";
    const std::string line = "!nosuchcommand with an argument";
    for (auto _ : state)
        b.bot.dispatcher().hearCommandLine(sender, line);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DispatchOwnerLinesMatchingNothing);

void BM_ComposeReply(benchmark::State& state)
{
    tavu::Style style;
    style.loadStyle("/nonexistent/Tavu.ini");
    for (auto _ : state)
        benchmark::DoNotOptimize(style.composeReply(" Tavu ", " Volume Set - [40] "));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComposeReply);

void BM_ReadSettingIn200KeyFile(benchmark::State& state)
{
    const std::string dir = tempDir();
    const std::string ini = dir + "/Tavu.ini";
    std::ofstream out(ini, std::ios::binary);
    for (int s = 0; s < 10; ++s) {
        out << "[Section" << s << "]\r\n";
        for (int k = 0; k < 20; ++k)
            out << "KEY " << k << "=value number " << s * 20 + k << "\r\n";
    }
    out.close();
    for (auto _ : state)
        benchmark::DoNotOptimize(tavu::readSetting("section9", "key 19", ini));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReadSettingIn200KeyFile)->Unit(benchmark::kMicrosecond);

} // namespace
