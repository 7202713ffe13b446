// What comes from an IRC server, and what goes to it: the byte stream cut into lines, each line
// parsed, the owner mask matched against its sender; and a reply line turned from HTML into IRC
// formatting and cut into pieces that fit a message.
//
// Invariants: lines hold no CR, LF or NUL and are valid UTF-8; a parsed message written out again
// parses to the same command and parameters; a line without markup or codes converts to itself;
// the pieces of a cut line fit the limit (unless one character alone does not), are valid UTF-8,
// and together show the same visible text as the whole line.
#include "FuzzSupport.h"

#include "client/HtmlLineSplitter.h"
#include "client/IrcCaseMapping.h"
#include "client/IrcFormatting.h"
#include "client/IrcLineBuffer.h"
#include "client/IrcLineSplitter.h"
#include "client/IrcMessage.h"
#include "client/OwnerMask.h"
#include "util/Utf8.h"

#include <algorithm>
#include <cctype>

namespace {

using namespace tavu;

void checkMessage(const std::string& line)
{
    const auto message = IrcMessage::parse(line);
    if (!message)
        return;
    FUZZ_CHECK(!message->command.empty());
    for (std::size_t i = 0; i + 1 < message->params.size(); ++i) {
        const std::string& p = message->params[i];
        FUZZ_CHECK(!p.empty() && p.find(' ') == std::string::npos && p.front() != ':');
    }
    // A command that is a word or a number (any other is one no server sends, and is passed
    // over) goes out and comes back the same.
    const std::string& c = message->command;
    const bool word = std::all_of(c.begin(), c.end(), [](char ch) { return ch >= 'A' && ch <= 'Z'; });
    const bool number =
        c.size() == 3 && std::all_of(c.begin(), c.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
    if (!word && !number)
        return;
    const auto again = IrcMessage::parse(ircLine(message->command, message->params));
    FUZZ_CHECK(again && again->command == message->command && again->params == message->params);

    // The sender checked against a mask taken from the same line, under every case mapping.
    if (const auto mask = OwnerMask::parse(message->param(0))) {
        for (auto kind :
             {IrcCaseMapping::Kind::Ascii, IrcCaseMapping::Kind::Rfc1459, IrcCaseMapping::Kind::StrictRfc1459})
            (void)mask->matches(message->nick, message->user, message->host, message->tag("account"),
                                IrcCaseMapping(kind));
    }
}

bool hasMarkupOrCodes(std::string_view text)
{
    for (char c : text)
        if (c == '<' || c == '&' || (static_cast<unsigned char>(c) < 0x20))
            return true;
    return false;
}

// The text of HTML outside its tags: a '<' that starts a name, '/' or '!' up to the next '>'.
std::string withoutTags(std::string_view html)
{
    std::string out;
    for (std::size_t i = 0; i < html.size(); ++i) {
        const bool opens = html[i] == '<' && i + 1 < html.size() &&
                           (std::isalnum(static_cast<unsigned char>(html[i + 1])) || html[i + 1] == '/' ||
                            html[i + 1] == '!' || html[i + 1] == '-' || html[i + 1] == '_');
        const std::size_t close = opens ? html.find('>', i) : std::string_view::npos;
        if (close != std::string_view::npos)
            i = close;
        else
            out.push_back(html[i]);
    }
    return out;
}

void checkReply(std::string_view html, std::size_t limit)
{
    const std::string line = htmlToIrc(html);
    if (!hasMarkupOrCodes(html))
        FUZZ_CHECK(line == html);
    if (!isValidUtf8(html))
        return;
    FUZZ_CHECK(isValidUtf8(line));
    std::string visible;
    for (const std::string& piece : splitIrcText(line, limit)) {
        FUZZ_CHECK(isValidUtf8(piece));
        // Over the limit only when one character does not fit together with the formatting that
        // opens the piece (at most 23 bytes of codes, a guard and a 4-byte character); then it
        // goes out alone, last in its piece.
        if (piece.size() > limit) {
            const std::string shown = stripIrcFormatting(piece);
            FUZZ_CHECK(limit < 27 && utf8Length(shown) == 1 && piece.ends_with(shown));
        }
        visible += stripIrcFormatting(piece);
    }
    FUZZ_CHECK(visible == stripIrcFormatting(line));

    // The same reply sent as HTML: whole characters, and the same text outside the tags (each
    // piece may start with tags repeated from the one before, and a piece of tags alone is left
    // out).
    std::string text;
    for (const std::string& piece : splitHtmlText(html, limit)) {
        FUZZ_CHECK(isValidUtf8(piece));
        text += withoutTags(piece);
    }
    FUZZ_CHECK(text == withoutTags(html));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // Cuts shorter than the formatting that opens a piece (up to 23 bytes) are left out: the
    // program cuts at 32 bytes or more, mostly at several hundred.
    const std::size_t limit = 16 + data[0] % 64;
    const std::string_view bytes = fuzz::asText(data + 1, size - 1);

    // The stream arrives in two reads cut at an arbitrary point.
    IrcLineBuffer buffer;
    const std::size_t cut = bytes.size() / 2;
    auto lines = buffer.feed(bytes.substr(0, cut));
    for (auto& l : buffer.feed(bytes.substr(cut)))
        lines.push_back(std::move(l));
    for (const std::string& line : lines) {
        FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
        FUZZ_CHECK(isValidUtf8(line));
        checkMessage(line);
        checkReply(line, limit);
    }
    checkReply(bytes.substr(0, std::min<std::size_t>(bytes.size(), 2048)), limit);
    return 0;
}
