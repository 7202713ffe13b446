// What hostile files cost the user-interface thread: a tag read while the song is swapped for a
// pipe, the start-up's key reads from a huge settings file, and a burst of volume sets written to
// the settings file. Each reports the longest time the calling thread was held.
#include "bot/Bot.h"
#include "bot/DesktopControls.h"
#include "client/ChatRoom.h"
#include "platform/TagLibReader.h"
#include "settings/Settings.h"
#include "support/EncodedSongs.h"
#include "support/Fakes.h"
#include "support/SimRuntime.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string tempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tavu-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data());
}

// 2,000 tag reads of a FLAC song that another thread swaps for a pipe and back again and again. A
// read that opens the pipe waits for a writer: the watchdog gives it one after 1 s, so a reader
// that can block shows a longest read of about 1,000 ms.
void BM_TagReadWhileSwappedForAPipe(benchmark::State& state)
{
    const std::string dir = tempDir();
    const std::string song = dir + "/song", pipe = dir + "/pipe", path = dir + "/swapped.flac", next = dir + "/next";
    if (!tavu::test::encodeSong(tavu::test::Encoding::Flac, song, tavu::test::SongTags{"Blue Sky", {}, {}, {}, {}, {}},
                                0.2) ||
        ::mkfifo(pipe.c_str(), 0600) != 0) {
        state.SkipWithError("no flac encoder");
        return;
    }
    double longest = 0;
    for (auto _ : state) {
        std::atomic<bool> done{false};
        std::atomic<long> readStartedMs{-1};
        const auto origin = Clock::now();
        std::thread reader([&] {
            for (int i = 0; i < 2000; ++i) {
                const auto start = Clock::now();
                readStartedMs = static_cast<long>(msSince(origin));
                benchmark::DoNotOptimize(tavu::TagLibReader().read(path));
                longest = std::max(longest, msSince(start));
            }
            done = true;
        });
        for (long swaps = 0; !done; ++swaps) {
            ::link((swaps % 2 ? pipe : song).c_str(), next.c_str());
            ::rename(next.c_str(), path.c_str());
            if (msSince(origin) - static_cast<double>(readStartedMs) > 1000) {
                const int fd = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK); // the watchdog's writer
                if (fd >= 0)
                    ::close(fd);
            }
        }
        reader.join();
    }
    state.counters["longest_read_ms"] = longest;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TagReadWhileSwappedForAPipe)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The 40 key reads of a start-up from a 20 MB Tavu.ini (a style value pasted a million times),
// which was made more than a second ago.
void BM_StartupKeysFromA20MBSettingsFile(benchmark::State& state)
{
    const std::string dir = tempDir();
    const tavu::Settings settings(dir + "/Tavu.ini");
    {
        std::ofstream out(settings.path(), std::ios::binary);
        out << "[Settings]\r\nVolume=40\r\nTrig=!\r\n[Pasted]\r\n";
        const std::string line = "STYLE=<font face=\"arial narrow\"><font color=#123456>x</font>\r\n";
        for (std::size_t written = 0; written < 20u * 1024 * 1024; written += line.size())
            out << line;
    }
    const auto old = std::filesystem::last_write_time(settings.path()) - std::chrono::seconds(5);
    std::filesystem::last_write_time(settings.path(), old);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100)); // older than a second by its change time too
    const tavu::SettingKey keys[] = {tavu::keys::Volume, tavu::keys::Trig, tavu::keys::Balance,
                                     tavu::keys::Mp3Directory};
    double longest = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < 40; ++i)
            benchmark::DoNotOptimize(settings.read(keys[i % 4]));
        longest = std::max(longest, msSince(start));
    }
    state.counters["longest_ms"] = longest;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StartupKeysFromA20MBSettingsFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

class SilentRoom : public tavu::ChatRoom {
public:
    void sendLine(const std::string&) override {}
    void sendRawLine(const std::string&) override {}
    std::string ownerNick() const override { return "Owner"; }
};

// 10,000 volume sets in a row, as a media-controls client sends them, on a real settings file
// (each write is flushed to disk): the time the calls hold the thread that makes them.
void BM_TenThousandVolumeSets(benchmark::State& state)
{
    const std::string dir = tempDir();
    tavu::SimRuntime runtime;
    SilentRoom room;
    tavu::test::FakeMediaPlayer media;
    tavu::test::FakeSoundPlayer sound;
    tavu::test::FakeDialogs dialogs;
    tavu::test::FakeFontList fonts;
    tavu::Bot bot(runtime, room, dir, {media, sound, dialogs, fonts});
    double longest = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 1; i <= 10'000; ++i)
            tavu::storeVolumeLevel(bot, i % 100 + 0.5);
        longest = std::max(longest, msSince(start));
        runtime.advance(2000);
    }
    state.counters["burst_ms"] = longest;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_TenThousandVolumeSets)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
