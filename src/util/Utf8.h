#pragma once

#include <string>
#include <string_view>

namespace tavu {

// UTF-8 is the text of the program. Bytes that are not valid UTF-8 (a file name from an old disk,
// a line from a badly configured chat client) are kept: each such byte decodes to U+DC80 + byte
// and encodes back to the same byte, so decode followed by encode never loses anything.
std::u32string decodeUtf8(std::string_view text);
std::string encodeUtf8(std::u32string_view text);
void appendUtf8(std::string& out, char32_t c);

// True when the text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

// Length in bytes of the character at text[pos]: 1 for a byte that starts no well-formed one.
std::size_t utf8CharLength(std::string_view text, std::size_t pos);

// Number of characters (code points) in the text.
std::size_t utf8Length(std::string_view text);

// The first n characters of the text, never cutting a character in two.
std::string utf8Left(std::string_view text, std::size_t n);

} // namespace tavu
