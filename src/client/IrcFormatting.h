#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavu {

// IRC's formatting control characters.
namespace irc {
inline constexpr char kBold = '\x02';
inline constexpr char kColour = '\x03';
inline constexpr char kHexColour = '\x04';
inline constexpr char kReset = '\x0F';
inline constexpr char kMonospace = '\x11';
inline constexpr char kReverse = '\x16';
inline constexpr char kItalic = '\x1D';
inline constexpr char kStrike = '\x1E';
inline constexpr char kUnderline = '\x1F';
} // namespace irc

// Turns a reply line's HTML font tags into IRC formatting: a font colour becomes the nearest
// colour of the 16-colour IRC palette (always two digits), <u> and </u> (any case) toggle
// underline, </font> goes back to the colour before, faces are dropped, and the entities &amp; &lt;
// &gt; &quot; &#39; (escaped file text) become their characters. Everything else of the line stays
// as it is. Codes are written just before the next character they apply to, so the
// line never ends in a dangling code, and a colour code is never followed directly by a digit or
// comma that a client would read as part of it.
std::string htmlToIrc(std::string_view line);

// The palette index (0-15) nearest to an HTML colour value ("0080FF", "#f00", "red"); nothing when
// the value is no colour.
std::optional<int> nearestIrcColour(std::string_view htmlColour);

// The visible text of a line from IRC: the formatting codes removed.
std::string stripIrcFormatting(std::string_view text);

} // namespace tavu
