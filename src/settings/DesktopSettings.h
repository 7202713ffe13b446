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

} // namespace tavu
