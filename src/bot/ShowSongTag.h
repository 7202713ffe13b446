#pragma once

namespace tavu {

class Bot;

// Shows the tag of the current song in the ID3 fields: the path is the music directory dir, "/",
// the selected song of lstMp3 (just dir and "/" when none is selected, which has no tag); the six
// fields are cleared and then read from that file.
void ShowSongTag(Bot& bot);

} // namespace tavu
