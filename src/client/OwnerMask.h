#pragma once

#include "client/IrcCaseMapping.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

// The owner as "Owner" and "Owner Account" in the chat settings describe them: a mask
// nick!user@host with * and ? wildcards, and perhaps a services account.
//
// A mask with a user or host part is obeyed only on a full nick!user@host match; when an account is
// named as well, the sender must also be logged in to it. A mask whose user and host match anybody
// names a nick alone, which anybody can take: such a mask matches by the services account only, the
// account named, or else the account of the mask's nick. An account counts only when the server
// vouches for it (account-tag).
class OwnerMask {
public:
    // Reads a mask; "nick", "nick!user" and "user@host" are filled up with "*". Nothing for an
    // empty text. account: the "Owner Account" setting, "" for none.
    static std::optional<OwnerMask> parse(std::string_view text, std::string_view account = {});

    const std::string& text() const { return m_text; }
    // The sender the room reports for the owner's lines: the nick when the mask spells it out,
    // else the whole mask (which no IRC nick can equal, since nicks hold no '!').
    const std::string& ownerName() const { return m_ownerName; }
    // True when the mask names a nick alone, so that only the services account can identify the
    // owner.
    bool needsAccount() const { return m_nickOnly; }
    // The account the owner must be logged in to; "" when the mask alone decides.
    const std::string& account() const { return m_account; }
    // True when no line can match without the server telling accounts.
    bool dependsOnAccounts() const { return m_nickOnly || !m_account.empty(); }

    // account: the sender's services account as the server reported it, if any.
    bool matches(std::string_view nick, std::string_view user, std::string_view host,
                 const std::optional<std::string>& account, const IrcCaseMapping& mapping) const;

    // Matches text against a pattern with * (any run) and ? (any one character).
    static bool globMatch(std::string_view pattern, std::string_view text);

private:
    std::string m_text;
    std::string m_ownerName;
    std::string m_account;
    bool m_nickOnly = false;
};

} // namespace tavu
