#pragma once

#include <string>
#include <vector>

namespace tavu {

class Settings;

// What keeps the program from running without windows on these settings, one sentence each for the
// error output; empty when nothing does. Without windows the chat room must be an IRC channel with
// an owner to obey, and start-up cannot ask for the handle or remind of the music folder.
std::vector<std::string> headlessProblems(const Settings& settings);

} // namespace tavu
