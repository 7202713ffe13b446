#include "chat/Dispatcher.h"

#include "bot/Bot.h"
#include "client/ChatRoom.h"
#include "util/Text.h"

namespace tavu {
namespace {

// The replies sent while it lives belong to one run of a command. Runs nest: a command that waits
// lets others run meanwhile.
class RunScope {
public:
    RunScope(ChatRoom& room, std::string_view command, std::uint64_t run) : m_room(room), m_outer(room.replySource())
    {
        m_room.setReplySource({std::string(command), run});
    }
    ~RunScope() { m_room.setReplySource(std::move(m_outer)); }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    ChatRoom& m_room;
    ChatRoom::ReplySource m_outer;
};

} // namespace

bool Dispatcher::isOwner(const std::string& name) const
{
    // With nobody signed on there is no owner, and nobody is obeyed.
    const std::string owner = m_bot.room().GetOwnerName();
    return !owner.empty() && name == owner;
}

Dispatcher::Cut Dispatcher::cutLine(const std::string& line)
{
    const auto blank = line.find(' ');
    if (blank == std::string::npos)
        return {toLower(line), line};
    return {toLower(std::string_view(line).substr(0, blank)), line.substr(blank + 1)};
}

namespace {

// A trigger of blanks alone cannot be typed before a command word (the word ends at the first
// blank), and the settings file drops blanks around a value, so the next start would read it as
// the empty trigger and obey bare words.
bool onlyBlanks(std::string_view trigger)
{
    return !trigger.empty() && trigger.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

void Dispatcher::setTrigger(const std::string& newTrigger)
{
    if (onlyBlanks(newTrigger))
        return m_bot.reply(" Please choose a trigger that is not only blanks ");
    m_bot.settings().write(keys::TrigWritten, newTrigger);
    m_bot.trig = newTrigger;
    m_bot.trigChanged();
    m_bot.reply(" Trig Is Now [" + newTrigger + "] ");
}

void Dispatcher::Chat1_ChatMsg(const std::string& Screen_Name, const std::string& What_Said)
{
    std::string line = What_Said;
    if (startsWithNoCase(line, "trig") && isOwner(Screen_Name)) {
        ReplaceText(line, "trig ", "");
        const RunScope run(m_bot.room(), "trig", ++m_runs);
        setTrigger(line);
        // The rest runs on the remaining line, which is never longer than the new trigger and so
        // matches no command.
    }
    if (!isOwner(Screen_Name))
        return; // the command word of anyone else is empty, and matches nothing
    const Cut cut = cutLine(line);
    const std::string_view word = cut.word;
    const std::string trig = toLower(m_bot.trig);
    if (word.size() <= trig.size() || !word.starts_with(trig))
        return;
    // The full command is the trigger followed by the word, lower-cased.
    if (const Command* command = findCommand(m_table, word.substr(trig.size())))
        if (isOwner(Screen_Name)) {
            const RunScope run(m_bot.room(), command->word, ++m_runs);
            command->run(m_bot, cut.argument);
        }
}

} // namespace tavu
