#include "client/IrcLineSplitter.h"

#include "client/IrcFormatting.h"

#include <optional>

namespace tavu {
namespace {

// A cut moves back to the last blank when that lies within this share of the piece's end.
constexpr std::size_t kNearBlankShare = 4;

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
std::size_t unitLength(std::string_view text, std::size_t pos)
{
    const char kind = text[pos];
    if (kind == irc::kColour || kind == irc::kHexColour) {
        std::size_t len = 1 + digitsAt(text, pos + 1, kind);
        if (len > 1 && pos + len + 1 < text.size() && text[pos + len] == ',' && digitsAt(text, pos + len + 1, kind) > 0)
            len += 1 + digitsAt(text, pos + len + 1, kind);
        return len;
    }
    const auto lead = static_cast<unsigned char>(kind);
    std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (pos + len > text.size())
        return 1;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80)
            return 1;
    return len;
}

bool isCode(char c)
{
    return c == irc::kColour || c == irc::kHexColour || c == irc::kBold || c == irc::kReset || c == irc::kItalic ||
           c == irc::kUnderline || c == irc::kReverse || c == irc::kStrike || c == irc::kMonospace;
}

// The formatting in force at some point of a line. \x03 and \x04 codes set one and the same
// foreground and background, each either a palette colour or a hex one.
class Formatting {
public:
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

    // The kind of colour code (\x03 or \x04) that codes() ends with, or '\0' when it ends in none.
    char lastColourKind() const { return m_fg.kind; }

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
    std::vector<std::string> pieces;
    Formatting formatting;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::string piece = formatting.codes();
        const std::size_t start = piece.size();
        const char colourKind = formatting.lastColourKind();
        bool visible = false;
        // The piece as it stood just after its last blank: a cut there keeps the words whole.
        struct AfterBlank {
            std::size_t size, pos;
            Formatting formatting;
        };
        std::optional<AfterBlank> afterBlank;
        while (pos < text.size()) {
            const std::size_t len = unitLength(text, pos);
            const std::string_view unit = text.substr(pos, len);
            // What would read as more of the colour code that opens the piece is kept apart from it.
            const bool guard = colourKind && piece.size() == start && continuesColour(colourKind, unit[0]);
            if (piece.size() > start && piece.size() + len + (guard ? 2 : 0) > maxBytes) {
                if (afterBlank && piece.size() - afterBlank->size <= maxBytes / kNearBlankShare) {
                    piece.resize(afterBlank->size);
                    pos = afterBlank->pos;
                    formatting = afterBlank->formatting;
                }
                break;
            }
            if (guard)
                piece += "\x02\x02";
            piece += unit;
            formatting.apply(unit);
            visible = visible || !isCode(unit[0]);
            pos += len;
            if (unit == " ")
                afterBlank = AfterBlank{piece.size(), pos, formatting};
        }
        if (visible || pieces.empty())
            pieces.push_back(std::move(piece));
    }
    return pieces;
}

} // namespace tavu
