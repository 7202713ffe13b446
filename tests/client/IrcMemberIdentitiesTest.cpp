#include "client/IrcMemberIdentities.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

struct Step {
    const char* line;     // from the server
    bool said;            // a channel line the bot hears (sender: the nick)
    const char* identity; // of that sender afterwards, when said
};

// Lines in order, through one table: what each channel line's sender is taken for.
TEST(IrcMemberIdentitiesTest, AccountsComeFromTagsJoinsAndLoginsElseTheFullMask)
{
    const Step steps[] = {
        {":ann!a@h1 PRIVMSG #c :hi", true, "ann!a@h1"},
        {"@account=ann :ann!a@h1 PRIVMSG #c :hi", true, "account:ann"},
        {"@account=* :ann!a@h1 PRIVMSG #c :hi", true, "ann!a@h1"},
        {":bob!b@h2 JOIN #c bobacct :Bob", false, ""},
        {":bob!b@h2 PRIVMSG #c :hi", true, "account:bobacct"},
        {":BOB!b@h2 NICK :robert", false, ""},
        {":robert!b@h2 PRIVMSG #c :hi", true, "account:bobacct"},
        {":robert!b@h2 ACCOUNT *", false, ""},
        {":robert!b@h2 PRIVMSG #c :hi", true, "robert!b@h2"},
        {":robert!b@h2 ACCOUNT bobacct", false, ""},
        {":robert!b@h2 QUIT :bye", false, ""},
        {":robert!x@evil PRIVMSG #c :hi", true, "robert!x@evil"}, // the nick again, not the account
        {":cy!c@h3 JOIN #c * :Cy", false, ""},
        {":cy!c@h3 PRIVMSG #c :hi", true, "cy!c@h3"},
        {":op!o@h KICK #c cy :out", false, ""},
    };
    IrcMemberIdentities who;
    const IrcCaseMapping mapping;
    for (const Step& step : steps) {
        const auto message = IrcMessage::parse(step.line);
        ASSERT_TRUE(message) << step.line;
        who.track(*message, mapping);
        if (step.said) {
            who.heard(message->nick, *message, true, mapping);
            EXPECT_EQ(who.identity(message->nick), step.identity) << step.line;
        }
    }
    EXPECT_EQ(who.identity("nobody"), "");
    // A server without account tags: the tag is not believed.
    const auto tagged = IrcMessage::parse("@account=ann :eve!e@h9 PRIVMSG #c :hi");
    who.heard("eve", *tagged, false, mapping);
    EXPECT_EQ(who.identity("eve"), "eve!e@h9");
}

// Who is in the channel, line by line: the count after each line from the server.
TEST(IrcMemberIdentitiesTest, CountsWhoIsInTheChannel)
{
    const std::pair<const char*, std::size_t> steps[] = {
        {":srv 353 tavu = #c :tavu @Op +v!v@h", 3}, // multi-prefix and userhost-in-names
        {":srv 353 tavu = #other :x y z", 3},       // another channel's list
        {":srv 353 tavu = #C :@%ann", 4},           // the same channel in other letters
        {":srv 366 tavu #c :End of /NAMES list.", 4},
        {":bob!b@h JOIN #c", 5},
        {":bob!b@h JOIN #other", 5},
        {":BOB!b@h NICK :robert", 5},
        {":robert!b@h PART #other :bye", 5},
        {":robert!b@h PART #c :bye", 4},
        {":op!o@h KICK #c ANN :out", 3},
        {":v!v@h QUIT :gone", 2},
        {":nobody!n@h QUIT :gone", 2},
        {":srv 353 tavu = #c :tavu op", 2}, // the list after a rejoin starts afresh
        {":srv 353 tavu = #c :new", 3},     // and goes on to its end
    };
    IrcMemberIdentities who("#c");
    const IrcCaseMapping mapping;
    for (const auto& [line, count] : steps) {
        const auto message = IrcMessage::parse(line);
        ASSERT_TRUE(message) << line;
        who.track(*message, mapping);
        EXPECT_EQ(who.present(), count) << line;
    }
    EXPECT_TRUE(who.isPresent("OP", mapping));
    EXPECT_FALSE(who.isPresent("robert", mapping));
}

} // namespace
} // namespace tavu
