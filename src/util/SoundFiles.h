#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// Finds an interface sound. `name` is the file below the program directory as the windows give it:
// "Sounds/Click.wav", "\sounds\Min.wav", or a bare "Click.wav" for Sounds/. Looks in the program
// directory first, then in each of `folders` (the build tree's Sounds/ next to the executable, the
// installed data folder) for the bare file name; in each place the exact name first, then a name
// that differs only in letter case. Nothing when no such file exists anywhere.
std::optional<std::string> findSoundFile(std::string_view name, const std::string& programDir,
                                         const std::vector<std::string>& folders);

} // namespace tavu
