#include "util/Text.h"
#include "util/Utf8.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

struct ReplaceCase {
    std::string text, search, replacement, expected;
};

class ReplaceTextTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTextTest, ReplacesEveryOccurrenceWithoutRegardToCase)
{
    const ReplaceCase& c = GetParam();
    std::string text = c.text;
    EXPECT_EQ(replaceText(text, c.search, c.replacement), c.expected);
    EXPECT_EQ(text, c.expected) << "the text argument holds the result too";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceTextTest,
    ::testing::Values(ReplaceCase{"Song.MP3 and song.mp3", "mp3", "", "Song. and song."},
                      ReplaceCase{"aaa", "a", "aa", "aaaaaa"}, // the replacement is never searched again
                      ReplaceCase{"Blue Sky", "zzz", "x", "Blue Sky"},
                      ReplaceCase{"Blue Sky", "", "x", "Blue Sky"}, // an empty search returns the text
                      ReplaceCase{"blue sky.mp3", "BLUE", "<u>BLUE</U>", "<u>BLUE</U> sky.mp3"},
                      ReplaceCase{"trig trig !", "trig ", "", "!"},
                      ReplaceCase{"Ärger ÄRGER", "ärger", "x", "x x"},       // Latin-1 letters
                      ReplaceCase{"ŠKODA škoda", "škoda", "car", "car car"}, // Š of Windows-1252
                      ReplaceCase{"Привет мир", "ПРИВЕТ", "hi", "hi мир"},   // beyond Latin
                      ReplaceCase{"x\xff.MP3", ".mp3", "", "x\xff"}));       // bytes that are not UTF-8 survive

TEST(Text, TitleDropsEveryMp3WhateverTheCase)
{
    EXPECT_EQ(titleOf("Intro.MP3"), "Intro");
    EXPECT_EQ(titleOf("a.mp3.mp3"), "a");
    EXPECT_EQ(titleOf("notes.txt"), "notes.txt");
}

TEST(Text, LeadingNumberReadsLikeVal)
{
    EXPECT_EQ(leadingNumber("12"), 12);
    EXPECT_EQ(leadingNumber("  40  "), 40);
    EXPECT_EQ(leadingNumber("13abc"), 13);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("40.5"), 40.5);
    EXPECT_EQ(leadingNumber("-3"), -3);
    EXPECT_EQ(leadingNumber("1e3"), 1000);
    EXPECT_EQ(leadingNumber("1e999"), 0) << "an overflow is not a number";
}

TEST(Text, RoundsHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-1487.5), -1488);
    EXPECT_EQ(roundHalfEven(59.6), 60);
    EXPECT_EQ(roundHalfEven(59.4), 59);
}

TEST(Text, CaseInsensitiveComparisons)
{
    EXPECT_TRUE(startsWithNoCase("TRIG !", "trig"));
    EXPECT_TRUE(startsWithNoCase("Trigger", "trig"));
    EXPECT_FALSE(startsWithNoCase("tri", "trig"));
    EXPECT_TRUE(equalsNoCase("ÉTÉ", "été"));
    EXPECT_TRUE(containsNoCase("Blue Sky.mp3", "SKY"));
    EXPECT_LT(compareNoCase("a.mp3", "B.mp3"), 0);
    EXPECT_GT(compareNoCase("b.mp3", "A.mp3"), 0);
    EXPECT_EQ(toUpper("trig"), "TRIG");
}

TEST(Utf8, InvalidBytesRoundTrip)
{
    const std::string bytes = "ok \xc3\xa9 bad \xff\xfe end \xe2\x82";
    EXPECT_FALSE(isValidUtf8(bytes));
    EXPECT_EQ(encodeUtf8(decodeUtf8(bytes)), bytes);
    EXPECT_EQ(utf8Length("\xc2\xb2x"), 2u);
    EXPECT_EQ(utf8Left("\xc2\xb2\xc2\xa7x", 1), "\xc2\xb2") << "never cuts a character in two";
}

} // namespace
} // namespace tavu
