#pragma once

#include "bot/Controls.h"
#include "bot/Docking.h"
#include "bot/WatchedMediaPlayer.h"
#include "chat/Commands.h"
#include "chat/Dispatcher.h"
#include "client/ChatScanner.h"
#include "id3/Id3Fields.h"
#include "player/FileList.h"
#include "player/Library.h"
#include "player/MediaPlayer.h"
#include "settings/Settings.h"
#include "settings/ThrottledSetting.h"
#include "style/Style.h"
#include "util/ListBox.h"
#include "util/Platform.h"
#include "util/Runtime.h"

#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tavu {

class ChatRoom;
class LibraryCache;
class Continuation;
class SavedStyles;
class TagReader;
class SideWindows;
class Radio;
class UpNext;

// What the bot uses of the platform; each has a real implementation and a fake for tests.
struct BotServices {
    MediaPlayer& media;
    SoundPlayer& sound;
    Dialogs& dialogs;
    const FontList& fonts;
    // The reader of every kind of tag (only ID3v1 tags are read without one) and the cache of the
    // library's tags (none: every listing with tag titles reads every song's tags).
    const TagReader* tags = nullptr;
    LibraryCache* libraryCache = nullptr;
};

// The running state of the bot, at the centre of the program: the scanners, the trigger, the style,
// the settings file and the command table they feed; the library, the player and what plays. The
// windows show this state and follow its change notifications; they keep no copy of it.
class Bot {
public:
    // commands: the command table the dispatcher looks lines up in.
    Bot(Runtime& runtime, ChatRoom& room, std::string programDir, BotServices services,
        std::span<const Command> commands = chatCommands());
    Bot(const Bot&) = delete;
    Bot& operator=(const Bot&) = delete;
    ~Bot();

    Runtime& runtime() const { return m_runtime; }
    ChatRoom& room() const { return *m_room; }
    // Moves the bot and its scanners to another chat room; lines of the old one are not heard
    // any more. The old room must outlive the call.
    void moveToRoom(ChatRoom& room);
    const std::string& programDir() const { return m_programDir; }
    const Settings& settings() const { return m_settings; }
    // Writes the played counter, at most once a second (songs that end at once count fast).
    ThrottledSetting& playedWriter() { return m_playedWriter; }
    // Writes the volume level: set by media keys and media-control clients, which send bursts, at
    // most once a second; by the chat and the sound window at once.
    ThrottledSetting& volumeWriter() { return m_volumeWriter; }
    Dispatcher& dispatcher() { return m_dispatcher; }
    // The player, watched: playStateChanged follows every change of its state.
    MediaPlayer& media() const { return m_media; }
    SoundPlayer& sound() const { return m_services.sound; }
    Dialogs& dialogs() const { return m_services.dialogs; }
    const FontList& fonts() const { return m_services.fonts; }

    // The full path of a file of the program directory, for example programFile("Styles.txt").
    std::string programFile(std::string_view name) const { return m_programDir + "/" + std::string(name); }

    // Plays an interface sound ("Click.wav", "Menu.wav", "Min.wav", "Exit.wav", "Intro.wav"), found
    // in the program directory's Sounds/ first, then in soundFolders.
    void playSound(std::string_view name) const;
    std::vector<std::string> soundFolders;

    // Reply lines: composeReply(lead, body), sent with sendLine, or with sendRawLine for the raw ones.
    void reply(std::string_view body) { replyWith(kLeadTavu, body); }
    void replyWith(std::string_view lead, std::string_view body);
    void replyRaw(std::string_view body) { replyRawWith(kLeadTavu, body); }
    void replyRawWith(std::string_view lead, std::string_view body);
    // A reply line for the owner alone (sendToOwner).
    void replyToOwner(std::string_view body);

    // Set by the program: shows a line in the chat room window itself, one that is not sent to the
    // room (the window's own notices).
    std::function<void(const std::string& text)> windowNotice;

    // Starts the command scanner and reads the trigger and the style from the settings file.
    void startChat();

    ChatScanner commandScanner; // feeds the dispatcher
    ChatScanner choiceScanner;  // feeds the song selection dialogue
    Style style;
    std::string trig;     // the command prefix
    Signal<> trigChanged; // raised by those who change trig while the bot runs

    // The music library.
    std::string dir;        // the configured music directory
    FileList songFiles;     // the directory listing songs are played from
    ListBox songList{true}; // the song list; its selection is the current song (what plays)
    // The playlist window's rows: the songs of songList, and the row the owner selected, which a
    // click may move away from the current song (the play button then plays it).
    ListBox playlistRows;
    // The order the playlist shows the songs in once the owner sorted it (song-list indices), which
    // next, previous and auto continue then follow; empty (or stale) means the song list's order.
    std::vector<int> shownOrder;
    // The song the given number of places after (before, when negative) the index in the order
    // shown, or -1 past either end; index -1 is before the first song.
    int shownStep(int index, int places) const;
    ListBox lstPlay; // the match list of the song search, or the song next/previous started
    Library library; // the library options and song titles of songFiles's listing

    ListBox lstFonts;                         // the installed screen fonts
    ListBox lstStyles{true};                  // the saved-style index
    std::unique_ptr<SavedStyles> savedStyles; // "sstyle", "rstyle", "lstyle" and indexTimer
    // Enables indexTimer, which loads the saved-style index, again (the end of start-up).
    void startStyleIndexTimer();
    Id3Fields id3; // what the ID3 window shows (showSongTag)

    // The player.
    Label lblSong{"No current Mp3...."}; // title of the current song, shown by the title scroller
    Label txtTime{"00:00"};              // the elapsed-time clock
    bool paddedClock = false;            // the clock shows M:SS ("Desktop"/"Clock"), read at start
    ProgressBar progress;                // song length and position in seconds
    Label played;                        // the played counter
    Label lblVol;                        // the volume level 0 to 100
    Label Handle;                        // the owner's handle for the announcements
    Label Loads;                         // the start-up counter
    Label UnLin;                         // the search text of the last song search
    // Counts the selection dialogue's closings and listings of its matches: a listing goes on only
    // while this stays as it was when the listing began.
    unsigned dialogueTurn = 0;
    // Song searches running (a search lets other lines run between its steps).
    int searchesRunning = 0;
    PlayMode playMode() const { return m_playMode; }
    // Also stores the mode where the settings file keeps it ("Settings"/"Play Mode" is there).
    void setPlayMode(PlayMode mode);
    Signal<> playModeChanged;
    // What the play mode does at the end of a song (the player's endOfStream).
    std::unique_ptr<Continuation> continuation;

    // The songs that play next, and who asked for them.
    std::unique_ptr<UpNext> upNext;
    // The full paths of the songs of the last listing, made with it away from the user interface
    // while the media controls (which set songPathsWanted) look songs up by path; whoever takes
    // them checks that the list still holds them.
    std::vector<std::string> listedSongPaths;
    bool songPathsWanted = false;
    // Who the command that runs now is for: empty for the owner, otherwise a member of the room
    // (their identity, as requests count it, and their nick).
    struct Requester {
        std::string id;
        std::string nick;
    };
    Requester requester;

    // The song the player has open, set by every start of a song (startSong).
    const NowPlaying& nowPlaying() const { return m_nowPlaying; }
    void setNowPlaying(NowPlaying song);
    Signal<> songStarted;
    // No song is open any more (a start that failed): nowPlaying is empty again.
    void clearNowPlaying();
    Signal<> songCleared;
    // The song that plays jumped to another position (seekTo).
    Signal<> seeked;
    // The balance and the mute switch in effect (setBalance and setMuted change them).
    int balance() const { return m_balance; }
    void setBalanceState(int balance);
    Signal<> balanceChanged;
    bool muted() const { return m_muted; }
    void setMuteState(bool muted);
    Signal<> muteChanged;
    // The player started, paused, resumed or stopped (MediaPlayer::playState changed).
    Signal<> playStateChanged;

    // The main window's timers: title scroller, clock, and the one-shot pause of the scanner after
    // a random song.
    Timer titleTimer;
    Timer clockTimer;
    Timer deafSpell;
    // Playlist docking and side-window docking: they follow the windows' moves (they do not poll
    // the windows' places), so an idle player never wakes.
    Docking playlistDocking;
    Docking sideWindowDocking;
    // Called by the windows whenever the main window or a docked window moves, shows or hides.
    void windowsMoved();
    // Set by the main window: starts a scroll of the title (the scroller's DoScroll); titleTimer gives
    // it the title of the song that plays.
    std::function<void(const std::string& text)> scrollTitle;
    // Set by the main window: places the playlist, and the sound and ID3 windows, under it.
    std::function<void()> dockPlaylist;
    std::function<void()> dockSideWindows;

    // The stream that the room listens to; null when the program has none.
    Radio* radio = nullptr;

    // The side windows; null until the main window exists.
    SideWindows* windows = nullptr;

    Task<> scrollTitleTick();
    void clockTick();
    Task<> deafSpellEnds();

    // While the chat is held (the song list is being read on a worker and events run meanwhile),
    // the lines of commandScanner and choiceScanner wait, in their order; once the last hold ends they run as
    // events of their own, so that their replies come after those of the work that held them,
    // as if the line had come just after it.
    void holdChat() { ++m_chatHolds; }
    void releaseChat();

    // The work of commands and events that waits (the announcements, a listing a second a line,
    // the end-of-song second): it goes on from the event loop, and what still waits when the bot
    // goes is dropped with it.
    template <typename T>
    void startTask(Task<T> task)
    {
        m_tasks.start(std::move(task));
    }
    const TaskScope& tasks() const { return m_tasks; }

private:
    struct HeldLine {
        bool forDialogue; // choiceScanner's, else commandScanner's
        std::string name;
        std::string said;
    };
    void hearLine(bool forDialogue, const std::string& name, const std::string& said);
    void runHeldLines();

    Runtime& m_runtime;
    ChatRoom* m_room;
    std::string m_programDir;
    Settings m_settings;
    ThrottledSetting m_playedWriter{m_runtime, m_settings, keys::Mp3sPlayed};
    ThrottledSetting m_volumeWriter{m_runtime, m_settings, keys::Volume};
    BotServices m_services;
    mutable WatchedMediaPlayer m_media;
    PlayMode m_playMode = PlayMode::None;
    NowPlaying m_nowPlaying;
    int m_balance = 0;
    bool m_muted = false;
    Dispatcher m_dispatcher;
    bool m_toldNotSaved = false;
    int m_chatHolds = 0;
    std::deque<HeldLine> m_heldLines;
    TaskScope m_tasks; // last: its tasks go before anything they use
};

} // namespace tavu
