#include "client/IrcMessage.h"

#include <algorithm>

namespace tavu {
namespace {

std::string_view nextWord(std::string_view& rest)
{
    const std::size_t end = rest.find(' ');
    const std::string_view word = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
    const std::size_t start = rest.find_first_not_of(' ');
    rest = start == std::string_view::npos ? std::string_view{} : rest.substr(start);
    return word;
}

std::string unescapeTagValue(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out.push_back(value[i]);
            continue;
        }
        if (++i == value.size())
            break; // a lone backslash at the end is dropped
        switch (value[i]) {
        case ':':
            out.push_back(';');
            break;
        case 's':
            out.push_back(' ');
            break;
        case 'r':
            out.push_back('\r');
            break;
        case 'n':
            out.push_back('\n');
            break;
        default:
            out.push_back(value[i]);
            break;
        }
    }
    return out;
}

void parseTags(std::string_view text, IrcMessage& message)
{
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::string_view item = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (item.empty())
            continue;
        const std::size_t eq = item.find('=');
        std::string key(item.substr(0, eq));
        std::string value = eq == std::string_view::npos ? std::string{} : unescapeTagValue(item.substr(eq + 1));
        message.tags.emplace_back(std::move(key), std::move(value));
    }
}

void parsePrefix(std::string_view prefix, IrcMessage& message)
{
    message.prefix = std::string(prefix);
    const std::size_t bang = prefix.find('!');
    const std::size_t at = prefix.find('@', bang == std::string_view::npos ? 0 : bang);
    message.nick = std::string(prefix.substr(0, std::min(bang, at)));
    if (bang != std::string_view::npos)
        message.user = std::string(prefix.substr(bang + 1, at == std::string_view::npos ? at : at - bang - 1));
    if (at != std::string_view::npos)
        message.host = std::string(prefix.substr(at + 1));
}

} // namespace

std::optional<IrcMessage> IrcMessage::parse(std::string_view line)
{
    IrcMessage message;
    std::string_view rest = line.substr(std::min(line.find_first_not_of(' '), line.size()));
    if (rest.starts_with('@'))
        parseTags(nextWord(rest).substr(1), message);
    if (rest.starts_with(':'))
        parsePrefix(nextWord(rest).substr(1), message);
    message.command = std::string(nextWord(rest));
    if (message.command.empty())
        return std::nullopt;
    for (char& c : message.command)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    while (!rest.empty()) {
        if (rest.starts_with(':')) {
            message.params.emplace_back(rest.substr(1));
            break;
        }
        message.params.emplace_back(nextWord(rest));
    }
    return message;
}

const std::string& IrcMessage::param(std::size_t i) const
{
    static const std::string kNone;
    return i < params.size() ? params[i] : kNone;
}

std::optional<std::string> IrcMessage::tag(std::string_view key) const
{
    for (const auto& [k, v] : tags)
        if (k == key)
            return v;
    return std::nullopt;
}

bool IrcMessage::isNumeric() const
{
    return command.size() == 3 &&
           std::all_of(command.begin(), command.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string ircLine(std::string_view command, const std::vector<std::string>& params)
{
    std::string line(command);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const std::string& p = params[i];
        const bool last = i + 1 == params.size();
        line += ' ';
        if (last && (p.empty() || p.find(' ') != std::string::npos || p.starts_with(':')))
            line += ':';
        line += p;
    }
    return line;
}

} // namespace tavu
