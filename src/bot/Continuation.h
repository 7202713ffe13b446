#pragma once

namespace tavu {

class Bot;

// What happens when a song has played to its end, by the play mode: a random song, the next song
// (after the last one the first), the same song again, or stop. Each new song is announced.
void Media1_EndOfStream(Bot& bot);

} // namespace tavu
