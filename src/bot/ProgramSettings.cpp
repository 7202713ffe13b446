#include "bot/ProgramSettings.h"

#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "client/IrcConfig.h"
#include "client/OwnerMask.h"
#include "player/FileList.h"
#include "player/LibraryOptions.h"
#include "player/SongFolder.h"
#include "util/Text.h"

#include <sys/stat.h>

namespace tavu {
namespace {

bool isOn(const Settings& settings, const SettingKey& key)
{
    return leadingNumber(settings.readOr(key)) != 0;
}

bool holdsLineBreak(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool holdsBlank(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
            return true;
    return false;
}

std::optional<SettingsProblem> folderProblem(const ProgramSettings& c)
{
    if (c.musicFolder.empty())
        return std::nullopt; // none chosen yet: the next start reminds the owner
    const std::string quoted = "[" + c.musicFolder + "]";
    switch (checkSongFolder(c.musicFolder, {c.subfolders, c.formats})) {
    case SongFolderState::Missing:
        return SettingsProblem{"musicFolder", "There is no folder " + quoted + "."};
    case SongFolderState::Unreadable:
        return SettingsProblem{"musicFolder", "The folder " + quoted + " cannot be read."};
    case SongFolderState::NoSongs:
        return SettingsProblem{"musicFolder", "The folder " + quoted + " holds no songs that Tavu plays" +
                                                  (c.subfolders ? "." : ", not counting the folders inside it.")};
    case SongFolderState::HasSongs:
        break;
    }
    return std::nullopt;
}

std::string nickProblem(std::string_view nick)
{
    if (nick.empty())
        return {};
    if (holdsBlank(nick) || nick.find_first_of(",!@") != std::string_view::npos)
        return "A nick cannot hold blanks, commas, \"!\" or \"@\".";
    if ((nick[0] >= '0' && nick[0] <= '9') || nick[0] == '-' || nick[0] == ':' || nick[0] == '#')
        return "A nick cannot begin with a digit, \"-\", \":\" or \"#\".";
    return {};
}

std::string channelProblem(std::string_view channel)
{
    // A blank may separate the channel's key from its name.
    const std::string_view name = trimmed(channel).substr(0, trimmed(channel).find(' '));
    if (name.empty())
        return "Give the channel to join, such as #music.";
    if (name.find(',') != std::string_view::npos || holdsBlank(name))
        return "A channel name cannot hold commas.";
    if (name.find_first_not_of("#&+!") == std::string_view::npos)
        return "The channel needs a name after \"" + std::string(name) + "\", such as #music.";
    return {};
}

std::optional<SettingsProblem> chatProblem(const ProgramSettings& c)
{
    if (c.screenName.find('!') != std::string::npos)
        return SettingsProblem{"screenName", "Your name in the chat room cannot hold \"!\"."};
    if (!c.port.empty()) {
        const bool digits = c.port.find_first_not_of("0123456789") == std::string::npos && c.port.size() <= 5;
        const long number = digits ? std::stol(c.port) : 0;
        if (number < 1 || number > 65535)
            return SettingsProblem{"port", "The port must be a number from 1 to 65535."};
    }
    if (const std::string problem = nickProblem(c.nick); !problem.empty())
        return SettingsProblem{"nick", problem};
    if (const std::string problem = ownerMaskProblem(c.owner); !problem.empty())
        return SettingsProblem{"owner", problem};
    if (!c.irc)
        return std::nullopt;
    if (trimmed(c.server).empty())
        return SettingsProblem{"server", "Give the name of the IRC server, such as irc.libera.chat."};
    if (holdsBlank(trimmed(c.server)))
        return SettingsProblem{"server", "A server name cannot hold blanks."};
    if (const std::string problem = channelProblem(c.channel); !problem.empty())
        return SettingsProblem{"channel", problem};
    return std::nullopt;
}

std::string tlsValue(ProgramSettings::Tls tls)
{
    switch (tls) {
    case ProgramSettings::Tls::Verified:
        return "1";
    case ProgramSettings::Tls::AcceptSelfSigned:
        return "self-signed";
    case ProgramSettings::Tls::Off:
        break;
    }
    return "0";
}

} // namespace

ProgramSettings ProgramSettings::read(const Settings& settings)
{
    ProgramSettings c;
    c.musicFolder = settings.read(keys::Mp3Directory);
    const LibraryOptions library = readLibraryOptions(settings);
    c.subfolders = library.subfolders;
    c.formats = settings.read(keys::LibraryFormats); // as typed, words Tavu does not play included
    c.tagTitles = library.tagTitles;
    c.trigger = settings.read(keys::Trig);
    c.handle = settings.read(keys::Handle);
    c.irc = wantsIrc(settings);
    c.screenName = settings.read(keys::ChatScreenName);
    c.server = settings.read(keys::ChatServer);
    c.port = settings.read(keys::ChatPort);
    c.tls = tlsMode(settings.readOr(keys::ChatTls));
    c.nick = settings.read(keys::ChatNick);
    c.channel = settings.read(keys::ChatChannel);
    c.password = settings.read(keys::ChatPassword);
    c.owner = settings.read(keys::ChatOwner);
    c.htmlFormat = wantsHtmlFormat(settings);
    c.notify = isOn(settings, keys::DesktopNotify);
    c.onTop = isOn(settings, keys::DesktopOnTop);
    c.intro = isOn(settings, keys::DesktopIntro);
    return c;
}

bool ProgramSettings::hasFormat(std::string_view extension) const
{
    for (std::size_t at = 0; at < formats.size();) {
        const std::size_t end = std::min(formats.find(' ', at), formats.size());
        if (equalsNoCase(std::string_view(formats).substr(at, end - at), extension))
            return true;
        at = end + 1;
    }
    return false;
}

void ProgramSettings::setFormat(std::string_view extension, bool on)
{
    std::string kept;
    for (std::size_t at = 0; at < formats.size();) {
        const std::size_t end = std::min(formats.find(' ', at), formats.size());
        const std::string_view format = std::string_view(formats).substr(at, end - at);
        if (!format.empty() && !equalsNoCase(format, extension))
            kept += (kept.empty() ? "" : " ") + std::string(format);
        at = end + 1;
    }
    if (on)
        kept += (kept.empty() ? "" : " ") + std::string(extension);
    formats = std::move(kept);
}

std::string ownerMaskProblem(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return {};
    if (holdsBlank(text))
        return "An owner mask cannot hold blanks.";
    const auto mask = OwnerMask::parse(text);
    if (!mask)
        return {};
    // The mask as nick!user@host; a line's sender has exactly one "!" and one "@" after it.
    const std::string& full = mask->text();
    const std::size_t bang = full.find('!');
    const std::size_t at = full.find('@', bang);
    const std::string_view nick = std::string_view(full).substr(0, bang);
    const std::string_view user = std::string_view(full).substr(bang + 1, at - bang - 1);
    const std::string_view host = std::string_view(full).substr(at + 1);
    if (nick.find('@') != std::string_view::npos)
        return "The nick before \"!\" cannot hold \"@\": write the mask as nick!user@host.";
    if (user.find('!') != std::string_view::npos || host.find('!') != std::string_view::npos)
        return "An owner mask holds one \"!\" at most: write it as nick!user@host.";
    if (host.find('@') != std::string_view::npos)
        return "An owner mask holds one \"@\" at most: write it as nick!user@host.";
    if (mask->needsAccount() && nick.find_first_of("*?") != std::string_view::npos)
        return "A mask of a nick alone is matched by the services account, whose name has no wildcards: "
               "give the whole nick, or the user@host part too.";
    return {};
}

std::optional<SettingsProblem> checkSettings(const ProgramSettings& c)
{
    const std::pair<const char*, const std::string*> texts[] = {
        {"musicFolder", &c.musicFolder}, {"formats", &c.formats},   {"trigger", &c.trigger}, {"handle", &c.handle},
        {"screenName", &c.screenName},   {"server", &c.server},     {"port", &c.port},       {"nick", &c.nick},
        {"channel", &c.channel},         {"password", &c.password}, {"owner", &c.owner},
    };
    for (const auto& [field, text] : texts)
        if (holdsLineBreak(*text))
            return SettingsProblem{field, "A setting cannot hold a line break."};
    if (auto problem = folderProblem(c))
        return problem;
    if (c.trigger.find(' ') != std::string::npos)
        return SettingsProblem{"trigger", "The trigger cannot hold a blank: no command could be typed after it."};
    if (trimmed(c.handle).empty())
        return SettingsProblem{"handle", "Give a handle: the name Tavu announces as the one who loaded it."};
    return chatProblem(c);
}

SettingsChanges storeSettings(const Settings& settings, const ProgramSettings& before, const ProgramSettings& after)
{
    SettingsChanges changes;
    const auto text = [&](const std::string ProgramSettings::*field, const SettingKey& key, bool& changed) {
        if (before.*field != after.*field) {
            settings.write(key, after.*field);
            changed = true;
        }
    };
    const auto flag = [&](bool ProgramSettings::*field, const SettingKey& key, std::string_view on,
                          std::string_view off, bool& changed) {
        if (before.*field != after.*field) {
            settings.write(key, after.*field ? on : off);
            changed = true;
        }
    };
    text(&ProgramSettings::musicFolder, keys::Mp3Directory, changes.folder);
    changes.library = changes.folder;
    flag(&ProgramSettings::subfolders, keys::LibrarySubfolders, "1", "0", changes.library);
    text(&ProgramSettings::formats, keys::LibraryFormats, changes.library);
    flag(&ProgramSettings::tagTitles, keys::LibraryTitles, "tags", "files", changes.library);
    text(&ProgramSettings::trigger, keys::TrigWritten, changes.trigger);
    text(&ProgramSettings::handle, keys::Handle, changes.handle);
    flag(&ProgramSettings::irc, keys::ChatNetwork, "irc", "local", changes.chatRoom);
    text(&ProgramSettings::screenName, keys::ChatScreenName, changes.chatRoom);
    text(&ProgramSettings::server, keys::ChatServer, changes.chatRoom);
    text(&ProgramSettings::port, keys::ChatPort, changes.chatRoom);
    if (before.tls != after.tls) {
        settings.write(keys::ChatTls, tlsValue(after.tls));
        changes.chatRoom = true;
    }
    text(&ProgramSettings::nick, keys::ChatNick, changes.chatRoom);
    text(&ProgramSettings::channel, keys::ChatChannel, changes.chatRoom);
    text(&ProgramSettings::password, keys::ChatPassword, changes.chatRoom);
    text(&ProgramSettings::owner, keys::ChatOwner, changes.chatRoom);
    flag(&ProgramSettings::htmlFormat, keys::ChatFormat, "html", "irc", changes.chatRoom);
    flag(&ProgramSettings::notify, keys::DesktopNotify, "1", "0", changes.desktop);
    flag(&ProgramSettings::onTop, keys::DesktopOnTop, "1", "0", changes.desktop);
    flag(&ProgramSettings::intro, keys::DesktopIntro, "1", "0", changes.desktop);
    // The IRC choices mean nothing to the built-in room: changing them there reopens nothing.
    if (!before.irc && !after.irc && before.screenName == after.screenName)
        changes.chatRoom = false;
    keepPasswordPrivate(settings);
    return changes;
}

void keepPasswordPrivate(const Settings& settings)
{
    if (settings.read(keys::ChatPassword).empty() && settings.read(keys::ChatServerPassword).empty() &&
        settings.read(keys::StreamPassword).empty())
        return;
    struct stat st {};
    if (::stat(settings.path().c_str(), &st) == 0 && (st.st_mode & 077) != 0)
        ::chmod(settings.path().c_str(), st.st_mode & 0700);
}

Task<> applySettings(Bot& bot, ProgramSettings choices, SettingsChanges changes)
{
    if (changes.library) {
        if (changes.folder)
            bot.dir = choices.musicFolder;
        if (bot.dir.empty()) {
            bot.songFiles.assign({}, {});
            showSongs(bot.songFiles, bot.songList, bot.playlistRows);
        } else {
            co_await fillSongList(bot, bot.dir); // by the library options just stored, as every listing reads them
        }
    }
    if (changes.trigger) {
        bot.trig = choices.trigger;
        bot.trigChanged();
    }
    if (changes.handle)
        bot.Handle.setCaption(choices.handle);
}

} // namespace tavu
