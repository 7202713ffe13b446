#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavu {

class Bot;

namespace commands {
// The song search ("play" and part of a name): one match plays, several open the selection
// dialogue, which listens on the choice scanner while it is open.
void play(Bot& bot, const std::string& text);
} // namespace commands

// The indexes of the song list's songs that the search text finds, as "play" finds them (by name,
// and with tag titles by title too), without regard to case.
std::vector<std::size_t> matchingSongs(const Bot& bot, const std::string& text);
// What the search shows of a song: with tag titles its title, otherwise its name.
std::string shownName(const Bot& bot, const std::string& song, std::size_t hint = static_cast<std::size_t>(-1));
// Several songs match text: lstPlay holds them, and the selection dialogue opens on choiceScanner as after
// "play", where "play N" plays one and "add N" queues it.
void openSelection(Bot& bot, const std::string& text, std::vector<std::string> matches);

// The open dialogue's handler of choiceScanner's lines: "y", "n", "cancel" or "play" and a number.
void hearChoiceLine(Bot& bot, const std::string& name, const std::string& line);

// True for a line of the owner that answers the dialogue ("y", "n", "cancel", "play" and a
// number) and is no command: typed while a search runs, before its dialogue opens, it is kept for
// the dialogue.
bool isEarlyAnswer(Bot& bot, const std::string& name, const std::string& line);

// The song's name in lower case, every occurrence of the search text (found without regard to
// case) replaced by "<u>" + inserted + "</U>", and every ".mp3" removed; everything but the two tags
// is escaped as htmlText does.
std::string markedTitle(std::string_view song, std::string_view search, std::string_view inserted);

} // namespace tavu
