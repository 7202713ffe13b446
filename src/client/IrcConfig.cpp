#include "client/IrcConfig.h"

#include "settings/Settings.h"
#include "util/Text.h"

#include <algorithm>

namespace tavu {
namespace {

// Blanks, commas and control characters cannot be part of a nick or channel name on the wire.
std::string wireName(const std::string& text)
{
    std::string out;
    for (const char c : text)
        if (static_cast<unsigned char>(c) > ' ' && c != ',' && c != 0x7F)
            out.push_back(c);
    return out;
}

} // namespace

IrcConfig IrcConfig::fromSettings(const Settings& settings)
{
    IrcConfig config;
    config.server = trimmed(settings.read(keys::ChatServer));
    config.tls = tlsMode(settings.readOr(keys::ChatTls));
    const double port = leadingNumber(settings.read(keys::ChatPort));
    config.port = port >= 1 && port <= 65535 ? static_cast<int>(port) : (config.tls == TlsMode::Off ? 6667 : 6697);
    const std::string nick = wireName(settings.read(keys::ChatNick));
    if (!nick.empty() && nick[0] != ':')
        config.nick = nick;
    // "#music sekrit": the channel, then its key.
    const std::string channelSetting(trimmed(settings.read(keys::ChatChannel)));
    const std::size_t blank = channelSetting.find_first_of(" \t");
    std::string channel = wireName(channelSetting.substr(0, blank));
    if (!channel.empty() && std::string_view("#&+!").find(channel[0]) == std::string_view::npos)
        channel = "#" + channel;
    config.channel = channel;
    const std::string key = wireName(settings.read(keys::ChatChannelKey));
    config.channelKey = !key.empty() || blank == std::string::npos ? key : wireName(channelSetting.substr(blank));
    config.password = settings.read(keys::ChatPassword);
    config.account = wireName(settings.read(keys::ChatAccount));
    config.owner = trimmed(settings.read(keys::ChatOwner));
    config.ownerAccount = wireName(settings.read(keys::ChatOwnerAccount));
    config.htmlFormat = wantsHtmlFormat(settings);
    config.memberAccounts = leadingNumber(settings.readOr(keys::RequestsEnabled)) != 0;
    return config;
}

std::string IrcConfig::missing() const
{
    if (server.empty())
        return "no server";
    if (channel.empty())
        return "no channel";
    return {};
}

bool wantsIrc(const Settings& settings)
{
    return toLower(trimmed(settings.readOr(keys::ChatNetwork))) == "irc";
}

TlsMode tlsMode(std::string_view value)
{
    const std::string v = toLower(trimmed(value));
    if (v == "self-signed" || v == "selfsigned")
        return TlsMode::AcceptSelfSigned;
    return leadingNumber(v) != 0 ? TlsMode::Verified : TlsMode::Off;
}

bool wantsHtmlFormat(const Settings& settings)
{
    return toLower(trimmed(settings.readOr(keys::ChatFormat))) == "html";
}

} // namespace tavu
