#pragma once

#include "app/CommandLine.h"

#include <memory>
#include <string>

namespace tavu {

class Bot;
class ChatRoomWindow;
class LocalChatRoom;
class MainWindow;
class QtDialogs;
class QtFontList;
class QtRuntime;
class SdlAudio;
class SdlMediaPlayer;
class SdlSoundPlayer;
class SqliteLibraryCache;
class TagLibReader;

// The running program: assembles the event loop, the sound output, the chat room, the bot and the
// windows.
class Program {
public:
    Program(const CommandLine& options, std::string programDir);
    ~Program();

    Bot& bot() { return *m_bot; }
    LocalChatRoom& room() { return *m_room; }
    ChatRoomWindow& chatWindow() { return *m_chatWindow; }
    MainWindow& mainWindow() { return *m_main; }

    // Opens the chat room and then the main window, which runs start-up. False when start-up
    // ended the program (no handle given).
    bool start();

private:
    bool showMainWindow();
    bool m_mainShown = false;

    CommandLine m_options;
    std::string m_programDir;
    std::unique_ptr<QtRuntime> m_runtime;
    std::unique_ptr<SdlAudio> m_audio;
    std::unique_ptr<SdlMediaPlayer> m_media;
    std::unique_ptr<SdlSoundPlayer> m_sound;
    std::unique_ptr<QtDialogs> m_dialogs;
    std::unique_ptr<QtFontList> m_fonts;
    std::unique_ptr<TagLibReader> m_tags;
    std::unique_ptr<SqliteLibraryCache> m_libraryCache;
    std::unique_ptr<LocalChatRoom> m_room;
    std::unique_ptr<ChatRoomWindow> m_chatWindow;
    std::unique_ptr<Bot> m_bot;
    std::unique_ptr<MainWindow> m_main;
};

// The owner's screen name in the built-in room: "Chat"/"Screen Name", or the login name.
std::string localScreenName(const std::string& settingsPath);

} // namespace tavu
