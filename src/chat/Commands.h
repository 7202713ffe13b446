#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tavu {

class Bot;

// The groups in which the help lists the chat commands, in the order it lists them.
enum class CommandGroup { Unlisted, Player, Library, PlayMode, Windows, Style, SavedStyles, Queue };

// One chat command: the word typed after the trigger, and what it does with the line's argument;
// then what the help says of it: its group, the argument it reads ("" for none) and one line on
// what it does. Every command of the program's table has them; a row without them is unlisted.
struct Command {
    using Handler = void (*)(Bot& bot, const std::string& argument);
    std::string_view word;
    Handler run;
    CommandGroup group = CommandGroup::Unlisted;
    std::string_view argument = {};
    std::string_view description = {};
};

// The chat commands, in the order in which a line is tested against them.
std::span<const Command> chatCommands();

// The first command of the table whose word is word, or null.
const Command* findCommand(std::span<const Command> table, std::string_view word);

} // namespace tavu
