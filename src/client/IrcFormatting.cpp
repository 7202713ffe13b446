#include "client/IrcFormatting.h"

#include "util/Text.h"

#include <array>
#include <vector>

namespace tavu {
namespace {

struct Rgb {
    int r, g, b;
};

// The 16 colours every IRC client agrees on, as mIRC defines them.
constexpr std::array<Rgb, 16> kPalette{{{255, 255, 255},
                                        {0, 0, 0},
                                        {0, 0, 127},
                                        {0, 147, 0},
                                        {255, 0, 0},
                                        {127, 0, 0},
                                        {156, 0, 156},
                                        {252, 127, 0},
                                        {255, 255, 0},
                                        {0, 252, 0},
                                        {0, 147, 147},
                                        {0, 255, 255},
                                        {0, 0, 252},
                                        {255, 0, 255},
                                        {127, 127, 127},
                                        {210, 210, 210}}};

struct NamedColour {
    std::string_view name;
    Rgb rgb;
};
constexpr std::array<NamedColour, 16> kNamed{{{"black", {0, 0, 0}},
                                              {"silver", {192, 192, 192}},
                                              {"gray", {128, 128, 128}},
                                              {"grey", {128, 128, 128}},
                                              {"white", {255, 255, 255}},
                                              {"maroon", {128, 0, 0}},
                                              {"red", {255, 0, 0}},
                                              {"purple", {128, 0, 128}},
                                              {"green", {0, 128, 0}},
                                              {"lime", {0, 255, 0}},
                                              {"olive", {128, 128, 0}},
                                              {"yellow", {255, 255, 0}},
                                              {"navy", {0, 0, 128}},
                                              {"blue", {0, 0, 255}},
                                              {"teal", {0, 128, 128}},
                                              {"aqua", {0, 255, 255}}}};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<Rgb> parseColour(std::string_view value)
{
    if (value.starts_with('#'))
        value.remove_prefix(1);
    if (value.size() == 6 || value.size() == 3) {
        int digits[6];
        bool hex = true;
        for (std::size_t i = 0; i < value.size(); ++i)
            hex = hex && (digits[i] = hexDigit(value[i])) >= 0;
        if (hex && value.size() == 6)
            return Rgb{digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]};
        if (hex)
            return Rgb{digits[0] * 17, digits[1] * 17, digits[2] * 17};
    }
    const std::string name = toLower(value);
    for (const auto& named : kNamed)
        if (named.name == name)
            return named.rgb;
    return std::nullopt;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The value of attribute name in the inside of a tag, quotes removed.
std::optional<std::string_view> attribute(std::string_view tag, std::string_view name)
{
    const std::string lower = toLower(tag);
    for (std::size_t pos = lower.find(name); pos != std::string::npos; pos = lower.find(name, pos + 1)) {
        const bool wordStart = pos == 0 || lower[pos - 1] == ' ' || lower[pos - 1] == '\t';
        std::size_t v = pos + name.size();
        while (v < lower.size() && lower[v] == ' ')
            ++v;
        if (!wordStart || v >= lower.size() || lower[v] != '=')
            continue;
        ++v;
        while (v < tag.size() && tag[v] == ' ')
            ++v;
        const char quote = v < tag.size() && (tag[v] == '"' || tag[v] == '\'') ? tag[v] : '\0';
        if (quote)
            ++v;
        std::size_t end = v;
        while (end < tag.size() && (quote ? tag[end] != quote : tag[end] != ' '))
            ++end;
        return tag.substr(v, end - v);
    }
    return std::nullopt;
}

// Writes the IRC codes lazily: a change of colour or underline is put out just before the next
// character of text.
class IrcWriter {
public:
    void setColour(std::optional<int> colour) { m_colour = colour; }
    std::optional<int> colour() const { return m_colour; }
    void setUnderline(bool on) { m_underline = on; }

    void text(char c)
    {
        if (m_colour != m_written) {
            m_out.push_back(irc::kColour);
            if (m_colour) {
                m_out.push_back(static_cast<char>('0' + *m_colour / 10));
                m_out.push_back(static_cast<char>('0' + *m_colour % 10));
            }
            m_written = m_colour;
            m_guard = true;
        }
        if (m_underline != m_writtenUnderline) {
            m_out.push_back(irc::kUnderline);
            m_writtenUnderline = m_underline;
            m_guard = false;
        }
        if (m_guard && (isDigit(c) || c == ','))
            m_out += "\x02\x02"; // a digit or comma right after a colour code would be read as part of it
        m_guard = false;
        m_out.push_back(c);
    }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
    std::optional<int> m_colour, m_written;
    bool m_underline = false, m_writtenUnderline = false, m_guard = false;
};

// The characters that reply lines carry as entities (file names and tags, escaped for HTML).
struct Entity {
    std::string_view name;
    char c;
};
constexpr std::array<Entity, 5> kEntities{
    {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}}};

// The entity at the start of text, or nothing.
const Entity* entityAt(std::string_view text)
{
    for (const Entity& e : kEntities)
        if (text.starts_with(e.name))
            return &e;
    return nullptr;
}

} // namespace

std::optional<int> nearestIrcColour(std::string_view htmlColour)
{
    const auto rgb = parseColour(htmlColour);
    if (!rgb)
        return std::nullopt;
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < static_cast<int>(kPalette.size()); ++i) {
        const long dr = rgb->r - kPalette[i].r, dg = rgb->g - kPalette[i].g, db = rgb->b - kPalette[i].b;
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance)
            best = i, bestDistance = distance;
    }
    return best;
}

std::string htmlToIrc(std::string_view line)
{
    IrcWriter writer;
    std::vector<std::optional<int>> fontStack; // the colour in force before each open <font>
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (const Entity* e = line[i] == '&' ? entityAt(line.substr(i)) : nullptr) {
            writer.text(e->c);
            i += e->name.size() - 1;
            continue;
        }
        const std::size_t close = line[i] == '<' ? line.find('>', i) : std::string_view::npos;
        if (close == std::string_view::npos) {
            writer.text(line[i]);
            continue;
        }
        const std::string_view inside = line.substr(i + 1, close - i - 1);
        const std::string name = toLower(inside.substr(0, inside.find_first_of(" \t")));
        if (name == "font") {
            fontStack.push_back(writer.colour());
            if (const auto value = attribute(inside, "color"))
                if (const auto colour = nearestIrcColour(*value))
                    writer.setColour(colour);
        } else if (name == "/font") {
            if (!fontStack.empty()) {
                writer.setColour(fontStack.back());
                fontStack.pop_back();
            }
        } else if (name == "u" || name == "/u") {
            writer.setUnderline(name == "u");
        } else {
            writer.text(line[i]); // not a tag of ours: the '<' is text
            continue;
        }
        i = close;
    }
    return writer.take();
}

std::string stripIrcFormatting(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const auto skipDigits = [&](std::size_t& i, int most, bool hex) {
        for (int n = 0; n < most && i + 1 < text.size(); ++n) {
            const char c = text[i + 1];
            if (!(hex ? hexDigit(c) >= 0 : isDigit(c)))
                break;
            ++i;
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == irc::kColour || c == irc::kHexColour) {
            const bool hex = c == irc::kHexColour;
            const int width = hex ? 6 : 2;
            const std::size_t before = i;
            skipDigits(i, width, hex);
            if (i != before && i + 2 < text.size() && text[i + 1] == ',' &&
                (hex ? hexDigit(text[i + 2]) >= 0 : isDigit(text[i + 2]))) {
                ++i;
                skipDigits(i, width, hex);
            }
        } else if (c != irc::kBold && c != irc::kReset && c != irc::kMonospace && c != irc::kReverse &&
                   c != irc::kItalic && c != irc::kStrike && c != irc::kUnderline) {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace tavu
