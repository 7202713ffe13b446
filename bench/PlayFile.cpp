// Plays an MP3 through the program's own player, for bench/playback_cpu.sh.
//   tavu_play_bench write FILE SECONDS   writes an MP3 of wideband noise (as costly to decode as
//                                        music) of about that length
//   tavu_play_bench play FILE [TIMES]    plays it to its end, TIMES times over (as the repeat mode
//                                        does); exit status 0 when every end was reported
//   tavu_play_bench idle SECONDS         opens the output and a player, starts and stops a song, lets
//                                        the output go to sleep as the program does (10 s), then
//                                        waits; prints the CPU seconds used while waiting
// The SDL driver is whatever SDL_AUDIODRIVER says (the script uses "disk" and "dummy").

#include "platform/SdlAudio.h"
#include "platform/SdlMediaPlayer.h"
#include "support/Mp3Writer.h"
#include "support/PumpedQtRuntime.h"

#include <QCoreApplication>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int usage()
{
    std::fprintf(stderr, "usage: tavu_play_bench write FILE SECONDS | play FILE [TIMES] | idle SECONDS\n");
    return 2;
}

int play(QCoreApplication& app, const std::string& file, int times)
{
    tavu::test::PumpedQtRuntime runtime;
    tavu::SdlAudio audio;
    tavu::SdlMediaPlayer player(audio, runtime);
    int ends = 0;
    player.endOfStream = [&] {
        if (++ends < times)
            player.open(file);
        else
            app.quit();
    };
    if (!player.open(file)) {
        std::fprintf(stderr, "tavu_play_bench: cannot play %s\n", file.c_str());
        return 1;
    }
    QTimer::singleShot(static_cast<int>(player.duration() * 2000 * times) + 10000, &app, &QCoreApplication::quit);
    app.exec();
    return ends == times ? 0 : 1;
}

int idle(double seconds)
{
    tavu::test::PumpedQtRuntime runtime;
    tavu::SdlAudio audio;
    tavu::SdlMediaPlayer player(audio, runtime);
    audio.sleepWhenSilent(runtime);
    const std::string song =
        (std::filesystem::temp_directory_path() / ("tavu_play_bench_" + std::to_string(::getpid()) + ".mp3")).string();
    tavu::test::Mp3Writer().silence(tavu::test::Mp3Writer::framesFor(5)).write(song);
    player.open(song);
    runtime.runFor(200);
    player.stop();
    std::remove(song.c_str());
    runtime.runFor(10500);
    const double before = cpuSeconds();
    runtime.runFor(static_cast<std::int64_t>(seconds * 1000));
    std::printf("%.3f\n", cpuSeconds() - before);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "write" && argc == 4)
        return tavu::test::Mp3Writer().noise(tavu::test::Mp3Writer::framesFor(std::atof(argv[3]))).write(argv[2]) ? 0
                                                                                                                  : 1;
    QCoreApplication app(argc, argv);
    if (mode == "play" && (argc == 3 || argc == 4))
        return play(app, argv[2], argc == 4 ? std::max(1, std::atoi(argv[3])) : 1);
    if (mode == "idle" && argc == 3)
        return idle(std::atof(argv[2]));
    return usage();
}
