#pragma once

#include "client/IrcCaseMapping.h"
#include "client/IrcMessage.h"

#include <map>
#include <set>
#include <string>

namespace tavu {

// Who the people saying lines in the channel are, for requests: each line's sender name (as the
// scanners report it) is tied to the services account its account tag names; without a tag, to
// the account the server told at the join (extended-join) or at a login since (account-notify);
// otherwise to nick!user@host. Never to the nick alone. A name is tied to whoever said the last
// line under it.
//
// It also counts who is in the channel (for the room's share of a skip vote): the names list the
// server sends at the join, then joins, parts, kicks, quits and nick changes there.
class IrcMemberIdentities {
public:
    explicit IrcMemberIdentities(std::string channel = {}) : m_channel(std::move(channel)) {}

    // Any line from the server: joins, logins and logouts, nick changes, leaving.
    void track(const IrcMessage& message, const IrcCaseMapping& mapping);
    // A channel line of this sender; accountTags: the server tags lines with accounts.
    void heard(const std::string& sender, const IrcMessage& message, bool accountTags, const IrcCaseMapping& mapping);
    // The identity of the last line under this name; "" for a name not heard.
    std::string identity(const std::string& sender) const;
    // How many are in the channel by the last names list and what happened since, ourselves
    // among them; 0 before the first list.
    std::size_t present() const { return m_present.size(); }
    // Whether this nick is among them.
    bool isPresent(const std::string& nick, const IrcCaseMapping& mapping) const;

private:
    bool isOurChannel(const std::string& name, const IrcCaseMapping& mapping) const;
    void names(const std::string& list, const IrcCaseMapping& mapping);

    std::string m_channel;
    std::set<std::string> m_present; // folded nicks in the channel
    bool m_namesEnded = true;        // the next names reply starts a new list

    std::map<std::string, std::string> m_identities; // by sender name
    std::map<std::string, std::string> m_accounts;   // by folded nick: what joins and logins told
};

} // namespace tavu
