#pragma once

#include <filesystem>

namespace tavu {

// Runs the program with its windows. They live in a module of their own (tavu-windows.so, next to
// the executable in a build tree, in the library folder of an installed program), loaded only
// here, so that the program without windows never maps Qt's GUI libraries. Returns the exit
// status; 1, with the reason on the error output, when the module cannot be loaded.
// firstStart: the program directory had no Tavu.ini before this start.
int runWithWindows(int& argc, char** argv, const std::filesystem::path& programDir, bool noIntro, bool firstStart);

} // namespace tavu
