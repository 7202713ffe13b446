#include "style/Style.h"

#include "settings/ProfileFile.h"

namespace tavu {
namespace {
constexpr std::string_view kSection = "Ascii";
constexpr char Q = '"';
} // namespace

const std::array<Style::Field, 11>& Style::fields()
{
    static const std::array<Field, 11> table{{
        {&Style::fa, "front ascii", "\u00B2"},
        {&Style::fac, "front ascii color", "0080FF"},
        {&Style::faf, "front ascii font", "webdings"},
        {&Style::ma, "middle ascii", "\u00A7"},
        {&Style::mac, "middle ascii color", "0080FF"},
        {&Style::maf, "middle ascii font", "wingdings"},
        {&Style::ba, "back ascii", "\u00B2"},
        {&Style::bac, "back ascii color", "0080FF"},
        {&Style::baf, "back ascii font", "webdings"},
        {&Style::tf, "text font", "arial narrow"},
        {&Style::tc, "text color", "abcdef"},
    }};
    return table;
}

void Style::loadStyle(const std::string& settingsPath)
{
    for (const Field& f : fields())
        this->*f.value = readSetting(kSection, f.key, settingsPath);
    for (const Field& f : fields())
        if ((this->*f.value).empty())
            this->*f.value = std::string(f.fallback);
    BuildStylePieces();
}

void Style::BuildStylePieces()
{
    const auto face = [](const std::string& font) { return "<font face=" + std::string(1, Q) + font + Q; };
    const std::string text = face(tf) + "><font color=#" + tc + ">";
    m_fascii = face(faf) + "><font  color=#" + fac + ">" + fa + text;
    m_mascii = face(maf) + "><font color=#" + mac + ">" + ma + text;
    m_bascii = face(baf) + "><font  color=#" + bac + ">" + ba;
}

std::string Style::composeReply(std::string_view lead, std::string_view body) const
{
    std::string line;
    line.reserve(m_fascii.size() + lead.size() + m_mascii.size() + body.size() + m_bascii.size());
    line += m_fascii;
    line += lead;
    line += m_mascii;
    line += body;
    line += m_bascii;
    return line;
}

std::string htmlText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace tavu
