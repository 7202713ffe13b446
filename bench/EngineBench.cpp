// The audio engine measured through the program's own player on SDL's disk driver, for
// bench/engine_bench.sh:
//   tavu_engine_bench gap REFERENCE.wav CUT A B plays A with B following it (as auto continue does
//                                               with Gapless=1) and compares the output with the
//                                               tone the two were cut from at frame CUT: frames
//                                               missing or added, the largest step at the cut and
//                                               elsewhere
//   tavu_engine_bench level FILE...             the output level of each file under ReplayGain
//                                               "track"; an untagged one is played, measured in the
//                                               background and played again
//   tavu_engine_bench latency A B               in real time: from pause, stop and opening another
//                                               song to the output changing, ten times each
//   tavu_engine_bench memory COUNT FILE...      plays COUNT songs of the files in turn, every other
//                                               one following without a gap; RSS and the engine's
//                                               buffers before and after
// Each writes its own output file (SDL_DISKAUDIOFILE) in a temporary folder, in real time unless
// SDL_DISKAUDIODELAY asks for less (latency is always measured in real time).

#include "ProcessMemory.h"
#include "platform/AudioEngine.h"
#include "platform/LoudnessMeter.h"
#include "platform/LoudnessTagReader.h"
#include "platform/SdlAudio.h"
#include "platform/SdlMediaPlayer.h"
#include "platform/SqliteLibraryCache.h"
#include "support/PumpedQtRuntime.h"

#include <QCoreApplication>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace tavu;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Interleaved stereo 16-bit samples.
std::vector<std::int16_t> samplesOf(const std::string& bytes, std::size_t from = 0)
{
    std::vector<std::int16_t> s((bytes.size() - std::min(from, bytes.size())) / 2);
    std::memcpy(s.data(), bytes.data() + from, s.size() * 2);
    return s;
}

// The samples of a 16-bit stereo WAV file as sox writes it (the "data" chunk found by name).
std::vector<std::int16_t> wavSamples(const std::string& path)
{
    const std::string bytes = readAll(path);
    const std::size_t data = bytes.find("data");
    if (data == std::string::npos)
        return {};
    return samplesOf(bytes, data + 8);
}

bool waitFor(test::PumpedQtRuntime& runtime, const std::function<bool()>& done, int ms)
{
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (!done() && Clock::now() < until)
        runtime.runFor(2);
    return done();
}

// A fresh output file for SDL's disk driver, removed with the folder.
class OutputFile {
public:
    OutputFile()
    {
        char pattern[] = "/tmp/tavu_engine_bench_XXXXXX";
        m_dir = ::mkdtemp(pattern) ? pattern : "/tmp";
        m_path = m_dir + "/output.raw";
        ::setenv("SDL_DISKAUDIOFILE", m_path.c_str(), 1);
    }
    ~OutputFile() { fs::remove_all(m_dir); }
    const std::string& path() const { return m_path; }
    const std::string& dir() const { return m_dir; }

private:
    std::string m_dir, m_path;
};

double largestStep(const std::vector<std::int16_t>& s, std::size_t fromFrame, std::size_t toFrame)
{
    int most = 0;
    for (std::size_t f = std::max<std::size_t>(fromFrame, 1); f < toFrame && f * 2 + 1 < s.size(); ++f)
        for (int c = 0; c < 2; ++c)
            most = std::max(most, std::abs(s[f * 2 + c] - s[(f - 1) * 2 + c]));
    return most / 32768.0;
}

int gap(const std::string& reference, std::size_t cut, const std::string& a, const std::string& b)
{
    const std::vector<std::int16_t> tone = wavSamples(reference);
    if (tone.empty())
        return 2;
    OutputFile output;
    {
        test::PumpedQtRuntime runtime;
        SdlAudio audio;
        SdlMediaPlayer player(audio, runtime);
        int ends = 0;
        player.endOfStream = [&] {
            if (++ends == 1)
                player.open(b); // what the continuation does: the song that follows is playing already
        };
        if (!player.open(a))
            return 1;
        player.setFollowing(b);
        if (!waitFor(
                runtime, [&] { return ends == 2; }, 60000))
            return 1;
    }
    const std::vector<std::int16_t> out = samplesOf(readAll(output.path()));
    const std::size_t frames = out.size() / 2;
    std::size_t first = 0;
    while (first < frames && out[first * 2] == 0 && out[first * 2 + 1] == 0)
        ++first;
    // The tone starts at a zero crossing: the best match near the first sound is its start.
    std::size_t start = first;
    double best = 1e300;
    for (std::size_t s = first > 2 ? first - 2 : 0; s <= first + 2 && s < frames; ++s) {
        double diff = 0;
        for (std::size_t i = 0; i < 2000 && (s + i) * 2 + 1 < out.size(); ++i)
            diff += std::abs(out[(s + i) * 2] - tone[i * 2]);
        if (diff < best) {
            best = diff;
            start = s;
        }
    }
    std::size_t last = frames;
    while (last > start && out[(last - 1) * 2] == 0 && out[(last - 1) * 2 + 1] == 0)
        --last;
    const long played = static_cast<long>(last - start);
    const long expected = static_cast<long>(tone.size() / 2);
    const double atCut = largestStep(out, start + cut - 64, start + cut + 64);
    const double elsewhere = largestStep(out, start + 4096, start + cut - 256);
    double worst = 0;
    for (std::size_t f = cut > 512 ? cut - 512 : 0; f < cut + 512 && (start + f) * 2 < out.size(); ++f)
        worst = std::max(worst, std::abs(out[(start + f) * 2] - tone[f * 2]) / 32768.0);
    std::printf("frames %ld expected %ld missing_or_added %ld step_at_cut %.4f step_elsewhere %.4f "
                "worst_error_near_cut %.4f\n",
                played, expected, played - expected, atCut, elsewhere, worst);
    return 0;
}

// The RMS level in dB of full scale of the middle of the music in the output.
double outputLevelDb(const std::string& path)
{
    const std::vector<std::int16_t> out = samplesOf(readAll(path));
    std::size_t first = 0, last = out.size();
    while (first < out.size() && out[first] == 0)
        ++first;
    while (last > first && out[last - 1] == 0)
        --last;
    const std::size_t margin = (last - first) / 10;
    double sum = 0;
    for (std::size_t i = first + margin; i < last - margin; ++i)
        sum += (out[i] / 32768.0) * (out[i] / 32768.0);
    return 10 * std::log10(sum / double(last - first - 2 * margin));
}

int level(const std::vector<std::string>& files)
{
    OutputFile output;
    SqliteLibraryCache store(output.dir() + "/Library.db");
    LoudnessMeter meter(&store);
    const auto playOnce = [&](const std::string& file) {
        std::optional<double> db;
        {
            test::PumpedQtRuntime runtime;
            SdlAudio audio;
            SdlMediaPlayer player(audio, runtime);
            player.setReplayGain({ReplayGainOptions::Mode::Track, 0.0, 0.0});
            player.setLoudnessMeter(&meter);
            bool ended = false;
            player.endOfStream = [&] { ended = true; };
            if (!player.open(file) || !waitFor(
                                          runtime, [&] { return ended; }, 60000))
                return db;
        }
        db = outputLevelDb(output.path());
        return db;
    };
    for (const std::string& file : files) {
        const auto first = playOnce(file);
        if (!first)
            return 1;
        if (hasGainTags(readLoudnessTags(file))) {
            std::printf("%s level %.3f\n", file.c_str(), *first);
            continue;
        }
        const auto measuredAt = Clock::now();
        test::PumpedQtRuntime runtime;
        if (!waitFor(
                runtime, [&] { return bool(meter.known(file)); }, 60000))
            return 1;
        const double took = std::chrono::duration<double>(Clock::now() - measuredAt).count();
        const auto again = playOnce(file);
        if (!again)
            return 1;
        const auto known = meter.known(file);
        std::printf("%s unmeasured %.3f level %.3f measured_gain %.3f measured_within_s %.3f\n", file.c_str(), *first,
                    *again, known && known->loudness ? known->loudness->gainDb : 0.0, took);
    }
    return 0;
}

// Watches the output file as the disk driver writes it, one device buffer at a time.
class OutputWatch {
public:
    explicit OutputWatch(std::string path) : m_path(std::move(path)) {}

    // Waits (handling events) until a buffer written from now on satisfies `changed`; the seconds
    // from `since` to when it was seen, or a negative figure after a time-out.
    double until(test::PumpedQtRuntime& runtime, Clock::time_point since,
                 const std::function<bool(double peak)>& changed)
    {
        const auto giveUp = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < giveUp) {
            const std::uintmax_t size = fs::exists(m_path) ? fs::file_size(m_path) : 0;
            while (size >= m_read + kBufferBytes) {
                std::ifstream in(m_path, std::ios::binary);
                in.seekg(static_cast<std::streamoff>(m_read));
                std::vector<std::int16_t> buffer(kBufferBytes / 2);
                in.read(reinterpret_cast<char*>(buffer.data()), kBufferBytes);
                m_read += kBufferBytes;
                int peak = 0;
                for (std::int16_t v : buffer)
                    peak = std::max(peak, std::abs(int(v)));
                if (changed(peak / 32768.0))
                    return std::chrono::duration<double>(Clock::now() - since).count();
            }
            runtime.runFor(1);
        }
        return -1;
    }
    // Skips what was written so far.
    void skip() { m_read = fs::exists(m_path) ? fs::file_size(m_path) / kBufferBytes * kBufferBytes : 0; }

private:
    static constexpr std::uintmax_t kBufferBytes = 2048 * 4; // the device's buffer of SdlAudio
    std::string m_path;
    std::uintmax_t m_read = 0;
};

int latency(const std::string& a, const std::string& b)
{
    ::unsetenv("SDL_DISKAUDIODELAY"); // real time, one buffer at a time
    OutputFile output;
    test::PumpedQtRuntime runtime;
    SdlAudio audio;
    SdlMediaPlayer player(audio, runtime);
    OutputWatch watch(output.path());
    std::vector<double> pause, resume, stop, next;
    const auto settle = [&] { runtime.runFor(300); };
    const auto loud = [](double peak) { return peak > 0.5; };                 // song b: a tone at 0.8
    const auto quiet = [](double peak) { return peak > 0.01 && peak < 0.5; }; // song a: 0.3
    const auto silent = [](double peak) { return peak == 0.0; };
    for (int round = 0; round < 10; ++round) {
        if (!player.open(a))
            return 1;
        watch.skip();
        watch.until(runtime, Clock::now(), quiet);
        settle();
        watch.skip();
        auto t = Clock::now();
        player.pause();
        pause.push_back(watch.until(runtime, t, silent));
        settle();
        watch.skip();
        t = Clock::now();
        player.play();
        resume.push_back(watch.until(runtime, t, quiet));
        settle();
        watch.skip();
        t = Clock::now();
        player.open(b); // next
        next.push_back(watch.until(runtime, t, loud));
        settle();
        watch.skip();
        t = Clock::now();
        player.stop();
        stop.push_back(watch.until(runtime, t, silent));
        settle();
    }
    const auto report = [](const char* what, std::vector<double> v) {
        std::sort(v.begin(), v.end());
        std::printf("%s median_ms %.1f max_ms %.1f%s\n", what, v[v.size() / 2] * 1000, v.back() * 1000,
                    v.front() < 0 ? " (timed out)" : "");
    };
    report("pause", pause);
    report("resume", resume);
    report("next", next);
    report("stop", stop);
    std::printf("device_buffer ms %.1f\n", 2048 * 1000.0 / SdlAudio::kRate);
    return 0;
}

int memory(int count, const std::vector<std::string>& files)
{
    OutputFile output;
    test::PumpedQtRuntime runtime;
    SdlAudio audio;
    SdlMediaPlayer player(audio, runtime);
    int ends = 0, opened = 0;
    std::string following;
    const auto fileFor = [&](int n) { return files[static_cast<std::size_t>(n) % files.size()]; };
    // Every other song follows the one before it without a gap; the others are opened anew.
    const std::function<void()> openNext = [&] {
        const std::string song = fileFor(opened);
        ++opened;
        player.open(song);
        if (opened % 2 == 1 && opened < count)
            player.setFollowing(following = fileFor(opened));
        else
            following.clear();
    };
    player.endOfStream = [&] {
        ++ends;
        if (opened >= count)
            return;
        if (!following.empty()) {
            ++opened;
            player.open(following); // playing already
            following.clear();
        } else {
            runtime.post(openNext);
        }
    };
    long before = 0;
    openNext();
    if (!waitFor(
            runtime, [&] { return ends >= 10; }, 120000))
        return 1;
    before = bench::rssKb();
    if (!waitFor(
            runtime, [&] { return ends >= count; }, 3600000))
        return 1;
    const long after = bench::rssKb();
    const std::size_t ringBytes = AudioEngine::kRingFrames * 2 * sizeof(float);
    std::printf("songs %d rss_after_10_kb %ld rss_after_%d_kb %ld growth_kb %ld engine_ring_kb %zu\n", ends, before,
                count, after, after - before, ringBytes / 1024);
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: tavu_engine_bench gap REFERENCE.wav CUT A B | level FILE... | latency A B | "
                         "memory COUNT FILE...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    std::vector<std::string> args(argv + std::min(argc, 2), argv + argc);
    // The disk driver keeps real time unless SDL_DISKAUDIODELAY says otherwise: faster than the
    // decoder, the output would play silence where music was late.
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    QCoreApplication app(argc, argv);
    if (mode == "gap" && args.size() == 4)
        return gap(args[0], static_cast<std::size_t>(std::atol(args[1].c_str())), args[2], args[3]);
    if (mode == "level" && !args.empty())
        return level(args);
    if (mode == "latency" && args.size() == 2)
        return latency(args[0], args[1]);
    if (mode == "memory" && args.size() >= 2)
        return memory(std::max(1, std::atoi(args[0].c_str())), {args.begin() + 1, args.end()});
    return usage();
}
