#pragma once

#include <string>
#include <vector>

namespace tavu {

class Bot;

// The song-list index of a file of the music library (by its path, or another spelling of the
// same file), or -1.
int songIndexOfFile(const Bot& bot, const std::string& path);

// Files and folders dropped on the player or the playlist (from a file manager): the first song of
// the library among them plays, as a double click on it does. A folder offers to become the music
// folder. Anything else is told in a box: only the music folder's songs play.
void dropFiles(Bot& bot, const std::vector<std::string>& paths);

} // namespace tavu
