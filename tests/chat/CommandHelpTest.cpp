#include "chat/CommandHelp.h"
#include "support/SimRuntimeFixture.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace tavu::test {
namespace {

// The words of the list bodies, without the group titles and the closing note.
std::vector<std::string> listedWords(const std::vector<std::string>& bodies, std::string_view trig)
{
    std::set<std::string> skip{"Commands", "Commands:", "after",   "[" + std::string(trig) + "]:",
                               "|",        "-",         "WORD",    "tells",
                               "what",     "one",       "does",    "Play",
                               "mode:",    "Saved",     "styles:", std::string(trig) + "help"};
    for (const HelpGroup& group : helpGroups())
        skip.insert(std::string(group.title) + ":");
    std::vector<std::string> words;
    for (const std::string& body : bodies) {
        std::istringstream in(body);
        for (std::string word; in >> word;)
            if (!skip.contains(word))
                words.push_back(word);
    }
    return words;
}

std::vector<std::string> wordsByGroup(std::span<const Command> table)
{
    std::vector<std::string> words;
    for (const HelpGroup& group : helpGroups())
        for (const Command& command : table)
            if (command.group == group.group)
                words.emplace_back(command.word);
    return words;
}

// Fails for a command added to the table without its help.
TEST(CommandHelp, EveryCommandOfTheTableHasItsGroupAndDescription)
{
    for (const Command& command : chatCommands()) {
        EXPECT_NE(command.group, CommandGroup::Unlisted) << command.word;
        EXPECT_FALSE(command.description.empty()) << command.word;
    }
    EXPECT_EQ(wordsByGroup(chatCommands()).size(), chatCommands().size());
}

TEST(CommandHelp, TheListNamesEveryWordInAtMostThreeLines)
{
    for (const std::string trig : {"!", "", "tavu."}) {
        const auto bodies = helpListBodies(chatCommands(), trig);
        EXPECT_GE(bodies.size(), 2u);
        EXPECT_LE(bodies.size(), 3u);
        for (const std::string& body : bodies)
            EXPECT_TRUE(body.starts_with(' ') && body.ends_with(' ')) << body;
        auto words = listedWords(bodies, trig);
        if (trig.empty()) // the note names "help" bare, like the word itself
            std::erase(words, "help"), words.push_back("help");
        auto expected = wordsByGroup(chatCommands());
        if (trig.empty())
            std::erase(expected, "help"), expected.push_back("help");
        EXPECT_EQ(words, expected) << trig;
    }
    EXPECT_TRUE(helpListBodies(chatCommands(), "!").front().starts_with(" Commands after [!]: Player: play stop "));

    // A longer table still fits in three lines.
    std::vector<Command> longer(chatCommands().begin(), chatCommands().end());
    for (const char* word : {"rewind", "shuffle", "queue", "volume", "balance", "lyrics", "skip"})
        longer.push_back({word, nullptr, CommandGroup::Player, "", "x"});
    EXPECT_LE(helpListBodies(longer, "!").size(), 3u);
}

struct WordCase {
    const char* typed;
    const char* body;
};

class HelpWordTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(HelpWordTest, OneLineOnTheWord)
{
    EXPECT_EQ(helpWordBody(chatCommands(), "!", GetParam().typed), GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(
    Words, HelpWordTest,
    ::testing::Values(WordCase{"vol", " !vol LEVEL - sets the volume, 0 to 100 "},
                      WordCase{"!VOL", " !vol LEVEL - sets the volume, 0 to 100 "},
                      WordCase{"  tc?  ", " !tc? - tells the colour of the reply text "},
                      WordCase{"help", " !help [WORD] - lists the commands in the chat, or tells what one does "},
                      WordCase{"trig", " trig X - sets the trigger to X; typed without any trigger "},
                      WordCase{"!!", " No such command [!!] - !help lists them all "},
                      WordCase{"rewind", " No such command [rewind] - !help lists them all "}));

class HelpCommandTest : public BotFixture {
protected:
    HelpCommandTest() { ownerSays("trig !"), takeLines(); }
};

TEST_F(HelpCommandTest, AnswersTheOwnerWithTheListOrOneWord)
{
    // A settings file without the queue lists the commands it has.
    std::vector<Command> older;
    for (const Command& command : chatCommands())
        if (command.group != CommandGroup::Queue)
            older.push_back(command);
    std::vector<std::string> list;
    for (const std::string& body : helpListBodies(older, "!"))
        list.push_back(defaultReply(body));
    std::vector<std::string> withQueue;
    for (const std::string& body : helpListBodies(chatCommands(), "!"))
        withQueue.push_back(defaultReply(body));
    bot->settings().write(keys::QueueEnabled, "1");
    ownerSays("!help");
    EXPECT_EQ(takeLines(), withQueue);
    bot->settings().write(keys::QueueEnabled, "0");
    ownerSays("!help");
    EXPECT_EQ(takeLines(), list);
    ownerSays("!HELP   ");
    EXPECT_EQ(takeLines(), list);
    ownerSays("!help vol");
    EXPECT_EQ(takeLines(), std::vector<std::string>{defaultReply(" !vol LEVEL - sets the volume, 0 to 100 ")});
    ownerSays("!help vol and more");
    EXPECT_EQ(takeLines().size(), 1u);
    say("Stranger", "!help");
    EXPECT_TRUE(takeLines().empty());
}

} // namespace
} // namespace tavu::test
