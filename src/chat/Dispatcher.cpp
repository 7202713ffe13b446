#include "chat/Dispatcher.h"

#include "bot/Bot.h"
#include "client/ChatRoom.h"
#include "queue/UpNext.h"
#include "util/Text.h"

#include <algorithm>
#include <iterator>

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
    const std::string owner = m_bot.room().ownerNick();
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

bool Dispatcher::available(const Command& command) const
{
    return command.group != CommandGroup::Queue || m_bot.upNext->enabled();
}

namespace {

// The argument of a line without a blank is the whole line; the queue's commands, newer than that
// rule, read no argument there.
std::string argumentOf(const Command& command, const std::string& line, const Dispatcher::Cut& cut)
{
    if (command.group == CommandGroup::Queue && line.find(' ') == std::string::npos)
        return {};
    return cut.argument;
}

// The commands members of the room may use when requests are on.
constexpr std::string_view kMemberCommands[] = {"add", "queue", "mp3?", "listen", "unq", "skip"};

// A member's command runs for the member: refusals name them, and what they queue is theirs.
class RequesterScope {
public:
    RequesterScope(Bot& bot, Bot::Requester requester) : m_bot(bot) { m_bot.requester = std::move(requester); }
    ~RequesterScope() { m_bot.requester = {}; }
    RequesterScope(const RequesterScope&) = delete;
    RequesterScope& operator=(const RequesterScope&) = delete;

private:
    Bot& m_bot;
};

} // namespace

void Dispatcher::memberLine(const std::string& name, const std::string& line)
{
    // Without requests the lines of anyone but the owner are not commands; nor are they without a
    // trigger, when every word said in the room would be one.
    const std::string trig = toLower(m_bot.trig);
    if (trig.empty() || !m_bot.upNext->enabled() || leadingNumber(m_bot.settings().readOr(keys::RequestsEnabled)) == 0)
        return;
    const Cut cut = cutLine(line);
    const std::string_view word = cut.word;
    if (word.size() <= trig.size() || !word.starts_with(trig))
        return;
    const std::string_view typed = word.substr(trig.size());
    if (std::find(std::begin(kMemberCommands), std::end(kMemberCommands), typed) == std::end(kMemberCommands))
        return;
    const Command* command = findCommand(m_table, typed);
    const std::string id = m_bot.room().memberIdentity(name);
    if (!command || id.empty())
        return; // somebody the room cannot tell apart from others asks for nothing
    // Within the cooldown a member's lines go unanswered, so nobody floods the room through the bot.
    const std::int64_t now = m_bot.runtime().tickMs();
    const auto cooldownMs =
        static_cast<std::int64_t>(leadingNumber(m_bot.settings().readOr(keys::RequestsCooldown)) * 1000);
    auto& last = m_bot.upNext->lastCommandMs;
    if (const auto it = last.find(id); it != last.end() && now - it->second < cooldownMs)
        return;
    last[id] = now;
    const RequesterScope member(m_bot, {id, name});
    const RunScope run(m_bot.room(), command->word, ++m_runs);
    command->run(m_bot, argumentOf(*command, line, cut));
}

void Dispatcher::hearCommandLine(const std::string& name, const std::string& said)
{
    std::string line = said;
    if (startsWithNoCase(line, "trig") && isOwner(name)) {
        replaceText(line, "trig ", "");
        const RunScope run(m_bot.room(), "trig", ++m_runs);
        setTrigger(line);
        // The rest runs on the remaining line, which is never longer than the new trigger and so
        // matches no command.
    }
    if (!isOwner(name))
        return memberLine(name, line);
    const Cut cut = cutLine(line);
    const std::string_view word = cut.word;
    const std::string trig = toLower(m_bot.trig);
    if (word.size() <= trig.size() || !word.starts_with(trig))
        return;
    // The full command is the trigger followed by the word, lower-cased.
    if (const Command* command = findCommand(m_table, word.substr(trig.size())); command && available(*command))
        if (isOwner(name)) {
            const RunScope run(m_bot.room(), command->word, ++m_runs);
            command->run(m_bot, argumentOf(*command, line, cut));
        }
}

} // namespace tavu
