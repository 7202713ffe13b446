// The built-in chat room window as its transcript fills: what one more line costs with 50 lines in
// it and with the transcript full (5,000 lines), for the owner (the typed line and the bot's
// reply) and for a stranger (the typed line alone).
#include "client/LocalChatRoom.h"
#include "style/Style.h"
#include "windows/ChatRoomWindow.h"

#include <QApplication>
#include <QTextBrowser>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

std::string reply(const std::string& body)
{
    tavu::Style style;
    style.loadStyle("/nonexistent/Tavu.ini");
    return style.composeReply(" Tavu ", body);
}

// Each iteration adds 500 lines (one trimming of a full transcript's worth) to a window whose
// transcript already holds `lines` lines; "us_per_line" is the CPU time of one line.
void BM_TranscriptLine(benchmark::State& state)
{
    const bool owner = state.range(1) != 0;
    const std::string answer = reply(" Volume Set - [40] ");
    constexpr int kLines = 500;
    for (auto _ : state) {
        state.PauseTiming();
        tavu::LocalChatRoom room("Quarn");
        tavu::ChatRoomWindow window(room);
        window.resize(560, 380);
        window.show();
        for (long i = 0; i < state.range(0); ++i)
            room.otherSaid("Bob", "a line of chat number " + std::to_string(i));
        QApplication::processEvents();
        state.ResumeTiming();
        for (int i = 0; i < kLines; i += owner ? 2 : 1) {
            if (owner) {
                room.ownerTyped("!vol 40");
                room.sendLine(answer);
            } else {
                room.otherSaid("Bob", "hello there " + std::to_string(i));
            }
            QApplication::processEvents();
        }
        state.PauseTiming();
        state.counters["blocks"] = window.transcriptView()->document()->blockCount();
        state.ResumeTiming();
    }
    state.counters["us_per_line"] = benchmark::Counter(static_cast<double>(state.iterations()) * kLines / 1e6,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TranscriptLine)
    ->ArgsProduct({{50, 4000, 5000}, {0, 1}})
    ->ArgNames({"lines", "owner"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
