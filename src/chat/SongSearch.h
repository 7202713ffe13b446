#pragma once

#include <string>
#include <string_view>

namespace tavu {

class Bot;

// The song search ("play" and part of a name) and its selection dialogue, which listens on the
// second scanner Chat2 while it is open.
void addSongSearch(Bot& bot);

// The song's name in lower case, every occurrence of the search text (found without regard to
// case) replaced by "<u>" + inserted + "</U>", and every ".mp3" removed.
std::string markedTitle(std::string_view song, std::string_view search, std::string_view inserted);

} // namespace tavu
