#pragma once

#include "chat/Dispatcher.h"
#include "client/ChatScanner.h"
#include "player/FileList.h"
#include "player/ListBox.h"
#include "player/MediaPlayer.h"
#include "settings/Settings.h"
#include "style/Style.h"
#include "util/Platform.h"

#include <string>
#include <string_view>

namespace tavu {

class ChatRoom;
class Runtime;

// What the bot uses of the platform; each has a real implementation and a fake for tests.
struct BotServices {
    MediaPlayer& media;
    SoundPlayer& sound;
    Dialogs& dialogs;
    const FontList& fonts;
};

// The running state of the bot, owned by the main window: the scanners, the trigger, the style and
// the settings file, and the command table they feed.
class Bot {
public:
    Bot(Runtime& runtime, ChatRoom& room, std::string programDir, BotServices services);
    Bot(const Bot&) = delete;
    Bot& operator=(const Bot&) = delete;
    ~Bot();

    Runtime& runtime() const { return m_runtime; }
    ChatRoom& room() const { return m_room; }
    const std::string& programDir() const { return m_programDir; }
    const Settings& settings() const { return m_settings; }
    Dispatcher& dispatcher() { return m_dispatcher; }
    MediaPlayer& media() const { return m_services.media; }
    SoundPlayer& sound() const { return m_services.sound; }
    Dialogs& dialogs() const { return m_services.dialogs; }
    const FontList& fonts() const { return m_services.fonts; }

    // The full path of a file of the program directory, for example soundPath("Click.wav").
    std::string programFile(std::string_view name) const { return m_programDir + "/" + std::string(name); }

    // Reply lines: ComposeReply(lead, body), sent with ChatSend, or with ChatSendRaw for the raw ones.
    void reply(std::string_view body) { replyWith(kLeadTavu, body); }
    void replyWith(std::string_view lead, std::string_view body);
    void replyRaw(std::string_view body) { replyRawWith(kLeadTavu, body); }
    void replyRawWith(std::string_view lead, std::string_view body);

    // Starts the scanner Chat1 and reads the trigger and the style from the settings file.
    void startChat();

    ChatScanner Chat1; // feeds the dispatcher
    ChatScanner Chat2; // feeds the song selection dialogue
    Style style;
    std::string trig; // the command prefix

    // The music library.
    std::string dir;          // the configured music directory
    FileList File1;           // the directory listing songs are played from
    ListBox lstMp3{true};     // the song list; its selection is the current song
    ListBox lstmp3;           // the playlist window's list, a mirror of lstMp3
    ListBox lstPlay;          // the match list of the song search, or the song next/previous started

    ListBox lstFonts;         // the installed screen fonts
    ListBox lstStyles{true};  // the saved-style index

private:
    void setTrigger(const std::string& newTrigger);

    Runtime& m_runtime;
    ChatRoom& m_room;
    std::string m_programDir;
    Settings m_settings;
    BotServices m_services;
    Dispatcher m_dispatcher;
};

} // namespace tavu
