#pragma once

#include "app/CommandLine.h"

#include <memory>
#include <string>

namespace tavu {

class Bot;
class BotAssembly;
class ChatRoomWindow;
class LocalChatRoom;
class MainWindow;
class QtDialogs;
class QtFontList;
class SignalWatcher;

// The running program with its windows: the bot (BotAssembly), the chat room window, the main
// window and the side windows.
class Program {
public:
    Program(const CommandLine& options, std::string programDir);
    ~Program();

    Bot& bot();
    LocalChatRoom& room();
    ChatRoomWindow& chatWindow() { return *m_chatWindow; }
    MainWindow& mainWindow() { return *m_main; }

    // Opens the chat room and then the main window, which runs start-up. False when start-up
    // ended the program (no handle given, or told to end meanwhile).
    bool start();

    // SIGTERM, SIGINT or SIGHUP: the main window closes, which runs the shutdown; before start-up
    // is done, or at a second signal, the program ends at once.
    void endBySignal();

private:
    bool showMainWindow();
    bool m_mainShown = false;
    bool m_started = false;

    CommandLine m_options;
    std::unique_ptr<QtDialogs> m_dialogs;
    std::unique_ptr<QtFontList> m_fonts;
    std::unique_ptr<BotAssembly> m_core;
    std::unique_ptr<ChatRoomWindow> m_chatWindow;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<SignalWatcher> m_signals;
};

// The owner's screen name in the built-in room: "Chat"/"Screen Name", or the login name.
std::string localScreenName(const std::string& settingsPath);

} // namespace tavu
