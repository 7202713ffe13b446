#include "client/IrcCaseMapping.h"

#include "util/Text.h"

namespace tavu {

IrcCaseMapping IrcCaseMapping::fromToken(std::string_view value)
{
    const std::string name = toLower(value);
    if (name == "rfc1459")
        return IrcCaseMapping(Kind::Rfc1459);
    if (name == "strict-rfc1459")
        return IrcCaseMapping(Kind::StrictRfc1459);
    return IrcCaseMapping(Kind::Ascii);
}

char IrcCaseMapping::fold(char c) const
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    if (m_kind == Kind::Ascii)
        return c;
    switch (c) {
    case '[':
        return '{';
    case ']':
        return '}';
    case '\\':
        return '|';
    case '~':
        return m_kind == Kind::Rfc1459 ? '^' : c;
    default:
        return c;
    }
}

std::string IrcCaseMapping::fold(std::string_view text) const
{
    std::string out(text);
    for (char& c : out)
        c = fold(c);
    return out;
}

bool IrcCaseMapping::equals(std::string_view a, std::string_view b) const
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

} // namespace tavu
