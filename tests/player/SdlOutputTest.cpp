// What reaches the output: the samples the disk driver wrote while a tone song played to its end.

#include "SdlPlayerFixture.h"
#include "platform/LoudnessMeter.h"
#include "platform/SqliteLibraryCache.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "support/EncodedSongs.h"
#include "support/SimRuntime.h"

#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>

namespace tavu::test {
namespace {

struct Output {
    std::vector<std::int16_t> left, right;

    static double rms(const std::vector<std::int16_t>& s)
    {
        double sum = 0;
        for (std::int16_t v : s)
            sum += double(v) * v;
        return std::sqrt(sum);
    }
    double leftLevel() const { return rms(left); }
    double rightLevel() const { return rms(right); }
    bool silent() const { return leftLevel() == 0 && rightLevel() == 0; }
};

class SdlOutputTest : public ::testing::Test {
protected:
    // Opens the output into a fresh file, lets `setUp` prepare the player and the sounds, plays a
    // one-second tone to its end, closes the output and gives what was written. `afterOpen` runs
    // once the song is open; the output closes after `songs` ends.
    Output play(const std::function<void(SdlMediaPlayer&, SdlSoundPlayer&)>& setUp = {}, int songs = 1,
                const std::function<void(SdlMediaPlayer&)>& afterOpen = {})
    {
        const std::string file = dir.file("output" + std::to_string(++m_runs) + ".raw");
        ::setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
        {
            SimRuntime clock; // the silence checks, if the device is to sleep first
            SdlAudio audio;
            EXPECT_EQ(audio.driver(), "disk");
            SdlMediaPlayer player(audio, runtime);
            SdlSoundPlayer sounds(audio);
            int ends = 0;
            player.endOfStream = [&] { ++ends; };
            if (setUp)
                setUp(player, sounds);
            if (m_sleepFirst) { // the output file starts anew when the device wakes
                audio.sleepWhenSilent(clock);
                clock.advance(10000);
                EXPECT_FALSE(audio.awake());
            }
            EXPECT_TRUE(player.open(song));
            if (afterOpen)
                afterOpen(player);
            EXPECT_TRUE(waitUntil(
                runtime, [&] { return ends == songs; }, 5000));
            waitUntil(
                runtime, [] { return Mix_Playing(SdlAudio::kSoundChannel) == 0; }, 5000);
        }
        const std::string bytes = readBytes(file);
        std::filesystem::remove(file);
        Output out;
        for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            std::int16_t frame[2];
            std::memcpy(frame, bytes.data() + i, 4);
            out.left.push_back(frame[0]);
            out.right.push_back(frame[1]);
        }
        return out;
    }

    TestDir dir;
    test::PumpedQtRuntime runtime;
    std::string song = dir.file("tone.mp3");
    int m_runs = 0;
    bool m_sleepFirst = false;

    void SetUp() override { ASSERT_TRUE(Mp3Writer().tone(Mp3Writer::framesFor(1.0)).write(song)); }
};

TEST_F(SdlOutputTest, FullVolumePlaysTheWholeToneOnBothChannels)
{
    const Output out = play();
    // 38 frames of a tone near 440 Hz at an amplitude of about 11700: an RMS of about 8200.
    const double expected = 8190.0 * std::sqrt(38 * 1152.0);
    EXPECT_NEAR(out.leftLevel(), expected, expected * 0.02);
    EXPECT_EQ(out.left, out.right);
}

TEST_F(SdlOutputTest, VolumeScalesTheSamplesByItsDecibels)
{
    const double full = play().leftLevel();
    const struct {
        int volume;
        double factor;
    } cases[] = {{-1500, 0.177828}, {-600, 0.501187}, {-2500, 0.056234}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        const Output out = play([&](SdlMediaPlayer& p, SdlSoundPlayer&) { p.setVolume(c.volume); });
        EXPECT_NEAR(out.leftLevel() / full, c.factor, 0.002);
        EXPECT_NEAR(out.rightLevel() / full, c.factor, 0.002);
    }
}

TEST_F(SdlOutputTest, MuteSilencesTheSongWhichStillPlaysToItsEnd)
{
    EXPECT_TRUE(play([](SdlMediaPlayer& p, SdlSoundPlayer&) { p.setMute(true); }).silent());
    const double full = play().leftLevel();
    const Output unmuted = play([](SdlMediaPlayer& p, SdlSoundPlayer&) {
        p.setVolume(-1500);
        p.setMute(true);
        p.setMute(false);
    });
    EXPECT_NEAR(unmuted.leftLevel() / full, 0.177828, 0.002) << "unmuted at the volume set";
}

TEST_F(SdlOutputTest, VolumeAndBalanceHoldAfterTheDeviceSlept)
{
    const double full = play().leftLevel();
    m_sleepFirst = true;
    const Output out = play([](SdlMediaPlayer& p, SdlSoundPlayer&) {
        p.setVolume(-600);
        p.setBalance(-5000);
    });
    EXPECT_NEAR(out.leftLevel() / full, 0.501187, 0.002);
    EXPECT_NEAR(out.rightLevel() / full, 0.501187 * 0.5, 0.002);
}

TEST_F(SdlOutputTest, BalanceTurnsOneSideDownLinearly)
{
    const double full = play().leftLevel();
    const Output right = play([](SdlMediaPlayer& p, SdlSoundPlayer&) { p.setBalance(5000); });
    EXPECT_NEAR(right.leftLevel() / full, 0.5, 0.002);
    EXPECT_NEAR(right.rightLevel() / full, 1.0, 0.002);
    const Output left = play([](SdlMediaPlayer& p, SdlSoundPlayer&) { p.setBalance(-10000); });
    EXPECT_NEAR(left.leftLevel() / full, 1.0, 0.002);
    EXPECT_EQ(left.rightLevel(), 0.0);
}

TEST_F(SdlOutputTest, InterfaceSoundsKeepTheirLevelWhileTheSongIsMuted)
{
    const std::string file = readBytes(builtSound("Intro.wav"));
    std::vector<std::int16_t> intro((file.size() - 44) / 2);
    std::memcpy(intro.data(), file.data() + 44, intro.size() * 2);

    const Output out = play([](SdlMediaPlayer& p, SdlSoundPlayer& sounds) {
        p.setMute(true);
        sounds.playWave(builtSound("Intro.wav"));
    });
    // Only the sound is heard, sample for sample, on both sides.
    EXPECT_EQ(out.left, out.right);
    const auto audible = [](const std::vector<std::int16_t>& s) {
        const auto first = std::find_if(s.begin(), s.end(), [](std::int16_t v) { return v != 0; });
        const auto last = std::find_if(s.rbegin(), s.rend(), [](std::int16_t v) { return v != 0; }).base();
        return first < last ? std::vector<std::int16_t>(first, last) : std::vector<std::int16_t>();
    };
    EXPECT_EQ(audible(out.left), audible(intro));
}

} // namespace
} // namespace tavu::test

namespace tavu::test {
namespace {

TEST_F(SdlOutputTest, GainBalanceAndMuteWorkOnEveryFormat)
{
    for (const Encoding encoding : {Encoding::Flac, Encoding::Vorbis, Encoding::Opus}) {
        SCOPED_TRACE(extensionOf(encoding));
        song = dir.file("tone." + extensionOf(encoding));
        ASSERT_TRUE(encodeSong(encoding, song, {}, 0.5));
        const Output full = play();
        ASSERT_GT(full.leftLevel(), 0);
        const Output out = play([](SdlMediaPlayer& p, SdlSoundPlayer&) {
            p.setVolume(-600);
            p.setBalance(-5000);
        });
        EXPECT_NEAR(out.leftLevel() / full.leftLevel(), 0.501187, 0.005);
        EXPECT_NEAR(out.rightLevel() / full.rightLevel(), 0.501187 * 0.5, 0.005);
        EXPECT_TRUE(play([](SdlMediaPlayer& p, SdlSoundPlayer&) { p.setMute(true); }).silent());
    }
}

} // namespace
} // namespace tavu::test

namespace tavu::test {
namespace {

// The level in dB of full scale of one channel's samples in [from, to).
double levelDb(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to)
{
    double sum = 0;
    for (std::size_t i = from; i < to && i < s.size(); ++i)
        sum += (s[i] / 32768.0) * (s[i] / 32768.0);
    return 10 * std::log10(sum / double(to - from));
}

// Where the music starts and ends in the output.
std::size_t firstSound(const std::vector<std::int16_t>& s)
{
    return static_cast<std::size_t>(std::find_if(s.begin(), s.end(), [](std::int16_t v) { return v != 0; }) -
                                    s.begin());
}
std::size_t lastSound(const std::vector<std::int16_t>& s)
{
    return static_cast<std::size_t>(std::find_if(s.rbegin(), s.rend(), [](std::int16_t v) { return v != 0; }).base() -
                                    s.begin());
}

// The gain that brings a 440 Hz sine of this peak on both channels to -18 LUFS (BS.1770).
double referenceGainDb(double peakDb)
{
    return -18.0 - (-0.691 + peakDb);
}

// Tones of one second whose level the ReplayGain settings decide: one tagged with the gain that
// levels it, one quiet and untagged.
class LevelledOutputTest : public SdlOutputTest {
protected:
    std::string makeTone(const std::string& name, double peakDb, const std::string& gainTag, int seconds = 1)
    {
        const std::string wave = dir.file(name + ".wav"), flac = dir.file(name + ".flac");
        EXPECT_TRUE(runTool("sox -n -r 44100 -c 2 -b 16 " + shellQuoted(wave) + " synth " + std::to_string(seconds) +
                            " sine 440 vol " + std::to_string(peakDb) + "dB"));
        const std::string tag = gainTag.empty() ? "" : "-T " + shellQuoted("REPLAYGAIN_TRACK_GAIN=" + gainTag) + " ";
        EXPECT_TRUE(runTool("flac --silent -f " + tag + "-o " + shellQuoted(flac) + " " + shellQuoted(wave)));
        return flac;
    }
    // The level of the middle of one second of music that starts at `from`.
    static double secondAt(const Output& out, std::size_t from) { return levelDb(out.left, from + 4410, from + 39690); }
    static double onlySecond(const Output& out) { return secondAt(out, firstSound(out.left)); }

    void SetUp() override
    {
        SdlOutputTest::SetUp();
        tagged = makeTone("tagged", -6.0, std::to_string(referenceGainDb(-6.0)) + " dB");
        quiet = makeTone("quiet", -30.0, "");
    }
    std::function<void(SdlMediaPlayer&, SdlSoundPlayer&)> levelledBy(LoudnessMeter& meter)
    {
        return [&meter](SdlMediaPlayer& p, SdlSoundPlayer&) {
            p.setReplayGain({ReplayGainOptions::Mode::Track, 0.0, 0.0});
            p.setLoudnessMeter(&meter);
        };
    }

    std::string tagged, quiet;
};

TEST_F(LevelledOutputTest, AnUntaggedSongPlaysAtItsMeasuredLevelOnceMeasuredAndAfterARestart)
{
    const std::string db = dir.file("Library.db");
    auto store = std::make_unique<SqliteLibraryCache>(db);
    auto meter = std::make_unique<LoudnessMeter>(store.get());
    song = tagged;
    const double level = onlySecond(play(levelledBy(*meter)));
    EXPECT_NEAR(level, -6.0 - 3.01 + referenceGainDb(-6.0), 0.2) << "the tag's gain";

    // Not measured yet: it plays at once, with the fallback gain (here its own level).
    song = quiet;
    EXPECT_NEAR(onlySecond(play(levelledBy(*meter))), -30.0 - 3.01, 0.2);
    ASSERT_TRUE(waitUntil(
        runtime, [&] { return meter->known(quiet) && meter->known(quiet)->loudness; }, 30000));
    EXPECT_NEAR(onlySecond(play(levelledBy(*meter))), level, 0.5);

    // The next run reads the measurement back from Library.db.
    meter.reset();
    store = std::make_unique<SqliteLibraryCache>(db);
    meter = std::make_unique<LoudnessMeter>(store.get());
    EXPECT_NEAR(onlySecond(play(levelledBy(*meter))), level, 0.5);
    EXPECT_EQ(meter->measured(), 0);
}

TEST_F(LevelledOutputTest, AFollowingSongTakesTheMeasurementMadeWhileTheSongBeforeItPlayed)
{
    LoudnessMeter meter(nullptr);
    song = tagged;
    const double level = onlySecond(play(levelledBy(meter)));
    // Longer than the engine's ring, so that the following song is not reached while paused.
    song = makeTone("long", -6.0, std::to_string(referenceGainDb(-6.0)) + " dB", 3);
    const Output out = play(levelledBy(meter), 2, [&](SdlMediaPlayer& p) {
        p.pause();
        p.setFollowing(quiet); // opened now, before it is measured
        EXPECT_TRUE(waitUntil(
            runtime, [&] { return meter.known(quiet) && meter.known(quiet)->loudness; }, 30000));
        p.play();
    });
    EXPECT_NEAR(secondAt(out, lastSound(out.left) - 44100), level, 0.5);
}

TEST_F(LevelledOutputTest, TheLevellingIsReadFromTheSettingsAnewForEachSong)
{
    const Settings settings(dir.file("Tavu.ini"));
    writeSetting("Playback", "ReplayGain", "track", settings.path());
    song = tagged;
    const Output out = play(
        [&](SdlMediaPlayer& p, SdlSoundPlayer&) {
            p.setReplayGainSource([&] { return readReplayGainOptions(settings); });
            const std::function<void()> counted = p.endOfStream;
            p.endOfStream = [this, &p, &settings, counted, first = true]() mutable {
                counted();
                if (std::exchange(first, false) && writeSetting("Playback", "ReplayGain", "off", settings.path()))
                    p.open(song);
            };
        },
        2);
    EXPECT_NEAR(secondAt(out, firstSound(out.left)), -6.0 - 3.01 + referenceGainDb(-6.0), 0.2);
    EXPECT_NEAR(secondAt(out, lastSound(out.left) - 44100), -6.0 - 3.01, 0.2) << "off from the next song on";
}

} // namespace
} // namespace tavu::test
