#pragma once

#include "app/CommandLine.h"

#include <memory>
#include <string>
#include <vector>

namespace tavu {

class Bot;
class ChatRoomWindow;
class Desktop;
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
    // firstStart: the program directory had no Tavu.ini before this start; the welcome window
    // comes after the intro.
    Program(const CommandLine& options, std::string programDir, bool firstStart = false);
    ~Program();

    Bot& bot() { return *m_bot; }
    LocalChatRoom& room() { return *m_room; }
    ChatRoomWindow& chatWindow() { return *m_chatWindow; }
    MainWindow& mainWindow() { return *m_main; }
    Desktop& desktop() { return *m_desktop; }

    // Opens the chat room and then the main window, which runs start-up. False when start-up
    // ended the program (no handle given).
    bool start();

    // Builds the chat room anew from the settings file and moves the bot and the chat room window
    // into it; the old room signs off.
    void reopenChatRoom();

private:
    bool showMainWindow();
    void showWelcome();
    void afterIntro();
    bool m_mainShown = false;
    bool m_firstStart = false;
    bool m_welcomeShown = false;

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
    std::vector<std::unique_ptr<LocalChatRoom>> m_oldRooms; // signed off, going soon
    std::unique_ptr<ChatRoomWindow> m_chatWindow;
    std::unique_ptr<Bot> m_bot;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<Desktop> m_desktop;
};

// The owner's screen name in the built-in room: "Chat"/"Screen Name", or the login name.
std::string localScreenName(const std::string& settingsPath);

// The user's music folder when it holds songs (the desktop's Music folder), else "".
std::string suggestedMusicFolder();

} // namespace tavu
