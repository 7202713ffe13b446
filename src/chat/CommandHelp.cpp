#include "chat/CommandHelp.h"

#include "bot/Bot.h"
#include "util/Text.h"

#include <array>

namespace tavu {
namespace {

constexpr std::array<HelpGroup, 7> kGroups{{
    {CommandGroup::Player, "Player"},
    {CommandGroup::Library, "Library"},
    {CommandGroup::PlayMode, "Play mode"},
    {CommandGroup::Windows, "Windows"},
    {CommandGroup::Style, "Style"},
    {CommandGroup::SavedStyles, "Saved styles"},
    {CommandGroup::Queue, "Queue"},
}};

constexpr std::array<HelpEntry, 5> kSongChoice{{
    {"y", "lists the songs that match, numbered"},
    {"play N", "plays song number N of that list"},
    {"add N", "queues song number N of that list"},
    {"n", "gives the choice up"},
    {"cancel", "gives the choice up"},
}};

constexpr std::size_t kMostListLines = 3;

// Packs the pieces into lines no longer than width, pieces joined by separator, a piece longer than
// width on a line of its own.
std::vector<std::string> pack(const std::vector<std::string>& pieces, std::size_t width, std::string_view separator)
{
    std::vector<std::string> lines;
    for (const std::string& piece : pieces) {
        if (!lines.empty() && lines.back().size() + separator.size() + piece.size() <= width)
            lines.back() += std::string(separator) + piece;
        else
            lines.push_back(piece);
    }
    return lines;
}

} // namespace

std::span<const HelpGroup> helpGroups()
{
    return kGroups;
}

std::span<const HelpEntry> songChoiceHelp()
{
    return kSongChoice;
}

std::string commandUsage(const Command& command, std::string_view trig)
{
    std::string usage = std::string(trig) + std::string(command.word);
    if (!command.argument.empty())
        usage += " " + std::string(command.argument);
    return usage;
}

std::vector<std::string> helpListBodies(std::span<const Command> table, std::string_view trig)
{
    // One piece per group; the lines are made as short as three lines of whole groups allow.
    std::vector<std::string> pieces;
    for (const HelpGroup& group : kGroups) {
        std::string piece = std::string(group.title) + ":";
        for (const Command& command : table)
            if (command.group == group.group)
                piece += " " + std::string(command.word);
        if (piece.size() > group.title.size() + 1)
            pieces.push_back(std::move(piece));
    }
    if (pieces.empty())
        return {};
    pieces.front() =
        (trig.empty() ? std::string("Commands: ") : "Commands after [" + std::string(trig) + "]: ") + pieces.front();
    pieces.back() += " - " + std::string(trig) + "help WORD tells what one does";
    constexpr std::string_view kSeparator = " | ";
    std::size_t width = 0;
    for (const std::string& piece : pieces)
        width = std::max(width, piece.size());
    std::vector<std::string> lines = pack(pieces, width, kSeparator);
    while (lines.size() > kMostListLines)
        lines = pack(pieces, ++width, kSeparator);
    for (std::string& line : lines)
        line = " " + line + " ";
    return lines;
}

std::string helpWordBody(std::span<const Command> table, std::string_view trig, std::string_view word)
{
    const std::string typed = toLower(trimmed(word, " "));
    const Command* command = findCommand(table, typed);
    const std::string lowTrig = toLower(trig);
    if (!command && !lowTrig.empty() && typed.size() > lowTrig.size() && typed.starts_with(lowTrig))
        command = findCommand(table, std::string_view(typed).substr(lowTrig.size()));
    if (command && command->description.empty())
        command = nullptr;
    if (command)
        return " " + commandUsage(*command, trig) + " - " + std::string(command->description) + " ";
    if (typed == "trig")
        return " " + std::string(kTriggerHelp.usage) + " - " + std::string(kTriggerHelp.description) + " ";
    return " No such command [" + std::string(trimmed(word, " ")) + "] - " + std::string(trig) + "help lists them all ";
}

namespace commands {

void help(Bot& bot, const std::string& argument)
{
    // The commands this settings file has in use.
    std::vector<Command> table;
    for (const Command& command : bot.dispatcher().table())
        if (bot.dispatcher().available(command))
            table.push_back(command);
    // A line without a blank has the whole line as its argument: the command itself.
    const std::string_view word = trimmed(argument, " ");
    const std::string_view first = word.substr(0, word.find(' '));
    if (first.empty() || equalsNoCase(first, bot.trig + "help")) {
        for (const std::string& body : helpListBodies(table, bot.trig))
            bot.replyToOwner(body);
        return;
    }
    bot.replyToOwner(helpWordBody(table, bot.trig, first));
}

} // namespace commands
} // namespace tavu
