// Levelling songs by their ReplayGain data: the values, the choice of gain, the tags of real files
// and the level that comes out.

#include "player/ReplayGain.h"
#include "platform/AudioDecoder.h"
#include "platform/LoudnessTagReader.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "support/EncodedSongs.h"
#include "support/TestDir.h"

#include <taglib/mp4file.h>

#include <gtest/gtest.h>

#include <cmath>

namespace tavu::test {
namespace {

TEST(ReplayGainTest, ReadsGainAndPeakValues)
{
    struct Case {
        const char* text;
        std::optional<double> gain, peak;
    };
    const Case cases[] = {
        {"-6.54 dB", -6.54, std::nullopt},
        {"+2 dB", 2.0, std::nullopt},
        {" 3.0 ", 3.0, 3.0},
        {"-6.5dB", -6.5, std::nullopt},
        {"0.988312", 0.988312, 0.988312},
        {"", std::nullopt, std::nullopt},
        {"loud", std::nullopt, std::nullopt},
        {"1e400", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt},
        {"-6 dB extra", std::nullopt, std::nullopt},
        {"-90 dB", std::nullopt, std::nullopt},
        {"-1", -1.0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseGainDb(c.text), c.gain);
        EXPECT_EQ(parsePeak(c.text), c.peak);
    }
    EXPECT_EQ(opusR128GainDb("-1280"), 0.0); // -5 dB to -23 LUFS is 0 dB to -18 LUFS
    EXPECT_EQ(opusR128GainDb("256"), 6.0);
    EXPECT_EQ(opusR128GainDb("-1280 dB"), std::nullopt);
    EXPECT_EQ(opusR128GainDb("99999"), std::nullopt);
}

TEST(ReplayGainTest, ChoosesTheGainByModeAlbumAndPeak)
{
    using Mode = ReplayGainOptions::Mode;
    const LoudnessTags both{-6.0, 0.5, -8.0, 0.9, "Album"};
    const LoudnessTags trackOnly{-6.0, std::nullopt, std::nullopt, std::nullopt, "Album"};
    const LoudnessTags none{};
    const LoudnessTags hot{+12.0, 0.5, std::nullopt, std::nullopt, ""};
    struct Case {
        const char* what;
        ReplayGainOptions options;
        LoudnessTags tags;
        bool sameAlbum;
        std::optional<MeasuredLoudness> measured;
        double expectedDb;
    };
    const Case cases[] = {
        {"off", {Mode::Off, 5, 5}, both, false, {}, 0.0},
        {"track", {Mode::Track, 0, 0}, both, true, {}, -6.0},
        {"album", {Mode::Album, 0, 0}, both, false, {}, -8.0},
        {"auto, same album", {Mode::Auto, 0, 0}, both, true, {}, -8.0},
        {"auto, another album", {Mode::Auto, 0, 0}, both, false, {}, -6.0},
        {"album missing: the track's", {Mode::Album, 0, 0}, trackOnly, true, {}, -6.0},
        {"preamp", {Mode::Track, 3.5, 0}, both, false, {}, -2.5},
        {"no data: fallback", {Mode::Track, 1, -4}, none, false, {}, -3.0},
        {"no data: measured", {Mode::Track, 0, -4}, none, false, MeasuredLoudness{-7.0, 0.3}, -7.0},
        {"measured under album", {Mode::Album, 2, -4}, none, true, MeasuredLoudness{-7.0, 0.3}, -5.0},
        {"tags win over a measurement", {Mode::Track, 0, 0}, trackOnly, false, MeasuredLoudness{-1.0, 0.3}, -6.0},
        {"the measured peak caps it",
         {Mode::Track, 0, 0},
         none,
         false,
         MeasuredLoudness{+9.0, 0.5},
         20 * std::log10(1 / 0.5)},
        {"the peak caps it", {Mode::Track, 0, 0}, hot, false, {}, 20 * std::log10(1 / 0.5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NEAR(20 * std::log10(gainFactor(c.options, c.tags, c.sameAlbum, c.measured)), c.expectedDb, 1e-4);
    }
}

TEST(ReplayGainTest, AnOldSettingsFileKeepsTheFilesOwnLevel)
{
    TestDir dir;
    const Settings settings(dir.file("Tavu.ini"));
    EXPECT_EQ(readReplayGainOptions(settings), ReplayGainOptions{});
    writeSetting("Playback", "ReplayGain", "Auto", settings.path());
    writeSetting("Playback", "Preamp", "+20 dB", settings.path());
    writeSetting("Playback", "Fallback", "-6", settings.path());
    EXPECT_EQ(readReplayGainOptions(settings), (ReplayGainOptions{ReplayGainOptions::Mode::Auto, 15.0, -6.0}));
    writeSetting("Playback", "ReplayGain", "loudest", settings.path());
    EXPECT_EQ(readReplayGainOptions(settings).mode, ReplayGainOptions::Mode::Off);
}

TEST(ReplayGainTest, ReadsTheTagsOfEveryKind)
{
    TestDir dir;
    const std::string wave = dir.file("tone.wav");
    ASSERT_TRUE(runTool("sox -n -r 44100 -c 2 -b 16 " + shellQuoted(wave) + " synth 1 sine 440 vol 0.3"));
    const std::string q = shellQuoted(wave);
    struct Case {
        const char* name;
        std::string command;
        double gain;
    };
    const Case cases[] = {
        {"id3v2.mp3",
         "lame --quiet --tv 'TXXX=REPLAYGAIN_TRACK_GAIN=-6.20 dB' --tv 'TXXX=REPLAYGAIN_TRACK_PEAK=0.5' " + q + " ",
         -6.2},
        {"xiph.flac", "flac --silent -T 'REPLAYGAIN_TRACK_GAIN=+1.5 dB' -T REPLAYGAIN_TRACK_PEAK=0.5 -o ", 1.5},
        {"xiph.ogg", "oggenc -Q -c 'REPLAYGAIN_TRACK_GAIN=-3 dB' -c REPLAYGAIN_TRACK_PEAK=0.5 -o ", -3.0},
        {"r128.opus", "opusenc --quiet --comment R128_TRACK_GAIN=-2560 " + q + " ", -5.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        const bool inputLast = c.command.ends_with("-o ");
        ASSERT_TRUE(runTool(c.command + shellQuoted(path) + (inputLast ? " " + q : "")));
        const LoudnessTags tags = readLoudnessTags(path);
        ASSERT_TRUE(tags.trackGain);
        EXPECT_NEAR(*tags.trackGain, c.gain, 1e-6);
    }

    // M4A keeps them in freeform atoms, as iTunes-style taggers write them.
    const std::string m4a = dir.file("freeform.m4a");
    ASSERT_TRUE(encodeWave(Encoding::Aac, wave, m4a));
    {
        TagLib::MP4::File file(m4a.c_str());
        ASSERT_TRUE(file.isValid());
        file.tag()->setItem("----:com.apple.iTunes:replaygain_track_gain", TagLib::StringList("-4.25 dB"));
        file.tag()->setItem("----:com.apple.iTunes:replaygain_album_gain", TagLib::StringList("-5.00 dB"));
        ASSERT_TRUE(file.save());
    }
    const LoudnessTags tags = readLoudnessTags(m4a);
    EXPECT_EQ(tags.trackGain, -4.25);
    EXPECT_EQ(tags.albumGain, -5.0);
    EXPECT_FALSE(readLoudnessTags(dir.file("missing.flac")).trackGain);
}

// Two files of one tone, 14 dB apart, tagged with the gains that level them, come out level.
TEST(ReplayGainTest, TaggedGainsLevelTheOutput)
{
    TestDir dir;
    double levels[2] = {};
    const double volumes[2] = {-6.0, -20.0};
    const char* gains[2] = {"-6.00 dB", "+8.00 dB"};
    for (int i = 0; i < 2; ++i) {
        const std::string wave = dir.file("tone" + std::to_string(i) + ".wav");
        const std::string song = dir.file("tone" + std::to_string(i) + ".flac");
        ASSERT_TRUE(runTool("sox -n -r 44100 -c 2 -b 16 " + shellQuoted(wave) + " synth 1 sine 440 vol " +
                            std::to_string(volumes[i]) + "dB"));
        ASSERT_TRUE(runTool("flac --silent -T " + shellQuoted(std::string("REPLAYGAIN_TRACK_GAIN=") + gains[i]) +
                            " -o " + shellQuoted(song) + " " + shellQuoted(wave)));
        auto decoder = AudioDecoder::open(song, 44100);
        ASSERT_TRUE(decoder);
        const float gain =
            gainFactor({ReplayGainOptions::Mode::Auto, 0, 0}, readLoudnessTags(song), false, std::nullopt);
        std::vector<float> chunk(8192);
        double sum = 0;
        std::size_t count = 0;
        while (const std::size_t n = decoder->read(chunk.data(), 4096)) {
            for (std::size_t k = 0; k < n * 2; ++k)
                sum += double(chunk[k] * gain) * (chunk[k] * gain);
            count += n * 2;
        }
        levels[i] = 10 * std::log10(sum / double(count));
    }
    EXPECT_NEAR(levels[0], levels[1], 0.2);
    EXPECT_NEAR(levels[0], -12.0 - 3.01, 0.2);
}

} // namespace
} // namespace tavu::test
