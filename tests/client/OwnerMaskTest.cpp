#include "client/OwnerMask.h"
#include "client/IrcCaseMapping.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

const IrcCaseMapping kRfc1459;
const std::optional<std::string> kNoAccount;

TEST(IrcCaseMapping, FoldsAsTheServerSays)
{
    EXPECT_TRUE(kRfc1459.equals("Boss[]\\~", "boss{}|^"));
    const auto strict = IrcCaseMapping::fromToken("strict-rfc1459");
    EXPECT_TRUE(strict.equals("A[]\\", "a{}|"));
    EXPECT_FALSE(strict.equals("a~", "a^"));
    const auto ascii = IrcCaseMapping::fromToken("ascii");
    EXPECT_TRUE(ascii.equals("TAVU", "tavu"));
    EXPECT_FALSE(ascii.equals("a[", "a{"));
    EXPECT_FALSE(ascii.equals("tavu", "tavu_"));
    // A mapping nobody here knows compares as narrowly as possible.
    EXPECT_EQ(IrcCaseMapping::fromToken("rfc7613").kind(), IrcCaseMapping::Kind::Ascii);
    EXPECT_EQ(IrcCaseMapping::fromToken("RFC1459").kind(), IrcCaseMapping::Kind::Rfc1459);
}

TEST(OwnerMask, ReadsShortFormsAndNamesTheOwner)
{
    const std::pair<const char*, const char*> forms[] = {{"boss", "boss!*@*"},
                                                         {"boss!~b", "boss!~b@*"},
                                                         {"~b@home.example", "*!~b@home.example"},
                                                         {" boss!~b@home ", "boss!~b@home"},
                                                         {"!@", "*!*@*"}};
    for (const auto& [text, mask] : forms)
        EXPECT_EQ(OwnerMask::parse(text)->text(), mask) << text;
    EXPECT_FALSE(OwnerMask::parse(""));
    EXPECT_FALSE(OwnerMask::parse("  "));

    EXPECT_EQ(OwnerMask::parse("boss!*@home")->ownerName(), "boss");
    // With a wildcard nick the owner's name is the mask, which no nick can equal.
    EXPECT_EQ(OwnerMask::parse("b*!*@home")->ownerName(), "b*!*@home");
    EXPECT_TRUE(OwnerMask::parse("boss")->needsAccount());
    EXPECT_TRUE(OwnerMask::parse("boss!**@*")->needsAccount());
    EXPECT_FALSE(OwnerMask::parse("boss!*@home")->needsAccount());
}

TEST(OwnerMask, MatchesTheFullPrefixOnly)
{
    const auto mask = *OwnerMask::parse("Boss!~boss@*.home.example");
    EXPECT_TRUE(mask.matches("boss", "~boss", "pc.home.example", kNoAccount, kRfc1459));
    EXPECT_TRUE(mask.matches("BOSS", "~BOSS", "PC.HOME.EXAMPLE", kNoAccount, kRfc1459));
    // The owner's nick from another user or host is somebody else.
    EXPECT_FALSE(mask.matches("boss", "~evil", "pc.home.example", kNoAccount, kRfc1459));
    EXPECT_FALSE(mask.matches("boss", "~boss", "home.example.evil.net", kNoAccount, kRfc1459));
    EXPECT_FALSE(mask.matches("boss_", "~boss", "pc.home.example", kNoAccount, kRfc1459));
    EXPECT_FALSE(mask.matches("boss", "", "", kNoAccount, kRfc1459));
    // Folding follows the server: under ascii, [ and { are different nicks.
    const auto bracket = *OwnerMask::parse("b[ss!u@h");
    EXPECT_TRUE(bracket.matches("b{ss", "u", "h", kNoAccount, kRfc1459));
    EXPECT_FALSE(bracket.matches("b{ss", "u", "h", kNoAccount, IrcCaseMapping(IrcCaseMapping::Kind::Ascii)));
}

TEST(OwnerMask, ANickAloneNeedsTheServicesAccount)
{
    const auto mask = *OwnerMask::parse("boss");
    EXPECT_FALSE(mask.matches("boss", "~boss", "home", kNoAccount, kRfc1459));
    EXPECT_TRUE(mask.matches("boss", "~boss", "home", std::string("Boss"), kRfc1459));
    EXPECT_TRUE(mask.matches("boss_away", "~x", "elsewhere", std::string("boss"), kRfc1459));
    EXPECT_FALSE(mask.matches("boss", "~boss", "home", std::string("eve"), kRfc1459));
    EXPECT_FALSE(mask.matches("boss", "~boss", "home", std::string("*"), kRfc1459));
    EXPECT_FALSE(mask.matches("boss", "~boss", "home", std::string(""), kRfc1459));
    // A wildcard nick never names an account.
    EXPECT_FALSE(OwnerMask::parse("*")->matches("x", "y", "z", std::string("x"), kRfc1459));
    EXPECT_FALSE(OwnerMask::parse("b*!*@*")->matches("bob", "y", "z", std::string("bob"), kRfc1459));
}

// A mask with a user or host part is never bypassed by an account: somebody from another host
// logged in to the owner's account is not the owner. "Owner Account" asks for both.
TEST(OwnerMask, AnAccountNeverStandsInForTheUserAndHost)
{
    struct Row {
        const char* mask;
        const char* ownerAccount;
        const char* nick;
        const char* host;
        std::optional<std::string> account;
        bool obeyed;
    };
    const Row rows[] = {
        {"owner!owner@127.0.0.1", "", "evil", "127.0.0.2", std::string("owner"), false},
        {"owner!owner@127.0.0.1", "", "owner", "127.0.0.2", std::string("owner"), false},
        {"owner!owner@127.0.0.1", "", "owner", "127.0.0.1", kNoAccount, true},
        {"owner!owner@127.0.0.1", "", "owner", "127.0.0.1", std::string("eve"), true},
        // Both: the mask and the account.
        {"owner!owner@127.0.0.1", "Owner", "owner", "127.0.0.1", std::string("owner"), true},
        {"owner!owner@127.0.0.1", "owner", "owner", "127.0.0.1", kNoAccount, false},
        {"owner!owner@127.0.0.1", "owner", "owner", "127.0.0.1", std::string("eve"), false},
        {"owner!owner@127.0.0.1", "owner", "owner", "127.0.0.2", std::string("owner"), false},
        {"owner!owner@127.0.0.1", "owner", "owner", "127.0.0.1", std::string("*"), false},
        // A nick alone with an account named: that account, whatever the nick.
        {"boss", "bossacct", "boss_", "anywhere", std::string("bossacct"), true},
        {"boss", "bossacct", "boss", "anywhere", std::string("boss"), false},
        {"b*", "bossacct", "bob", "anywhere", std::string("bossacct"), true},
    };
    for (const Row& row : rows) {
        const auto mask = OwnerMask::parse(row.mask, row.ownerAccount);
        ASSERT_TRUE(mask);
        EXPECT_EQ(mask->matches(row.nick, row.nick, row.host, row.account, kRfc1459), row.obeyed)
            << row.mask << " / " << row.ownerAccount << " / " << row.nick << "@" << row.host << " "
            << row.account.value_or("(no account)");
    }
    EXPECT_FALSE(OwnerMask::parse("owner!owner@h")->dependsOnAccounts());
    EXPECT_TRUE(OwnerMask::parse("owner!owner@h", "owner")->dependsOnAccounts());
    EXPECT_EQ(OwnerMask::parse("owner!owner@h", " owner ")->account(), "owner");
    EXPECT_EQ(OwnerMask::parse("boss")->account(), "boss");
}

TEST(OwnerMask, GlobMatching)
{
    EXPECT_TRUE(OwnerMask::globMatch("*", ""));
    EXPECT_TRUE(OwnerMask::globMatch("a*b*c", "axxbyyc"));
    EXPECT_FALSE(OwnerMask::globMatch("a*b*c", "axxbyy"));
    EXPECT_TRUE(OwnerMask::globMatch("a?c", "abc"));
    EXPECT_FALSE(OwnerMask::globMatch("a?c", "ac"));
    EXPECT_TRUE(OwnerMask::globMatch("*.example", "pc.home.example"));
    EXPECT_FALSE(OwnerMask::globMatch("*.example", "example"));
    EXPECT_TRUE(OwnerMask::globMatch("**a**", "bab"));
}

} // namespace
} // namespace tavu
