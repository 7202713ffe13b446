#include "client/IrcFormatting.h"
#include "client/HtmlLineSplitter.h"
#include "client/IrcLineSplitter.h"
#include "util/Utf8.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

const std::string kReply = "<font face=\"webdings\"><font  color=#0080FF>²<font face=\"arial narrow\"><font "
                           "color=#abcdef> Tavu <font face=\"wingdings\"><font color=#0080FF>§<font face=\"arial "
                           "narrow\"><font color=#abcdef> Mp3 length: <u>4:05</U> <font face=\"webdings\"><font  "
                           "color=#0080FF>²";

TEST(IrcFormatting, TurnsAReplyLineIntoIrcColoursAndUnderline)
{
    EXPECT_EQ(htmlToIrc(kReply), "\x03"
                                 "10²\x03"
                                 "15 Tavu \x03"
                                 "10§\x03"
                                 "15 Mp3 length: \x1F"
                                 "4:05\x1F \x03"
                                 "10²");
}

TEST(IrcFormatting, ChangesNothingButTheTagsItKnows)
{
    EXPECT_EQ(htmlToIrc("a <b>bold</b> & <br> 3 < 4 > 2"), "a <b>bold</b> & <br> 3 < 4 > 2");
    EXPECT_EQ(htmlToIrc("<FONT FACE='x'>plain"), "plain");
    EXPECT_EQ(htmlToIrc("<U>one</u>two"), "\x1Fone\x1Ftwo");
    EXPECT_EQ(htmlToIrc("tail<font color=#ff0000><u>"), "tail"); // nothing dangles at the end
    EXPECT_EQ(htmlToIrc("<font color=#zzzzzz>no colour"), "no colour");
    EXPECT_EQ(htmlToIrc(""), "");
}

TEST(IrcFormatting, EscapedFileTextComesBackAsItsCharacters)
{
    EXPECT_EQ(htmlToIrc("<font color=#ff0000>b &lt;font color=#00ff00&gt;pwn &amp; &quot;x&quot; &#39;y&#39;"),
              "\x03"
              "04b <font color=#00ff00>pwn & \"x\" 'y'");
    EXPECT_EQ(htmlToIrc("&amp;lt; &nbsp; &l"), "&lt; &nbsp; &l") << "decoded once, and only what escaping makes";
}

TEST(IrcFormatting, NeverLetsTextRunIntoAColourCode)
{
    EXPECT_EQ(htmlToIrc("<font color=#ff0000>5 songs"), "\x03"
                                                        "04\x02\x02"
                                                        "5 songs");
    EXPECT_EQ(htmlToIrc("<font color=#ff0000>,x"), "\x03"
                                                   "04\x02\x02,x");
    EXPECT_EQ(htmlToIrc("<font color=#ff0000><u>5"), "\x03"
                                                     "04\x1F"
                                                     "5");
}

TEST(IrcFormatting, ClosingAFontGoesBackToTheColourBefore)
{
    EXPECT_EQ(htmlToIrc("<font color=#ff0000>r<font color=#0000ff>b</font>r</font>n</font>n"), "\x03"
                                                                                               "04r\x03"
                                                                                               "12b\x03"
                                                                                               "04r\x03nn");
    EXPECT_EQ(htmlToIrc("<font color=#ff0000>r</font>1"), "\x03"
                                                          "04r\x03\x02\x02"
                                                          "1");
}

TEST(IrcFormatting, PicksTheNearestPaletteColour)
{
    const std::pair<const char*, int> cases[] = {{"FFFFFF", 0},  {"000000", 1},  {"#ff0000", 4}, {"f00", 4},
                                                 {"abcdef", 15}, {"0080FF", 10}, {"7f7f7f", 14}, {"fc7f00", 7},
                                                 {"red", 4},     {"Navy", 2},    {"00fc00", 9}};
    for (const auto& [value, index] : cases)
        EXPECT_EQ(nearestIrcColour(value), index) << value;
    for (const char* value : {"", "12345", "gggggg", "#", "purple!"})
        EXPECT_FALSE(nearestIrcColour(value)) << value;
}

TEST(IrcFormatting, StripsFormattingFromIncomingText)
{
    EXPECT_EQ(stripIrcFormatting("\x03"
                                 "04,12red\x03 \x02"
                                 "bold\x02 \x1Funder\x1F\x0F \x03"
                                 "5,x"),
              "red bold under ,x");
    EXPECT_EQ(stripIrcFormatting("\x04"
                                 "ff0000,00ff00hex\x1D\x1E\x11\x16!"),
              "hex!");
    EXPECT_EQ(stripIrcFormatting("!vol 40"), "!vol 40");
    EXPECT_EQ(stripIrcFormatting("\x03"), "");
}

std::string joined(const std::vector<std::string>& pieces)
{
    std::string all;
    for (const auto& p : pieces)
        all += p;
    return all;
}

TEST(IrcLineSplitter, CutsOnCharacterBoundariesWithinTheBudget)
{
    const std::string ascii(1000, 'a');
    const auto plain = splitIrcText(ascii, 400);
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(plain[2].size(), 200u);
    EXPECT_EQ(joined(plain), ascii);

    std::string wide;
    for (int i = 0; i < 300; ++i)
        wide += i % 3 == 0 ? "é" : i % 3 == 1 ? "€" : "𝄞";
    for (const std::size_t budget : {401u, 400u, 399u, 398u}) {
        const auto pieces = splitIrcText(wide, budget);
        for (const auto& p : pieces) {
            EXPECT_LE(p.size(), budget);
            EXPECT_TRUE(isValidUtf8(p));
        }
        EXPECT_EQ(joined(pieces), wide);
    }
    EXPECT_TRUE(splitIrcText("", 400).empty());
}

TEST(IrcLineSplitter, ContinuationsRepeatTheFormattingInForce)
{
    std::string text = "\x03"
                       "04red \x1F";
    text += std::string(20, 'u');
    text += "\x03"
            "12,01" +
            std::string(20, 'b');
    const auto pieces = splitIrcText(text, 16);
    ASSERT_GT(pieces.size(), 3u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_LE(pieces[i].size(), 16u) << i;
        EXPECT_NE(pieces[i].back(), '\x03') << i; // a colour code is never cut off its digits
    }
    EXPECT_EQ(pieces[1].substr(0, 4), "\x1F\x03"
                                      "04");
    EXPECT_EQ(pieces.back().substr(0, 7), "\x1F\x03"
                                          "12,01");
    EXPECT_EQ(stripIrcFormatting(joined(pieces)), stripIrcFormatting(text));
}

TEST(IrcLineSplitter, AColourCodeIsNeverSplitFromItsDigits)
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "\x03" + std::string(i % 2 ? "04" : "12") + "xy";
    for (std::size_t budget = 8; budget < 30; ++budget) {
        for (const auto& piece : splitIrcText(text, budget)) {
            // Every colour code in a piece is followed by its two digits.
            for (std::size_t at = piece.find('\x03'); at != std::string::npos; at = piece.find('\x03', at + 1)) {
                ASSERT_LT(at + 2, piece.size()) << budget;
                EXPECT_TRUE(isdigit(static_cast<unsigned char>(piece[at + 1])) &&
                            isdigit(static_cast<unsigned char>(piece[at + 2])));
            }
        }
    }
}

TEST(IrcLineSplitter, AHexColourCodeIsNeverSplitFromItsDigits)
{
    // 15 bytes of text, then a hex colour code whose digit would be left to start the next piece,
    // where it would show.
    const std::string text = "€ÿÿÿÿÿÿ\x04"
                             "0";
    EXPECT_EQ(splitIrcText(text, 16), std::vector<std::string>{"€ÿÿÿÿÿÿ"});

    // Hex codes of one to six digits, with and without a background, followed by letters that are
    // hex digits themselves.
    std::string mixed;
    for (const char* code : {"\x04"
                             "0",
                             "\x04"
                             "FF8800",
                             "\x04"
                             "12ab,0",
                             "\x04"
                             "a,BCDEF0",
                             "\x03"
                             "7",
                             "\x04",
                             "\x04"
                             "0F0F0F,123456"})
        mixed += std::string(code) + "beef, cafe 1,2 ";
    for (std::size_t budget = 16; budget < 80; ++budget) {
        const auto pieces = splitIrcText(mixed, budget);
        for (const auto& piece : pieces) {
            // Up to 14 bytes of hex colour open a continuation: under 27 bytes a character that
            // does not fit with it goes out alone.
            if (budget >= 27 || utf8Length(stripIrcFormatting(piece)) > 1) {
                EXPECT_LE(piece.size(), budget) << budget;
            }
            EXPECT_NE(piece.back(), '\x04') << budget;
            EXPECT_FALSE(stripIrcFormatting(piece).empty()) << budget;
        }
        EXPECT_EQ(stripIrcFormatting(joined(pieces)), stripIrcFormatting(mixed)) << budget;
    }
}

TEST(IrcLineSplitter, ContinuationsRepeatAHexColour)
{
    const std::string text = "\x04"
                             "FF0000" +
                             std::string(10, 'x') + "beef";
    const auto pieces = splitIrcText(text, 17);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], "\x04"
                         "FF0000" +
                             std::string(10, 'x'));
    // The colour again, kept apart from the letters that would read as more of its digits.
    EXPECT_EQ(pieces[1], "\x04"
                         "FF0000\x02\x02"
                         "beef");

    // A hex colour code without digits, like \x03 alone, ends all colours.
    EXPECT_EQ(splitIrcText("\x03"
                           "04,05" +
                               std::string(9, 'x') + "\x04" + std::string(10, 'y'),
                           16),
              (std::vector<std::string>{"\x03"
                                        "04,05" +
                                            std::string(9, 'x') + "\x04",
                                        std::string(10, 'y')}));
}

TEST(IrcLineSplitter, ContinuationsRepeatPaletteAndHexColoursTogether)
{
    // A hex foreground over a palette background, and a palette foreground over a hex background.
    const std::string hexOverPalette = "\x03"
                                       "04,05" +
                                       std::string(10, 'x') +
                                       "\x04"
                                       "00FF00" +
                                       std::string(20, 'y');
    auto pieces = splitIrcText(hexOverPalette, 20);
    ASSERT_EQ(pieces.size(), 4u);
    for (std::size_t i = 2; i < pieces.size(); ++i)
        EXPECT_TRUE(pieces[i].starts_with("\x03"
                                          "99,05\x04"
                                          "00FF00y"))
            << i;
    EXPECT_EQ(stripIrcFormatting(joined(pieces)), std::string(10, 'x') + std::string(20, 'y'));

    const std::string paletteOverHex = "\x04"
                                       "AABBCC,DDEEFF" +
                                       std::string(5, 'x') +
                                       "\x03"
                                       "12" +
                                       std::string(20, 'y');
    pieces = splitIrcText(paletteOverHex, 24);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[1], "\x04"
                         "000000,DDEEFF\x03"
                         "12" +
                             std::string(7, 'y'));
    for (const auto& piece : pieces)
        EXPECT_LE(piece.size(), 24u);
    EXPECT_EQ(stripIrcFormatting(joined(pieces)), std::string(5, 'x') + std::string(20, 'y'));
}

TEST(IrcLineSplitter, ACharacterThatDoesNotFitWithItsFormattingGoesOutAlone)
{
    const std::string codes = "\x02\x1D\x1F\x16\x1E\x11\x04"
                              "AABBCC,DDEEFF\x03"
                              "12";
    const std::string text = "x" + codes + "yz";
    // The formatting alone takes 23 bytes: with a budget of 20 each character after it goes out on
    // its own.
    const std::string repeated = "\x02\x1D\x1F\x16\x1E\x11\x04"
                                 "000000,DDEEFF\x03"
                                 "12";
    EXPECT_EQ(splitIrcText(text, 20),
              (std::vector<std::string>{"x\x02\x1D\x1F\x16\x1E\x11", repeated + "y", repeated + "z"}));
    // From 27 bytes on nothing goes over: 23 bytes of codes, a guard and one character.
    for (std::size_t budget = 27; budget < 40; ++budget) {
        const std::string wide = "x" + codes + std::string(budget, '1') + "𝄞𝄞𝄞";
        const auto pieces = splitIrcText(wide, budget);
        for (const auto& piece : pieces)
            EXPECT_LE(piece.size(), budget) << budget;
        EXPECT_EQ(stripIrcFormatting(joined(pieces)), stripIrcFormatting(wide)) << budget;
    }
}

TEST(IrcLineSplitter, GuardsADigitThatStartsAContinuation)
{
    const std::string text = "\x03"
                             "04" +
                             std::string(10, 'a') + "5 more";
    const auto pieces = splitIrcText(text, 13);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], "\x03"
                         "04" +
                             std::string(10, 'a'));
    EXPECT_EQ(pieces[1], "\x03"
                         "04\x02\x02"
                         "5 more");
}

TEST(IrcLineSplitter, LeavesOutPiecesOfFormattingAlone)
{
    const auto pieces = splitIrcText(std::string(10, 'a') + "\x03"
                                                            "04\x1F",
                                     10);
    EXPECT_EQ(pieces, std::vector<std::string>{std::string(10, 'a')});
}

TEST(IrcLineSplitter, AConvertedLongReplyKeepsItsColours)
{
    std::string body;
    for (int i = 1; i <= 60; ++i)
        body += " Song number " + std::to_string(i) + " ²§";
    const std::string line = htmlToIrc(kReply.substr(0, kReply.find(" Mp3")) + body);
    const auto pieces = splitIrcText(line, 400);
    ASSERT_GE(pieces.size(), 3u);
    for (std::size_t i = 1; i < pieces.size(); ++i)
        EXPECT_TRUE(pieces[i].starts_with("\x03"
                                          "15"))
            << i;
    EXPECT_EQ(stripIrcFormatting(joined(pieces)), stripIrcFormatting(line));
}

// A long reply is cut just after a blank near the cut, so words stay whole; a blank far from it
// (or none) leaves the cut where the budget ends.
TEST(IrcLineSplitter, CutsAfterABlankNearTheEnd)
{
    struct Row {
        std::string text;
        std::size_t budget;
        std::vector<std::string> pieces;
    };
    const Row rows[] = {
        {"aaaa bbbb cccc", 12, {"aaaa bbbb ", "cccc"}},
        {"Song one Song two Song three", 20, {"Song one Song two ", "Song three"}},
        {"a bbbbbbbbbbbbbbbbbbbbbbb", 20, {"a bbbbbbbbbbbbbbbbbb", "bbbbb"}}, // the blank is too far back
        {std::string(30, 'x'), 20, {std::string(20, 'x'), std::string(10, 'x')}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(splitIrcText(row.text, row.budget), row.pieces) << row.text;
        EXPECT_EQ(splitHtmlText(row.text, row.budget), row.pieces) << row.text;
    }
    // The formatting in force comes along after the blank.
    EXPECT_EQ(splitIrcText("\x1f"
                           "under lined words",
                           13),
              (std::vector<std::string>{"\x1f"
                                        "under lined ",
                                        "\x1f"
                                        "words"}));
}

// HTML format: a cut never falls inside a tag or an entity, and the next piece starts with the tags
// in force (a <font> that later ones override in full is left out).
TEST(HtmlLineSplitter, CutsBetweenTagsAndRepeatsTheTagsInForce)
{
    struct Row {
        std::string text;
        std::size_t budget;
        std::vector<std::string> pieces;
    };
    const Row rows[] = {
        {"<b>abcdef<font  color=#0080FF>ghijklmnopqrstuvwxyz",
         60,
         {"<b>abcdef<font  color=#0080FF>ghijklmnopqrstuvwxyz"}},
        {"<b>abc def<font color=#08F>ghij klmnopqrstuvwxyz",
         42,
         {"<b>abc def<font color=#08F>ghij ", "<b><font color=#08F>klmnopqrstuvwxyz"}},
        {"x&lt;&amp;y&lt;z", 7, {"x&lt;", "&amp;y", "&lt;z"}},
        {"<u>one</u> <i>two three</i>", 20, {"<u>one</u> <i>two ", "<i>three</i>"}},
        {"<font face=\"a\"><font color=#1><font face=\"b\">text text and more words",
         64,
         {"<font face=\"a\"><font color=#1><font face=\"b\">text text and more ",
          "<font color=#1><font face=\"b\">words"}},
        {"a < b and c", 7, {"a < b ", "and c"}},         // a lone '<' is text
        {"<font face=\"x\">", 8, {"<font face=\"x\">"}}, // a tag longer than the budget goes alone
    };
    for (const Row& row : rows)
        EXPECT_EQ(splitHtmlText(row.text, row.budget), row.pieces) << row.text;

    // The reply style's tags: every piece of a long reply is whole HTML in the text's font.
    std::string body;
    for (int i = 1; i <= 60; ++i)
        body += " Song number " + std::to_string(i) + " &amp; <u>more</u> ²§";
    const std::string line = kReply.substr(0, kReply.find(" Mp3")) + body + kReply.substr(kReply.find("</U> ") + 5);
    const auto pieces = splitHtmlText(line, 400);
    ASSERT_GE(pieces.size(), 4u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_LE(pieces[i].size(), 400u);
        EXPECT_TRUE(isValidUtf8(pieces[i]));
        // No tag or entity is cut open.
        for (std::size_t at = pieces[i].find('<'); at != std::string::npos; at = pieces[i].find('<', at + 1))
            EXPECT_NE(pieces[i].find('>', at), std::string::npos) << pieces[i];
        for (std::size_t at = pieces[i].find('&'); at != std::string::npos; at = pieces[i].find('&', at + 1))
            EXPECT_EQ(pieces[i].compare(at, 5, "&amp;"), 0) << pieces[i];
        if (i > 0) {
            EXPECT_TRUE(pieces[i].starts_with("<font face=\"arial narrow\"><font color=#abcdef>")) << pieces[i];
        }
    }
}

} // namespace
} // namespace tavu
