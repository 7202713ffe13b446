#pragma once

#include <optional>
#include <string_view>

namespace tavu {

class Bot;

// Puts the player, library, play-mode and window commands into the bot's command table.
void addPlayerCommands(Bot& bot);

// A whole argument read as a decimal number (blanks around it allowed, a fraction allowed);
// nothing when it is not one.
std::optional<double> parseDecimal(std::string_view text);

} // namespace tavu
