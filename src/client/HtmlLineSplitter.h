#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// Cuts a reply line in HTML (the Format "html" of an IRC room) into pieces of at most maxBytes
// bytes each. A cut falls between tags, never inside one, an entity (&lt;) or a UTF-8 character;
// just after a blank when there is one in the last quarter of the piece. Every piece after the
// first starts with the tags in force where the piece before it ended: the open ones, leaving out
// a <font> whose every attribute a later open <font> sets again. A piece of nothing but tags is
// left out. A tag or character longer than maxBytes still goes out, alone.
std::vector<std::string> splitHtmlText(std::string_view text, std::size_t maxBytes);

} // namespace tavu
