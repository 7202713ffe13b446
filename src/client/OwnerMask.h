#pragma once

#include "client/IrcCaseMapping.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

// The owner as "Owner" in the chat settings describes them: a mask nick!user@host with * and ?
// wildcards. A line is the owner's when its full nick!user@host matches the mask, or when the
// server vouches for the sender's services account and that account is the mask's nick. A mask
// whose user and host match anybody names a nick alone, which anybody can take: such a mask
// matches by account only.
class OwnerMask {
public:
    // Reads a mask; "nick", "nick!user" and "user@host" are filled up with "*". Nothing for an
    // empty text.
    static std::optional<OwnerMask> parse(std::string_view text);

    const std::string& text() const { return m_text; }
    // The sender the room reports for the owner's lines: the nick when the mask spells it out,
    // else the whole mask (which no IRC nick can equal, since nicks hold no '!').
    const std::string& ownerName() const { return m_ownerName; }
    // True when only the services account can identify the owner.
    bool needsAccount() const { return m_needsAccount; }

    // account: the sender's services account as the server reported it, if any.
    bool matches(std::string_view nick, std::string_view user, std::string_view host,
                 const std::optional<std::string>& account, const IrcCaseMapping& mapping) const;

    // Matches text against a pattern with * (any run) and ? (any one character).
    static bool globMatch(std::string_view pattern, std::string_view text);

private:
    std::string m_text;
    std::string m_nick;
    std::string m_ownerName;
    bool m_literalNick = false;
    bool m_needsAccount = false;
};

} // namespace tavu
