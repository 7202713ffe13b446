#include "client/IrcMemberIdentities.h"

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

void IrcMemberIdentities::track(const IrcMessage& message, const IrcCaseMapping& mapping)
{
    if (message.nick.empty())
        return;
    const std::string nick = mapping.fold(message.nick);
    const std::string& command = message.command;
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
