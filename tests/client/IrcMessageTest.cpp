#include "client/IrcMessage.h"
#include "client/IrcLineBuffer.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

struct ParseCase {
    std::string line;
    std::string prefix, nick, user, host, command;
    std::vector<std::string> params;
};

void PrintTo(const ParseCase& c, std::ostream* out)
{
    *out << c.line;
}

class IrcMessageParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(IrcMessageParse, CutsPrefixCommandAndParams)
{
    const ParseCase& c = GetParam();
    const auto message = IrcMessage::parse(c.line);
    ASSERT_TRUE(message) << c.line;
    EXPECT_EQ(message->prefix, c.prefix);
    EXPECT_EQ(message->nick, c.nick);
    EXPECT_EQ(message->user, c.user);
    EXPECT_EQ(message->host, c.host);
    EXPECT_EQ(message->command, c.command);
    EXPECT_EQ(message->params, c.params);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, IrcMessageParse,
    ::testing::Values(
        ParseCase{"PING :irc.example.net", "", "", "", "", "PING", {"irc.example.net"}},
        ParseCase{":boss!~boss@home.example PRIVMSG #room :!vol 40",
                  "boss!~boss@home.example",
                  "boss",
                  "~boss",
                  "home.example",
                  "PRIVMSG",
                  {"#room", "!vol 40"}},
        ParseCase{":irc.test 005 Tavu CASEMAPPING=ascii NICKLEN=9 :are supported",
                  "irc.test",
                  "irc.test",
                  "",
                  "",
                  "005",
                  {"Tavu", "CASEMAPPING=ascii", "NICKLEN=9", "are supported"}},
        ParseCase{"privmsg #c :lower-case command", "", "", "", "", "PRIVMSG", {"#c", "lower-case command"}},
        ParseCase{"CMD a   b  :trailing  with  blanks ", "", "", "", "", "CMD", {"a", "b", "trailing  with  blanks "}},
        ParseCase{"CMD a:b c", "", "", "", "", "CMD", {"a:b", "c"}},
        ParseCase{"CMD x :", "", "", "", "", "CMD", {"x", ""}},
        ParseCase{":n!u@h NICK new", "n!u@h", "n", "u", "h", "NICK", {"new"}},
        ParseCase{":nick@host QUIT", "nick@host", "nick", "", "host", "QUIT", {}},
        ParseCase{
            ":[]\\`_^{|}!~o@d PRIVMSG #c ::-)", "[]\\`_^{|}!~o@d", "[]\\`_^{|}", "~o", "d", "PRIVMSG", {"#c", ":-)"}}));

TEST(IrcMessage, ReadsAndUnescapesTags)
{
    const auto message = IrcMessage::parse("@account=boss;+draft/x;esc=a\\:b\\sc\\\\d\\ :n!u@h PRIVMSG #c :hi");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->tag("account"), "boss");
    EXPECT_EQ(message->tag("+draft/x"), "");
    EXPECT_EQ(message->tag("esc"), "a;b c\\d");
    EXPECT_FALSE(message->tag("time"));
    EXPECT_EQ(message->nick, "n");
    EXPECT_EQ(message->param(1), "hi");
    EXPECT_EQ(message->param(7), "");
}

TEST(IrcMessage, LinesWithoutACommandAreRejected)
{
    for (const char* line : {"", "   ", ":prefix.only", "@tag=only", "@a=b :prefix"})
        EXPECT_FALSE(IrcMessage::parse(line)) << line;
    EXPECT_TRUE(IrcMessage::parse("999 odd :numeric")->isNumeric());
    EXPECT_FALSE(IrcMessage::parse("PRIVMSG x y")->isNumeric());
}

TEST(IrcMessage, BuildsOutgoingLines)
{
    EXPECT_EQ(ircLine("NICK", {"Tavu"}), "NICK Tavu");
    EXPECT_EQ(ircLine("PRIVMSG", {"#room", "two words"}), "PRIVMSG #room :two words");
    EXPECT_EQ(ircLine("PRIVMSG", {"#room", ""}), "PRIVMSG #room :");
    EXPECT_EQ(ircLine("PONG", {":odd"}), "PONG ::odd");
    EXPECT_EQ(ircLine("CAP", {"REQ", "sasl"}), "CAP REQ sasl");
    EXPECT_EQ(ircLine("CAP END"), "CAP END");
}

TEST(IrcLineBuffer, CutsLinesAtAnyLineEndAcrossReads)
{
    IrcLineBuffer buffer;
    EXPECT_TRUE(buffer.feed("PING :a").empty());
    EXPECT_EQ(buffer.feed("bc\r\nONE\nTWO\rTHREE\r\n\r\n"),
              (std::vector<std::string>{"PING :abc", "ONE", "TWO", "THREE"}));
    EXPECT_TRUE(buffer.feed("HALF").empty());
    buffer.clear(); // the connection ended half-way through a line
    EXPECT_EQ(buffer.feed("NEXT\r\n"), std::vector<std::string>{"NEXT"});
}

TEST(IrcLineBuffer, CleansBadBytes)
{
    IrcLineBuffer buffer;
    const std::string withNul("PRIVMSG #c :a\0b\r\n", 17);
    EXPECT_EQ(buffer.feed(withNul), std::vector<std::string>{"PRIVMSG #c :ab"});
    // Not UTF-8: read as Windows-1252.
    EXPECT_EQ(buffer.feed("PRIVMSG #c :caf\xE9 \x80\x96\r\n"), std::vector<std::string>{"PRIVMSG #c :café €–"});
    EXPECT_EQ(buffer.feed("PRIVMSG #c :café\r\n"), std::vector<std::string>{"PRIVMSG #c :café"});
}

TEST(IrcLineBuffer, DiscardsAnOverlongLineAndGoesOn)
{
    IrcLineBuffer buffer;
    const std::string huge(IrcLineBuffer::kMaxLine + 10, 'x');
    EXPECT_TRUE(buffer.feed(huge).empty());
    EXPECT_TRUE(buffer.feed(huge).empty());
    EXPECT_EQ(buffer.feed("yyy\r\nPING :ok\r\n"), std::vector<std::string>{"PING :ok"});
    EXPECT_EQ(buffer.discardedLines(), 1u);
    // A long line that is still within the limit is kept.
    const std::string longLine = "PRIVMSG #c :" + std::string(1000, 'z');
    EXPECT_EQ(buffer.feed(longLine + "\r\n"), std::vector<std::string>{longLine});
}

} // namespace
} // namespace tavu
