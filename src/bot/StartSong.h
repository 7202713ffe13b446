#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

class Bot;

// One road by which a song starts: a button, a chat command, the playlist or the end of the last
// song. Every road opens the file, shows the song (title, clock, bar and tag) and counts it; the
// rest differs by road and is said here.
struct StartHow {
    // Which song list selections the road moves to the song before it opens it.
    enum class Select {
        Keep, // none: the song is already the current one
        Main, // songList only (the playlist's double click, whose list is selected already)
        Both, // songList, then the playlist's list, whose selection handler runs
    };
    // What an unplayable song gives: a message box, or a reply in the chat room.
    enum class Failure { Box, Reply };
    // What the label lblSong (which the pause replies quote) gets.
    enum class Caption { Title, FileName, Keep };

    Select select = Select::Keep;
    // The match list is emptied and holds the song as its one entry (next and previous).
    bool onlyMatch = false;
    Failure failure = Failure::Box;
    // The lead text of the announcement in the chat room; none when empty.
    std::string_view lead;
    Caption caption = Caption::Title;
    // The dispatcher is deaf for two seconds afterwards (deafSpell).
    bool deafAfter = false;
};

namespace roads {
using S = StartHow::Select;
using F = StartHow::Failure;
using C = StartHow::Caption;
inline constexpr StartHow PlayButton{S::Keep, false, F::Box, {}, C::Title, false};
// The play button on another song than the current one, chosen by a click in the playlist.
inline constexpr StartHow PlayChosen{S::Main, false, F::Box, {}, C::Title, false};
inline constexpr StartHow StepButton{S::Both, true, F::Box, {}, C::FileName, false};
inline constexpr StartHow DoubleClick{S::Main, false, F::Box, {}, C::Title, false};
inline constexpr StartHow StepCommand{S::Both, true, F::Reply, " Playing ", C::FileName, false};
inline constexpr StartHow RandomCommand{S::Both, false, F::Reply, " Random ", C::Title, true};
inline constexpr StartHow SearchMatch{S::Both, false, F::Reply, " Playing ", C::Title, false};
inline constexpr StartHow DialogueChoice{S::Both, false, F::Reply, " Playing ", C::Title, false};
inline constexpr StartHow AutoRandom{S::Both, false, F::Reply, " AutoRndm ", C::Title, false};
inline constexpr StartHow AutoContinue{S::Both, false, F::Reply, " AutoCont. ", C::Title, false};
// A song of the queue: the next one at the end of a song, "next", "skipto", the playlist's "Up next".
inline constexpr StartHow Queued{S::Both, false, F::Reply, " Playing ", C::Title, false};
inline constexpr StartHow Repeat{S::Keep, false, F::Reply, " Repeating ", C::Keep, false};
// The desktop's "open this file" (its media controls): as a double click on the song in the playlist.
inline constexpr StartHow RemoteOpen{S::Both, false, F::Box, {}, C::Title, false};
} // namespace roads

// Starts the song at index of the song list by the given road. The announcement names the song's
// title, or `announced` when given (the search marks the matched text; its file text is escaped
// already, as htmlText does). False when there is no
// such song or it could not be played; that was reported as the road says, and nothing was counted.
bool startSong(Bot& bot, int index, const StartHow& how, const std::optional<std::string>& announced = {});

// The song of the last run, back where it was and paused: selected, shown and open, but neither
// announced nor counted. False (and nothing shown) when it is no song of the list any more or
// cannot be played.
bool resumeSong(Bot& bot, const std::string& song, double seconds);

// A song that cannot be played, reported as the road says.
void reportUnplayable(Bot& bot, const std::string& song, StartHow::Failure failure);

} // namespace tavu
