#include "stream/StreamSettings.h"

#include "bot/Controls.h"
#include "util/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>

namespace tavu {
namespace {

// A whole number and nothing else (blanks around it allowed), or nothing.
std::optional<int> wholeNumber(std::string_view text)
{
    text = trimmed(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

int numberOr(std::string_view text, const SettingKey& key)
{
    if (const auto value = wholeNumber(text))
        return *value;
    return wholeNumber(key.fallback).value_or(0);
}

bool holdsControl(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < ' '; });
}

// The bit rates of MPEG-1 Layer III, which a constant-rate MP3 stream must use.
constexpr std::array kMp3Bitrates{32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};

std::string hostInUrl(const std::string& host)
{
    return host.find(':') != std::string::npos ? "[" + host + "]" : host; // an IPv6 address
}

} // namespace

StreamSettings StreamSettings::read(const Settings& settings)
{
    StreamSettings s;
    s.enabled = wholeNumber(settings.readOr(keys::StreamEnabled)).value_or(0) != 0;
    s.server = settings.readOr(keys::StreamServer);
    s.port = settings.readOr(keys::StreamPort);
    s.mount = settings.readOr(keys::StreamMount);
    s.user = settings.readOr(keys::StreamUser);
    s.password = settings.read(keys::StreamPassword);
    s.tls = equalsNoCase(settings.readOr(keys::StreamTls), "on") || settings.read(keys::StreamTls) == "1";
    s.format = equalsNoCase(trimmed(settings.readOr(keys::StreamFormat)), "opus") ? Format::Opus : Format::Mp3;
    s.bitrate = settings.readOr(keys::StreamBitrate);
    s.name = settings.readOr(keys::StreamName);
    s.description = settings.read(keys::StreamDescription);
    s.genre = settings.read(keys::StreamGenre);
    s.publicUrl = settings.read(keys::StreamPublicUrl);
    s.volume = settings.readOr(keys::StreamVolume);
    s.idleMinutes = settings.readOr(keys::StreamIdleMinutes);
    return s;
}

int StreamSettings::portNumber() const
{
    return numberOr(port, keys::StreamPort);
}
int StreamSettings::bitrateKbps() const
{
    return numberOr(bitrate, keys::StreamBitrate);
}
int StreamSettings::volumeLevel() const
{
    return std::clamp(numberOr(volume, keys::StreamVolume), 0, 100);
}
int StreamSettings::idleMinutesValue() const
{
    return std::max(0, numberOr(idleMinutes, keys::StreamIdleMinutes));
}

std::string StreamSettings::serverUrl(std::string_view path) const
{
    return std::string(tls ? "https://" : "http://") + hostInUrl(std::string(trimmed(server))) + ":" +
           std::to_string(portNumber()) + std::string(path);
}

std::string StreamSettings::listenUrl() const
{
    const std::string_view given = trimmed(publicUrl);
    return given.empty() ? serverUrl(trimmed(mount)) : std::string(given);
}

std::optional<SettingsProblem> checkStreamSettings(const StreamSettings& c)
{
    const std::pair<const char*, const std::string*> texts[] = {
        {"streamServer", &c.server},     {"streamPort", &c.port},
        {"streamMount", &c.mount},       {"streamUser", &c.user},
        {"streamPassword", &c.password}, {"streamBitrate", &c.bitrate},
        {"streamName", &c.name},         {"streamDescription", &c.description},
        {"streamGenre", &c.genre},       {"streamPublicUrl", &c.publicUrl},
        {"streamVolume", &c.volume},     {"streamIdleMinutes", &c.idleMinutes},
    };
    for (const auto& [field, text] : texts)
        if (holdsControl(*text))
            return SettingsProblem{field, "A setting cannot hold a line break or a control character."};
    if (!c.enabled)
        return std::nullopt; // kept as typed, checked when the stream is turned on
    if (trimmed(c.server).empty() || trimmed(c.server).find(' ') != std::string_view::npos)
        return SettingsProblem{"streamServer", "Give the host name or address of the Icecast server, without blanks."};
    const auto port = wholeNumber(c.port);
    if (!port || *port < 1 || *port > 65535)
        return SettingsProblem{"streamPort", "The stream's port must be a number from 1 to 65535."};
    const std::string_view mount = trimmed(c.mount);
    if (mount.size() < 2 || mount.front() != '/' || mount.find_first_of(" ?#") != std::string_view::npos)
        return SettingsProblem{"streamMount", "The mount must start with \"/\" and hold no blanks, \"?\" or \"#\", "
                                              "for example /tavu."};
    if (trimmed(c.user).empty())
        return SettingsProblem{"streamUser", "Give the source user of the Icecast server (usually \"source\")."};
    if (c.password.empty())
        return SettingsProblem{"streamPassword", "Give the source password of the Icecast server."};
    const auto bitrate = wholeNumber(c.bitrate);
    if (c.format == StreamSettings::Format::Mp3 &&
        (!bitrate || std::find(kMp3Bitrates.begin(), kMp3Bitrates.end(), *bitrate) == kMp3Bitrates.end()))
        return SettingsProblem{"streamBitrate", "An MP3 stream's bit rate is one of 32, 40, 48, 56, 64, 80, 96, 112, "
                                                "128, 160, 192, 224, 256 or 320 kbit/s."};
    if (c.format == StreamSettings::Format::Opus && (!bitrate || *bitrate < 16 || *bitrate > 256))
        return SettingsProblem{"streamBitrate", "An Opus stream's bit rate is from 16 to 256 kbit/s."};
    const auto volume = wholeNumber(c.volume);
    if (!volume || *volume < 0 || *volume > 100)
        return SettingsProblem{"streamVolume", "The stream's volume is a number from 0 to 100."};
    const auto idle = wholeNumber(c.idleMinutes);
    if (!idle || *idle < 0)
        return SettingsProblem{"streamIdleMinutes",
                               "Give the minutes after which a stopped player closes the stream (0: never)."};
    const std::string_view url = trimmed(c.publicUrl);
    if (!url.empty() && !startsWithNoCase(url, "http://") && !startsWithNoCase(url, "https://"))
        return SettingsProblem{"streamPublicUrl", "The public URL starts with http:// or https://."};
    return std::nullopt;
}

bool storeStreamSettings(const Settings& settings, const StreamSettings& before, const StreamSettings& after)
{
    bool changed = false;
    const auto text = [&](const std::string StreamSettings::*field, const SettingKey& key) {
        if (before.*field != after.*field) {
            settings.write(key, after.*field);
            changed = true;
        }
    };
    if (before.enabled != after.enabled) {
        settings.write(keys::StreamEnabled, after.enabled ? "1" : "0");
        changed = true;
    }
    text(&StreamSettings::server, keys::StreamServer);
    text(&StreamSettings::port, keys::StreamPort);
    text(&StreamSettings::mount, keys::StreamMount);
    text(&StreamSettings::user, keys::StreamUser);
    text(&StreamSettings::password, keys::StreamPassword);
    if (before.tls != after.tls) {
        settings.write(keys::StreamTls, after.tls ? "on" : "off");
        changed = true;
    }
    if (before.format != after.format) {
        settings.write(keys::StreamFormat, after.format == StreamSettings::Format::Opus ? "opus" : "mp3");
        changed = true;
    }
    text(&StreamSettings::bitrate, keys::StreamBitrate);
    text(&StreamSettings::name, keys::StreamName);
    text(&StreamSettings::description, keys::StreamDescription);
    text(&StreamSettings::genre, keys::StreamGenre);
    text(&StreamSettings::publicUrl, keys::StreamPublicUrl);
    text(&StreamSettings::volume, keys::StreamVolume);
    text(&StreamSettings::idleMinutes, keys::StreamIdleMinutes);
    keepPasswordPrivate(settings);
    return changed;
}

std::string streamTitle(const NowPlaying& song)
{
    const std::string_view artist = trimmed(song.tag.artist);
    const std::string_view title = trimmed(song.tag.title);
    if (!title.empty())
        return artist.empty() ? std::string(title) : std::string(artist) + " - " + std::string(title);
    return std::filesystem::path(song.song).stem().string();
}

std::string listenReply(const std::string& url, std::optional<int> listeners)
{
    std::string line = " Listen - [" + url + "] ";
    if (listeners)
        line += "(" + std::to_string(*listeners) + " listening) ";
    return line;
}

} // namespace tavu
