#pragma once

#include <string>

namespace tavu {

class Bot;
enum class PlayMode;

// The operations behind the main window's player buttons and the playlist window, shared with the
// chat commands and the end-of-song continuation.

// Asks the player to play the song from File1's directory. False when it could not be started.
bool openSong(Bot& bot, const std::string& song);
// Tells the user, in a message box, that a song could not be played.
void reportUnplayable(Bot& bot, const std::string& song);

// Adds one to the played counter and saves it.
void CountSongPlayed(Bot& bot);

// The volume level 0 to 100 as the player's attenuation: 25 x level - 2500, halves to even.
int volumeToAttenuation(double level);

// The buttons. Each first plays the click sound.
void Play_Click(Bot& bot);
void Stop_Click(Bot& bot);
void Pause_Click(Bot& bot);
// Next (+1) and previous (-1). At the ends of the list (and with nothing selected for previous)
// nothing happens: there is no song to go to.
void Next_Click(Bot& bot);
void Prev_Click(Bot& bot);
void Rep_Click(Bot& bot);
void Ran_Click(Bot& bot);
void AutoCont_Click(Bot& bot);

// The index next or previous goes to, or -1 when there is none.
int stepIndex(const Bot& bot, int direction);

// The playlist window's list: a selection (also one made by the program) and a double click.
void lstMp3_Click(Bot& bot);
void lstmp3_DblClick(Bot& bot);
void playlistExit_Click(Bot& bot);

} // namespace tavu
