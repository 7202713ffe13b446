#include "style/Style.h"
#include "settings/ProfileFile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace tavu {
namespace {

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

TEST(Style, DefaultReplyIsByteExact)
{
    test::TestDir dir;
    Style style;
    style.loadStyle(dir.file("Tavu.ini"));
    const std::string expected = "<font face=\"webdings\"><font  color=#0080FF>\xC2\xB2"
                                 "<font face=\"arial narrow\"><font color=#abcdef>"
                                 " Tavu "
                                 "<font face=\"wingdings\"><font color=#0080FF>\xC2\xA7"
                                 "<font face=\"arial narrow\"><font color=#abcdef>"
                                 " Player Stopped! "
                                 "<font face=\"webdings\"><font  color=#0080FF>\xC2\xB2";
    const std::string line = style.composeReply(" Tavu ", " Player Stopped! ");
    EXPECT_EQ(line, expected);
    EXPECT_EQ(count(line, "<font  color="), 2u);
    EXPECT_EQ(count(line, "<font color="), 3u);
}

TEST(Style, TextColourAppearsInFrontAndMiddlePiecesOnly)
{
    test::TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    ASSERT_TRUE(writeSetting("Ascii", "text color", "ff0000", ini));
    Style style;
    style.loadStyle(ini);
    EXPECT_EQ(count(style.composeReply(" Tavu ", " x "), "ff0000"), 2u);
    EXPECT_EQ(count(style.bascii(), "ff0000"), 0u);
}

TEST(Style, StoredValuesWinAndEmptyOnesGetDefaults)
{
    test::TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    ASSERT_TRUE(writeSetting("Ascii", "front ascii", "", ini));
    ASSERT_TRUE(writeSetting("Ascii", "middle ascii", "<b>", ini));
    ASSERT_TRUE(writeSetting("Ascii", "back ascii color", "not a colour", ini));
    Style style;
    style.loadStyle(ini);
    EXPECT_EQ(style.fa, "\u00B2");
    EXPECT_EQ(style.ma, "<b>") << "nothing is escaped";
    EXPECT_NE(style.mascii().find("0080FF><b><font face"), std::string::npos);
    EXPECT_EQ(style.bac, "not a colour") << "stored values are not checked at start-up";
    EXPECT_EQ(readSetting("Ascii", "front ascii", ini), "") << "defaults are not written back";
}

TEST(Style, EmptyValuesGoIntoThePiecesAsEmptyStrings)
{
    Style style;
    style.BuildStylePieces();
    EXPECT_EQ(style.fascii(), "<font face=\"\"><font  color=#><font face=\"\"><font color=#>");
    EXPECT_EQ(style.bascii(), "<font face=\"\"><font  color=#>");
}

TEST(Style, ReadsTheWindowsEraSample)
{
    Style style;
    style.loadStyle(test::samplePath("Tavu.ini"));
    EXPECT_EQ(style.fac, "ff0000");
    EXPECT_EQ(style.tc, "abcdef");
    EXPECT_EQ(style.tf, "arial narrow");
    EXPECT_EQ(style.ba, "\u00B2");
    EXPECT_EQ(style.maf, "wingdings");
}

} // namespace
} // namespace tavu
