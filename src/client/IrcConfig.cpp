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

// A realname or username on the USER line: one line, no NULs.
std::string oneLine(const std::string& text)
{
    std::string out;
    for (const char c : text)
        if (c != '\r' && c != '\n' && c != '\0')
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
    const int defaultPort = config.tls == TlsMode::Off ? 6667 : 6697;
    config.port = port >= 1 && port <= 65535 ? static_cast<int>(port) : defaultPort;
    config.fallbacks = parseServers(settings.read(keys::ChatServers), config.port);
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
    if (const std::string user = wireName(settings.readOr(keys::ChatUserName)); !user.empty() && user[0] != ':')
        config.userName = user;
    if (const std::string real = oneLine(std::string(trimmed(settings.readOr(keys::ChatRealName)))); !real.empty())
        config.realName = real;
    config.serverPassword = oneLine(settings.read(keys::ChatServerPassword));
    config.certificate = trimmed(settings.read(keys::ChatCertificate));
    config.certificateKey = trimmed(settings.read(keys::ChatKey));
    config.servicesHost = wireName(settings.read(keys::ChatServicesHost));
    config.ctcpReplies = leadingNumber(settings.readOr(keys::ChatCtcpReplies)) != 0;
    config.botMode = leadingNumber(settings.readOr(keys::ChatBotMode)) != 0;
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

std::vector<IrcEndpoint> IrcConfig::endpoints() const
{
    std::vector<IrcEndpoint> all{{server, port}};
    for (const IrcEndpoint& fallback : fallbacks)
        if (std::find(all.begin(), all.end(), fallback) == all.end())
            all.push_back(fallback);
    return all;
}

std::optional<int> portSetting(std::string_view value)
{
    const std::string text(trimmed(value));
    if (text.empty())
        return 0;
    if (text.size() > 5 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int port = std::stoi(text);
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

std::vector<IrcEndpoint> parseServers(std::string_view list, int defaultPort)
{
    std::vector<IrcEndpoint> out;
    std::string entry;
    const auto take = [&] {
        if (entry.empty())
            return;
        IrcEndpoint endpoint{entry, defaultPort};
        // host:port, or [v6 address]:port; a bare v6 address has more than one colon.
        const std::size_t colon = entry.rfind(':');
        const bool bracketed = entry.starts_with('[');
        if (colon != std::string::npos &&
            (bracketed ? colon > 0 && entry[colon - 1] == ']' : entry.find(':') == colon)) {
            endpoint.host = entry.substr(0, colon);
            if (const auto port = portSetting(entry.substr(colon + 1)); port && *port > 0)
                endpoint.port = *port;
        }
        if (endpoint.host.size() > 2 && endpoint.host.starts_with('[') && endpoint.host.ends_with(']'))
            endpoint.host = endpoint.host.substr(1, endpoint.host.size() - 2);
        if (!endpoint.host.empty())
            out.push_back(endpoint);
        entry.clear();
    };
    for (const char c : list) {
        if (c == ',' || static_cast<unsigned char>(c) <= ' ')
            take();
        else
            entry.push_back(c);
    }
    take();
    return out;
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
