#include "client/IrcNickWatch.h"

#include "client/IrcMessage.h"

#include <algorithm>
#include <sstream>

namespace tavu {
namespace {

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, separator);)
        if (!item.empty())
            out.push_back(item);
    return out;
}

std::string joined(const std::vector<std::string>& items, char separator)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : std::string(1, separator)) + item;
    return out;
}

} // namespace

IrcNickWatch::IrcNickWatch(Runtime& runtime, Send send, Changed changed, std::int64_t pollMs)
    : m_send(std::move(send)), m_changed(std::move(changed)), m_pollMs(pollMs), m_pollTimer(runtime)
{
}

void IrcNickWatch::reset()
{
    m_pollTimer.stop();
    m_monitor = m_begun = false;
    m_asked.clear();
    for (auto& [nick, seen] : m_nicks)
        seen = Seen::Unknown;
}

void IrcNickWatch::begin()
{
    m_begun = true;
    if (m_nicks.empty())
        return;
    if (m_monitor) {
        std::vector<std::string> nicks;
        for (const auto& [nick, seen] : m_nicks)
            nicks.push_back(nick);
        m_send("MONITOR + " + joined(nicks, ','));
    } else {
        poll();
    }
}

void IrcNickWatch::watch(const std::string& nick)
{
    if (nick.empty() || watching(nick))
        return;
    m_nicks.emplace(nick, Seen::Unknown);
    if (!m_begun)
        return;
    if (m_monitor)
        m_send("MONITOR + " + nick);
    else
        poll();
}

void IrcNickWatch::unwatch(const std::string& nick)
{
    const auto it = find(nick);
    if (it == m_nicks.end())
        return;
    if (m_begun && m_monitor)
        m_send("MONITOR - " + it->first);
    m_nicks.erase(it);
    if (m_nicks.empty())
        m_pollTimer.stop();
}

bool IrcNickWatch::handle(const IrcMessage& message)
{
    const std::string& command = message.command;
    if (command == "730" || command == "731") {
        // 730 lists nick!user@host targets, 731 bare nicks.
        for (const std::string& target : split(message.param(1), ','))
            report(target.substr(0, target.find('!')), command == "730");
    } else if (command == "734") {
        // The server's monitor list is full: ask with ISON instead.
        m_monitor = false;
        poll();
    } else if (command == "732" || command == "733") {
        // A listing of the monitor list; we never ask for one.
    } else if (command == "303") {
        const std::vector<std::string> online = split(message.param(1), ' ');
        std::vector<std::string> asked;
        asked.swap(m_asked);
        for (const std::string& nick : asked) {
            const bool there = std::any_of(online.begin(), online.end(),
                                           [&](const std::string& o) { return m_mapping.equals(o, nick); });
            report(nick, there);
        }
    } else {
        return false;
    }
    return true;
}

IrcNickWatch::Nicks::const_iterator IrcNickWatch::find(const std::string& nick) const
{
    return std::find_if(m_nicks.begin(), m_nicks.end(), [&](const auto& e) { return m_mapping.equals(e.first, nick); });
}

IrcNickWatch::Nicks::iterator IrcNickWatch::find(const std::string& nick)
{
    return std::find_if(m_nicks.begin(), m_nicks.end(), [&](const auto& e) { return m_mapping.equals(e.first, nick); });
}

void IrcNickWatch::report(const std::string& nick, bool online)
{
    const auto it = find(nick);
    const Seen seen = online ? Seen::Online : Seen::Offline;
    if (it == m_nicks.end() || it->second == seen)
        return;
    it->second = seen;
    const std::string name = it->first; // the handler may unwatch it
    if (m_changed)
        m_changed(name, online);
}

void IrcNickWatch::poll()
{
    m_pollTimer.stop();
    if (!m_begun || m_monitor || m_nicks.empty())
        return;
    m_asked.clear();
    for (const auto& [nick, seen] : m_nicks)
        m_asked.push_back(nick);
    m_send("ISON " + joined(m_asked, ' '));
    m_pollTimer.start(m_pollMs, [this] { poll(); });
}

} // namespace tavu
