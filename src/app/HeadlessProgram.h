#pragma once

#include "app/CommandLine.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tavu {

class BotAssembly;
class ConsoleDialogs;
class FontconfigFontList;
class HeadlessWindows;
class SignalShutdown;
class SignalWatcher;

// The program without windows and without a display (tavu --headless): the bot in its IRC
// channel, sound through SDL as usual, messages on the error output. It runs on a
// QCoreApplication: no Qt GUI platform is loaded at all. What the chat room window would show of
// the room itself goes to the error output. SIGTERM, SIGINT and SIGHUP, and the chat
// command end, run the shutdown announcements and end it.
class HeadlessProgram {
public:
    explicit HeadlessProgram(std::string programDir);
    ~HeadlessProgram();

    BotAssembly& core() { return *m_core; }

    // Start-up; false when the program is to end at once.
    bool start();
    // The shutdown, once; a second call ends at once.
    void shutDown();
    // A signal: the shutdown; at a second signal, or when the shutdown has not ended in a few
    // seconds, the program ends at once.
    void endBySignal();

private:
    std::unique_ptr<ConsoleDialogs> m_dialogs;
    std::unique_ptr<FontconfigFontList> m_fonts;
    std::unique_ptr<BotAssembly> m_core;
    std::unique_ptr<HeadlessWindows> m_windows;
    std::unique_ptr<SignalShutdown> m_shutdown;
    std::unique_ptr<SignalWatcher> m_signals;
    bool m_started = false;
    bool m_unloading = false;
};

// main() of tavu --headless: checks the settings (exit status 2 with the reasons on the error
// output when they do not allow a run without windows), then runs the program.
int runHeadless(int argc, char** argv, const std::filesystem::path& programDir);

} // namespace tavu
