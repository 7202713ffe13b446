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

// Where the update checker looks.
inline constexpr SettingKey UpdatePageUrl{"Updates", "Page URL", "https://tavu.sourceforge.io/update.html"};
inline constexpr SettingKey UpdateDownloadUrl{"Updates", "Download URL",
                                              "https://tavu.sourceforge.io/download/tavu-latest.tar.gz"};
} // namespace keys

} // namespace tavu
