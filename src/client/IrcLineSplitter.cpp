#include "client/IrcLineSplitter.h"

#include "client/IrcFormatting.h"
#include "client/LineCutter.h"
#include "util/Utf8.h"

namespace tavu {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether c goes on with a colour code of the given kind (\x03 or \x04) that it directly follows:
// a digit of the code, or the comma before a background.
bool continuesColour(char kind, char c)
{
    return c == ',' || (kind == irc::kHexColour ? isHexDigit(c) : isDigit(c));
}

// How many digits of a colour code start at pos: up to two decimal ones after \x03, up to six hex
// ones after \x04 (as stripIrcFormatting reads them).
std::size_t digitsAt(std::string_view text, std::size_t pos, char kind)
{
    const bool hex = kind == irc::kHexColour;
    const std::size_t most = hex ? 6 : 2;
    std::size_t n = 0;
    while (n < most && pos + n < text.size() && (hex ? isHexDigit(text[pos + n]) : isDigit(text[pos + n])))
        ++n;
    return n;
}

// Length of the unit that starts at pos: a colour code with its digits, or one UTF-8 character
// (a stray byte counts alone).
std::size_t ircUnitLength(std::string_view text, std::size_t pos)
{
    const char kind = text[pos];
    if (kind == irc::kColour || kind == irc::kHexColour) {
        std::size_t len = 1 + digitsAt(text, pos + 1, kind);
        if (len > 1 && pos + len + 1 < text.size() && text[pos + len] == ',' && digitsAt(text, pos + len + 1, kind) > 0)
            len += 1 + digitsAt(text, pos + len + 1, kind);
        return len;
    }
    return utf8CharLength(text, pos);
}

bool isCodeByte(char c)
{
    return c == irc::kColour || c == irc::kHexColour || c == irc::kBold || c == irc::kReset || c == irc::kItalic ||
           c == irc::kUnderline || c == irc::kReverse || c == irc::kStrike || c == irc::kMonospace;
}

// The formatting in force at some point of a line. \x03 and \x04 codes set one and the same
// foreground and background, each either a palette colour or a hex one.
class Formatting {
public:
    static std::size_t unitLength(std::string_view text, std::size_t pos) { return ircUnitLength(text, pos); }
    static bool isCode(std::string_view unit) { return isCodeByte(unit[0]); }

    void apply(std::string_view unit)
    {
        switch (unit[0]) {
        case irc::kColour:
        case irc::kHexColour:
            applyColour(unit[0], unit.substr(1));
            break;
        case irc::kReset:
            *this = Formatting();
            break;
        case irc::kBold:
            m_bold = !m_bold;
            break;
        case irc::kItalic:
            m_italic = !m_italic;
            break;
        case irc::kUnderline:
            m_underline = !m_underline;
            break;
        case irc::kReverse:
            m_reverse = !m_reverse;
            break;
        case irc::kStrike:
            m_strike = !m_strike;
            break;
        case irc::kMonospace:
            m_mono = !m_mono;
            break;
        default:
            break;
        }
    }

    // The codes that set this formatting up from none; colour codes, if any, come last. A palette
    // colour goes out as two digits, a hex one as it was written.
    std::string codes() const
    {
        std::string out;
        for (const auto& [on, code] : {std::pair{m_bold, irc::kBold},
                                       {m_italic, irc::kItalic},
                                       {m_underline, irc::kUnderline},
                                       {m_reverse, irc::kReverse},
                                       {m_strike, irc::kStrike},
                                       {m_mono, irc::kMonospace}})
            if (on)
                out.push_back(code);
        if (m_bg.kind && m_bg.kind != m_fg.kind) {
            // A background of the other kind is set with a stand-in foreground, which the code for
            // the real one then replaces.
            out.push_back(m_bg.kind);
            out += m_bg.kind == irc::kHexColour ? "000000," : "99,";
            out += m_bg.digits;
        }
        if (m_fg.kind) {
            out.push_back(m_fg.kind);
            out += m_fg.digits;
            if (m_bg.kind == m_fg.kind)
                out += "," + m_bg.digits;
        }
        return out;
    }

    std::string lead(std::size_t) const { return codes(); }
    // What would read as more of the colour code that ends the lead is kept apart from it.
    std::string_view keepApart(std::string_view unit) const
    {
        return m_fg.kind && continuesColour(m_fg.kind, unit[0]) ? std::string_view("\x02\x02") : std::string_view();
    }

private:
    struct Colour {
        char kind = '\0'; // irc::kColour, irc::kHexColour or '\0' for none
        std::string digits;
    };

    void applyColour(char kind, std::string_view digits)
    {
        if (digits.empty()) {
            m_fg = m_bg = Colour();
            return;
        }
        const std::size_t comma = digits.find(',');
        m_fg = colour(kind, digits.substr(0, comma));
        if (comma != std::string_view::npos)
            m_bg = colour(kind, digits.substr(comma + 1));
    }
    static Colour colour(char kind, std::string_view digits)
    {
        if (kind == irc::kColour && digits.size() == 1)
            return {kind, "0" + std::string(digits)};
        return {kind, std::string(digits)};
    }

    Colour m_fg, m_bg; // a background is only ever set together with a foreground
    bool m_bold = false, m_italic = false, m_underline = false, m_reverse = false, m_strike = false, m_mono = false;
};

} // namespace

std::vector<std::string> splitIrcText(std::string_view text, std::size_t maxBytes)
{
    return cutLine<Formatting>(text, maxBytes);
}

} // namespace tavu
