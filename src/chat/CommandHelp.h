#pragma once

#include "chat/Commands.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// What the help says of the chat commands: the help window shows it, and the command "help" sends
// it to the owner. Everything comes from the command table, so the help names every command the
// dispatcher knows.

struct HelpGroup {
    CommandGroup group;
    std::string_view title;
};
// The groups in the order the help lists them, each with its title.
std::span<const HelpGroup> helpGroups();

// A line of help that is not a row of the command table: the usage as typed, and what it does.
struct HelpEntry {
    std::string_view usage;
    std::string_view description;
};
// The trigger command, typed without the trigger before it.
inline constexpr HelpEntry kTriggerHelp{"trig X", "sets the trigger to X; typed without any trigger"};
// The answers of the song choice that "play" opens when several songs match, typed without the
// trigger; no other command is heard until one of them closes it.
std::span<const HelpEntry> songChoiceHelp();

// The command as the owner types it: the trigger, the word and, after a blank, its argument.
std::string commandUsage(const Command& command, std::string_view trig);

// The reply bodies of "help" without a word: the words of the table by group, in at most three
// lines of about the same length.
std::vector<std::string> helpListBodies(std::span<const Command> table, std::string_view trig);

// The reply body of "help WORD": the usage and the description of the command whose word is WORD
// (typed with or without the trigger, in any letter case), of the trigger command for "trig", or
// the reason there is none.
std::string helpWordBody(std::span<const Command> table, std::string_view trig, std::string_view word);

namespace commands {
// "help": the list of words, or with an argument the line on one word; the owner alone gets them.
void help(Bot& bot, const std::string& argument);
} // namespace commands

} // namespace tavu
