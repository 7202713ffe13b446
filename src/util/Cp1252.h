#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

// The Windows-1252 code page of the files that older versions of the program wrote.
std::string cp1252ToUtf8(std::string_view bytes);
// The Windows-1252 bytes of a UTF-8 text, or nothing when a character does not fit.
std::optional<std::string> utf8ToCp1252(std::string_view text);

// Bytes of a stored text value: Windows-1252 when every character fits and the bytes cannot be
// mistaken for UTF-8; UTF-8 otherwise. decodeStoredText reads both back exactly.
std::string encodeStoredText(std::string_view text);
std::string decodeStoredText(std::string_view bytes);

} // namespace tavu
