#include "client/LocalChatRoom.h"

namespace tavu {

LocalChatRoom::LocalChatRoom(std::string screenName)
    : m_caption("Welcome, " + screenName + "!"), m_owner(OwnerNameFromCaption(m_caption))
{
}

std::string LocalChatRoom::ownerNick() const
{
    return m_owner;
}

void LocalChatRoom::ownerTyped(const std::string& text)
{
    addEntry({Kind::Typed, m_owner, text});
    lineAppeared(m_owner, text);
}

void LocalChatRoom::otherSaid(const std::string& sender, const std::string& text)
{
    addEntry({Kind::Typed, sender, text});
    lineAppeared(sender, text);
}

void LocalChatRoom::notice(const std::string& text)
{
    addEntry({Kind::Notice, {}, text});
}

// The bot's own lines are not handed to the scanners: they are answers, never commands.
void LocalChatRoom::post(const std::string& line)
{
    addEntry({Kind::Reply, m_owner, line});
}

void LocalChatRoom::addEntry(Entry entry)
{
    m_transcript.push_back(std::move(entry));
    if (m_transcript.size() > kTranscriptLimit)
        m_transcript.pop_front();
    if (onEntry)
        onEntry(m_transcript.back());
}

} // namespace tavu
