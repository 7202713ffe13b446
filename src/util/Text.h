#pragma once

#include <string>
#include <string_view>

namespace tavu {

// Letter case. "Without regard to letter case" covers ASCII, the Latin-1 letters, Š Œ Ž Ÿ and
// whatever else the C library's wide-character tables of a UTF-8 locale know.
char32_t lowerChar(char32_t c);
char32_t upperChar(char32_t c);
std::string toLower(std::string_view text);
std::string toUpper(std::string_view text);
std::u32string toLower32(std::u32string_view text);

bool equalsNoCase(std::string_view a, std::string_view b);
bool containsNoCase(std::string_view text, std::string_view search);
bool startsWithNoCase(std::string_view text, std::string_view prefix);
// Orders as a sorted list box does: by the lower-cased characters, then by the bytes.
int compareNoCase(std::string_view a, std::string_view b);

// Replaces every occurrence of search, found without regard to letter case, by replacement, from
// left to right; an inserted replacement is never searched again. The text keeps the case of
// everything that was not replaced. An empty search returns the text unchanged.
// The result is stored in text and returned.
std::string replaceText(std::string& text, std::string_view search, std::string_view replacement);

// The text with every ".mp3" removed, letter case ignored: the title of a song.
std::string titleOf(std::string_view song);

// Reads the leading number of a text as the old BASIC Val did: blanks are skipped, an optional
// sign, digits, a fraction and an exponent are read; text that does not start with a number
// gives 0.
double leadingNumber(std::string_view text);

// The text without the blanks (by default spaces and tabs) at its ends.
std::string_view trimmed(std::string_view text, std::string_view blanks = " \t");

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// Decimal text of a whole number, no blanks.
std::string decimal(long long value);

} // namespace tavu
