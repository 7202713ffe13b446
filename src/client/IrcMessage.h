#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavu {

// One line of the IRC protocol: "@tags :prefix COMMAND params :trailing", without the line end.
struct IrcMessage {
    std::vector<std::pair<std::string, std::string>> tags; // values unescaped
    std::string prefix;                                    // as sent, without the colon
    std::string nick, user, host;                          // the prefix cut at '!' and '@'
    std::string command;                                   // upper-cased
    std::vector<std::string> params;                       // the trailing one last, colon removed

    // Parses a line. Returns nothing for a line without a command; anything else parses, however
    // odd, so that a broken line from a server can simply be passed over.
    static std::optional<IrcMessage> parse(std::string_view line);

    // The parameter at index i, or "" when there is none.
    const std::string& param(std::size_t i) const;
    // The value of a tag, or nothing when the line does not carry it.
    std::optional<std::string> tag(std::string_view key) const;
    bool isNumeric() const;
};

// An outgoing line without the line end. The last parameter is sent as trailing when it needs to
// be (empty, holds a blank, or starts with a colon).
std::string ircLine(std::string_view command, const std::vector<std::string>& params = {});

} // namespace tavu
