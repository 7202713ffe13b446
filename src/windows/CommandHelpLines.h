#pragma once

#include <array>
#include <string_view>

namespace tavu {

// The lines of the commands window: the chat commands without the trigger, each with one line of
// help. Fixed text, written for the reader; it is not taken from the command table.
inline constexpr std::array<std::string_view, 33> kCommandHelpLines{
    "fa? - tells you the front ascii",
    "ma? - tells you the middle ascii",
    "ba? - tells you the back ascii",
    "fac? - tells you the front ascii color",
    "mac? - tells you the middle ascii color",
    "bac? - tells you the back ascii color",
    "tc? - tells you the main text color",
    "faf? - tells you the front ascii font",
    "maf? - tells you the middle ascii font",
    "baf? - tells you the back ascii font",
    "tf? - tells you the main text font",
    "trig x - (x as new trigger) sets a trigger",
    "ran - plays a random song",
    "dir x - (x as directory) sets music directory",
    "arnd - enables auto random",
    "xarnd - disabled auto random",
    "acon - enables auto continue",
    "xacon - disables auto continue",
    "prev - goes to previous song on list",
    "next - goes to next song on list",
    "pause - pauses current song",
    "mp3? - tells you the current song playing",
    "play x - (x as song) plays the selected song",
    "dir? - tell you the current mp3 directory",
    "end - ends current tavu session",
    "vcoms - opens the chat command list (this box)",
    "vid3 - opens the id3 viewer",
    "vplist - opens the playlist",
    "xid3 - closes the id3 viewer",
    "xplist - closes the playlist",
    "sstyle x - (x as file name) saves ascii style",
    "lstyle x - (x as style name) loads ascii style",
    "rstyle x - (x as style name) removes ascii style",
};

} // namespace tavu
