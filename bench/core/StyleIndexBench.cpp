#include "bot/Bot.h"
#include "chat/SavedStyles.h"
#include "client/ChatRoom.h"
#include "settings/ListFile.h"
#include "support/Fakes.h"
#include "support/SimRuntime.h"
#include "util/ListBox.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

// The CPU time of this thread: what the work costs, whatever else the machine is doing.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<Clock, duration>;
    static time_point now()
    {
        timespec t{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec));
    }
};

class QuietRoom : public tavu::ChatRoom {
public:
    void sendLine(const std::string&) override {}
    void sendRawLine(const std::string&) override {}
    std::string ownerNick() const override { return "Owner"; }
};

// The simulated event loop, which also measures the longest stretch of work of this thread
// between two moments at which events could run: how long the interface would be frozen. The
// time spent waiting for another thread's work is not such a stretch.
class StretchRuntime : public tavu::SimRuntime {
public:
    std::unique_ptr<tavu::Alarm> wakeWhen(std::function<bool()> done, std::function<void()> wake) override
    {
        note();
        auto alarm = tavu::SimRuntime::wakeWhen(std::move(done), std::move(wake));
        m_last = Clock::now();
        return alarm;
    }
    void start() { m_last = Clock::now(), m_longest = {}; }
    void note() { m_longest = std::max(m_longest, Clock::now() - m_last); }
    double longestMs() const { return std::chrono::duration<double, std::milli>(m_longest).count(); }

private:
    Clock::time_point m_last = Clock::now();
    Clock::duration m_longest{};
};

// A program directory whose Styles.txt holds n names in random order, each written as the
// program writes them.
std::string programDirWithIndex(int n)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tavu-bench-XXXXXX").string();
    const std::string dir = ::mkdtemp(pattern.data());
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        names.push_back("Style " + std::to_string(i * 7919 % 100003) + (i % 3 ? " Night" : " day"));
    std::shuffle(names.begin(), names.end(), std::mt19937(42));
    std::ofstream(dir + "/Styles.txt", std::ios::binary) << tavu::formatListFile(names);
    std::filesystem::create_directories(dir + "/Styles");
    return dir;
}

struct Session {
    explicit Session(const std::string& dir) : bot(runtime, room, dir, {media, sound, dialogs, fonts}) {}
    StretchRuntime runtime;
    QuietRoom room;
    tavu::test::FakeMediaPlayer media;
    tavu::test::FakeSoundPlayer sound;
    tavu::test::FakeDialogs dialogs;
    tavu::test::FakeFontList fonts;
    tavu::Bot bot;
};

// The first style command loads the index of 100,000 unsorted names before it searches.
void BM_StyleIndexFirstCommand100k(benchmark::State& state)
{
    const std::string dir = programDirWithIndex(100000);
    for (auto _ : state) {
        state.PauseTiming();
        auto session = std::make_unique<Session>(dir);
        session->bot.trig = "!";
        state.ResumeTiming();
        session->bot.dispatcher().hearCommandLine("Owner", "!lstyle no such style");
        benchmark::DoNotOptimize(session->bot.lstStyles.count());
        state.PauseTiming();
        if (session->bot.lstStyles.count() != 100000)
            state.SkipWithError("the index was not loaded whole");
        session.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StyleIndexFirstCommand100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// indexTimer's load of the same index: its whole time, and the longest stretch without events
// ("frozen_ms").
void BM_StyleIndexTimedLoad100k(benchmark::State& state)
{
    const std::string dir = programDirWithIndex(100000);
    double frozen = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto session = std::make_unique<Session>(dir);
        session->runtime.start();
        state.ResumeTiming();
        tavu::test::finish(session->runtime, session->bot.savedStyles->loadIndexNow());
        state.PauseTiming();
        session->runtime.note();
        frozen = std::max(frozen, session->runtime.longestMs());
        if (session->bot.lstStyles.count() != 100000)
            state.SkipWithError("the index was not loaded whole");
        session.reset();
        state.ResumeTiming();
    }
    state.counters["frozen_ms"] = frozen;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StyleIndexTimedLoad100k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
