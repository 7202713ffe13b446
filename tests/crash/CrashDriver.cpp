// Kills a running bot at random moments while its owner changes settings, styles and the played
// counter, and checks after each kill that Tavu.ini, Styles.txt and the style files read back and
// hold, file by file and key by key, either the values before the command that was running or the
// values after it, once the next start has completed what the kill interrupted; and that the style
// index and the style files then agree. Every other kill falls right after the bot has replaced the
// index or put a style file in place, the moments at which a style is half saved or half removed.
//
//   tavu_crash_driver kill ROUNDS [SEED]   the test: ROUNDS kills, each checked
//   tavu_crash_driver run DIR MUSIC FIRST  the bot that is killed: runs commands FIRST, FIRST+1, ...
//                                          in DIR and writes each one's number to stdout when done
//
// The values to expect come from a second bot that runs the same commands on a copy of the files
// in this process: the state after the last command reported done, and that state with the next
// command run as well.
#include "app/CommandLine.h"
#include "bot/Bot.h"
#include "chat/SavedStyles.h"
#include "chat/StyleCommands.h"
#include "player/FileList.h"
#include "settings/ListFile.h"
#include "settings/ProfileFile.h"
#include "support/FakeChatRoom.h"
#include "support/Fakes.h"
#include "support/SimRuntime.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <random>
#include <set>
#include <sstream>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace tavu;
namespace fs = std::filesystem;

// Command number n of the endless sequence; each writes one or two files.
std::string command(long n)
{
    static const char* const kColours[] = {"ff0000", "00ff00", "0000ff", "abcdef", "123456"};
    static const char* const kNames[] = {"Alpha", "Beta", "Gamma", "Delta"};
    switch (n % 6) {
    case 0:
        return "!vol " + std::to_string((n * 7) % 101);
    case 1:
        return "!tc " + std::string(kColours[(n / 6) % 5]);
    case 2:
        return "!next";
    case 3:
        return "!sstyle " + std::string(kNames[(n / 6) % 4]);
    case 4:
        return "!fa <" + std::to_string(n % 1000) + ">";
    default:
        return (n / 6) % 2 ? "!rstyle " + std::string(kNames[(n / 6 + 1) % 4])
                           : "!lstyle " + std::string(kNames[(n / 6 + 2) % 4]);
    }
}

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A bot in a program directory, on the simulated clock, as the program starts it.
struct Runner {
    Runner(const std::string& dir, const std::string& music) : bot(runtime, room, dir, {media, sound, dialogs, fonts})
    {
        bot.startChat();
        bot.dir = music;
        fillSongList(bot.songFiles, bot.songList, bot.playlistRows, bot.dir);
        bot.played.setCaption(readSetting("Totals", "Mp3s Played", dir + "/Tavu.ini"));
        bot.lblVol.setCaption(readSetting("Settings", "Volume", dir + "/Tavu.ini"));
        test::finish(runtime, bot.savedStyles->loadIndexNow());
    }
    void run(long n)
    {
        const auto mark = bot.tasks().mark();
        room.ownerSays(command(n));
        runtime.runWhile([&] { return bot.tasks().runningSince(mark); });
        // A second passes before the next command, so that the played counter, which is written once
        // a second at most, has landed when the command counts as done.
        runtime.advance(1000);
        room.sent.clear();
    }
    SimRuntime runtime;
    test::FakeChatRoom room{"Owner"};
    test::FakeMediaPlayer media;
    test::FakeSoundPlayer sound;
    test::FakeDialogs dialogs;
    test::FakeFontList fonts;
    Bot bot;
};

int runBot(const std::string& dir, const std::string& music, long first)
{
    Runner runner(dir, music);
    for (long n = first;; ++n) {
        runner.run(n);
        const std::string done = std::to_string(n) + "\n";
        if (::write(1, done.data(), done.size()) < 0)
            return 1;
    }
}

void copyDir(const fs::path& from, const fs::path& to)
{
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
}

std::vector<std::pair<std::string, std::string>> settingKeys()
{
    std::vector<std::pair<std::string, std::string>> keys{
        {"Settings", "Volume"}, {"Settings", "Trig"}, {"Totals", "Mp3s Played"}};
    for (const auto& c : StyleCommands::table())
        keys.emplace_back(std::string(kStyleSection), std::string(styleKey(c.value)));
    return keys;
}

// Every line of a settings file is whole: a section, a key with a value, or empty.
bool wholeLines(const std::string& bytes)
{
    if (!bytes.empty() && bytes.substr(bytes.size() - 2) != "\r\n")
        return false;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() != '[' && line.find('=') == std::string::npos)
            return false;
    }
    return true;
}

// The reasons the killed directory is neither the old state nor the new one, file by file.
std::vector<std::string> compare(const fs::path& killed, const fs::path& before, const fs::path& after)
{
    std::vector<std::string> faults;
    const std::string ini = readAll(killed / "Tavu.ini");
    if (!wholeLines(ini))
        faults.push_back("Tavu.ini has a torn line");
    for (const auto& [section, key] : settingKeys()) {
        const std::string v = readSetting(section, key, (killed / "Tavu.ini").string());
        const std::string a = readSetting(section, key, (before / "Tavu.ini").string());
        const std::string b = readSetting(section, key, (after / "Tavu.ini").string());
        if (v != a && v != b)
            faults.push_back(section + "/" + key + " is \"" + v + "\", neither \"" + a + "\" nor \"" + b + "\"");
    }
    const auto index = parseListFile(readAll(killed / "Styles.txt"));
    if (index != parseListFile(readAll(before / "Styles.txt")) && index != parseListFile(readAll(after / "Styles.txt")))
        faults.push_back("Styles.txt is neither the old nor the new index");
    std::set<std::string> names;
    for (const fs::path& d : {killed, before, after})
        for (const auto& entry : fs::directory_iterator(d / "Styles"))
            names.insert(entry.path().filename().string());
    for (const std::string& name : names) {
        if (!name.ends_with(".ini"))
            continue; // a temporary file a kill left behind; no style
        const auto bytes = [&](const fs::path& d) {
            return fs::exists(d / "Styles" / name) ? std::optional(readAll(d / "Styles" / name)) : std::nullopt;
        };
        const auto k = bytes(killed);
        if (k != bytes(before) && k != bytes(after))
            faults.push_back("Styles/" + name + " is neither the old nor the new file");
        if (k && !wholeLines(*k))
            faults.push_back("Styles/" + name + " has a torn line");
    }
    return faults;
}

// The index and the style files agree: every name of Styles.txt has its file in Styles/, and every
// style file there is named in Styles.txt (every style of this run came from "sstyle").
std::vector<std::string> disagreements(const fs::path& dir)
{
    std::vector<std::string> faults;
    const auto listed = parseListFile(readAll(dir / "Styles.txt"));
    const std::set<std::string> names(listed.begin(), listed.end());
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir / "Styles"))
        if (const std::string f = entry.path().filename().string(); f.ends_with(".ini"))
            files.insert(f.substr(0, f.size() - 4));
    for (const std::string& name : names)
        if (!files.contains(name))
            faults.push_back("the index names " + name + ", whose style file is missing");
    for (const std::string& name : files)
        if (!names.contains(name))
            faults.push_back("Styles/" + name + ".ini is not in the index");
    return faults;
}

// Waits until the bot replaces the index or puts a style file in place, the moments around which a
// style is saved or removed; false when none came in time.
bool waitForStyleChange(int watch)
{
    pollfd fd{watch, POLLIN, 0};
    while (::poll(&fd, 1, 2000) > 0) {
        alignas(inotify_event) char buffer[4096];
        const ssize_t got = ::read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            const std::string name = event->len ? event->name : "";
            if (name == "Styles.txt" || name.ends_with(".ini"))
                return true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return false;
}

// Stale temporary files a kill left beside the files it was replacing.
int countTemporaries(const fs::path& dir)
{
    int n = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.path().filename().string().find(".ini.") != std::string::npos ||
            entry.path().filename().string().starts_with("Styles.txt."))
            ++n;
    return n;
}

int killRounds(const char* self, int rounds, unsigned seed)
{
    char pattern[] = "/tmp/tavu-crash-XXXXXX";
    if (!::mkdtemp(pattern))
        return 2;
    const fs::path root(pattern);
    const fs::path killed = root / "program", before = root / "before", after = root / "after", music = root / "music";
    fs::create_directories(music);
    for (const char* song : {"a.mp3", "b.mp3", "c.mp3"})
        std::ofstream(music / song);
    fs::create_directories(before / "Styles");
    std::ofstream(before / "Tavu.ini") << "[Settings]\r\nTrig=!\r\nVolume=50\r\n[Totals]\r\nMp3s Played=0\r\n";

    std::mt19937 random(seed);
    long done = 0; // commands in the state of `before`
    int failures = 0, temporaries = 0;
    for (int round = 0; round < rounds && failures == 0; ++round) {
        copyDir(before, killed);
        int out[2];
        if (::pipe(out) != 0)
            return 2;
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::close(out[1]);
            ::execl(self, self, "run", killed.c_str(), music.c_str(), std::to_string(done).c_str(), nullptr);
            ::_exit(127);
        }
        ::close(out[1]);
        // The kill falls at a random moment after the bot has started and done its first command;
        // every other round, right when the index or a style file has just been replaced.
        const bool timed = round % 2 == 1;
        const int watch = timed ? ::inotify_init1(IN_CLOEXEC) : -1;
        if (watch >= 0) {
            ::inotify_add_watch(watch, killed.c_str(), IN_MOVED_TO);
            ::inotify_add_watch(watch, (killed / "Styles").c_str(), IN_MOVED_TO);
        }
        std::string acks;
        char buffer[4096];
        ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got > 0)
            acks.append(buffer, static_cast<std::size_t>(got));
        if (watch < 0 || !waitForStyleChange(watch))
            ::usleep(std::uniform_int_distribution<unsigned>(0, 30000)(random));
        ::kill(child, SIGKILL);
        if (watch >= 0)
            ::close(watch);
        ::waitpid(child, nullptr, 0);
        while ((got = ::read(out[0], buffer, sizeof buffer)) > 0)
            acks.append(buffer, static_cast<std::size_t>(got));
        ::close(out[0]);
        long last = done - 1;
        std::istringstream lines(acks);
        for (std::string line; std::getline(lines, line);)
            last = std::stol(line);

        {
            Runner reference(before.string(), music.string());
            for (long n = done; n <= last; ++n)
                reference.run(n);
        }
        done = last + 1;
        copyDir(before, after);
        Runner(after.string(), music.string()).run(done);
        temporaries += countTemporaries(killed);
        // What the next start does first.
        prepareProgramDir(killed);
        auto faults = compare(killed, before, after);
        for (const std::string& fault : disagreements(killed))
            faults.push_back(fault);
        for (const std::string& fault : faults) {
            std::fprintf(stderr, "round %d, killed during \"%s\": %s\n", round, command(done).c_str(), fault.c_str());
            ++failures;
        }
    }
    std::printf("%d kills, %ld commands done, %d stale temporary files left by kills, %d faults\n", rounds, done,
                temporaries, failures);
    fs::remove_all(root);
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "run" && argc == 5)
        return runBot(argv[2], argv[3], std::stol(argv[4]));
    if (mode == "kill" && argc >= 3)
        return killRounds(argv[0][0] == '/' ? argv[0] : fs::absolute(argv[0]).c_str(), std::stoi(argv[2]),
                          argc > 3 ? static_cast<unsigned>(std::stoul(argv[3])) : std::random_device{}());
    std::fprintf(stderr, "usage: %s kill ROUNDS [SEED] | run DIR MUSIC FIRST\n", argv[0]);
    return 2;
}
