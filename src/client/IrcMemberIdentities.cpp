#include "client/IrcMemberIdentities.h"

#include <algorithm>

namespace tavu {
namespace {

// A table that strangers fill is kept from growing without end.
constexpr std::size_t kMostEntries = 4096;

template <class Map>
void bounded(Map& map)
{
    if (map.size() > kMostEntries)
        map.clear();
}

bool isAccount(const std::string& name)
{
    return !name.empty() && name != "*";
}

} // namespace

bool IrcMemberIdentities::isOurChannel(const std::string& name, const IrcCaseMapping& mapping) const
{
    return !m_channel.empty() && mapping.equals(name, m_channel);
}

bool IrcMemberIdentities::isPresent(const std::string& nick, const IrcCaseMapping& mapping) const
{
    return m_present.count(mapping.fold(nick)) > 0;
}

// One reply of the names list: "@op +voiced plain", with every prefix a server may give
// (multi-prefix) and, with userhost-in-names, nick!user@host.
void IrcMemberIdentities::names(const std::string& list, const IrcCaseMapping& mapping)
{
    if (m_namesEnded) {
        m_present.clear();
        m_namesEnded = false;
    }
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t end = std::min(list.find(' ', at), list.size());
        std::string name = list.substr(at, end - at);
        at = end + 1;
        name.erase(0, name.find_first_not_of("~&@%+!"));
        name = name.substr(0, name.find('!'));
        if (!name.empty() && m_present.size() < kMostEntries)
            m_present.insert(mapping.fold(name));
    }
}

void IrcMemberIdentities::track(const IrcMessage& message, const IrcCaseMapping& mapping)
{
    const std::string& command = message.command;
    if (command == "353" && message.params.size() >= 4 && isOurChannel(message.param(2), mapping)) {
        names(message.param(3), mapping);
        return;
    }
    if (command == "366" && message.params.size() >= 2 && isOurChannel(message.param(1), mapping)) {
        m_namesEnded = true;
        return;
    }
    if (message.nick.empty())
        return;
    const std::string nick = mapping.fold(message.nick);
    if (command == "JOIN" && isOurChannel(message.param(0), mapping) && m_present.size() < kMostEntries)
        m_present.insert(nick);
    else if (command == "PART" && isOurChannel(message.param(0), mapping))
        m_present.erase(nick);
    else if (command == "KICK" && isOurChannel(message.param(0), mapping))
        m_present.erase(mapping.fold(message.param(1)));
    else if (command == "QUIT")
        m_present.erase(nick);
    else if (command == "NICK" && m_present.erase(nick) > 0)
        m_present.insert(mapping.fold(message.param(0)));
    if (command == "JOIN" && message.params.size() >= 3) { // extended-join: channel, account, real name
        if (isAccount(message.param(1)))
            m_accounts[nick] = message.param(1);
        else
            m_accounts.erase(nick);
    } else if (command == "ACCOUNT") {
        if (isAccount(message.param(0)))
            m_accounts[nick] = message.param(0);
        else
            m_accounts.erase(nick);
    } else if (command == "NICK") {
        const auto it = m_accounts.find(nick);
        if (it != m_accounts.end()) {
            std::string account = std::move(it->second);
            m_accounts.erase(it);
            m_accounts[mapping.fold(message.param(0))] = std::move(account);
        }
    } else if (command == "QUIT" || command == "PART") {
        m_accounts.erase(nick);
    } else if (command == "KICK") {
        m_accounts.erase(mapping.fold(message.param(1)));
    }
    bounded(m_accounts);
}

void IrcMemberIdentities::heard(const std::string& sender, const IrcMessage& message, bool accountTags,
                                const IrcCaseMapping& mapping)
{
    if (message.nick.empty())
        return;
    std::string account;
    if (const auto tag = accountTags ? message.tag("account") : std::nullopt; tag && isAccount(*tag))
        account = *tag;
    else if (const auto known = m_accounts.find(mapping.fold(message.nick)); known != m_accounts.end())
        account = known->second;
    // "account:" cannot begin a nick (a nick holds no colon), so an account never passes for a mask.
    m_identities[sender] =
        account.empty() ? message.nick + "!" + message.user + "@" + message.host : "account:" + account;
    bounded(m_identities);
}

std::string IrcMemberIdentities::identity(const std::string& sender) const
{
    const auto it = m_identities.find(sender);
    return it == m_identities.end() ? std::string() : it->second;
}

} // namespace tavu
