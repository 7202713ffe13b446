#pragma once

#include "util/Task.h"

#include <string>

namespace tavu {

class Bot;

// The Ok button of the directory chooser FrmDir: plays the click and rebuilds the song list from
// the chosen directory. A directory that cannot be listed or holds no song is refused with an
// error box, after which the songs of the old directory dir come back (none selected) and the
// settings file is not touched. Otherwise dir becomes the chosen directory, a box confirms it, and
// only after that box is closed is "Mp3 Directory" written. True when the directory was taken.
Task<bool> chooseMusicDirectory(Bot& bot, std::string chosen);
// The same with the library options chosen beside the directory: the directory is listed by them,
// and they are stored with it (only those that changed); a refused directory keeps the old ones.
struct LibraryOptions;
Task<bool> chooseMusicDirectory(Bot& bot, std::string chosen, LibraryOptions options);

} // namespace tavu
