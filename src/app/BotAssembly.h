#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tavu {

class Bot;
class Dialogs;
class FontList;
class IcecastRadio;
class LocalChatRoom;
class LoudnessMeter;
class QtRuntime;
class SdlAudio;
class SdlMediaPlayer;
class SdlSoundPlayer;
class SqliteLibraryCache;
class TagLibReader;

// What the program is made of with windows or without: the event loop, the sound output, the chat
// room of the "Chat" settings, and the bot. The dialogs and the font list come from the caller: a
// program without windows has neither Qt's boxes nor its font database.
class BotAssembly {
public:
    // localScreenName: the owner's name in the built-in room.
    BotAssembly(std::string programDir, Dialogs& dialogs, const FontList& fonts, const std::string& localScreenName);
    // The bot goes first; then the room signs off, letting events run while its last lines go
    // (a few seconds at most); then the sound output.
    ~BotAssembly();
    BotAssembly(const BotAssembly&) = delete;
    BotAssembly& operator=(const BotAssembly&) = delete;

    QtRuntime& runtime() { return *m_runtime; }
    Bot& bot() { return *m_bot; }
    LocalChatRoom& room() { return *m_room; }
    // The stream for the room (off unless the settings turn it on).
    IcecastRadio& radio() { return *m_radio; }
    const std::string& programDir() const { return m_programDir; }

    // Builds the chat room anew from the settings file and moves the bot into it; the old room
    // signs off and goes once the events queued before now have run.
    void reopenRoom(const std::string& localScreenName);

    // The program is to end at once: the sign-off sends its last lines without waiting for the
    // server's answer.
    void hurry() { m_hurry = true; }

    // The longest the sign-off waits for the room's last lines.
    static constexpr int kSignOffWaitMs = 8000;

private:
    void signOff();

    std::string m_programDir;
    std::unique_ptr<QtRuntime> m_runtime;
    // The measurements of loudness, on a connection to Library.db of their own; they go after the player.
    std::unique_ptr<SqliteLibraryCache> m_loudnessStore;
    std::unique_ptr<LoudnessMeter> m_loudness;
    std::unique_ptr<SdlAudio> m_audio;
    std::unique_ptr<SdlMediaPlayer> m_media;
    std::unique_ptr<SdlSoundPlayer> m_sound;
    std::unique_ptr<TagLibReader> m_tags;
    std::unique_ptr<SqliteLibraryCache> m_libraryCache;
    std::unique_ptr<LocalChatRoom> m_room;
    std::vector<std::unique_ptr<LocalChatRoom>> m_oldRooms; // signed off, going soon
    std::unique_ptr<Bot> m_bot;
    std::unique_ptr<IcecastRadio> m_radio;
    bool m_hurry = false;
};

} // namespace tavu
