#include "settings/ListFile.h"
#include "support/SimRuntime.h"
#include "support/TestDir.h"
#include "util/ListBox.h"
#include "util/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tavu {
namespace {

using Items = std::vector<std::string>;

TEST(ListFile, ReadsTheWindowsEraIndexIntoTheListWithoutClearingIt)
{
    ListBox list;
    list.addItem("kept");
    ASSERT_TRUE(loadListFile(test::samplePath("Styles.txt"), list));
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
    ASSERT_TRUE(saveListFile(path, saved));
    ListBox loaded;
    ASSERT_TRUE(loadListFile(path, loaded));
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
    ASSERT_TRUE(saveListFile(path, ListBox()));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(test::readBytes(path), "");

    ListBox list;
    list.addItem("kept");
    EXPECT_FALSE(loadListFile(dir.file("missing.txt"), list));
    EXPECT_EQ(list.items(), Items{"kept"});
    EXPECT_FALSE(saveListFile(dir.file("no/such/folder/Styles.txt"), list));
}

TEST(ListFile, ALongFileGivesASortedListItsItemsAtOnce)
{
    test::TestDir dir;
    const std::string path = dir.file("Styles.txt");
    Items names;
    for (int i = 20000; i > 0; --i)
        names.push_back((i % 2 ? "style " : "Style ") + std::to_string(i));
    test::writeBytes(path, formatListFile(names));

    ListBox sorted(true);
    int changes = 0;
    const auto following = sorted.itemsChanged.subscribe([&] { ++changes; });
    ASSERT_TRUE(loadListFile(path, sorted));
    EXPECT_EQ(changes, 1) << "all items at once, not one by one";
    EXPECT_TRUE(std::is_sorted(sorted.items().begin(), sorted.items().end(),
                               [](const std::string& a, const std::string& b) { return compareNoCase(a, b) < 0; }));

    ListBox plain;
    ASSERT_TRUE(loadListFile(path, plain));
    EXPECT_EQ(plain.items(), names) << "an unsorted list keeps the file's order";
}

TEST(ListFile, SortingOnceGivesTheOrderOfInsertingOneByOne)
{
    // Letter case, Latin-1 letters, equal names in other cases and duplicates.
    const Items words{"b", "B",  "\u00e9t\u00e9", "\u00c9T\u00c9", "a", "A", "\u00e4", "z", "Zz", "a",
                      "",  " x", "\u0161",        "\u0160"};
    Items names;
    for (std::size_t i = 0; i < 3000; ++i)
        names.push_back(words[i * 7 % words.size()] + words[i * 13 % words.size()] + words[i % 5]);
    ListBox oneByOne(true);
    for (const std::string& name : names)
        oneByOne.addItem(name);
    EXPECT_EQ(sortNoCase(names), oneByOne.items());

    ListBox merged(true);
    for (std::size_t i = 0; i < 1000; ++i)
        merged.addItem(names[i]);
    merged.select(10);
    const std::string selected = merged.selectedText();
    merged.addSortedItems(sortNoCase(Items(names.begin() + 1000, names.end())));
    EXPECT_EQ(merged.items(), oneByOne.items()) << "added in one pass where addItem would have put each";
    EXPECT_EQ(merged.selectedText(), selected) << "the selection stays on its item";
}

} // namespace
} // namespace tavu
