#pragma once

#include "bot/ProgramSettings.h"
#include "settings/Settings.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

struct NowPlaying;

// The "[Stream]" choices: where the stream goes and what it sends. The numbers are kept as typed,
// so that the settings window can refuse them with a reason.
struct StreamSettings {
    enum class Format { Mp3, Opus };

    bool enabled = false;
    std::string server;
    std::string port;
    std::string mount;
    std::string user;
    std::string password;
    bool tls = false;
    Format format = Format::Mp3;
    std::string bitrate;
    std::string name;
    std::string description;
    std::string genre;
    std::string publicUrl;
    std::string volume;
    std::string idleMinutes;

    static StreamSettings read(const Settings& settings);

    // The numbers; call them on checked choices (unreadable ones give the defaults).
    int portNumber() const;
    int bitrateKbps() const;
    int volumeLevel() const;
    int idleMinutesValue() const;
    // What the room is told: the public URL, else the server's own address of the mount.
    std::string listenUrl() const;
    // The server's own address of a file on it, such as "/status-json.xsl".
    std::string serverUrl(std::string_view path) const;

    bool operator==(const StreamSettings&) const = default;
};

// Why the stream choices cannot be stored: the field at fault and the reason.
std::optional<SettingsProblem> checkStreamSettings(const StreamSettings& choices);

// Writes the keys that differ from before, and only those; true when any did. The settings file
// is then readable by its owner alone when it holds a password.
bool storeStreamSettings(const Settings& settings, const StreamSettings& before, const StreamSettings& after);

// The title the stream carries for a song: "artist - title" from its tag, the tag's title alone,
// else the file name without its extension.
std::string streamTitle(const NowPlaying& song);

// The reply to "listen": the address, and the listener count when the server told it.
std::string listenReply(const std::string& url, std::optional<int> listeners);

} // namespace tavu
