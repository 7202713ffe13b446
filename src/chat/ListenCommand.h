#pragma once

#include <string>

namespace tavu {

class Bot;

namespace commands {
// "listen": where the room can listen to the music, with the listener count when the server tells
// it within two seconds; other lines are answered meanwhile.
void listen(Bot& bot, const std::string& argument);
} // namespace commands

} // namespace tavu
