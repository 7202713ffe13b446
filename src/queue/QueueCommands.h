#pragma once

#include <cstddef>
#include <string>

namespace tavu {

class Bot;

// The chat commands of the queue. A command of a member of the room (bot.requester set) is held to
// the limits of the "Requests" settings and names the member in its refusals.
namespace commands {
using Arg = const std::string&;
void add(Bot& bot, Arg text);
void queueList(Bot& bot, Arg page);
void unq(Bot& bot, Arg range);
void move(Bot& bot, Arg positions);
void playnext(Bot& bot, Arg text);
void skipto(Bot& bot, Arg position);
void clear(Bot& bot, Arg);
void shuffle(Bot& bot, Arg);
void skip(Bot& bot, Arg);
void save(Bot& bot, Arg name);
void load(Bot& bot, Arg name);
void playlists(Bot& bot, Arg);
// "next": the first queued song when there is one, otherwise the next song of the list.
void nextOrQueued(Bot& bot, Arg);
} // namespace commands

// The song of the song list at index goes into the queue for whoever asks (bot.requester), at its
// end or, after "playnext", first; it starts at once when nothing plays. Refusals are replied.
bool queueChosen(Bot& bot, std::size_t index);

} // namespace tavu
