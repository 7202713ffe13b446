#pragma once

#include <string>

namespace tavu {

class Bot;
enum class PlayMode;

// The operations behind the main window's player buttons and the playlist window, shared with the
// chat commands and the end-of-song continuation.

// The volume level 0 to 100 as the player's attenuation: 25 x level - 2500, halves to even.
int volumeToAttenuation(double level);

// The volume level as the player keeps it: a whole number from 0 to 100 (halves to even; outside,
// the nearest end; not a number, 0).
int wholeVolumeLevel(double level);
// The volume level in effect, whoever sets it: the player's gain follows the whole level, lblVol
// shows it (a whole level as typed, a fraction as the whole level it became), and
// "Settings"/"Volume" stores that caption when store is set.
void setVolumeLevel(Bot& bot, double level, const std::string& typed, bool store);
void setVolumeLevel(Bot& bot, int level, bool store);
// The balance in effect (-10000 left only to 10000 right only), stored under "Settings"/"Balance"
// when store is set.
void setBalance(Bot& bot, int balance, bool store);
// Sound off or back on, without stopping.
void setMuted(Bot& bot, bool muted);

// Moves the song that plays or is paused to this many seconds from its start; the clock and the bar
// follow at once, and the bot's seeked notification runs. False when nothing plays or the position
// is outside the song: nothing changes then.
bool seekTo(Bot& bot, double seconds);

// Stops the player, the title scroller and the clock; the bar goes back to 0.
void stopSong(Bot& bot);

// The buttons. Each first plays the click sound.
void playClick(Bot& bot);
void stopClick(Bot& bot);
void pauseClick(Bot& bot);
// Next (+1) and previous (-1). At the ends of the list (and with nothing selected for previous)
// nothing happens: there is no song to go to.
void nextClick(Bot& bot);
void prevClick(Bot& bot);
// Several steps of next (back for negative) taken as one click: the song that many places on plays,
// and no song in between.
void stepClick(Bot& bot, int steps);
void repeatClick(Bot& bot);
void randomClick(Bot& bot);
void autoContinueClick(Bot& bot);

// The index next or previous goes to, or -1 when there is none.
int stepIndex(const Bot& bot, int direction);

// The playlist window's list: a selection (also one made by the program) and a double click.
void showClickedSongTag(Bot& bot);
void playDoubleClickedSong(Bot& bot);
void playlistExitClick(Bot& bot);

} // namespace tavu
