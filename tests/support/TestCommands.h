#pragma once

#include "chat/Commands.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace tavu::test {

// The program's command table with these rows in place of the rows of the same words.
inline std::vector<Command> commandsWith(std::initializer_list<Command> rows)
{
    const auto table = chatCommands();
    std::vector<Command> commands(table.begin(), table.end());
    for (const Command& row : rows)
        std::replace_if(
            commands.begin(), commands.end(), [&](const Command& c) { return c.word == row.word; }, row);
    return commands;
}

} // namespace tavu::test
