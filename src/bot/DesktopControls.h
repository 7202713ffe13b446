#pragma once

namespace tavu {

class Bot;

// The player's keys and the desktop's media controls, built on the buttons: each does what the
// button it stands for does, click sound included.

// Play and pause on one key: a song that plays pauses and a paused one resumes (the Pause button);
// a stopped player plays the selected song (the Play button).
void playPause(Bot& bot);

// Moves the song that plays or is paused by this many seconds. Before its start it goes to the
// start; at or past its end the next song starts, as by the Next button. False when nothing plays.
bool seekBy(Bot& bot, double seconds);

// The volume level up or down by this much, within 0 to 100, stored as the vol command stores it.
void stepVolume(Bot& bot, double by);

// Sets the volume level (the whole number from 0 to 100 nearest to level) and stores it as the vol
// command does.
void storeVolumeLevel(Bot& bot, double level);

// Sound off, or back on, as the options menu's "Mute" and "Un-Mute" with their click.
void toggleMute(Bot& bot);

} // namespace tavu
