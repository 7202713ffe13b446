#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// Cuts a line of text with IRC formatting into pieces of at most maxBytes bytes each. A cut never
// falls inside a UTF-8 character or a colour code, and every piece after the first starts with the
// formatting in force where the piece before it ended (colours as two-digit codes). A piece that
// would hold nothing but formatting codes is left out. A single character longer than maxBytes
// still goes out, alone.
std::vector<std::string> splitIrcText(std::string_view text, std::size_t maxBytes);

} // namespace tavu
