#include "client/HtmlLineSplitter.h"

#include "client/LineCutter.h"
#include "util/Utf8.h"

#include <algorithm>
#include <optional>

namespace tavu {
namespace {

constexpr std::size_t kLongestEntity = 12; // "&thetasym;" and numeric ones fit

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// Length of the unit that starts at pos: a whole tag, a whole entity, or one UTF-8 character (a
// stray byte, or a '<' or '&' that starts neither, counts alone).
std::size_t htmlUnitLength(std::string_view text, std::size_t pos)
{
    if (text[pos] == '<') {
        const std::size_t end = text.find('>', pos);
        if (end != std::string_view::npos && pos + 1 < text.size() &&
            (isNameChar(text[pos + 1]) || text[pos + 1] == '/' || text[pos + 1] == '!'))
            return end - pos + 1;
        return 1;
    }
    if (text[pos] == '&') {
        const std::size_t end = text.find(';', pos);
        if (end != std::string_view::npos && end - pos <= kLongestEntity && end > pos + 1 &&
            std::all_of(text.begin() + static_cast<std::ptrdiff_t>(pos) + 1,
                        text.begin() + static_cast<std::ptrdiff_t>(end),
                        [](char c) { return isNameChar(c) || c == '#'; }))
            return end - pos + 1;
        return 1;
    }
    return utf8CharLength(text, pos);
}

struct Tag {
    std::string text;                    // as written
    std::string name;                    // lower-cased
    std::vector<std::string> attributes; // their names, lower-cased
};

// Reads "<name a=1 b="x y">"; nothing for a unit that is not a tag.
std::optional<Tag> readTag(std::string_view unit)
{
    if (unit.size() < 3 || unit.front() != '<' || unit.back() != '>')
        return std::nullopt;
    Tag tag{std::string(unit), {}, {}};
    std::size_t i = 1;
    if (unit[i] == '/')
        tag.name.push_back('/'), ++i;
    while (i < unit.size() && isNameChar(unit[i]))
        tag.name.push_back(lower(unit[i++]));
    while (i + 1 < unit.size()) {
        while (i + 1 < unit.size() && !isNameChar(unit[i]))
            ++i;
        std::string attribute;
        while (i + 1 < unit.size() && isNameChar(unit[i]))
            attribute.push_back(lower(unit[i++]));
        if (!attribute.empty())
            tag.attributes.push_back(attribute);
        while (i + 1 < unit.size() && unit[i] == ' ')
            ++i;
        if (i + 1 < unit.size() && unit[i] == '=') {
            ++i;
            while (i + 1 < unit.size() && unit[i] == ' ')
                ++i;
            if (unit[i] == '"' || unit[i] == '\'') {
                const std::size_t close = unit.find(unit[i], i + 1);
                i = close == std::string_view::npos ? unit.size() : close + 1;
            } else {
                while (i + 1 < unit.size() && unit[i] != ' ')
                    ++i;
            }
        }
    }
    return tag;
}

bool isVoid(const Tag& tag)
{
    static constexpr std::string_view kVoid[] = {"br", "hr", "img", "wbr"};
    return tag.text.ends_with("/>") || tag.name.starts_with('!') ||
           std::find(std::begin(kVoid), std::end(kVoid), tag.name) != std::end(kVoid);
}

// The tags open at some point of a line.
class OpenTags {
public:
    static std::size_t unitLength(std::string_view text, std::size_t pos) { return htmlUnitLength(text, pos); }
    static bool isCode(std::string_view unit) { return unit.size() > 1 && unit.front() == '<'; }

    void apply(std::string_view unit)
    {
        const auto tag = readTag(unit);
        if (!tag || tag->name.empty() || isVoid(*tag))
            return;
        if (tag->name.front() != '/') {
            m_open.push_back(*tag);
            return;
        }
        const std::string name = tag->name.substr(1);
        const auto it = std::find_if(m_open.rbegin(), m_open.rend(), [&](const Tag& t) { return t.name == name; });
        if (it != m_open.rend())
            m_open.erase(std::next(it).base());
    }

    // The open tags that still matter, in order: a <font> is left out when later open ones set
    // each of its attributes again.
    std::string codes() const
    {
        std::string out;
        for (std::size_t i = 0; i < m_open.size(); ++i)
            if (!overridden(i))
                out += m_open[i].text;
        return out;
    }

    // Tags in force that leave no room for text do not come along.
    std::string lead(std::size_t maxBytes) const
    {
        std::string tags = codes();
        return tags.size() >= maxBytes / 2 ? std::string() : tags;
    }
    static std::string_view keepApart(std::string_view) { return {}; }

private:
    bool overridden(std::size_t i) const
    {
        const Tag& tag = m_open[i];
        if (tag.name != "font")
            return false;
        return std::all_of(tag.attributes.begin(), tag.attributes.end(), [&](const std::string& attribute) {
            return std::any_of(m_open.begin() + static_cast<std::ptrdiff_t>(i) + 1, m_open.end(), [&](const Tag& t) {
                return t.name == "font" &&
                       std::find(t.attributes.begin(), t.attributes.end(), attribute) != t.attributes.end();
            });
        });
    }

    std::vector<Tag> m_open;
};

} // namespace

std::vector<std::string> splitHtmlText(std::string_view text, std::size_t maxBytes)
{
    return cutLine<OpenTags>(text, maxBytes);
}

} // namespace tavu
