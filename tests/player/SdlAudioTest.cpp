// Opening the sound output, and the music level applied after mixing.

#include "platform/SdlAudio.h"
#include "platform/MusicLevel.h"

#include <gtest/gtest.h>

#include <csignal>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace tavu::test {
namespace {

TEST(SdlAudio, FallsBackToTheDummyDriverWhenNoDeviceWorks)
{
    const std::string before = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        SdlAudio audio;
        EXPECT_TRUE(audio.ready());
        EXPECT_EQ(audio.driver(), "dummy");
    }
    ::unsetenv("SDL_AUDIODRIVER");
    {
        SdlAudio machines; // whatever this machine has, or the dummy driver
        EXPECT_TRUE(machines.ready());
    }
    ::setenv("SDL_AUDIODRIVER", before.c_str(), 1);
    SdlAudio again; // opens as usual once more
    EXPECT_EQ(again.driver(), before);
}

TEST(SdlAudio, LeavesSigintAndSigtermToTheProgram)
{
    struct sigaction before[2], after[2];
    ::sigaction(SIGINT, nullptr, &before[0]);
    ::sigaction(SIGTERM, nullptr, &before[1]);
    SdlAudio audio;
    ASSERT_TRUE(audio.ready());
    ::sigaction(SIGINT, nullptr, &after[0]);
    ::sigaction(SIGTERM, nullptr, &after[1]);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(after[i].sa_handler, before[i].sa_handler) << "a signal would no longer end the program";
}

TEST(MusicLevel, GainsFollowVolumeBalanceAndMuteWithinTheirRanges)
{
    const struct {
        int volume, balance;
        double left, right;
    } cases[] = {{0, 0, 1, 1},     {-1500, 0, 0.177828, 0.177828},   {-10000, 0, 1e-5, 1e-5}, {-20000, 0, 1e-5, 1e-5},
                 {300, 0, 1, 1},   {-600, 5000, 0.250594, 0.501187}, {0, -2500, 1, 0.75},     {0, 99999, 0, 1},
                 {0, -10000, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.volume) + " " + std::to_string(c.balance));
        MusicLevel level;
        level.setVolume(c.volume);
        level.setBalance(c.balance);
        EXPECT_NEAR(level.leftGain(), c.left, c.left * 1e-5);
        EXPECT_NEAR(level.rightGain(), c.right, c.right * 1e-5);
        level.setMute(true);
        EXPECT_EQ(level.leftGain() + level.rightGain(), 0.0f);
        level.setMute(false);
        EXPECT_NEAR(level.leftGain(), c.left, c.left * 1e-5) << "unmuting brings back volume and balance";
    }
}

TEST(MusicLevel, ScalesTheMusicButNotTheInterfaceSound)
{
    MusicLevel level;
    const std::vector<std::int16_t> music = {1000, -1000, 20000, -20000, 32767, -32768, 3, -3};
    const std::vector<std::int16_t> sound = {500, 500, -700, -700};
    std::vector<std::int16_t> mixed = music;
    for (std::size_t i = 0; i < sound.size(); ++i)
        mixed[i] = static_cast<std::int16_t>(mixed[i] + sound[i]);

    std::vector<std::int16_t> out = mixed;
    level.apply(out.data(), out.size());
    EXPECT_EQ(out, mixed) << "full level leaves everything as it is";

    level.setMute(true);
    level.noteSound(sound.data(), sound.size());
    out = mixed;
    level.apply(out.data(), out.size());
    EXPECT_EQ(out, (std::vector<std::int16_t>{500, 500, -700, -700, 0, 0, 0, 0}));

    out = mixed;
    level.apply(out.data(), out.size());
    EXPECT_EQ(out, std::vector<std::int16_t>(8, 0)) << "a noted sound counts for one buffer only";

    level.setMute(false);
    level.setBalance(5000);
    level.noteSound(sound.data(), 2);
    level.noteSound(sound.data() + 2, 2); // a sound may arrive in pieces
    out = mixed;
    level.apply(out.data(), out.size());
    EXPECT_EQ(out, (std::vector<std::int16_t>{1000, -500, 9300, -20700, 16384, -32768, 2, -3}));
}

} // namespace
} // namespace tavu::test
