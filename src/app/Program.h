#pragma once

#include "app/CommandLine.h"
#include "util/Task.h"

#include <memory>
#include <string>

namespace tavu {

class Bot;
class BotAssembly;
class ChatRoomWindow;
class Desktop;
class LocalChatRoom;
class MainWindow;
class QtDialogs;
class QtFontList;
class SignalShutdown;
class SignalWatcher;

// The running program with its windows: the bot (BotAssembly), the chat room window, the main
// window and the side windows, and the desktop's services.
class Program {
public:
    // firstStart: the program directory had no Tavu.ini before this start; the welcome window
    // comes after the intro.
    Program(const CommandLine& options, std::string programDir, bool firstStart = false);
    ~Program();

    Bot& bot();
    LocalChatRoom& room();
    ChatRoomWindow& chatWindow() { return *m_chatWindow; }
    MainWindow& mainWindow() { return *m_main; }
    Desktop& desktop() { return *m_desktop; }

    // Opens the chat room and then the main window, which runs start-up. False when start-up
    // ended the program (no handle given, or told to end meanwhile).
    bool start();

    // Builds the chat room anew from the settings file and moves the bot and the chat room window
    // into it; the old room signs off.
    void reopenChatRoom();

    // SIGTERM, SIGINT or SIGHUP: the main window closes, which runs the shutdown; before start-up
    // is done, at a second signal, or when the shutdown has not ended in a few seconds, the
    // program ends at once.
    void endBySignal();

private:
    bool showMainWindow();
    Task<> startUp();
    void openMainWindow();
    void showWelcome();
    void afterIntro();
    bool m_mainShown = false;
    bool m_started = false;
    bool m_firstStart = false;
    bool m_welcomeShown = false;

    CommandLine m_options;
    std::string m_programDir;
    std::unique_ptr<QtDialogs> m_dialogs;
    std::unique_ptr<QtFontList> m_fonts;
    std::unique_ptr<BotAssembly> m_core;
    std::unique_ptr<ChatRoomWindow> m_chatWindow;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<Desktop> m_desktop;
    std::unique_ptr<SignalShutdown> m_shutdown;
    std::unique_ptr<SignalWatcher> m_signals;
};

// The owner's screen name in the built-in room: "Chat"/"Screen Name", or the login name.
std::string localScreenName(const std::string& settingsPath);

// The user's music folder when it holds songs (the desktop's Music folder), else "".
std::string suggestedMusicFolder();

} // namespace tavu
