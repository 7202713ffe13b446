#include "app/CommandLine.h"
#include "settings/Settings.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace tavu {
namespace {

TEST(CommandLine, Options)
{
    const auto line = parseCommandLine({"--home", "/tmp/x", "--no-intro"});
    EXPECT_EQ(line.home.value_or(""), "/tmp/x");
    EXPECT_TRUE(line.noIntro);
    EXPECT_TRUE(line.error.empty());
    EXPECT_TRUE(parseCommandLine({"--help"}).help);
    EXPECT_TRUE(parseCommandLine({"--version"}).version);
    EXPECT_EQ(parseCommandLine({"--home=/a"}).home.value_or(""), "/a");
    EXPECT_FALSE(parseCommandLine({"--home"}).error.empty());
    EXPECT_FALSE(parseCommandLine({"--bogus"}).error.empty());
}

TEST(CommandLine, ProgramDirectory)
{
    test::TestDir dir;
    ::setenv("XDG_CONFIG_HOME", dir.str().c_str(), 1);
    EXPECT_EQ(defaultProgramDir(), dir.path() / "tavu");
    EXPECT_EQ(prepareProgramDir(defaultProgramDir()), "");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "tavu" / "Styles"));
    test::writeBytes(dir.file("file"), "x");
    EXPECT_NE(prepareProgramDir(dir.path() / "file"), "");
}

TEST(CommandLine, AFileNamedStylesStillLetsTheProgramStart)
{
    test::TestDir dir;
    test::writeBytes(dir.file("Styles"), "mine");
    EXPECT_EQ(prepareProgramDir(dir.path()), "");
    EXPECT_EQ(test::readBytes(dir.file("Styles")), "mine") << "the user's file is left as it is";
    EXPECT_EQ(Settings(dir.file("Tavu.ini")).read(keys::LibraryTitles), "tags") << "the new directory is set up";
}

TEST(CommandLine, ASettingsFileThatIsNoPlainFileIsRefused)
{
    test::TestDir pipe, device, linked;
    ASSERT_EQ(::mkfifo(pipe.file("Tavu.ini").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", device.file("Tavu.ini"));
    for (const test::TestDir* dir : {&pipe, &device}) {
        const std::string error = prepareProgramDir(dir->path());
        EXPECT_NE(error.find(dir->file("Tavu.ini") + " is not a plain file"), std::string::npos) << error;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(pipe.file("Tavu.ini")));
    // A link to a plain file is a settings file like any other.
    test::writeBytes(linked.file("real.ini"), "[Settings]\r\nTrig=!\r\n");
    std::filesystem::create_symlink("real.ini", linked.file("Tavu.ini"));
    EXPECT_EQ(prepareProgramDir(linked.path()), "");
}

TEST(CommandLine, OnlyANewProgramDirectoryGetsTheNewChoices)
{
    test::TestDir fresh, old;
    ASSERT_EQ(prepareProgramDir(fresh.path()), "");
    const Settings settings(fresh.file("Tavu.ini"));
    for (const NewProgramDefault& row : kNewProgramDefaults)
        EXPECT_EQ(settings.read(row.key), row.value) << row.key.key;

    const std::string before = "[Settings]\r\nTrig=!\r\n";
    test::writeBytes(old.file("Tavu.ini"), before);
    ASSERT_EQ(prepareProgramDir(old.path()), "");
    EXPECT_EQ(test::readBytes(old.file("Tavu.ini")), before) << "an older settings file is left as it is";
}

TEST(CommandLine, TheIntroComesUnlessTurnedOff)
{
    test::TestDir dir;
    const Settings settings(dir.file("Tavu.ini"));
    const CommandLine plain, noIntro = parseCommandLine({"--no-intro"});
    EXPECT_TRUE(showsIntro(plain, false, settings)); // an older file has no "Intro"
    settings.write(keys::DesktopIntro, "0");
    EXPECT_FALSE(showsIntro(plain, false, settings));
    EXPECT_TRUE(showsIntro(plain, true, settings));
    EXPECT_FALSE(showsIntro(noIntro, true, settings));
    settings.write(keys::DesktopIntro, "1");
    EXPECT_FALSE(showsIntro(noIntro, false, settings));
    EXPECT_TRUE(showsIntro(plain, false, settings));
}

} // namespace
} // namespace tavu
