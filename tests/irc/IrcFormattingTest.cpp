#include "client/IrcFormatting.h"
#include "client/IrcLineSplitter.h"
#include "util/Utf8.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

const std::string kReply =
    "<font face=\"webdings\"><font  color=#0080FF>²<font face=\"arial narrow\"><font "
    "color=#abcdef> Tavu <font face=\"wingdings\"><font color=#0080FF>§<font face=\"arial "
    "narrow\"><font color=#abcdef> Mp3 length: <u>4:05</U> <font face=\"webdings\"><font  "
    "color=#0080FF>²";

TEST(IrcFormatting, TurnsAReplyLineIntoIrcColoursAndUnderline) {
    EXPECT_EQ(htmlToIrc(kReply), "\x03"
                                 "10²\x03"
                                 "15 Tavu \x03"
                                 "10§\x03"
                                 "15 Mp3 length: \x1F"
                                 "4:05\x1F \x03"
                                 "10²");
}

TEST(IrcFormatting, ChangesNothingButTheTagsItKnows) {
    EXPECT_EQ(htmlToIrc("a <b>bold</b> & <br> 3 < 4 > 2"), "a <b>bold</b> & <br> 3 < 4 > 2");
    EXPECT_EQ(htmlToIrc("<FONT FACE='x'>plain"), "plain");
    EXPECT_EQ(htmlToIrc("<U>one</u>two"), "\x1Fone\x1Ftwo");
    EXPECT_EQ(htmlToIrc("tail<font color=#ff0000><u>"), "tail"); // nothing dangles at the end
    EXPECT_EQ(htmlToIrc("<font color=#zzzzzz>no colour"), "no colour");
    EXPECT_EQ(htmlToIrc(""), "");
}

TEST(IrcFormatting, NeverLetsTextRunIntoAColourCode) {
    EXPECT_EQ(htmlToIrc("<font color=#ff0000>5 songs"), "\x03"
                                                        "04\x02\x02"
                                                        "5 songs");
    EXPECT_EQ(htmlToIrc("<font color=#ff0000>,x"), "\x03"
                                                   "04\x02\x02,x");
    EXPECT_EQ(htmlToIrc("<font color=#ff0000><u>5"), "\x03"
                                                     "04\x1F"
                                                     "5");
}

TEST(IrcFormatting, ClosingAFontGoesBackToTheColourBefore) {
    EXPECT_EQ(htmlToIrc("<font color=#ff0000>r<font color=#0000ff>b</font>r</font>n</font>n"), "\x03"
                                                                                               "04r\x03"
                                                                                               "12b\x03"
                                                                                               "04r\x03nn");
    EXPECT_EQ(htmlToIrc("<font color=#ff0000>r</font>1"), "\x03"
                                                          "04r\x03\x02\x02"
                                                          "1");
}

TEST(IrcFormatting, PicksTheNearestPaletteColour) {
    const std::pair<const char*, int> cases[] = {
        {"FFFFFF", 0},  {"000000", 1}, {"#ff0000", 4}, {"f00", 4},  {"abcdef", 15}, {"0080FF", 10},
        {"7f7f7f", 14}, {"fc7f00", 7}, {"red", 4},     {"Navy", 2}, {"00fc00", 9}};
    for (const auto& [value, index] : cases)
        EXPECT_EQ(nearestIrcColour(value), index) << value;
    for (const char* value : {"", "12345", "gggggg", "#", "purple!"})
        EXPECT_FALSE(nearestIrcColour(value)) << value;
}

TEST(IrcFormatting, StripsFormattingFromIncomingText) {
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

std::string joined(const std::vector<std::string>& pieces) {
    std::string all;
    for (const auto& p : pieces)
        all += p;
    return all;
}

TEST(IrcLineSplitter, CutsOnCharacterBoundariesWithinTheBudget) {
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

TEST(IrcLineSplitter, ContinuationsRepeatTheFormattingInForce) {
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

TEST(IrcLineSplitter, AColourCodeIsNeverSplitFromItsDigits) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "\x03" + std::string(i % 2 ? "04" : "12") + "xy";
    for (std::size_t budget = 8; budget < 30; ++budget) {
        for (const auto& piece : splitIrcText(text, budget)) {
            // Every colour code in a piece is followed by its two digits.
            for (std::size_t at = piece.find('\x03'); at != std::string::npos;
                 at = piece.find('\x03', at + 1)) {
                ASSERT_LT(at + 2, piece.size()) << budget;
                EXPECT_TRUE(isdigit(static_cast<unsigned char>(piece[at + 1])) &&
                            isdigit(static_cast<unsigned char>(piece[at + 2])));
            }
        }
    }
}

TEST(IrcLineSplitter, GuardsADigitThatStartsAContinuation) {
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

TEST(IrcLineSplitter, LeavesOutPiecesOfFormattingAlone) {
    const auto pieces = splitIrcText(std::string(10, 'a') + "\x03"
                                                            "04\x1F",
                                     10);
    EXPECT_EQ(pieces, std::vector<std::string>{std::string(10, 'a')});
}

TEST(IrcLineSplitter, AConvertedLongReplyKeepsItsColours) {
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

} // namespace
} // namespace tavu
