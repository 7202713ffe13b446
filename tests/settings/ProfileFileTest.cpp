#include "settings/ProfileFile.h"
#include "settings/AtomicFile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

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
        EXPECT_EQ(readSetting(r.section, r.key, ini), r.value) << r.section << "/" << r.key;
}

TEST(ProfileFile, FirstWriteCreatesTheFileWithOneSectionAndOneKey)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    EXPECT_EQ(readSetting("Settings", "Trig", ini), "");
    ASSERT_TRUE(writeSetting("Settings", "trig", "!", ini));
    EXPECT_EQ(readBytes(ini), "[Settings]\r\nTRIG=!\r\n");
    EXPECT_EQ(readSetting("Settings", "Trig", ini), "!");
}

TEST(ProfileFile, StoresWindows1252BytesWhereTheyFit)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    ASSERT_TRUE(writeSetting("Ascii", "front ascii", "\u00B2", ini));
    ASSERT_TRUE(writeSetting("Ascii", "middle ascii", "\u20AC\u00A7", ini));
    EXPECT_EQ(readBytes(ini), "[Ascii]\r\nFRONT ASCII=\xB2\r\nMIDDLE ASCII=\x80\xA7\r\n");
    EXPECT_EQ(readSetting("Ascii", "front ascii", ini), "\u00B2");
    EXPECT_EQ(readSetting("Ascii", "middle ascii", ini), "\u20AC\u00A7");
}

TEST(ProfileFile, KeepsEveryOtherValueExactly)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    // Characters beyond Windows-1252, and Windows-1252 text that looks like UTF-8.
    for (const std::string value : {"\u0151\u266B", "\u00C3\u00A9", "plain", "\u00FF\u00FE", "\xff raw"}) {
        ASSERT_TRUE(writeSetting("Ascii", "text font", value, ini));
        const std::string expected = value == "\xff raw" ? "\u00FF raw" : value;
        EXPECT_EQ(readSetting("Ascii", "text font", ini), expected);
    }
}

TEST(ProfileFile, ReadRules)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    ASSERT_TRUE(writeSetting("Ascii", "front ascii", " ", ini));
    EXPECT_EQ(readSetting("Ascii", "front ascii", ini), "") << "a value of one blank reads as empty";
    ASSERT_TRUE(writeSetting("Settings", "Handle", "\"ab\"", ini));
    EXPECT_EQ(readSetting("Settings", "Handle", ini), "ab");
    ASSERT_TRUE(writeSetting("Settings", "Handle", "\"ab'", ini));
    EXPECT_EQ(readSetting("Settings", "Handle", ini), "\"ab'") << "unmatched quotes stay";
    const std::string long800(800, 'x');
    ASSERT_TRUE(writeSetting("Settings", "Handle", long800, ini));
    EXPECT_EQ(readSetting("Settings", "Handle", ini), std::string(749, 'x'));
    ASSERT_TRUE(writeSetting("Settings", "Handle", std::string(800, 'x') + "\u0151", ini));
    EXPECT_EQ(readSetting("Settings", "Handle", ini).size(), 749u);
}

TEST(ProfileFile, ReplacesInPlaceAndAppendsAtTheEndOfTheSection)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    writeBytes(ini, "; comment\r\n[Settings]\r\nTRIG=!\r\nvolume=40\r\n\r\n[Totals]\r\nLOADS=1\r\n");
    ASSERT_TRUE(writeSetting("settings", "VOLUME", "55", ini));
    ASSERT_TRUE(writeSetting("Settings", "Handle", "Nick", ini));
    ASSERT_TRUE(writeSetting("Ascii", "text color", "abcdef", ini));
    EXPECT_EQ(readBytes(ini), "; comment\r\n[Settings]\r\nTRIG=!\r\nvolume=55\r\nHANDLE=Nick\r\n\r\n"
                              "[Totals]\r\nLOADS=1\r\n\r\n[Ascii]\r\nTEXT COLOR=abcdef\r\n");
}

TEST(ProfileFile, UpdatesTheSampleWithoutDisturbingIt)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    std::filesystem::copy_file(test::samplePath("Tavu.ini"), ini);
    const std::string before = readBytes(ini);
    ASSERT_TRUE(writeSetting("Ascii", "text color", "ff0000", ini));
    std::string expected = before;
    expected.replace(expected.find("text color=abcdef"), 17, "text color=ff0000");
    EXPECT_EQ(readBytes(ini), expected);
}

TEST(ProfileFile, RefusesLineBreaksInsteadOfInjectingKeys)
{
    TestDir dir;
    const std::string ini = dir.file("Tavu.ini");
    ASSERT_TRUE(writeSetting("Settings", "Handle", "Nick", ini));
    const std::string before = readBytes(ini);
    EXPECT_FALSE(writeSetting("Settings", "Handle", "x\r\nTRIG=?", ini));
    EXPECT_FALSE(writeSetting("Settings", "Handle", "x\nVOLUME=0", ini));
    EXPECT_FALSE(writeSetting("Settings", "Handle", std::string("a\0b", 3), ini));
    EXPECT_FALSE(writeSetting("Settings]\r\n[x", "Handle", "y", ini));
    EXPECT_EQ(readBytes(ini), before);
}

TEST(ProfileFile, UnwritableFileLosesTheWriteQuietly)
{
    TestDir dir;
    EXPECT_FALSE(writeSetting("Settings", "Trig", "!", dir.file("missing/dir/Tavu.ini")));
    EXPECT_EQ(readSetting("Settings", "Trig", dir.file("missing/dir/Tavu.ini")), "");
    // No temporary files are left behind.
    ASSERT_TRUE(writeSetting("Settings", "Trig", "!", dir.file("Tavu.ini")));
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
    EXPECT_FALSE(writeSetting("Settings", "Volume", "45", path));
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(std::filesystem::status(path).permissions(), GetParam());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary file left";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    EXPECT_TRUE(writeSetting("Settings", "Volume", "45", path)) << "writable again, written again";
}

using std::filesystem::perms;
INSTANTIATE_TEST_SUITE_P(Modes, ReadOnlyFileTest,
                         ::testing::Values(perms::owner_read | perms::group_read | perms::others_read,
                                           perms::owner_read, perms::none, perms::owner_read | perms::owner_exec));

// A settings file that is not a plain file reads as empty at once and is never written over: a
// pipe would block the reader for good, a device such as /dev/zero would read without end.
struct NotPlainCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    std::function<bool(const std::string& path)> unchanged;
};

class NotPlainFileTest : public ::testing::TestWithParam<NotPlainCase> {};

TEST_P(NotPlainFileTest, ReadsAsEmptyAndIsLeftAlone)
{
    TestDir dir;
    const std::string path = dir.file("Tavu.ini");
    GetParam().make(path);
    EXPECT_EQ(readSetting("Settings", "Trig", path), "");
    EXPECT_FALSE(readFileBytes(path).has_value());
    EXPECT_FALSE(writeSetting("Settings", "Trig", "!", path));
    EXPECT_TRUE(GetParam().unchanged(path));
}

namespace fs = std::filesystem;
INSTANTIATE_TEST_SUITE_P(
    Kinds, NotPlainFileTest,
    ::testing::Values(NotPlainCase{"Pipe", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); },
                                   [](const std::string& p) { return fs::is_fifo(p); }},
                      NotPlainCase{"LinkToDevZero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); },
                                   [](const std::string& p) { return fs::read_symlink(p) == "/dev/zero"; }},
                      NotPlainCase{"LinkToAPipe",
                                   [](const std::string& p) {
                                       ::mkfifo((p + ".pipe").c_str(), 0600);
                                       fs::create_symlink(p + ".pipe", p);
                                   },
                                   [](const std::string& p) { return fs::is_symlink(p) && fs::is_fifo(p + ".pipe"); }},
                      NotPlainCase{"Folder", [](const std::string& p) { fs::create_directory(p); },
                                   [](const std::string& p) { return fs::is_directory(p); }}),
    [](const auto& row) { return std::string(row.param.name); });

// A settings file linked from elsewhere (a dotfiles folder) is written where the link ends; the link
// stays a link, and the file beside its end is replaced atomically.
TEST(ProfileFile, WritesThroughLinksToTheirEnd)
{
    TestDir dir;
    fs::create_directories(dir.path() / "dotfiles" / "tavu");
    const std::string target = dir.file("dotfiles/tavu/Tavu.ini");
    writeBytes(target, "[Settings]\r\nTrig=!\r\n");
    fs::create_symlink("dotfiles/tavu/Tavu.ini", dir.path() / "middle.ini"); // relative to its folder
    fs::create_symlink(dir.file("middle.ini"), dir.path() / "Tavu.ini");
    const std::string path = dir.file("Tavu.ini");
    ASSERT_TRUE(writeSetting("Settings", "Trig", "?", path));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_TRUE(fs::is_symlink(dir.file("middle.ini")));
    EXPECT_EQ(readBytes(target), "[Settings]\r\nTrig=?\r\n");
    EXPECT_EQ(readSetting("Settings", "Trig", path), "?");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "dotfiles" / "tavu"), {}), 1) << "no temporary file";

    // A link to a file not made yet makes it.
    fs::create_symlink("dotfiles/tavu/New.ini", dir.path() / "New.ini");
    ASSERT_TRUE(writeSetting("Settings", "Volume", "40", dir.file("New.ini")));
    EXPECT_TRUE(fs::is_symlink(dir.file("New.ini")));
    EXPECT_EQ(readBytes(dir.file("dotfiles/tavu/New.ini")), "[Settings]\r\nVOLUME=40\r\n");

    // A loop of links is no file: nothing is written.
    fs::create_symlink(dir.file("loop-b"), dir.path() / "loop-a");
    fs::create_symlink(dir.file("loop-a"), dir.path() / "loop-b");
    EXPECT_FALSE(writeSetting("Settings", "Volume", "40", dir.file("loop-a")));
    EXPECT_TRUE(fs::is_symlink(dir.file("loop-a")));
}

// What is read is capped; a file over the cap is neither read nor written over, and a value
// changed in place is seen at once (the file is read again when it changes).
TEST(ProfileFile, ReadsAreCappedAndFollowChanges)
{
    TestDir dir;
    const std::string path = dir.file("Tavu.ini");
    writeBytes(path, std::string(1000, ';'));
    EXPECT_EQ(readFileBytes(path, 1000)->size(), 1000u);
    EXPECT_FALSE(readFileBytes(path, 999).has_value());

    writeBytes(path, "[Settings]\r\nVolume=40\r\n");
    for (const char* value : {"41", "42", "43"}) {
        EXPECT_NE(readSetting("Settings", "Volume", path), value);
        writeBytes(path, std::string("[Settings]\r\nVolume=") + value + "\r\n"); // same size, same file
        EXPECT_EQ(readSetting("Settings", "Volume", path), value);
    }
}

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
    const bool written = writeSetting("Settings", "Volume", "45", path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(readSetting("Settings", "Volume", path), "50");
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
    EXPECT_EQ(readSetting("a", "k", ini), "1");
    ASSERT_TRUE(writeSetting("A", "k", "9", ini));
    EXPECT_EQ(readBytes(ini), "[A]\r\nK=9\r\nk=2\r\n[a]\r\nK=3\r\n");
}

} // namespace
} // namespace tavu
