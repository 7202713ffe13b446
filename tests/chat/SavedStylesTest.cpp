#include "chat/SavedStyles.h"
#include "app/CommandLine.h"
#include "settings/ProfileFile.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu {
namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::string>;

class SavedStylesTest : public test::BotFixture {
protected:
    SavedStylesTest() { bot->trig = "!"; }

    std::string index() const { return dir.file("Styles.txt"); }
    std::string styleFile(const std::string& name) const { return dir.file("Styles/" + name + ".ini"); }
    const test::FakeChatRoom::Sent& last() const { return room.sent.back(); }
    const Items& names() const { return bot->lstStyles.items(); }
    void saveStyle(const std::string& name, const std::string& textColour)
    {
        ASSERT_TRUE(writeSetting("Ascii", "text color", textColour, styleFile(name)));
    }
    void restart()
    {
        bot.reset();
        bot = std::make_unique<Bot>(runtime, room, dir.str(), services());
        bot->startChat();
        bot->trig = "!";
    }
};

TEST_F(SavedStylesTest, TheIndexLoadsOnceAfter22222Ms)
{
    fs::copy_file(test::samplePath("Styles.txt"), index());
    bot->startStyleIndexTimer();
    runtime.advance(22221);
    EXPECT_TRUE(names().empty());
    runtime.advance(1);
    EXPECT_EQ(names(), (Items{"a", "b", "Blue", "blueish", "Night, late", "Sunny"}));
    bot->startStyleIndexTimer();
    runtime.advance(100000);
    EXPECT_EQ(names().size(), 6u);
}

TEST_F(SavedStylesTest, SaveBeforeTheTimerKeepsEveryStoredNameExactlyOnce)
{
    test::writeBytes(index(), "Blue\r\n\"Night, late\"\r\n");
    ownerSays("!sstyle Green");
    EXPECT_EQ(test::readBytes(index()), "Blue\r\nGreen\r\n\"Night, late\"\r\n");
    runtime.advance(60000);
    EXPECT_EQ(names(), (Items{"Blue", "Green", "Night, late"}));
}

TEST_F(SavedStylesTest, CommandDuringTheTimersLoadSeesTheWholeIndex)
{
    test::writeBytes(index(), "Blue\r\nRed\r\n");
    // Falls due together with indexTimer, so it ticks while the timer's load lets events run.
    Timer chat(runtime, SavedStyles::kIndexDelayMs, [&] { room.ownerSays("!rstyle red"); });
    chat.setEnabled(true);
    runtime.advance(SavedStyles::kIndexDelayMs);
    chat.setEnabled(false);
    ASSERT_EQ(room.sent.size(), 1u);
    EXPECT_EQ(last().line, defaultReply(" The Style <u>red</u> has been removed "));
    EXPECT_EQ(names(), Items{"Blue"});
    EXPECT_EQ(test::readBytes(index()), "Blue\r\n");
}

TEST_F(SavedStylesTest, RemoveTakesTheFirstMatchAndDeletesOnlyItsFile)
{
    saveStyle("Blue", "0000ff");
    saveStyle("blueish", "0000aa");
    test::writeBytes(index(), "blueish\r\nBlue\r\n");
    ownerSays("!rstyle blue");
    EXPECT_EQ(last().line, defaultReply(" The Style <u>blue</u> has been removed "));
    EXPECT_EQ(test::readBytes(index()), "blueish\r\n");
    EXPECT_FALSE(fs::exists(styleFile("Blue")));
    EXPECT_TRUE(fs::exists(styleFile("blueish")));
    ownerSays("!rstyle blue");
    EXPECT_EQ(last().line, defaultReply(" The Style <u>blue</u>ish has been removed "));
    ownerSays("!rstyle blue");
    EXPECT_EQ(last().line, defaultReply(" String <u>blue</U> was not found! "));
    for (const auto& sent : room.sent)
        EXPECT_FALSE(sent.raw);
}

TEST_F(SavedStylesTest, LoadMarksTheTypedPieceAndOnlyNotFoundGoesOutRaw)
{
    ownerSays("!lstyle blue");
    EXPECT_EQ(last().line, defaultReply(" Style Not Found! "));
    EXPECT_TRUE(last().raw);
    saveStyle("Blue", "0000ff");
    saveStyle("blueish", "0000aa");
    test::writeBytes(index(), "Blue\r\nblueish\r\n");
    restart();
    ownerSays("!lstyle ISH");
    EXPECT_EQ(bot->style.tc, "0000aa");
    EXPECT_EQ(last().line, bot->style.composeReply(" Tavu ", " Style blue<u>ISH</U> loaded "));
    EXPECT_FALSE(last().raw);
}

TEST_F(SavedStylesTest, SavesInSortedOrderAndRefusesATakenNameAsTyped)
{
    for (const char* name : {"zeta", "Alpha", "night"})
        ownerSays(std::string("!sstyle ") + name);
    EXPECT_EQ(last().line, defaultReply(" Style <u>night</U> saved! "));
    EXPECT_EQ(test::readBytes(index()), "Alpha\r\nnight\r\nzeta\r\n");
    EXPECT_EQ(test::readBytes(styleFile("night")),
              "[Ascii]\r\nFRONT ASCII COLOR=0080FF\r\nMIDDLE ASCII COLOR=0080FF\r\n"
              "BACK ASCII COLOR=0080FF\r\nFRONT ASCII FONT=webdings\r\n"
              "MIDDLE ASCII FONT=wingdings\r\nBACK ASCII FONT=webdings\r\n"
              "TEXT FONT=arial narrow\r\nTEXT COLOR=abcdef\r\n"
              "FRONT ASCII=\xB2\r\nMIDDLE ASCII=\xA7\r\nBACK ASCII=\xB2\r\n");
    ownerSays("!tc 123456");
    const std::string before = test::readBytes(styleFile("night"));
    ownerSays("!sstyle Night");
    EXPECT_EQ(last().line, bot->style.composeReply(" Tavu ", " You already have a style named: <u>Night</U> "));
    EXPECT_EQ(test::readBytes(styleFile("night")), before);
    EXPECT_FALSE(fs::exists(styleFile("Night")));
}

TEST_F(SavedStylesTest, SaveThenChangeThenLoadBringsTheSavedStyleBack)
{
    ownerSays("!sstyle Mine");
    const std::string saved = test::readBytes(styleFile("Mine"));
    ownerSays("!tc 00ff00");
    EXPECT_EQ(test::readBytes(styleFile("Mine")), saved);
    ownerSays("!lstyle mine");
    EXPECT_EQ(bot->style.tc, "abcdef");
    EXPECT_EQ(readSetting("Ascii", "text color", settingsPath()), "abcdef");
    EXPECT_EQ(last().line, defaultReply(" Style <u>mine</U> loaded "));
}

TEST_F(SavedStylesTest, StyleFileMissingKeysEmptiesThemUntilTheNextStart)
{
    test::writeBytes(styleFile("Half"), "[Ascii]\r\ntext color=123456\r\nFRONT ASCII=*\r\n");
    test::writeBytes(index(), "Half\r\n");
    ownerSays("!lstyle half");
    EXPECT_EQ(last().line, "<font face=\"\"><font  color=#>*<font face=\"\"><font color=#123456> Tavu "
                           "<font face=\"\"><font color=#><font face=\"\"><font color=#123456>"
                           " Style <u>half</U> loaded <font face=\"\"><font  color=#>");
    EXPECT_NE(test::readBytes(settingsPath()).find("FRONT ASCII FONT=\r\n"), std::string::npos);
    restart();
    EXPECT_EQ(bot->style.faf, "webdings");
    EXPECT_EQ(bot->style.tc, "123456");
}

TEST_F(SavedStylesTest, ReadsTheWindowsEraSampleStyle)
{
    fs::copy_file(test::samplePath("Styles.txt"), index());
    fs::copy_file(test::samplePath("Styles/Blue.ini"), styleFile("Blue"));
    ownerSays("!lstyle BLUE");
    EXPECT_EQ(bot->style.fa + bot->style.ma + bot->style.ba, "\u00AB\u00B7\u00BB");
    EXPECT_EQ(bot->style.tf, "tahoma");
    EXPECT_EQ(last().line, bot->style.composeReply(" Tavu ", " Style <u>BLUE</U> loaded "));
    EXPECT_NE(test::readBytes(settingsPath()).find("FRONT ASCII=\xAB\r\n"), std::string::npos);
}

TEST_F(SavedStylesTest, NamesWithCommasQuotesAndLeadingBlanksSurviveARestart)
{
    ownerSays("!sstyle Night, late");
    ownerSays("!sstyle   spaced");
    ownerSays("!sstyle say \"hi\"");
    restart();
    ownerSays("!lstyle spaced");
    EXPECT_EQ(names(), (Items{"  spaced", "Night, late", "say \"hi\""}));
    EXPECT_EQ(last().line, defaultReply(" Style   <u>spaced</U> loaded "));
    ownerSays("!rstyle night,");
    EXPECT_FALSE(fs::exists(styleFile("Night, late")));
}

TEST_F(SavedStylesTest, EmptyNamesAreRefusedAndStrangersChangeNothing)
{
    say("Stranger", "!sstyle X");
    EXPECT_TRUE(room.sent.empty());
    for (const char* line : {"!sstyle ", "!rstyle ", "!lstyle "})
        ownerSays(line);
    ASSERT_EQ(room.sent.size(), 3u);
    for (const auto& sent : room.sent)
        EXPECT_EQ(sent.line, defaultReply(" Please give a style name "));
    EXPECT_FALSE(fs::exists(index()));
    EXPECT_TRUE(fs::is_empty(dir.path() / "Styles"));
}

// A folder beside the program directory, with a file a traversing name could reach.
class HostileNames : public SavedStylesTest {
protected:
    HostileNames() : outside(dir.str() + "-outside")
    {
        fs::create_directories(outside);
        for (const std::string& path : {outside + "/victim.ini", dir.file("victim.ini")})
            test::writeBytes(path, "[Ascii]\r\nTEXT COLOR=bad\r\n");
    }
    ~HostileNames() override { fs::remove_all(outside); }
    bool victimsUntouched() const
    {
        return test::readBytes(outside + "/victim.ini") == "[Ascii]\r\nTEXT COLOR=bad\r\n" &&
               test::readBytes(dir.file("victim.ini")) == "[Ascii]\r\nTEXT COLOR=bad\r\n";
    }
    std::string outside;
};

class HostileSave : public HostileNames, public ::testing::WithParamInterface<std::string> {};

TEST_P(HostileSave, IsRefusedAndWritesNothing)
{
    ownerSays("!sstyle " + GetParam());
    EXPECT_EQ(last().line, defaultReply(" A style name can't start with a dot or hold / \\ or control characters "));
    EXPECT_TRUE(victimsUntouched());
    EXPECT_TRUE(fs::is_empty(dir.path() / "Styles"));
    EXPECT_FALSE(fs::exists(index()));
    EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Names, HostileSave,
                         ::testing::Values("../victim", "..", ".", ".hidden", "a/b", "/tmp/victim", "..\\victim",
                                           std::string("nul\0", 4), "bell\a", "del\x7F", "c1\u0085", "bad\xFF utf8"));

TEST_F(HostileNames, EntriesOfAnEditedIndexLoadAndDeleteNothingOutsideStyles)
{
    const std::string farFolder = "../../" + fs::path(outside).filename().string() + "/";
    test::writeBytes(index(), "../victim\r\n" + farFolder + "victim\r\n");
    ownerSays("!lstyle victim");
    EXPECT_EQ(last().line, defaultReply(" Style " + farFolder + "<u>victim</U> could not be read! "));
    EXPECT_EQ(bot->style.tc, "abcdef");
    ownerSays("!rstyle victim");
    ownerSays("!rstyle victim");
    EXPECT_TRUE(names().empty()) << "the entries themselves go";
    EXPECT_EQ(test::readBytes(index()), "");
    EXPECT_TRUE(victimsUntouched());
}

TEST_F(SavedStylesTest, WildcardsAreLiteralAndRemoveDeletesExactlyOneFile)
{
    for (const char* name : {"a*", "ab", "a?"})
        ownerSays(std::string("!sstyle ") + name);
    ownerSays("!rstyle a*");
    EXPECT_FALSE(fs::exists(styleFile("a*")));
    EXPECT_TRUE(fs::exists(styleFile("ab")) && fs::exists(styleFile("a?")));
    EXPECT_EQ(names(), (Items{"a?", "ab"}));
}

TEST_F(SavedStylesTest, MissingStylesFolderIsCreatedAndFailuresAreReported)
{
    fs::remove_all(dir.path() / "Styles");
    ownerSays("!sstyle Fresh");
    EXPECT_EQ(last().line, defaultReply(" Style <u>Fresh</U> saved! "));
    EXPECT_TRUE(fs::exists(styleFile("Fresh")));

    const std::string tooLong(300, 'x');
    ownerSays("!sstyle " + tooLong);
    EXPECT_EQ(last().line, defaultReply(" Style <u>" + tooLong + "</U> could not be saved! "));
    fs::remove_all(dir.path() / "Styles");
    test::writeBytes(dir.file("Styles"), "not a folder");
    ownerSays("!sstyle Lost");
    EXPECT_EQ(last().line, defaultReply(" Style <u>Lost</U> could not be saved! "));
    EXPECT_EQ(test::readBytes(index()), "Fresh\r\n");

    // The index entry stays, but a style whose file is gone does not wipe the current one.
    ownerSays("!lstyle fresh");
    EXPECT_EQ(last().line, defaultReply(" Style <u>fresh</U> could not be read! "));
    EXPECT_EQ(bot->style.tc, "abcdef");
}

// What a kill in the middle of "sstyle" or "rstyle" leaves, and what the next start makes of it.
struct Interrupted {
    const char* left; // the file in Styles/
    bool listed;      // whether Styles.txt names Blue
    bool styleAfter;  // whether Styles/Blue.ini is there after the start
};

class InterruptedChangeTest : public ::testing::TestWithParam<Interrupted> {};

TEST_P(InterruptedChangeTest, TheNextStartCompletesItAsTheIndexSays)
{
    test::TestDir dir;
    test::writeBytes(dir.file(std::string("Styles/") + GetParam().left), "[Ascii]\r\nTEXT COLOR=ff0000\r\n");
    test::writeBytes(dir.file("Styles.txt"), GetParam().listed ? "Blue\r\n" : "");
    ASSERT_EQ(prepareProgramDir(dir.path()), "");
    EXPECT_EQ(fs::exists(dir.file("Styles/Blue.ini")), GetParam().styleAfter);
    if (GetParam().styleAfter) {
        EXPECT_EQ(readSetting("Ascii", "text color", dir.file("Styles/Blue.ini")), "ff0000");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "Styles"), {}), GetParam().styleAfter ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Kills, InterruptedChangeTest,
                         ::testing::Values(Interrupted{"Blue.ini.new", true, true},      // saved: file goes in place
                                           Interrupted{"Blue.ini.new", false, false},    // not saved yet: stale
                                           Interrupted{"Blue.ini.removed", true, true},  // not removed yet: back
                                           Interrupted{"Blue.ini.removed", false, false} // removed: gone
                                           ));

TEST_F(SavedStylesTest, SaveAndRemoveLeaveNothingBesideTheStyleFiles)
{
    ownerSays("!sstyle Blue");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "Styles"), {}), 1);
    ownerSays("!rstyle blue");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "Styles"), {}), 0);
    EXPECT_EQ(test::readBytes(index()), "");
}

} // namespace
} // namespace tavu
