#include "client/IrcLineSplitter.h"

#include "client/IrcFormatting.h"

namespace tavu {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t digitsAt(std::string_view text, std::size_t pos) {
    std::size_t n = 0;
    while (n < 2 && pos + n < text.size() && isDigit(text[pos + n]))
        ++n;
    return n;
}

// Length of the unit that starts at pos: a colour code with its digits, or one UTF-8 character
// (a stray byte counts alone).
std::size_t unitLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (text[pos] == irc::kColour) {
        std::size_t len = 1 + digitsAt(text, pos + 1);
        if (len > 1 && pos + len + 1 < text.size() && text[pos + len] == ',' && isDigit(text[pos + len + 1]))
            len += 1 + digitsAt(text, pos + len + 1);
        return len;
    }
    std::size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (pos + len > text.size()) return 1;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) return 1;
    return len;
}

bool isCode(char c) {
    return c == irc::kColour || c == irc::kBold || c == irc::kReset || c == irc::kItalic ||
           c == irc::kUnderline || c == irc::kReverse || c == irc::kStrike || c == irc::kMonospace;
}

// The formatting in force at some point of a line.
class Formatting {
  public:
    void apply(std::string_view unit) {
        switch (unit[0]) {
        case irc::kColour:
            applyColour(unit.substr(1));
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

    // The codes that set this formatting up from none; the colour code, if any, comes last.
    std::string codes() const {
        std::string out;
        for (const auto& [on, code] : {std::pair{m_bold, irc::kBold},
                                       {m_italic, irc::kItalic},
                                       {m_underline, irc::kUnderline},
                                       {m_reverse, irc::kReverse},
                                       {m_strike, irc::kStrike},
                                       {m_mono, irc::kMonospace}})
            if (on) out.push_back(code);
        if (!m_fg.empty() || !m_bg.empty()) {
            out.push_back(irc::kColour);
            out += m_fg.empty() ? std::string("99") : m_fg;
            if (!m_bg.empty()) out += "," + m_bg;
        }
        return out;
    }

  private:
    static std::string twoDigits(std::string_view digits) {
        return digits.size() == 1 ? "0" + std::string(digits) : std::string(digits);
    }
    void applyColour(std::string_view digits) {
        if (digits.empty()) {
            m_fg.clear(), m_bg.clear();
            return;
        }
        const std::size_t comma = digits.find(',');
        m_fg = twoDigits(digits.substr(0, comma));
        if (comma != std::string_view::npos) m_bg = twoDigits(digits.substr(comma + 1));
    }

    std::string m_fg, m_bg;
    bool m_bold = false, m_italic = false, m_underline = false, m_reverse = false, m_strike = false,
         m_mono = false;
};

} // namespace

std::vector<std::string> splitIrcText(std::string_view text, std::size_t maxBytes) {
    std::vector<std::string> pieces;
    Formatting formatting;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::string piece = formatting.codes();
        const std::size_t start = piece.size();
        const bool endsInColour = piece.find(irc::kColour) != std::string::npos;
        bool visible = false;
        while (pos < text.size()) {
            const std::size_t len = unitLength(text, pos);
            const std::string_view unit = text.substr(pos, len);
            const bool guard = endsInColour && piece.size() == start && (isDigit(unit[0]) || unit[0] == ',');
            if (piece.size() > start && piece.size() + len + (guard ? 2 : 0) > maxBytes) break;
            if (guard) piece += "\x02\x02";
            piece += unit;
            formatting.apply(unit);
            visible = visible || !isCode(unit[0]);
            pos += len;
        }
        if (visible || pieces.empty()) pieces.push_back(std::move(piece));
    }
    return pieces;
}

} // namespace tavu
