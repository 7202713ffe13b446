#pragma once

#include "client/IrcTransport.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavu {

class Settings;

// The time-outs and rates of an IRC connection. Tests shorten them; the program uses these.
struct IrcTimings {
    std::int64_t registrationMs = 60'000; // from the start of connecting to the server's welcome
    std::int64_t quietPingMs = 60'000;    // silence after which we ask the server for a PONG
    std::int64_t deadMs = 120'000;        // silence after which the link counts as dead
    std::int64_t reconnectMinMs = 10'000;
    std::int64_t reconnectMaxMs = 300'000;
    std::int64_t stableMs = 120'000;    // a connection up this long resets the back-off
    std::int64_t stableJoinMs = 30'000; // and so does a stay in the channel this long
    std::int64_t rejoinMs = 30'000;     // after a kick, and the first wait after a refused join
    std::int64_t rejoinMaxMs = 600'000; // the waits after refused joins double up to this
    std::int64_t watchPollMs = 60'000;  // how often ISON asks after nicks where MONITOR is missing
    std::int64_t saslMs = 15'000;       // for the services' answer to a SASL login
    // At sign-off, for the lines still queued: enough for the three unload announcements behind a
    // bucket that earlier lines emptied.
    std::int64_t quitLingerMs = 6'000;
    std::int64_t heldLineMs = 120'000; // lines said while away older than this are dropped
    int floodBurst = 4;
    int floodIntervalMs = 2'000;
};

// One server to try: a host name or address and a port.
struct IrcEndpoint {
    std::string host;
    int port = 6667;
    bool operator==(const IrcEndpoint&) const = default;
};

// Where the bot signs on and how: the "Chat" section of the settings file.
struct IrcConfig {
    std::string server;
    int port = 6667;
    std::vector<IrcEndpoint> fallbacks; // tried in turn after server, each with the back-off
    TlsMode tls = TlsMode::Off;
    std::string nick = "Tavu";
    std::string channel;
    std::string channelKey;
    std::string password;
    std::string account;      // the services account; empty: the nick
    std::string owner;        // the owner mask; empty: the bot is the owner's own client
    std::string ownerAccount; // the services account the owner must be logged in to, if any
    bool htmlFormat = false;  // reply lines go out as written, not turned into IRC formatting
    std::string userName = "tavu";
    std::string realName = "Tavu";
    std::string serverPassword;   // PASS before the sign-on
    std::string certificate;      // a PEM client certificate for TLS links, which logs in by SASL EXTERNAL
    std::string certificateKey;   // its PEM private key; empty: in the certificate's file
    std::string servicesHost;     // the host or server NickServ must be on to hear the password
    bool ctcpReplies = false;     // answer CTCP VERSION and PING
    bool botMode = false;         // set user mode +B where the server has it
    std::string version = "Tavu"; // the answer to CTCP VERSION
    IrcTimings timings;

    // Reads the "Chat" keys. TLS is "1" (certificate checked), "0", or "self-signed" (a
    // self-signed certificate is accepted). Port defaults to 6697 with TLS, 6667 without. A
    // channel name without a channel prefix gets "#"; blanks and commas are taken out of names.
    // "Channel" may carry the channel's key after a blank; "Channel Key" wins over it.
    static IrcConfig fromSettings(const Settings& settings);

    // Every server to try, in order: server first.
    std::vector<IrcEndpoint> endpoints() const;

    // The account the bot logs in to services with.
    const std::string& loginAccount() const { return account.empty() ? nick : account; }

    // What is missing before the bot can sign on ("" when nothing is).
    std::string missing() const;
};

// True when the "Chat" section asks for an IRC channel rather than the built-in room.
bool wantsIrc(const Settings& settings);
// "Chat"/"TLS": 1, 0 or self-signed.
TlsMode tlsMode(std::string_view value);
// Whether "Chat"/"Format" asks for replies in HTML.
bool wantsHtmlFormat(const Settings& settings);
// "Chat"/"Port" as a port number: nullopt when it is set but is no port (1 to 65535), 0 when empty.
std::optional<int> portSetting(std::string_view value);
// "Chat"/"Servers": host or host:port entries separated by blanks or commas; an entry without a
// port, or with one that is no port, gets defaultPort.
std::vector<IrcEndpoint> parseServers(std::string_view list, int defaultPort);

} // namespace tavu
