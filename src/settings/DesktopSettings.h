#pragma once

#include "settings/Settings.h"

#include <optional>

namespace tavu {

// What the "Desktop" section of the settings file says.

struct WindowPlace {
    int left = 0;
    int top = 0;
    bool operator==(const WindowPlace&) const = default;
};

// The main window's place of the last run; none when "Left" or "Top" is missing or no number.
std::optional<WindowPlace> storedMainPlace(const Settings& settings);
void storeMainPlace(const Settings& settings, WindowPlace place);

// Whether the windows stay above the others ("On Top"; on unless it says 0).
bool windowsOnTop(const Settings& settings);

// Whether every song start shows a desktop notification ("Notify"; off unless it says a number
// other than 0).
bool notifyOnSongStart(const Settings& settings);

struct PlaylistSize {
    int width = 0;
    int height = 0;
    bool operator==(const PlaylistSize&) const = default;
};
// The playlist's size of the last run; none when either is missing or not a positive number.
std::optional<PlaylistSize> storedPlaylistSize(const Settings& settings);
void storePlaylistSize(const Settings& settings, PlaylistSize size);

// The side windows open at the end of the last run, for "Resume"; none when nothing is stored.
struct OpenSideWindows {
    bool playlist = false;
    bool id3 = false;
    bool sound = false;
    bool operator==(const OpenSideWindows&) const = default;
};
std::optional<OpenSideWindows> storedOpenWindows(const Settings& settings);
void storeOpenWindows(const Settings& settings, OpenSideWindows open);

// Whether the clock shows minutes and two-digit seconds ("Clock" = m:ss); otherwise the classic
// clock of unpadded minutes and seconds.
bool paddedClock(const Settings& settings);
// The other switches of the section, each off unless it says a number other than 0.
bool playFirstSong(const Settings& settings);
bool resumeSession(const Settings& settings);

} // namespace tavu
