#pragma once

#include "client/IrcTransport.h"
#include "settings/Settings.h"
#include "util/Task.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

class Bot;

// The choices of the settings window and the welcome window, as the owner edits them; each is
// stored under the key of Tavu.ini that the program reads.
struct ProgramSettings {
    using Tls = TlsMode;

    // The music library.
    std::string musicFolder;
    bool subfolders = false;
    std::string formats; // extensions besides the classic rule, blank separated
    bool tagTitles = false;
    // The bot in the chat.
    std::string trigger;
    std::string handle;
    // The chat room: the built-in room, or an IRC channel.
    bool irc = false;
    std::string screenName; // the owner's name in the built-in room; "" for the login name
    std::string server;
    std::string port; // as typed; "" for the usual port of the TLS choice
    Tls tls = Tls::Off;
    std::string nick;
    std::string channel;
    std::string password;
    std::string owner; // the owner mask; "" when the owner types in the chat room window
    bool htmlFormat = false;
    // The desktop.
    bool notify = false;
    bool onTop = true;
    bool intro = true;

    static ProgramSettings read(const Settings& settings);

    // Whether the extension is one of formats, and switching it on or off there (the other
    // extensions keep their order).
    bool hasFormat(std::string_view extension) const;
    void setFormat(std::string_view extension, bool on);

    bool operator==(const ProgramSettings&) const = default;
};

// Why the choices cannot be stored: the field at fault (the name of its box in the windows) and the
// reason, to be shown to the owner.
struct SettingsProblem {
    std::string field;
    std::string reason;
};
std::optional<SettingsProblem> checkSettings(const ProgramSettings& choices);

// Why an owner mask can never match anybody's line, or "" when it can.
std::string ownerMaskProblem(std::string_view mask);

// What storeSettings changed.
struct SettingsChanges {
    bool folder = false;  // the music folder
    bool library = false; // the folder or the library choices
    bool trigger = false;
    bool handle = false;
    bool chatRoom = false; // anything the chat room is built from
    bool desktop = false;
    bool any() const { return library || trigger || handle || chatRoom || desktop; }
};

// Writes the keys of the choices that differ from before, and only those, so that the keys an older
// settings file lacks stay missing unless the owner changes them. A settings file that holds a
// password is then readable by its owner alone. Call it with checked choices.
SettingsChanges storeSettings(const Settings& settings, const ProgramSettings& before, const ProgramSettings& after);

// Makes the settings file readable and writable by its owner alone when it holds a password (the
// chat's or the stream's).
void keepPasswordPrivate(const Settings& settings);

// Puts the stored choices into effect in the running bot: the song list of the new folder or
// library choices, the trigger and the handle. The chat room is the program's to reopen.
Task<> applySettings(Bot& bot, ProgramSettings choices, SettingsChanges changes);

} // namespace tavu
