#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

class Bot;

// Where "seek" is asked to go: a position from the start of the song, or, with a sign, a number of
// seconds forward or back from where it stands.
struct SeekTarget {
    double seconds = 0;
    bool relative = false;
};

// "M:SS" (or "H:MM:SS"), a number of seconds, or "+N" / "-N" seconds; blanks around are allowed and
// the last part may have a fraction. Nothing for anything else, seconds of 60 or more in a clock
// position among them.
std::optional<SeekTarget> parseSeekTarget(std::string_view text);

// A position as "M:SS": whole minutes, then the whole seconds in two digits ("1:05", "75:00").
std::string minutesAndSeconds(double seconds);

namespace commands {
// "seek" and a position: the song that plays or is paused jumps there, and the clock and the bar
// follow. " Seeked to M:SS ", or " Cannot seek here! " when nothing plays, the position is past the
// end of the song or is not a position at all. A jump back past the start goes to the start.
void seek(Bot& bot, const std::string& argument);
} // namespace commands

} // namespace tavu
