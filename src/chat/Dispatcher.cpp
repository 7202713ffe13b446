#include "chat/Dispatcher.h"

#include "client/ChatRoom.h"
#include "util/Text.h"

#include <algorithm>
#include <stdexcept>

namespace tavu {

const std::array<std::string_view, 54>& Dispatcher::tableWords()
{
    static constexpr std::array<std::string_view, 54> words{
        "dir",    "play",  "stop",   "vol",    "vol?", "mute",   "xmute", "len?",   "next",   "prev",  "played?",
        "mp3?",   "dir?",  "refdir", "rep",    "xrep", "arnd",   "xarnd", "acon",   "xacon",  "ran",   "pause",
        "xpause", "vcoms", "vid3",   "vplist", "xid3", "xplist", "end",   "fac",    "mac",    "bac",   "faf",
        "maf",    "baf",   "fa",     "ma",     "ba",   "tc",     "tf",    "fac?",   "bac?",   "mac?",  "faf?",
        "baf?",   "maf?",  "fa?",    "ma?",    "ba?",  "tc?",    "tf?",   "sstyle", "rstyle", "lstyle"};
    return words;
}

Dispatcher::Dispatcher(const ChatRoom& room, const std::string& trig, TriggerHandler onTrigger)
    : m_room(room), m_trig(trig), m_onTrigger(std::move(onTrigger))
{
}

void Dispatcher::add(std::string_view word, Handler handler)
{
    const auto& words = tableWords();
    const auto it = std::find(words.begin(), words.end(), word);
    if (it == words.end())
        throw std::invalid_argument("not a command word: " + std::string(word));
    const auto order = static_cast<std::size_t>(it - words.begin());
    std::erase_if(m_table, [&](const Command& c) { return c.order == order; });
    const auto at = std::find_if(m_table.begin(), m_table.end(), [&](const Command& c) { return c.order > order; });
    m_table.insert(at, Command{order, *it, std::move(handler)});
}

bool Dispatcher::has(std::string_view word) const
{
    return std::any_of(m_table.begin(), m_table.end(), [&](const Command& c) { return c.word == word; });
}

bool Dispatcher::isOwner(const std::string& name) const
{
    // With nobody signed on there is no owner, and nobody is obeyed.
    const std::string owner = m_room.GetOwnerName();
    return !owner.empty() && name == owner;
}

Dispatcher::Cut Dispatcher::cutLine(const std::string& line)
{
    const auto blank = line.find(' ');
    if (blank == std::string::npos)
        return {toLower(line), line};
    return {toLower(std::string_view(line).substr(0, blank)), line.substr(blank + 1)};
}

void Dispatcher::Chat1_ChatMsg(const std::string& Screen_Name, const std::string& What_Said)
{
    std::string line = What_Said;
    if (startsWithNoCase(line, "trig") && isOwner(Screen_Name)) {
        ReplaceText(line, "trig ", "");
        m_onTrigger(line);
        // The rest runs on the remaining line, which is never longer than the new trigger and so
        // matches no command.
    }
    if (!isOwner(Screen_Name))
        return; // the command word of anyone else is empty, and matches nothing
    const Cut cut = cutLine(line);
    const std::string_view word = cut.word;
    const std::string trig = toLower(m_trig);
    if (word.size() <= trig.size() || !word.starts_with(trig))
        return;
    const std::string_view rest = word.substr(trig.size());
    for (const Command& command : m_table) {
        // The full command is the trigger followed by the word, lower-cased.
        if (rest == command.word) {
            if (isOwner(Screen_Name))
                command.run(cut.argument);
            return;
        }
    }
}

} // namespace tavu
