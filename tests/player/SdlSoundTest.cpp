// The interface sounds: the files the build makes, finding them, and playing them.

#include "SdlPlayerFixture.h"
#include "util/SoundFiles.h"

#include <SDL2/SDL_mixer.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

namespace tavu::test {
namespace {

std::uint32_t le(const std::string& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

TEST(GeneratedSounds, AreShortMonoWavFilesThatStartAndEndSilent)
{
    const struct {
        const char* name;
        double shortest, longest;
    } sounds[] = {{"Click.wav", 0.015, 0.030},
                  {"Menu.wav", 0.08, 0.25},
                  {"Min.wav", 0.08, 0.30},
                  {"Exit.wav", 0.5, 0.7},
                  {"Intro.wav", 1.0, 1.4}};
    for (const auto& s : sounds) {
        SCOPED_TRACE(s.name);
        const std::string b = readBytes(builtSound(s.name));
        ASSERT_GT(b.size(), 44u);
        EXPECT_EQ(b.substr(0, 4), "RIFF");
        EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(le(b, 4, 4), b.size() - 8);
        EXPECT_EQ(le(b, 20, 2), 1u) << "PCM";
        EXPECT_EQ(le(b, 22, 2), 1u) << "mono";
        EXPECT_EQ(le(b, 24, 4), 44100u);
        EXPECT_EQ(le(b, 34, 2), 16u);
        EXPECT_EQ(b.substr(36, 4), "data");
        const std::size_t count = le(b, 40, 4) / 2;
        ASSERT_EQ(44 + 2 * count, b.size());
        EXPECT_GE(count / 44100.0, s.shortest);
        EXPECT_LE(count / 44100.0, s.longest);

        std::vector<int> samples(count);
        for (std::size_t i = 0; i < count; ++i)
            samples[i] = static_cast<std::int16_t>(le(b, 44 + 2 * i, 2));
        EXPECT_EQ(samples.front(), 0);
        EXPECT_EQ(samples.back(), 0);
        const int peak =
            *std::max_element(samples.begin(), samples.end(), [](int a, int c) { return std::abs(a) < std::abs(c); });
        EXPECT_GT(std::abs(peak), 0.2 * 32767);
        EXPECT_LT(std::abs(peak), 0.6 * 32767);
    }
}

class SoundFilesTest : public ::testing::Test {
protected:
    SoundFilesTest()
    {
        for (const char* folder : {"home/Sounds", "build/Sounds", "data/Sounds"})
            std::filesystem::create_directories(dir.path() / folder);
    }
    std::string put(const std::string& file)
    {
        writeBytes(dir.file(file), "RIFF");
        return dir.file(file);
    }
    std::optional<std::string> find(std::string_view name)
    {
        return findSoundFile(name, dir.file("home"), {dir.file("build/Sounds"), dir.file("data/Sounds")});
    }
    TestDir dir;
};

TEST_F(SoundFilesTest, ProgramDirectoryFirstThenBuildTreeThenDataFolder)
{
    const std::string installed = put("data/Sounds/Click.wav");
    EXPECT_EQ(find("Click.wav"), installed);
    const std::string built = put("build/Sounds/Click.wav");
    EXPECT_EQ(find("\\Sounds\\Click.wav"), built);
    const std::string own = put("home/Sounds/Click.wav");
    EXPECT_EQ(find("Sounds/Click.wav"), own);
    EXPECT_EQ(find("Click.wav"), own);
    EXPECT_EQ(find("Menu.wav"), std::nullopt);
}

TEST_F(SoundFilesTest, LetterCaseIsIgnoredWhenTheExactNameIsMissing)
{
    const std::string min = put("home/Sounds/Min.wav");
    EXPECT_EQ(find("\\sounds\\Min.wav"), min);
    EXPECT_EQ(find("/SOUNDS/min.WAV"), min);
    const std::string exit = put("data/Sounds/exit.wav");
    EXPECT_EQ(find("\\Sounds\\Exit.wav"), exit);
    const std::string upper = put("home/Sounds/min.wav");
    EXPECT_EQ(find("\\sounds\\min.wav"), upper) << "an exact match wins";
}

TEST_F(SoundFilesTest, FindsOnlyRegularFilesInsideTheFolders)
{
    std::filesystem::create_directory(dir.file("home/Sounds/Intro.wav"));
    EXPECT_EQ(find("Intro.wav"), std::nullopt);
    put("home/Secret.wav");
    EXPECT_EQ(find("Sounds/../Secret.wav"), std::nullopt);
    EXPECT_EQ(find(""), std::nullopt);
    EXPECT_EQ(findSoundFile("Click.wav", "", {}), std::nullopt);
}

using SdlSoundPlayerTest = SdlPlayerFixture;

bool soundPlaying()
{
    return Mix_Playing(SdlAudio::kSoundChannel) != 0;
}

TEST_F(SdlSoundPlayerTest, ANewSoundCutsTheOldOneOff)
{
    SdlSoundPlayer sounds(audio);
    sounds.playWave(builtSound("Intro.wav"));
    EXPECT_TRUE(soundPlaying());
    sounds.playWave(builtSound("Click.wav")); // 22 ms
    EXPECT_TRUE(soundPlaying());
    EXPECT_TRUE(waitUntil(
        runtime, [] { return !soundPlaying(); }, 400))
        << "the intro was cut off";

    sounds.playWave(builtSound("Exit.wav"));
    sounds.playWave(dir.file("missing.wav"));
    EXPECT_FALSE(soundPlaying()) << "a missing file plays nothing, and still ends the old sound";
}

TEST_F(SdlSoundPlayerTest, FilesThatAreNoSoundPlayNothing)
{
    SdlSoundPlayer sounds(audio);
    writeBytes(dir.file("text.wav"), "RIFF but not really a wave file");
    writeBytes(dir.file("empty.wav"), "");
    ASSERT_EQ(::mkfifo(dir.file("pipe.wav").c_str(), 0600), 0);
    for (const std::string& bad : {dir.file("missing.wav"), dir.file("text.wav"), dir.file("empty.wav"),
                                   dir.file("pipe.wav"), dir.str(), std::string()}) {
        SCOPED_TRACE(bad);
        sounds.playWave(bad);
        EXPECT_FALSE(soundPlaying());
    }
    // A sound that comes into being later is found then.
    std::filesystem::copy_file(builtSound("Menu.wav"), dir.file("missing.wav"));
    sounds.playWave(dir.file("missing.wav"));
    EXPECT_TRUE(soundPlaying());
}

} // namespace
} // namespace tavu::test
