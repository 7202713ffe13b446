#include "client/ChatRoom.h"

#include "client/ChatScanner.h"

#include <algorithm>

namespace tavu {

void ChatRoom::attach(ChatScanner& scanner)
{
    if (std::find(m_scanners.begin(), m_scanners.end(), &scanner) == m_scanners.end())
        m_scanners.push_back(&scanner);
}

void ChatRoom::detach(ChatScanner& scanner)
{
    std::erase(m_scanners, &scanner);
}

void ChatRoom::lineAppeared(const std::string& sender, const std::string& text)
{
    for (ChatScanner* scanner : m_scanners)
        scanner->lineAppeared(sender, text);
}

std::string OwnerNameFromCaption(std::string_view caption)
{
    constexpr std::string_view kWelcome = "Welcome, ";
    if (!caption.starts_with(kWelcome))
        return {};
    const std::string_view rest = caption.substr(kWelcome.size());
    return std::string(rest.substr(0, rest.find('!')));
}

} // namespace tavu
