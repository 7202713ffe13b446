#include "settings/ProfileFile.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu {
namespace {

class StyleCommandsTest : public test::BotFixture {
protected:
    StyleCommandsTest()
    {
        bot->trig = "!";
        for (const std::string& family : fonts.families())
            bot->lstFonts.addItem(family);
    }

    const test::FakeChatRoom::Sent& last() const { return room.sent.back(); }
    std::string stored(std::string_view key) const { return readSetting("Ascii", key, settingsPath()); }
    // The reply a style with one value changed gives.
    std::string replyWith(std::string Style::*value, const std::string& to, std::string_view body) const
    {
        Style style = bot->style;
        style.*value = to;
        style.BuildStylePieces();
        return style.composeReply(" Tavu ", body);
    }
};

TEST_F(StyleCommandsTest, SetColourConfirmsInTheNewStyleByteForByte)
{
    ownerSays("!fac ff0000");
    EXPECT_EQ(bot->style.fac, "ff0000");
    EXPECT_EQ(stored("front ascii color"), "ff0000");
    EXPECT_NE(test::readBytes(settingsPath()).find("[Ascii]\r\nFRONT ASCII COLOR=ff0000\r\n"), std::string::npos);
    ASSERT_EQ(room.sent.size(), 1u);
    EXPECT_FALSE(last().raw);
    EXPECT_EQ(last().line, "<font face=\"webdings\"><font  color=#ff0000>\xC2\xB2"
                           "<font face=\"arial narrow\"><font color=#abcdef>"
                           " Tavu "
                           "<font face=\"wingdings\"><font color=#0080FF>\xC2\xA7"
                           "<font face=\"arial narrow\"><font color=#abcdef>"
                           " Front Ascii Color is now: ff0000 "
                           "<font face=\"webdings\"><font  color=#0080FF>\xC2\xB2");
}

struct ColourCase {
    const char* name;
    std::string line;
    bool accepted;
    std::string value; // stored when accepted
};

class ColourTest : public StyleCommandsTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(ColourTest, AtMostSixCharactersPass)
{
    const ColourCase& c = GetParam();
    ownerSays(c.line);
    ASSERT_EQ(room.sent.size(), 1u);
    if (c.accepted) {
        EXPECT_EQ(bot->style.fac, c.value);
        EXPECT_EQ(stored("front ascii color"), c.value);
        EXPECT_EQ(last().line, replyWith(&Style::fac, c.value, " Front Ascii Color is now: " + c.value + " "));
    } else {
        EXPECT_EQ(bot->style.fac, "0080FF");
        EXPECT_FALSE(std::filesystem::exists(settingsPath())) << "nothing is written";
        EXPECT_EQ(last().line, defaultReply(" Invalid font color "));
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, ColourTest,
                         ::testing::Values(ColourCase{"SevenRefused", "!fac ff00001", false, ""},
                                           ColourCase{"NamePasses", "!fac red", true, "red"},
                                           ColourCase{"TwoBlanksMakeSeven", "!fac  ff0000", false, ""},
                                           ColourCase{"EmptyPasses", "!fac ", true, ""},
                                           ColourCase{"NoBlankTakesTheWholeLine", "!fac", true, "!fac"},
                                           ColourCase{"CharactersNotBytes", "!fac \u00E9\u00E9\u00E9\u00E9\u00E9\u00E9",
                                                      true, "\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9"},
                                           ColourCase{"SevenWideCharacters",
                                                      "!fac \u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9", false, ""}),
                         [](const auto& row) { return std::string(row.param.name); });

struct FontCase {
    const char* name;
    std::string argument;
    std::string selected; // "" when refused
};

class FontTest : public StyleCommandsTest, public ::testing::WithParamInterface<FontCase> {};

TEST_P(FontTest, InstalledFontsPassWithoutRegardToCaseAndAreStoredAsTyped)
{
    const FontCase& c = GetParam();
    bot->lstFonts.select(0);
    ownerSays("!tf " + c.argument);
    EXPECT_EQ(bot->lstFonts.selectedText(), c.selected);
    if (c.selected.empty()) {
        EXPECT_EQ(bot->style.tf, "arial narrow");
        EXPECT_EQ(last().line, defaultReply(" Invalid Font "));
        EXPECT_FALSE(std::filesystem::exists(settingsPath()));
    } else {
        EXPECT_EQ(bot->style.tf, c.argument);
        EXPECT_EQ(stored("text font"), c.argument);
        EXPECT_EQ(last().line, replyWith(&Style::tf, c.argument, " Text Font is now: " + c.argument + " "));
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, FontTest,
                         ::testing::Values(FontCase{"Capitals", "ARIAL", "Arial"},
                                           FontCase{"TwoWords", "arial NARROW", "Arial Narrow"},
                                           FontCase{"NotInstalled", "Comic Sans MS", ""}, FontCase{"Empty", "", ""},
                                           FontCase{"TrailingBlank", "Arial ", ""},
                                           FontCase{"PartOfAName", "Aria", ""}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(StyleCommandsTest, DecorationsTakeAnythingAndAnEmptyOneLeavesNothingInThePiece)
{
    ownerSays("!fa <b>");
    EXPECT_NE(bot->style.fascii().find("color=#0080FF><b><font face"), std::string::npos) << "nothing is escaped";
    ownerSays("!ma ");
    EXPECT_EQ(stored("middle ascii"), "");
    EXPECT_EQ(bot->style.mascii(),
              "<font face=\"wingdings\"><font color=#0080FF><font face=\"arial narrow\"><font color=#abcdef>");
    ownerSays("!ma?");
    EXPECT_EQ(last().line, bot->style.composeReply(" Tavu ", " Middle Ascii:  "));
}

struct Row {
    const char* word;
    const char* key;
    std::string value;
    const char* setText;
    const char* queryText;
};

class EveryStyleCommand : public StyleCommandsTest, public ::testing::WithParamInterface<Row> {};

TEST_P(EveryStyleCommand, SetsStoresConfirmsAndAnswersTheQuery)
{
    const Row& r = GetParam();
    ownerSays("!" + std::string(r.word) + "? ignored");
    ownerSays("!" + std::string(r.word) + " " + r.value);
    ownerSays("!" + std::string(r.word) + "?");
    ASSERT_EQ(room.sent.size(), 3u);
    EXPECT_EQ(stored(r.key), r.value);
    EXPECT_EQ(room.sent[1].line, bot->style.composeReply(" Tavu ", r.setText + r.value + " "));
    EXPECT_EQ(room.sent[2].line, bot->style.composeReply(" Tavu ", r.queryText + r.value + " "));
    for (const auto& sent : room.sent)
        EXPECT_FALSE(sent.raw);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EveryStyleCommand,
    ::testing::Values(Row{"fac", "front ascii color", "111111", " Front Ascii Color is now: ", " Front Ascii Color: "},
                      Row{"mac", "middle ascii color", "222222",
                          " Middle Ascii Color is now: ", " Middle Ascii Color: "},
                      Row{"bac", "back ascii color", "333333", " Back Ascii Color is now: ", " Back Ascii Color: "},
                      Row{"tc", "text color", "444444", " Text Color is now: ", " Text Color: "},
                      Row{"faf", "front ascii font", "Tahoma", " Front Ascii Font is now: ", " Front Ascii Font: "},
                      Row{"maf", "middle ascii font", "Arial", " Middle Ascii Font is now: ", " Middle Ascii Font: "},
                      Row{"baf", "back ascii font", "DejaVu Sans", " Back Ascii Font is now: ", " Back Ascii Font: "},
                      Row{"tf", "text font", "Webdings", " Text Font is now: ", " Text Font: "},
                      Row{"fa", "front ascii", "\u00AB", " Front Ascii is now: ", " Front Ascii: "},
                      Row{"ma", "middle ascii", "-=-", " Middle Ascii is now: ", " Middle Ascii: "},
                      Row{"ba", "back ascii", "\u00BB", " Back Ascii is now: ", " Back Ascii: "}),
    [](const auto& row) { return std::string(row.param.word); });

} // namespace
} // namespace tavu
