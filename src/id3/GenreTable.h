#pragma once

#include <string>
#include <string_view>

namespace tavu {

// The text of an ID3 version 1 genre number; empty for the numbers 126 to 255, which have none.
std::string_view genreName(int genre);

// Sets text to the text of the genre number; a number without text leaves it unchanged.
void getgenrefromID(int genre, std::string& text);

} // namespace tavu
