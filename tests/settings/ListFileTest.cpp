#include "settings/ListFile.h"
#include "bot/ListBox.h"
#include "support/TestDir.h"
#include "util/SimRuntime.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavu {
namespace {

using Items = std::vector<std::string>;

TEST(ListFile, ReadsTheWindowsEraIndexIntoTheListWithoutClearingIt)
{
    ListBox list;
    list.addItem("kept");
    ASSERT_TRUE(LoadListFile(test::samplePath("Styles.txt"), list, nullptr));
    EXPECT_EQ(list.items(), (Items{"kept", "Blue", "blueish", "Night, late", "a", "b", "Sunny"}));
}

struct OldBytes {
    const char* name;
    std::string bytes;
    Items items;
};

class ListFileReading : public ::testing::TestWithParam<OldBytes> {};

TEST_P(ListFileReading, FollowsTheSequentialFieldRules)
{
    EXPECT_EQ(parseListFile(GetParam().bytes), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    OldFiles, ListFileReading,
    ::testing::Values(OldBytes{"Empty", "", {}}, OldBytes{"OneBlankLine", "\r\n", {""}},
                      OldBytes{"UnquotedCommaSplits", "a,b\r\n", {"a", "b"}},
                      OldBytes{"CommaBeforeLineEnd", "a,\r\nb", {"a", "", "b"}},
                      OldBytes{"LeadingBlanksSkippedTrailingKept", "  Sunny \r\n", {"Sunny "}},
                      OldBytes{"QuotedKeepsComma", "\"Night, late\"\r\n", {"Night, late"}},
                      OldBytes{"QuotedKeepsBlanksAndLineEnds", "\" a\r\nb \"\r\nz", {" a\r\nb ", "z"}},
                      OldBytes{"TextAfterClosingQuoteDropped", "\"q\" tail,next", {"q", "next"}},
                      OldBytes{"UnterminatedQuoteRunsToTheEnd", "x\r\n\"open,end", {"x", "open,end"}},
                      OldBytes{"QuoteInsideUnquotedField", "say \"hi\"\r\n", {"say \"hi\""}},
                      OldBytes{"BareLineEnds", "one\ntwo\rthree", {"one", "two", "three"}},
                      OldBytes{"Windows1252Bytes", "\xAB\xB7\xBB\r\n\x80uro\r\n", {"\u00AB\u00B7\u00BB", "\u20ACuro"}}),
    [](const auto& row) { return std::string(row.param.name); });

class ListFileRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(ListFileRoundTrip, GivesBackExactlyTheSavedItems)
{
    test::TestDir dir;
    const std::string path = dir.file("Styles.txt");
    ListBox saved;
    for (const std::string& item : {std::string("before"), GetParam(), std::string("after")})
        saved.addItem(item);
    ASSERT_TRUE(SaveListFile(path, saved));
    ListBox loaded;
    ASSERT_TRUE(LoadListFile(path, loaded, nullptr));
    EXPECT_EQ(loaded.items(), saved.items());
}

INSTANTIATE_TEST_SUITE_P(NastyNames, ListFileRoundTrip,
                         ::testing::Values("Night, late", "  leading", "trailing  ", " ", "", ",", "\"", "\"\"",
                                           "\"quoted\"", "say \"hi\", then", "a\"\"b\"", "two\r\nlines", "cr\ronly",
                                           "tab\tname", std::string("nul\0inside", 10), "\u00B2\u00A7 mixed \u20AC",
                                           "\u041D\u043E\u0447\u044C", "\u65E5\u672C \u00B2",
                                           "\u00C3\u00A9" /* Latin-1 text whose bytes look like UTF-8 */));

TEST(ListFile, WritesPlainItemsAsOlderVersionsDidAndQuotesOnlyWhenNeeded)
{
    EXPECT_EQ(formatListFile({"Blue", "Bl\u00B2", "\u041D\u043E\u0447\u044C", "Night, late", "", "a\"b"}),
              "Blue\r\nBl\xB2\r\n\xD0\x9D\xD0\xBE\xD1\x87\xD1\x8C\r\n\"Night, late\"\r\n\"\"\r\n\"a\"\"b\"\r\n");
}

TEST(ListFile, EmptyListLeavesAnEmptyFileAndMissingFilesChangeNothing)
{
    test::TestDir dir;
    const std::string path = dir.file("Styles.txt");
    test::writeBytes(path, "old\r\n");
    ASSERT_TRUE(SaveListFile(path, ListBox()));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(test::readBytes(path), "");

    ListBox list;
    list.addItem("kept");
    EXPECT_FALSE(LoadListFile(dir.file("missing.txt"), list, nullptr));
    EXPECT_EQ(list.items(), Items{"kept"});
    EXPECT_FALSE(SaveListFile(dir.file("no/such/folder/Styles.txt"), list));
}

TEST(ListFile, PendingEventsRunBetweenItemsAndSortedListsSort)
{
    test::TestDir dir;
    const std::string path = dir.file("Styles.txt");
    test::writeBytes(path, "zeta\r\nAlpha\r\nbeta\r\n");
    SimRuntime runtime;
    ListBox list(true);
    std::vector<std::size_t> seen;
    runtime.post([&] { seen.push_back(list.count()); });
    const auto following = list.itemsChanged.subscribe([&] {
        if (list.count() == 1)
            runtime.post([&] { seen.push_back(list.count()); });
    });
    ASSERT_TRUE(LoadListFile(path, list, &runtime));
    EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1})) << "an event runs before each item is added";
    EXPECT_EQ(list.items(), (Items{"Alpha", "beta", "zeta"}));

    runtime.post([&] { seen.push_back(99); });
    ASSERT_TRUE(LoadListFile(path, list, nullptr));
    EXPECT_EQ(seen.size(), 2u) << "without a runtime nothing runs";
}

} // namespace
} // namespace tavu
