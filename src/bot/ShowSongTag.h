#pragma once

#include <string>

namespace tavu {

class Bot;

// Shows the tag of a song of the song list in the ID3 fields: the path is the music directory dir,
// "/", the song (just dir and "/" for none, which has no tag); the six fields are cleared and then
// read from that file.
void showSongTag(Bot& bot, const std::string& song);
// The same for the current song (the one that plays, or played last).
void showSongTag(Bot& bot);
// The same for the song the playlist has selected, which a click may have moved away from the
// current song; the current song when the playlist has none selected.
void showSelectedSongTag(Bot& bot);

} // namespace tavu
