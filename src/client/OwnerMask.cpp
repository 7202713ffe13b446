#include "client/OwnerMask.h"

#include "util/Text.h"

namespace tavu {
namespace {

std::string orAny(std::string_view part)
{
    return part.empty() ? std::string("*") : std::string(part);
}

bool onlyStars(std::string_view part)
{
    return part.find_first_not_of('*') == std::string_view::npos;
}

} // namespace

std::optional<OwnerMask> OwnerMask::parse(std::string_view text, std::string_view account)
{
    text = trimmed(text);
    if (text.empty())
        return std::nullopt;
    const std::size_t bang = text.find('!');
    const std::size_t at = text.find('@', bang == std::string_view::npos ? 0 : bang);
    std::string nick, user, host;
    if (bang == std::string_view::npos && at == std::string_view::npos) {
        nick = orAny(text), user = "*", host = "*";
    } else if (bang == std::string_view::npos) {
        nick = "*", user = orAny(text.substr(0, at)), host = orAny(text.substr(at + 1));
    } else {
        nick = orAny(text.substr(0, bang));
        user = orAny(text.substr(bang + 1, at == std::string_view::npos ? at : at - bang - 1));
        host = at == std::string_view::npos ? std::string("*") : orAny(text.substr(at + 1));
    }
    OwnerMask mask;
    mask.m_text = nick + "!" + user + "@" + host;
    const bool literalNick = nick.find_first_of("*?") == std::string::npos;
    mask.m_ownerName = literalNick ? nick : mask.m_text;
    mask.m_nickOnly = onlyStars(user) && onlyStars(host);
    mask.m_account = std::string(trimmed(account));
    // A nick alone names the account of that nick; a wildcard nick names none.
    if (mask.m_account.empty() && mask.m_nickOnly && literalNick)
        mask.m_account = nick;
    return mask;
}

bool OwnerMask::matches(std::string_view nick, std::string_view user, std::string_view host,
                        const std::optional<std::string>& account, const IrcCaseMapping& mapping) const
{
    if (!m_account.empty() && !(account && *account != "*" && mapping.equals(*account, m_account)))
        return false;
    if (m_nickOnly)
        return !m_account.empty();
    if (nick.empty() || user.empty() || host.empty())
        return false;
    const std::string full = std::string(nick) + "!" + std::string(user) + "@" + std::string(host);
    return globMatch(mapping.fold(m_text), mapping.fold(full));
}

bool OwnerMask::globMatch(std::string_view pattern, std::string_view text)
{
    std::size_t p = 0, t = 0;
    std::size_t star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p, ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace tavu
