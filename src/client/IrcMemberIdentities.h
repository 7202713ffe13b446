#pragma once

#include "client/IrcCaseMapping.h"
#include "client/IrcMessage.h"

#include <map>
#include <string>

namespace tavu {

// Who the people saying lines in the channel are, for requests: each line's sender name (as the
// scanners report it) is tied to the services account its account tag names; without a tag, to
// the account the server told at the join (extended-join) or at a login since (account-notify);
// otherwise to nick!user@host. Never to the nick alone. A name is tied to whoever said the last
// line under it.
class IrcMemberIdentities {
public:
    // Any line from the server: joins, logins and logouts, nick changes, leaving.
    void track(const IrcMessage& message, const IrcCaseMapping& mapping);
    // A channel line of this sender; accountTags: the server tags lines with accounts.
    void heard(const std::string& sender, const IrcMessage& message, bool accountTags, const IrcCaseMapping& mapping);
    // The identity of the last line under this name; "" for a name not heard.
    std::string identity(const std::string& sender) const;

private:
    std::map<std::string, std::string> m_identities; // by sender name
    std::map<std::string, std::string> m_accounts;   // by folded nick: what joins and logins told
};

} // namespace tavu
