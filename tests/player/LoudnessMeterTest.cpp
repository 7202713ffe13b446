// Measuring songs without gain tags: the EBU R128 figures of real tones, files that hold nothing
// to measure, and what the meter remembers within a run and, through Library.db, across runs.

#include "platform/LoudnessMeter.h"
#include "platform/SqliteLibraryCache.h"
#include "support/EncodedSongs.h"
#include "support/Mp3Writer.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <thread>

namespace tavu::test {
namespace {

// A stereo sine of this peak in dB below full scale, as FLAC.
std::string tone(const TestDir& dir, const std::string& name, double peakDb, double seconds = 3.0)
{
    const std::string wave = dir.file(name + ".wav"), song = dir.file(name + ".flac");
    const bool made = runTool("sox -n -r 44100 -c 2 -b 16 " + shellQuoted(wave) + " synth " + std::to_string(seconds) +
                              " sine 440 vol " + std::to_string(peakDb) + "dB") &&
                      runTool("flac --silent -f -o " + shellQuoted(song) + " " + shellQuoted(wave));
    EXPECT_TRUE(made);
    return song;
}

// BS.1770 for a 440 Hz sine of that peak on both channels (K-weighting is flat there): the
// loudness is -0.691 + 10 log10(2 * A²/2), and the gain brings it to -18 LUFS.
double expectedGainDb(double peakDb)
{
    return -18.0 - (-0.691 + peakDb);
}

bool eventually(const std::function<bool()>& done)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

TEST(LoudnessMeterTest, MeasuresTheLoudnessAndPeakOfRealTonesAndNothingElse)
{
    TestDir dir;
    for (const double peakDb : {-6.0, -20.0}) {
        SCOPED_TRACE(peakDb);
        const auto measured = measureLoudness(tone(dir, "tone", peakDb));
        ASSERT_TRUE(measured);
        EXPECT_NEAR(measured->gainDb, expectedGainDb(peakDb), 0.1);
        EXPECT_NEAR(20 * std::log10(measured->peak), peakDb, 0.05);
    }
    // The same in a lossy format, read through the same decoder as the player's.
    ASSERT_TRUE(encodeSong(Encoding::Opus, dir.file("tone.opus"), {}, 3.0));
    const auto opus = measureLoudness(dir.file("tone.opus"));
    ASSERT_TRUE(opus);
    EXPECT_NEAR(opus->gainDb, expectedGainDb(20 * std::log10(0.3)), 0.3);

    writeBytes(dir.file("garbage.mp3"), std::string(8192, '\x5a'));
    ASSERT_TRUE(Mp3Writer().silence(Mp3Writer::framesFor(3.0)).write(dir.file("silence.mp3")));
    tone(dir, "short", -6.0, 0.2);
    for (const char* name : {"garbage.mp3", "silence.mp3", "short.flac", "missing.flac"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(measureLoudness(dir.file(name)));
    }
    const std::atomic<bool> stop = true;
    EXPECT_FALSE(measureLoudness(dir.file("tone.flac"), &stop)) << "a measurement cut short knows nothing";
}

TEST(LoudnessMeterTest, EverySongIsMeasuredOnceAndTheResultsSurviveARestart)
{
    TestDir dir;
    const std::string db = dir.file("Library.db");
    const std::string loud = tone(dir, "loud", -6.0), quiet = tone(dir, "quiet", -30.0);
    const std::string broken = dir.file("broken.mp3");
    writeBytes(broken, std::string(8192, '\x5a'));
    {
        SqliteLibraryCache store(db);
        LoudnessMeter meter(&store);
        EXPECT_FALSE(meter.known(loud)) << "nothing is known before it is measured";
        for (const std::string& path : {loud, broken, loud, broken, dir.file("missing.flac")})
            meter.request(path);
        ASSERT_TRUE(eventually([&] { return meter.known(loud) && meter.known(broken); }));
        ASSERT_TRUE(meter.known(loud)->loudness);
        EXPECT_NEAR(meter.known(loud)->loudness->gainDb, expectedGainDb(-6.0), 0.1);
        EXPECT_FALSE(meter.known(broken)->loudness) << "a broken file is measured as nothing";
        // Asking again measures nothing again: once the next song is done, the count shows it.
        meter.request(broken);
        meter.request(loud);
        meter.request(quiet);
        ASSERT_TRUE(eventually([&] { return bool(meter.known(quiet)); }));
        EXPECT_EQ(meter.measured(), 3);
    }
    {
        // The next run reads them back at once, the broken file as well, and measures none again.
        SqliteLibraryCache store(db);
        LoudnessMeter meter(&store);
        ASSERT_TRUE(meter.known(quiet) && meter.known(quiet)->loudness);
        EXPECT_NEAR(meter.known(quiet)->loudness->gainDb, expectedGainDb(-30.0), 0.1);
        ASSERT_TRUE(meter.known(broken));
        EXPECT_FALSE(meter.known(broken)->loudness);
        meter.request(broken);
        meter.request(loud);
        EXPECT_EQ(meter.measured(), 0);

        // A file written anew is another song.
        std::filesystem::remove(loud);
        const std::string again = tone(dir, "loud", -20.0);
        EXPECT_FALSE(meter.known(again));
        meter.request(again);
        ASSERT_TRUE(eventually([&] { return bool(meter.known(again)); }));
        EXPECT_NEAR(meter.known(again)->loudness->gainDb, expectedGainDb(-20.0), 0.1);
        EXPECT_EQ(meter.measured(), 1);
    }
    // Without a store the meter still measures each song once for the run.
    LoudnessMeter memoryOnly(nullptr);
    memoryOnly.request(broken);
    memoryOnly.request(quiet);
    ASSERT_TRUE(eventually([&] { return memoryOnly.known(broken) && memoryOnly.known(quiet); }));
    memoryOnly.request(broken);
    EXPECT_EQ(memoryOnly.measured(), 2);
}

} // namespace
} // namespace tavu::test
