#include "settings/ProfileFile.h"
#include "settings/AtomicFile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace tavu {
namespace {

using test::readBytes;
using test::TestDir;
using test::writeBytes;

TEST(ProfileFile, ReadsAWindowsEraFile)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    std::filesystem::copy_file(test::samplePath("Tavu.ini"), ini);
    struct Row {
        const char *section, *key, *value;
    };
    const Row rows[] = {
        {"Settings", "Trig", "!"},
        {"Settings", "Mp3 Directory", "C:\\My Music\\mp3s"},
        {"Settings", "Handle", "Nickname"},
        {"Settings", "Volume", "40"},
        {"Totals", "Loads", "12"},
        {"Totals", "Mp3s Played", "347"},
        {"Ascii", "front ascii color", "ff0000"},
        {"Ascii", "front ascii", "\u00B2"},
        {"Ascii", "middle ascii", "\u00A7"},
        {"Ascii", "text font", "arial narrow"},
        {"ascii", "TEXT COLOR", "abcdef"},
        {"Ascii", "back ascii", "\u00B2"},
        {"Ascii", "back ascii font", ""},
        {"Nowhere", "Trig", ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ReadSetting(r.section, r.key, ini), r.value) << r.section << "/" << r.key;
}

TEST(ProfileFile, FirstWriteCreatesTheFileWithOneSectionAndOneKey)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    EXPECT_EQ(ReadSetting("Settings", "Trig", ini), "");
    ASSERT_TRUE(WriteSetting("Settings", "trig", "!", ini));
    EXPECT_EQ(readBytes(ini), "[Settings]\r\nTRIG=!\r\n");
    EXPECT_EQ(ReadSetting("Settings", "Trig", ini), "!");
}

TEST(ProfileFile, StoresWindows1252BytesWhereTheyFit)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    ASSERT_TRUE(WriteSetting("Ascii", "front ascii", "\u00B2", ini));
    ASSERT_TRUE(WriteSetting("Ascii", "middle ascii", "\u20AC\u00A7", ini));
    EXPECT_EQ(readBytes(ini), "[Ascii]\r\nFRONT ASCII=\xB2\r\nMIDDLE ASCII=\x80\xA7\r\n");
    EXPECT_EQ(ReadSetting("Ascii", "front ascii", ini), "\u00B2");
    EXPECT_EQ(ReadSetting("Ascii", "middle ascii", ini), "\u20AC\u00A7");
}

TEST(ProfileFile, KeepsEveryOtherValueExactly)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    // Characters beyond Windows-1252, and Windows-1252 text that looks like UTF-8.
    for (const std::string value : {"\u0151\u266B", "\u00C3\u00A9", "plain", "\u00FF\u00FE", "\xff raw"}) {
        ASSERT_TRUE(WriteSetting("Ascii", "text font", value, ini));
        const std::string expected = value == "\xff raw" ? "\u00FF raw" : value;
        EXPECT_EQ(ReadSetting("Ascii", "text font", ini), expected);
    }
}

TEST(ProfileFile, ReadRules)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    ASSERT_TRUE(WriteSetting("Ascii", "front ascii", " ", ini));
    EXPECT_EQ(ReadSetting("Ascii", "front ascii", ini), "") << "a value of one blank reads as empty";
    ASSERT_TRUE(WriteSetting("Settings", "Handle", "\"ab\"", ini));
    EXPECT_EQ(ReadSetting("Settings", "Handle", ini), "ab");
    ASSERT_TRUE(WriteSetting("Settings", "Handle", "\"ab'", ini));
    EXPECT_EQ(ReadSetting("Settings", "Handle", ini), "\"ab'") << "unmatched quotes stay";
    const std::string long800(800, 'x');
    ASSERT_TRUE(WriteSetting("Settings", "Handle", long800, ini));
    EXPECT_EQ(ReadSetting("Settings", "Handle", ini), std::string(749, 'x'));
    ASSERT_TRUE(WriteSetting("Settings", "Handle", std::string(800, 'x') + "\u0151", ini));
    EXPECT_EQ(ReadSetting("Settings", "Handle", ini).size(), 749u);
}

TEST(ProfileFile, ReplacesInPlaceAndAppendsAtTheEndOfTheSection)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    writeBytes(ini, "; comment\r\n[Settings]\r\nTRIG=!\r\nvolume=40\r\n\r\n[Totals]\r\nLOADS=1\r\n");
    ASSERT_TRUE(WriteSetting("settings", "VOLUME", "55", ini));
    ASSERT_TRUE(WriteSetting("Settings", "Handle", "Nick", ini));
    ASSERT_TRUE(WriteSetting("Ascii", "text color", "abcdef", ini));
    EXPECT_EQ(readBytes(ini), "; comment\r\n[Settings]\r\nTRIG=!\r\nvolume=55\r\nHANDLE=Nick\r\n\r\n"
                              "[Totals]\r\nLOADS=1\r\n\r\n[Ascii]\r\nTEXT COLOR=abcdef\r\n");
}

TEST(ProfileFile, UpdatesTheSampleWithoutDisturbingIt)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    std::filesystem::copy_file(test::samplePath("Tavu.ini"), ini);
    const std::string before = readBytes(ini);
    ASSERT_TRUE(WriteSetting("Ascii", "text color", "ff0000", ini));
    std::string expected = before;
    expected.replace(expected.find("text color=abcdef"), 17, "text color=ff0000");
    EXPECT_EQ(readBytes(ini), expected);
}

TEST(ProfileFile, RefusesLineBreaksInsteadOfInjectingKeys)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    ASSERT_TRUE(WriteSetting("Settings", "Handle", "Nick", ini));
    const std::string before = readBytes(ini);
    EXPECT_FALSE(WriteSetting("Settings", "Handle", "x\r\nTRIG=?", ini));
    EXPECT_FALSE(WriteSetting("Settings", "Handle", "x\nVOLUME=0", ini));
    EXPECT_FALSE(WriteSetting("Settings", "Handle", std::string("a\0b", 3), ini));
    EXPECT_FALSE(WriteSetting("Settings]\r\n[x", "Handle", "y", ini));
    EXPECT_EQ(readBytes(ini), before);
}

TEST(ProfileFile, UnwritableFileLosesTheWriteQuietly)
{
    TestDir dir;
    EXPECT_FALSE(WriteSetting("Settings", "Trig", "!", dir.file("missing/dir/Tavu.ini")));
    EXPECT_EQ(ReadSetting("Settings", "Trig", dir.file("missing/dir/Tavu.ini")), "");
    // No temporary files are left behind.
    ASSERT_TRUE(WriteSetting("Settings", "Trig", "!", dir.file("Tavu.ini")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A settings file its user made read-only keeps its bytes and its mode, also for the superuser.
class ReadOnlyFileTest : public ::testing::TestWithParam<std::filesystem::perms> {};

TEST_P(ReadOnlyFileTest, IsNotReplaced)
{
    TestDir dir;
    const std::string path = dir.file("Tavu.ini");
    const std::string before = "[Settings]\r\nVolume=50\r\n";
    writeBytes(path, before);
    std::filesystem::permissions(path, GetParam());
    EXPECT_FALSE(WriteSetting("Settings", "Volume", "45", path));
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(std::filesystem::status(path).permissions(), GetParam());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary file left";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    EXPECT_TRUE(WriteSetting("Settings", "Volume", "45", path)) << "writable again, written again";
}

using std::filesystem::perms;
INSTANTIATE_TEST_SUITE_P(Modes, ReadOnlyFileTest,
                         ::testing::Values(perms::owner_read | perms::group_read | perms::others_read,
                                           perms::owner_read, perms::none, perms::owner_read | perms::owner_exec));

TEST(ProfileFile, AFullDiskLosesTheWriteAndKeepsTheOldFile)
{
    TestDir dir;
    const std::string path = dir.file("Tavu.ini");
    writeBytes(path, "[Settings]\r\nVolume=50\r\n");
    // A file may grow to 8 bytes: every write of a whole settings file fails as on a full disk.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 8;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    const bool written = WriteSetting("Settings", "Volume", "45", path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadSetting("Settings", "Volume", path), "50");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary file left";
}

TEST(ProfileFile, StaleTemporaryFilesAreClearedAndNothingElse)
{
    TestDir dir;
    std::filesystem::create_directories(dir.path() / "Styles");
    const std::vector<std::string> stale{"Tavu.ini.a1B2c3", "Styles.txt.XyZ789", "Styles/Blue.ini.new",
                                         "Styles/Blue.ini.new.Q1w2E3", "Queue.m3u8.Zz9Yy8"};
    const std::vector<std::string> kept{"Tavu.ini",
                                        "Styles.txt",
                                        "notes.txt.backup",
                                        "Tavu.ini.a1B2c",
                                        "Other.ini.a1B2c3",
                                        "Styles/Blue.ini",
                                        "Styles/Blue.ini.backup",
                                        "Styles/.ini.new",
                                        "Styles/a.ini.new.ini"};
    for (const auto& name : stale)
        writeBytes(dir.file(name), "x");
    for (const auto& name : kept)
        writeBytes(dir.file(name), "x");
    EXPECT_EQ(removeStaleTempFiles(dir.str()), 5);
    for (const auto& name : stale)
        EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
    for (const auto& name : kept)
        EXPECT_TRUE(std::filesystem::exists(dir.file(name))) << name;
}

TEST(ProfileFile, FirstSectionAndFirstKeyOfANameCount)
{
    TestDir dir;
    const std::string ini = dir.file("x.ini");
    writeBytes(ini, "[A]\nK=1\nk=2\n[a]\nK=3\n");
    EXPECT_EQ(ReadSetting("a", "k", ini), "1");
    ASSERT_TRUE(WriteSetting("A", "k", "9", ini));
    EXPECT_EQ(readBytes(ini), "[A]\r\nK=9\r\nk=2\r\n[a]\r\nK=3\r\n");
}

} // namespace
} // namespace tavu
