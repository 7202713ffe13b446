#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tavu {

class Bot;

// One chat command: the word typed after the trigger, and what it does with the line's argument.
struct Command {
    using Handler = void (*)(Bot& bot, const std::string& argument);
    std::string_view word;
    Handler run;
};

// The chat commands, in the order in which a line is tested against them.
std::span<const Command> chatCommands();

// The first command of the table whose word is word, or null.
const Command* findCommand(std::span<const Command> table, std::string_view word);

} // namespace tavu
