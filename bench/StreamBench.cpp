// The stream's source measured: its encoder's CPU on a file of samples (bench/stream_bench.sh
// compares it with lame on the same samples), the delay from a song's start to its title in the
// stream and from the music to a listener, and memory and descriptors over a long run.
#include "ProcessMemory.h"
#include "StreamProbe.h"

#include "platform/IcecastSource.h"
#include "platform/LameEncoder.h"

#include <QCoreApplication>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace tavu;
using Clock = std::chrono::steady_clock;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long openFiles()
{
    long n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

double since(Clock::time_point t)
{
    return std::chrono::duration<double>(Clock::now() - t).count();
}

IcecastTarget target(int port)
{
    IcecastTarget t;
    t.host = "127.0.0.1";
    t.port = port;
    t.mount = "/tavu";
    t.user = "source";
    t.password = "hackme";
    return t;
}

std::string mountUrl(int port)
{
    return "http://127.0.0.1:" + std::to_string(port) + "/tavu";
}

// Interleaved stereo float samples at 44.1 kHz, encoded as the stream does, in 20 ms pieces.
int encode(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    const double start = cpuSeconds();
    LameEncoder encoder(44100, 128);
    StreamEncoder::Bytes out;
    std::size_t total = 0;
    constexpr std::size_t kPiece = 882;
    for (std::size_t at = 0; at + kPiece * 2 <= samples.size(); at += kPiece * 2) {
        encoder.encode(samples.data() + at, kPiece, out);
        total += out.size();
        out.clear();
    }
    std::printf("encode_cpu_s %.3f bytes %zu\n", cpuSeconds() - start, total);
    return 0;
}

// A listener that stays connected and reads the ICY metadata blocks as they come: the title of
// each block, or "" when the stream ended.
class IcyListener {
public:
    explicit IcyListener(const std::string& url)
        : m_pipe(::popen(("curl -sN -i -H 'Icy-MetaData: 1' " + url).c_str(), "r"))
    {
        std::string headers;
        for (int c; (c = std::fgetc(m_pipe)) != EOF;) {
            headers += static_cast<char>(c);
            if (headers.ends_with("\r\n\r\n"))
                break;
        }
        const std::size_t at = headers.find("icy-metaint:");
        m_interval = at == std::string::npos ? 0 : std::stoi(headers.substr(at + 12));
    }
    ~IcyListener() { ::pclose(m_pipe); }
    std::string nextTitle()
    {
        std::vector<char> skip(static_cast<std::size_t>(m_interval));
        if (m_interval == 0 || std::fread(skip.data(), 1, skip.size(), m_pipe) != skip.size())
            return {};
        const int length = std::fgetc(m_pipe) * 16;
        std::string meta(static_cast<std::size_t>(std::max(length, 0)), '\0');
        if (length > 0 && std::fread(meta.data(), 1, meta.size(), m_pipe) != meta.size())
            return {};
        const std::size_t from = meta.find("StreamTitle='");
        return from == std::string::npos ? m_last
                                         : (m_last = meta.substr(from + 13, meta.find("';", from) - from - 13));
    }

private:
    FILE* m_pipe;
    int m_interval = 0;
    std::string m_last;
};

int latency(int port)
{
    auto tap = IcecastSource::makeTap();
    test::ToneWriter tone(tap, 0, 0.5);
    std::atomic<bool> open = false;
    IcecastSource source(target(port), tap, [&](const IcecastSource::Report& r) { open = r.open; });
    while (!open)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    source.setTitle("Song start");
    std::this_thread::sleep_for(std::chrono::seconds(2));

    // From a song's start to its title at a listener that is connected.
    {
        IcyListener listener(mountUrl(port));
        while (listener.nextTitle() != "Song start")
            ;
        const auto caughtUp = Clock::now();
        while (since(caughtUp) < 1) // past the burst: the listener is at the live edge
            listener.nextTitle();
        double worst = 0;
        for (int i = 0; i < 5; ++i) {
            const std::string title = "Song " + std::to_string(i);
            const auto start = Clock::now();
            source.setTitle(title);
            while (listener.nextTitle() != title && since(start) < 10)
                ;
            worst = std::max(worst, since(start));
            std::printf("title_s %.3f\n", since(start));
        }
        std::printf("title_worst_s %.3f\n", worst);
    }

    // A new listener: how soon it has audio, and then how long the music takes to reach it.
    const std::string command = "curl -sN " + mountUrl(port) + " | mpg123 -q -s -m -r 8000 - 2>/dev/null";
    const auto connected = Clock::now();
    FILE* pipe = ::popen(command.c_str(), "r");
    std::vector<short> block(80); // 10 ms
    bool firstAudio = false;
    std::optional<Clock::time_point> toneAt;
    while (std::fread(block.data(), sizeof(short), block.size(), pipe) == block.size()) {
        if (!firstAudio) {
            firstAudio = true;
            std::printf("first_audio_after_connect_s %.3f\n", since(connected));
        }
        if (!toneAt && since(connected) > 6) { // past the burst of silence Icecast sent at once
            toneAt = Clock::now();
            tone.setFrequency(1000);
        }
        double sum = 0;
        for (short s : block)
            sum += double(s) * s;
        if (toneAt && std::sqrt(sum / block.size()) > 3000) {
            std::printf("music_to_listener_s %.3f\n", since(*toneAt));
            break;
        }
        if (toneAt && since(*toneAt) > 30)
            break;
    }
    ::pclose(pipe);
    return 0;
}

int soak(int port, int seconds)
{
    auto tap = IcecastSource::makeTap();
    test::ToneWriter tone(tap, 440, 0.5);
    IcecastSource source(target(port), tap, [](const IcecastSource::Report&) {});
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const long rss0 = bench::rssKb(), fd0 = openFiles();
    const double cpu0 = cpuSeconds();
    for (int i = 0; i < seconds; ++i) {
        source.setTitle("Song " + std::to_string(i / 180)); // a new song every three minutes
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    std::printf("soak_s %d rss_kb_before %ld rss_kb_after %ld fds_before %ld fds_after %ld cpu_per_60s %.3f "
                "dropped_bytes %llu\n",
                seconds, rss0, bench::rssKb(), fd0, openFiles(), (cpuSeconds() - cpu0) * 60 / seconds,
                static_cast<unsigned long long>(source.droppedBytes()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // for the listeners' processes
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "encode" && argc == 3)
        return encode(argv[2]);
    if (mode == "latency" && argc == 3)
        return latency(std::stoi(argv[2]));
    if (mode == "soak" && argc == 4)
        return soak(std::stoi(argv[2]), std::stoi(argv[3]));
    std::fprintf(stderr, "usage: %s encode SAMPLES.f32 | latency PORT | soak PORT SECONDS\n", argv[0]);
    return 2;
}
