#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tavu {

// The owner's style: three decorations ("ascii") with a colour and a font each, and the font and
// colour of the text, plus the three HTML pieces built from them. Every reply line is
// fascii + lead + mascii + body + bascii; font tags are opened and never closed, and nothing is
// escaped.
class Style {
public:
    std::string fa, fac, faf; // front ascii, its colour and font
    std::string ma, mac, maf; // middle ascii
    std::string ba, bac, baf; // back ascii
    std::string tf, tc;       // text font and colour

    // One value of the style and its key in section "Ascii" of a profile file.
    struct Field {
        std::string Style::*value;
        std::string_view key;
        std::string_view fallback;
    };
    // In the order start-up reads them.
    static const std::array<Field, 11>& fields();

    // Reads the eleven values from section "Ascii" of the settings file, puts the defaults into the
    // empty ones (without writing them back) and builds the pieces.
    void loadStyle(const std::string& settingsPath);

    // Rebuilds fascii, mascii and bascii from the eleven values; run after any change of a value.
    void BuildStylePieces();

    std::string composeReply(std::string_view lead, std::string_view body) const;

    const std::string& fascii() const { return m_fascii; }
    const std::string& mascii() const { return m_mascii; }
    const std::string& bascii() const { return m_bascii; }

private:
    std::string m_fascii, m_mascii, m_bascii;
};

// Text from files (song names, tags) as it goes into a reply line: the characters that HTML reads as
// markup (& < > " ') written as entities, so that the room shows the name and never renders it. The
// owner's style values and what the owner typed go into replies as they are.
std::string htmlText(std::string_view text);

// The lead text of most reply lines.
inline constexpr std::string_view kLeadTavu = " Tavu ";

} // namespace tavu
