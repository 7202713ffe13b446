// How long the event loop stops answering while the bot does something big: a 50 ms timer on the
// UI thread notes how late each of its ticks comes, and the longest delay of each phase is printed.
// The bot runs on the program's own Qt event loop with its real library (tags, Library.db) and its
// real media controls on a private D-Bus daemon; the sound and the chat room are the test fakes.
//   tavu_stall_bench [TREE]
// TREE (default: tavu-stall-tree in the temporary folder) gets 100,000 tagged songs in 1,000
// folders once and is kept for the next run. Prints one line per phase: "NAME MAX_MS CPU_MS TICKS":
// the longest delay of a tick, and the most CPU time the UI thread used between two ticks (what the
// delay would be on an idle machine, where the thread is never made to wait for a core).
//   dir-first   "!dir TREE" with an empty Library.db (every tag read)
//   dir-cache   "!dir TREE" again, tags from Library.db
//   mpris       10,000 calls sent without waiting for answers (Next, Volume, OpenUri of a file
//               outside the list), until the last one has been answered
//   y-listing   "!play song" (20,000 matches) and "y", the first 5 s of the listing
#include "bot/Bot.h"
#include "bot/SideWindows.h"
#include "desktop/MprisService.h"
#include "platform/QtRuntime.h"
#include "platform/SqliteLibraryCache.h"
#include "platform/TagLibReader.h"
#include "settings/SettingsKeys.h"
#include "support/FakeChatRoom.h"
#include "support/Fakes.h"
#include "support/Mp3Writer.h"
#include "support/TagWriter.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace tavu;
constexpr int kFolders = 1000, kSongsPerFolder = 100;
constexpr int kProbeMs = 50;

class NoWindows : public SideWindows {
public:
    void setPlaylistVisible(bool) override {}
    bool playlistVisible() const override { return false; }
    void setId3Visible(bool) override {}
    void showCommands() override {}
    void minimizeMain() override {}
    void showMain() override {}
    void closeMain() override {}
};

// One song in five has "song" in its title: 20,000 matches for "!play song".
fs::path makeTree(const fs::path& root)
{
    if (fs::exists(root / ".complete"))
        return root;
    fs::remove_all(root);
    const std::string frames = test::Mp3Writer().silence(2).bytes();
    for (int folder = 0; folder < kFolders; ++folder) {
        const fs::path dir = root / ("Artist " + std::to_string(folder / 10)) / ("Album " + std::to_string(folder));
        fs::create_directories(dir);
        for (int track = 0; track < kSongsPerFolder; ++track) {
            const int n = folder * kSongsPerFolder + track;
            const std::string title = (n % 5 == 0 ? "Song " : "Tune ") + std::to_string(n);
            std::ofstream(dir / (std::to_string(track) + " - track " + std::to_string(n) + ".mp3"), std::ios::binary)
                << test::id3v2Tag(4, test::TextEncoding::Utf8,
                                  {{"TIT2", title}, {"TPE1", "Artist " + std::to_string(folder / 10)}})
                << frames;
        }
    }
    std::ofstream(root / ".complete");
    return root;
}

// The longest delay of the probe's ticks while work runs, until done() holds.
struct Stall {
    qint64 maxLateMs = 0;
    double maxCpuMs = 0;
    int ticks = 0;
};

double threadCpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

Stall measure(const std::function<void()>& work, const std::function<bool()>& done)
{
    Stall stall;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    double lastCpu = threadCpuMs();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(kProbeMs);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        const double cpu = threadCpuMs();
        stall.maxLateMs = std::max(stall.maxLateMs, now - last - kProbeMs);
        stall.maxCpuMs = std::max(stall.maxCpuMs, cpu - lastCpu);
        last = now;
        lastCpu = cpu;
        ++stall.ticks;
    });
    probe.start();
    last = clock.elapsed();
    QTimer::singleShot(0, work);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // The tick that was due while the last of the work ran.
    const qint64 now = clock.elapsed();
    stall.maxLateMs = std::max(stall.maxLateMs, now - last - kProbeMs);
    stall.maxCpuMs = std::max(stall.maxCpuMs, threadCpuMs() - lastCpu);
    return stall;
}

void print(const char* name, const Stall& stall)
{
    std::printf("%s %lld %.1f %d\n", name, static_cast<long long>(std::max<qint64>(stall.maxLateMs, 0)), stall.maxCpuMs,
                stall.ticks);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const fs::path tree = makeTree(argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "tavu-stall-tree");
    const fs::path home =
        fs::temp_directory_path() / ("tavu-stall-home-" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(home);
    fs::create_directories(home);

    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!daemon.waitForStarted() || !daemon.waitForReadyRead(10000)) {
        std::fprintf(stderr, "no dbus-daemon\n");
        return 2;
    }
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();

    {
        QtRuntime runtime;
        test::FakeChatRoom room;
        test::FakeMediaPlayer media;
        test::FakeSoundPlayer sound;
        test::FakeDialogs dialogs;
        test::FakeFontList fonts;
        TagLibReader tags;
        SqliteLibraryCache cache((home / "Library.db").string());
        Bot bot(runtime, room, home.string(), BotServices{media, sound, dialogs, fonts, &tags, &cache});
        bot.settings().write(keys::LibrarySubfolders, "1");
        bot.settings().write(keys::LibraryTitles, "tags");
        bot.settings().write(keys::Trig, "!");
        bot.startChat();
        NoWindows windows;
        const QDBusConnection serviceBus = QDBusConnection::connectToBus(address, QStringLiteral("tavu"));
        MprisService service(bot, windows, serviceBus);

        const auto replied = [&](std::size_t before) { return [&room, before] { return room.sent.size() > before; }; };
        const std::string dirLine = "!dir " + tree.string();
        for (const char* name : {"dir-first", "dir-cache"}) {
            const std::size_t before = room.sent.size();
            print(name, measure([&] { room.ownerSays(dirLine); }, replied(before)));
        }
        if (bot.songList.count() != std::size_t(kFolders * kSongsPerFolder)) {
            std::fprintf(stderr, "the listing has %zu songs\n", bot.songList.count());
            return 1;
        }

        // 10,000 calls from another connection and thread; the last one is answered after the others
        // have been taken (one connection's calls arrive in order).
        bot.playlistRows.select(0);
        const QString outside = QStringLiteral("file://") + QString::fromStdString((home / "Library.db").string());
        std::atomic<bool> answered = false;
        std::thread client;
        const Stall mpris = measure(
            [&] {
                client = std::thread([&] {
                    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("client"));
                    const QString name = QStringLiteral("org.mpris.MediaPlayer2.tavu");
                    const QString path = QStringLiteral("/org/mpris/MediaPlayer2");
                    const QString player = QStringLiteral("org.mpris.MediaPlayer2.Player");
                    for (int i = 0; i < 10000; ++i) {
                        QDBusMessage call;
                        if (i % 3 == 0) {
                            call = QDBusMessage::createMethodCall(name, path, player, QStringLiteral("Next"));
                        } else if (i % 3 == 1) {
                            call = QDBusMessage::createMethodCall(
                                name, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
                            call << player << QStringLiteral("Volume")
                                 << QVariant::fromValue(QDBusVariant((i % 100) / 100.0));
                        } else {
                            call = QDBusMessage::createMethodCall(name, path, player, QStringLiteral("OpenUri"));
                            call << outside;
                        }
                        bus.send(call);
                    }
                    QDBusMessage last = QDBusMessage::createMethodCall(
                        name, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
                    last << player << QStringLiteral("PlaybackStatus");
                    bus.call(last, QDBus::Block, 120000);
                    answered = true;
                });
            },
            [&] { return answered.load(); });
        client.join();
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        print("mpris", mpris);

        // The selection dialogue lists its matches one a second; the owner answers "y" to its
        // question, and after 5 s of the listing the program is told to end, which ends it.
        bool listed = false;
        std::size_t lines = 0;
        room.onSend = [&](const std::string& line, bool) {
            ++lines;
            if (line.find("Scroll found") == std::string::npos)
                return;
            QTimer::singleShot(0, [&] { room.ownerSays("y"); });
            QTimer::singleShot(5000, [&] {
                listed = true;
                runtime.quit();
            });
        };
        print("y-listing", measure([&] { room.ownerSays("!play song"); }, [&] { return listed; }));
        if (lines < 5)
            std::fprintf(stderr, "the listing did not start (%zu lines)\n", lines);
        runtime.quit();
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("tavu"));
    daemon.terminate();
    daemon.waitForFinished();
    fs::remove_all(home);
    return 0;
}
