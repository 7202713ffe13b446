#pragma once

#include <string_view>

namespace tavu {

// One stored setting: where it lives in Tavu.ini and what the program uses when it reads empty.
struct SettingKey {
    std::string_view section;
    std::string_view key;
    std::string_view fallback;
};

namespace keys {
inline constexpr SettingKey Volume{"Settings", "Volume", "100"};
// The sound window's balance, -10000 (left only) to 10000 (right only).
inline constexpr SettingKey Balance{"Settings", "Balance", "0"};
inline constexpr SettingKey Mp3Directory{"Settings", "Mp3 Directory", ""};
inline constexpr SettingKey Trig{"Settings", "Trig", ""};
// The trigger command writes the key spelled this way; it is the same entry as Trig.
inline constexpr SettingKey TrigWritten{"Settings", "trig", ""};
inline constexpr SettingKey Handle{"Settings", "Handle", ""};
inline constexpr SettingKey Mp3sPlayed{"Totals", "Mp3s Played", "0"};
inline constexpr SettingKey Loads{"Totals", "Loads", "0"};

// The chat room the bot sits in.
inline constexpr SettingKey ChatNetwork{"Chat", "Network", "local"};
inline constexpr SettingKey ChatScreenName{"Chat", "Screen Name", ""};
inline constexpr SettingKey ChatServer{"Chat", "Server", ""};
inline constexpr SettingKey ChatPort{"Chat", "Port", ""};
inline constexpr SettingKey ChatTls{"Chat", "TLS", "0"};
inline constexpr SettingKey ChatNick{"Chat", "Nick", ""};
inline constexpr SettingKey ChatChannel{"Chat", "Channel", ""};
inline constexpr SettingKey ChatPassword{"Chat", "Password", ""};
inline constexpr SettingKey ChatOwner{"Chat", "Owner", ""};
inline constexpr SettingKey ChatFormat{"Chat", "Format", "irc"};
// The services account the owner must be logged in to (besides matching the owner mask).
inline constexpr SettingKey ChatOwnerAccount{"Chat", "Owner Account", ""};
// The key of the channel; "Channel" may also give it after a blank.
inline constexpr SettingKey ChatChannelKey{"Chat", "Channel Key", ""};
// The account the bot logs in with; empty means its nick.
inline constexpr SettingKey ChatAccount{"Chat", "Account", ""};
// Sent as PASS before signing on (bouncers, private servers).
inline constexpr SettingKey ChatServerPassword{"Chat", "Server Password", ""};
inline constexpr SettingKey ChatUserName{"Chat", "User Name", "tavu"};
inline constexpr SettingKey ChatRealName{"Chat", "Real Name", "Tavu"};
// A client certificate and its key (PEM files) for the TLS link, which log in by SASL EXTERNAL.
inline constexpr SettingKey ChatCertificate{"Chat", "Certificate", ""};
inline constexpr SettingKey ChatKey{"Chat", "Key", ""};
// Further servers (host or host:port, separated by blanks or commas), tried in turn after Server.
inline constexpr SettingKey ChatServers{"Chat", "Servers", ""};
// The host or server name NickServ must have before it hears the password; learned at the first
// login when empty.
inline constexpr SettingKey ChatServicesHost{"Chat", "Services Host", ""};
// Whether CTCP VERSION and PING are answered, and whether the bot marks itself a bot (+B).
inline constexpr SettingKey ChatCtcpReplies{"Chat", "CTCP Replies", "0"};
inline constexpr SettingKey ChatBotMode{"Chat", "Bot Mode", "0"};

// The music library. Missing keys keep the classic rules: the directory's own files, names that
// contain ".mp3", titles from the file names.
inline constexpr SettingKey LibrarySubfolders{"Library", "Subfolders", "0"};
inline constexpr SettingKey LibraryFormats{"Library", "Formats", ""};
inline constexpr SettingKey LibraryTitles{"Library", "Titles", "files"};

// Playback. Missing keys keep the classic player: a second's pause before auto continue's next
// song, every file at its own level, the sound card.
inline constexpr SettingKey PlaybackGapless{"Playback", "Gapless", "0"};
inline constexpr SettingKey PlaybackReplayGain{"Playback", "ReplayGain", "off"};
inline constexpr SettingKey PlaybackPreamp{"Playback", "Preamp", "0"};
inline constexpr SettingKey PlaybackFallback{"Playback", "Fallback", "0"};
inline constexpr SettingKey PlaybackOutput{"Playback", "Output", "speakers"};

// The desktop: notifications, the main window's place, topmost, the intro.
inline constexpr SettingKey DesktopNotify{"Desktop", "Notify", "0"};
inline constexpr SettingKey DesktopLeft{"Desktop", "Left", ""};
inline constexpr SettingKey DesktopTop{"Desktop", "Top", ""};
inline constexpr SettingKey DesktopOnTop{"Desktop", "On Top", "1"};
inline constexpr SettingKey DesktopIntro{"Desktop", "Intro", "1"};
// The player's newer habits, each off in a settings file without its key: the clock as M:SS
// ("m:ss"), a Play with nothing selected starting the first song ("Play First"), and the session
// coming back at start ("Resume": the song, its position, the open side windows).
inline constexpr SettingKey DesktopClock{"Desktop", "Clock", ""};
inline constexpr SettingKey DesktopPlayFirst{"Desktop", "Play First", "0"};
inline constexpr SettingKey DesktopResume{"Desktop", "Resume", "0"};
// Where the last run was, for "Resume": the song that was open and how far into it (seconds).
inline constexpr SettingKey DesktopLastSong{"Desktop", "Last Song", ""};
inline constexpr SettingKey DesktopLastPosition{"Desktop", "Last Position", "0"};
// The side windows that were open, as words: "playlist", "id3", "sound"; "none" for none.
inline constexpr SettingKey DesktopOpenWindows{"Desktop", "Open Windows", ""};
// The playlist's size as the user left it.
inline constexpr SettingKey DesktopPlaylistWidth{"Desktop", "Playlist Width", ""};
inline constexpr SettingKey DesktopPlaylistHeight{"Desktop", "Playlist Height", ""};
// The play mode of the last run ("none", "repeat", "random" or "continue"); kept only where the key
// is in the file.
inline constexpr SettingKey PlayModeKey{"Settings", "Play Mode", ""};
// Songs started from the player, the playlist, the tray or the media controls are announced too.
inline constexpr SettingKey ChatAnnounceAll{"Chat", "Announce All", "0"};

// The stream for listeners: an Icecast mount that the room can listen to. Off until the owner
// turns it on.
inline constexpr SettingKey StreamEnabled{"Stream", "Enabled", "0"};
inline constexpr SettingKey StreamServer{"Stream", "Server", "localhost"};
inline constexpr SettingKey StreamPort{"Stream", "Port", "8000"};
inline constexpr SettingKey StreamMount{"Stream", "Mount", "/tavu"};
inline constexpr SettingKey StreamUser{"Stream", "User", "source"};
inline constexpr SettingKey StreamPassword{"Stream", "Password", ""};
inline constexpr SettingKey StreamTls{"Stream", "TLS", "off"};
inline constexpr SettingKey StreamFormat{"Stream", "Format", "mp3"};
inline constexpr SettingKey StreamBitrate{"Stream", "Bitrate", "128"};
inline constexpr SettingKey StreamName{"Stream", "Name", "Tavu"};
inline constexpr SettingKey StreamDescription{"Stream", "Description", ""};
inline constexpr SettingKey StreamGenre{"Stream", "Genre", ""};
// What the room is told to open; empty: the server, port and mount.
inline constexpr SettingKey StreamPublicUrl{"Stream", "Public URL", ""};
// The stream's own level, 0 to 100; the owner's volume, balance and mute change the speakers only.
inline constexpr SettingKey StreamVolume{"Stream", "Volume", "100"};
// Minutes stopped after which the mount is closed until the next song.
inline constexpr SettingKey StreamIdleMinutes{"Stream", "Idle Minutes", "30"};

// The queue of songs that play next, and requests from the room's members (off unless enabled).
inline constexpr SettingKey QueueEnabled{"Queue", "Enabled", "0"};
inline constexpr SettingKey RequestsEnabled{"Requests", "Enabled", "0"};
inline constexpr SettingKey RequestsMaxQueued{"Requests", "Max Queued", "3"};
inline constexpr SettingKey RequestsMaxLength{"Requests", "Max Length", "600"};
inline constexpr SettingKey RequestsQueueSize{"Requests", "Queue Size", "50"};
inline constexpr SettingKey RequestsCooldown{"Requests", "Cooldown", "10"};
inline constexpr SettingKey RequestsSkipVotes{"Requests", "Skip Votes", "3"};

// Where the update checker looks.
inline constexpr SettingKey UpdatePageUrl{"Updates", "Page URL", "https://tavu.sourceforge.io/update.html"};
inline constexpr SettingKey UpdateDownloadUrl{"Updates", "Download URL",
                                              "https://tavu.sourceforge.io/download/tavu-latest.tar.gz"};
} // namespace keys

// What a program directory that this version creates starts with, where that differs from what a
// missing key means: a settings file of an older version lacks these keys and keeps its classic
// behaviour.
// The formats a new program directory plays besides MP3.
inline constexpr std::string_view kNewProgramFormats = "flac ogg oga opus m4a";
struct NewProgramDefault {
    SettingKey key;
    std::string_view value;
};
inline constexpr NewProgramDefault kNewProgramDefaults[] = {
    {keys::LibrarySubfolders, "1"},     {keys::LibraryFormats, kNewProgramFormats},
    {keys::LibraryTitles, "tags"},      {keys::DesktopNotify, "1"},
    {keys::ChatCtcpReplies, "1"},       {keys::ChatBotMode, "1"},
    {keys::PlaybackGapless, "1"},       {keys::PlaybackReplayGain, "auto"},
    {keys::PlaybackOutput, "speakers"}, {keys::QueueEnabled, "1"},
    {keys::RequestsEnabled, "0"}, // written so that the owner finds the switch; off as without it
    {keys::DesktopClock, "m:ss"},       {keys::DesktopPlayFirst, "1"},
    {keys::DesktopResume, "1"},         {keys::PlayModeKey, "none"},
    {keys::ChatAnnounceAll, "1"},
};

} // namespace tavu
