#include "chat/CommandHelp.h"
#include "settings/ProfileFile.h"
#include "support/SimRuntimeFixture.h"
#include "util/Text.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace tavu {
namespace {

// What the commands of the test table were given.
std::vector<std::string> ran;

template <const char* Word>
void record(Bot&, const std::string& arg)
{
    ran.push_back(std::string(Word) + ":" + arg);
}
constexpr char kStop[] = "stop";
constexpr char kVol[] = "vol";
constexpr char kPlay[] = "play";
constexpr Command kRecording[] = {{"play", record<kPlay>}, {"stop", record<kStop>}, {"vol", record<kVol>}};

class DispatcherTest : public test::BotFixture {
protected:
    DispatcherTest()
    {
        // Three commands that record what they were given.
        bot.reset();
        bot = std::make_unique<Bot>(runtime, room, dir.str(), services(), kRecording);
        bot->startChat();
        bot->trig = "!";
        ran.clear();
    }
};

TEST_F(DispatcherTest, ObeysOnlyTheOwner)
{
    ownerSays("!stop");
    say("Stranger", "!stop");
    say("owner", "!stop"); // the owner's name in another case is somebody else
    ownerSays("!STOP");
    EXPECT_EQ(ran, (std::vector<std::string>{"stop:!stop", "stop:!STOP"}));
    EXPECT_TRUE(room.sent.empty());
}

TEST_F(DispatcherTest, LowerCasesTheWordButNotTheArgument)
{
    ownerSays("!VOL 40");
    ownerSays("!vol  40");
    ownerSays("!vol ");
    ownerSays("!play");
    ownerSays("!play Blue Sky  ");
    EXPECT_EQ(ran, (std::vector<std::string>{"vol:40", "vol: 40", "vol:", "play:!play", "play:Blue Sky  "}));
}

TEST_F(DispatcherTest, WholeWordsOnly)
{
    for (const char* line : {"! stop", "!stopp", "!vol40", "stop", "!!stop", "!sto"})
        ownerSays(line);
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(room.sent.empty());
}

TEST_F(DispatcherTest, TriggerCommandSetsStoresAndAnnounces)
{
    ownerSays("trig ?");
    EXPECT_EQ(bot->trig, "?");
    EXPECT_EQ(readSetting("Settings", "Trig", settingsPath()), "?");
    EXPECT_NE(test::readBytes(settingsPath()).find("[Settings]\r\nTRIG=?\r\n"), std::string::npos);
    ASSERT_EQ(room.sent.size(), 1u);
    EXPECT_EQ(room.sent[0].line, defaultReply(" Trig Is Now [?] "));
    EXPECT_FALSE(room.sent[0].raw);
    ownerSays("?stop");
    ownerSays("!stop");
    EXPECT_EQ(ran, (std::vector<std::string>{"stop:?stop"}));
}

struct TriggerCase {
    const char* line;
    const char* trigger;
};

class TriggerLineTest : public DispatcherTest, public ::testing::WithParamInterface<TriggerCase> {};

TEST_P(TriggerLineTest, NewTriggerIsTheLineWithoutTrigBlank)
{
    ownerSays(GetParam().line);
    EXPECT_EQ(bot->trig, GetParam().trigger);
    ASSERT_EQ(room.sent.size(), 1u);
    EXPECT_EQ(room.sent[0].line, defaultReply(std::string(" Trig Is Now [") + GetParam().trigger + "] "));
    EXPECT_TRUE(ran.empty()) << "a trigger line never runs a command";
}

INSTANTIATE_TEST_SUITE_P(Lines, TriggerLineTest,
                         ::testing::Values(TriggerCase{"trig !", "!"}, TriggerCase{"Trig ?", "?"},
                                           TriggerCase{"TRIG stop", "stop"}, TriggerCase{"trig", "trig"},
                                           TriggerCase{"trig ", ""}, TriggerCase{"trigger", "trigger"},
                                           TriggerCase{"trig a b", "a b"}, TriggerCase{"trig trig x", "x"},
                                           TriggerCase{"trig !stop", "!stop"}));

TEST_F(DispatcherTest, EmptyTriggerMakesBareWordsCommands)
{
    ownerSays("trig ");
    ownerSays("stop");
    ownerSays("vol 40");
    EXPECT_EQ(ran, (std::vector<std::string>{"stop:stop", "vol:40"}));
}

TEST_F(DispatcherTest, ATriggerOfOnlyBlanksIsRefused)
{
    for (const char* line : {"trig  ", "trig    ", "TRIG \t", "trig  \t "}) {
        ownerSays(line);
        EXPECT_EQ(bot->trig, "!") << line;
    }
    EXPECT_EQ(readSetting("Settings", "Trig", settingsPath()), "");
    EXPECT_EQ(takeLines(),
              std::vector<std::string>(4, defaultReply(" Please choose a trigger that is not only blanks ")));
    ownerSays("stop");
    ownerSays("!stop");
    EXPECT_EQ(ran, (std::vector<std::string>{"stop:!stop"})) << "the old trigger is still the one in effect";
}

TEST_F(DispatcherTest, UpperCaseTriggerMatchesAsTheFullCommandLowerCased)
{
    bot->trig = "X";
    ownerSays("xstop");
    ownerSays("XSTOP");
    EXPECT_EQ(ran.size(), 2u);
}

TEST_F(DispatcherTest, StrangersCannotChangeTheTrigger)
{
    say("Stranger", "trig ?");
    say("", "trig ?");
    EXPECT_EQ(bot->trig, "!");
    EXPECT_TRUE(room.sent.empty());
    EXPECT_EQ(readSetting("Settings", "Trig", settingsPath()), "");
}

TEST_F(DispatcherTest, NobodySignedOnObeysNobody)
{
    room.setOwner("");
    say("", "!stop");
    say("", "trig ?");
    say("Someone", "!stop");
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(room.sent.empty());
}

TEST_F(DispatcherTest, StoppedScannerHearsNothing)
{
    bot->commandScanner.stopScan();
    ownerSays("!stop");
    room.ownerSays("!stop");
    bot->commandScanner.startScan(); // a line that appeared while stopped is not reported later
    runtime.drain();
    EXPECT_TRUE(ran.empty());
}

TEST_F(DispatcherTest, TriggerSurvivesARestart)
{
    ownerSays("trig ?");
    Bot again(runtime, room, dir.str(), services(), kRecording);
    again.startChat();
    EXPECT_EQ(again.trig, "?");
}

// Every word of the table reaches its own row (a second row with the same word would never run),
// has a handler, and is told by the help with what it does, unless it is kept out of the help.
TEST(DispatcherTable, EveryWordReachesItsRowAndIsToldByTheHelp)
{
    const auto table = chatCommands();
    std::set<std::string> told; // the words of the help's list
    for (const std::string& body : helpListBodies(table, "!"))
        for (std::istringstream words(body); !words.eof();) {
            std::string word;
            words >> word;
            told.insert(word);
        }
    for (const Command& command : table) {
        EXPECT_EQ(findCommand(table, command.word), &command) << command.word;
        EXPECT_NE(command.run, nullptr) << command.word;
        EXPECT_FALSE(command.word.empty());
        EXPECT_EQ(toLower(std::string(command.word)), command.word) << "lines are lower-cased before the look-up";
        if (command.group == CommandGroup::Unlisted)
            continue;
        EXPECT_FALSE(command.description.empty()) << command.word;
        EXPECT_TRUE(told.contains(std::string(command.word))) << command.word << " is not in the help's list";
        EXPECT_NE(helpWordBody(table, "!", command.word).find(command.description), std::string::npos) << command.word;
    }
    EXPECT_EQ(findCommand(table, "nosuch"), nullptr);
}

} // namespace
} // namespace tavu
