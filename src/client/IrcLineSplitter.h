#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavu {

// Cuts a line of text with IRC formatting into pieces of at most maxBytes bytes each. A cut falls
// just after a blank when there is one in the last quarter of the piece, so words stay whole; it
// never falls inside a UTF-8 character or a colour code (\x03 with decimal digits, \x04 with hex ones),
// and every piece after the first starts with the formatting in force where the piece before it
// ended (palette colours as two-digit codes, hex colours as written). A piece that would hold
// nothing but formatting codes is left out. A single character longer than maxBytes still goes
// out, alone, and so does one that does not fit in maxBytes together with the formatting that must
// come before it (up to 23 bytes of it, so never with a budget of 27 bytes or more).
std::vector<std::string> splitIrcText(std::string_view text, std::size_t maxBytes);

} // namespace tavu
