// The media player on SDL's dummy driver, which plays in real time: songs are kept to a second or two.

#include "SdlPlayerFixture.h"
#include "support/EncodedSongs.h"

#include <SDL2/SDL_mixer.h>

#include <QElapsedTimer>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace tavu::test {
namespace {

constexpr double kFrame = Mp3Writer::kFrameSeconds; // 26 ms

using SdlMediaPlayerTest = SdlPlayerFixture;

TEST_F(SdlMediaPlayerTest, DurationIsTheTrueLengthWithinOneFrame)
{
    ASSERT_TRUE(audio.ready());
    struct Case {
        const char* what;
        int frames;
        Mp3Writer file;
    };
    const int n = Mp3Writer::framesFor(2.5);
    const Case cases[] = {
        {"tone", n, Mp3Writer().tone(n)},
        {"silence with an ID3v1 tag", n, Mp3Writer().silence(n).id3v1({"Title", "Artist", "Album", "1999", "", 17})},
        {"tone after a 1 MB ID3v2 tag", n, Mp3Writer().id3v2(1 << 20).tone(n)},
        {"tone after two ID3v2 tags", n, Mp3Writer().id3v2(4000).id3v2(70000).tone(n)},
        {"the shortest stream", 2, Mp3Writer().silence(2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("song.mp3");
        ASSERT_TRUE(c.file.write(path));
        ASSERT_TRUE(player.open(path));
        EXPECT_EQ(player.playState(), MediaPlayer::Playing);
        EXPECT_NEAR(player.duration(), Mp3Writer::secondsOf(c.frames), kFrame);
    }
}

TEST_F(SdlMediaPlayerTest, RefusesWhatItCannotPlayAndThenPlaysNothing)
{
    const std::string song = toneSong("good.mp3", 2.0);
    writeBytes(dir.file("empty.mp3"), "");
    writeBytes(dir.file("text.mp3"), "Not music at all.\r\nJust a few lines of text.\r\n");
    std::filesystem::create_directory(dir.file("folder.mp3"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.mp3").c_str(), 0600), 0);
    // Reading /proc/self/mem at offset 0 fails, for root too (a file without read permission does
    // not fail for root).
    std::filesystem::create_symlink("/proc/self/mem", dir.file("unreadable.mp3"));

    for (const std::string& bad :
         {dir.file("missing.mp3"), dir.file("empty.mp3"), dir.file("text.mp3"), dir.file("folder.mp3"), dir.str() + "/",
          dir.file("pipe.mp3"), dir.file("unreadable.mp3"), std::string()}) {
        SCOPED_TRACE(bad);
        ASSERT_TRUE(player.open(song));
        EXPECT_FALSE(player.open(bad));
        EXPECT_EQ(player.playState(), MediaPlayer::Stopped);
        EXPECT_EQ(player.duration(), 0.0);
        EXPECT_EQ(player.currentPosition(), 0.0);
        player.play(); // nothing open: nothing to resume
        EXPECT_EQ(player.playState(), MediaPlayer::Stopped);
    }
    EXPECT_FALSE(waitForEnd(1, 300)) << "a refused file never ends";
}

TEST_F(SdlMediaPlayerTest, TruncatedMp3PlaysWhatDecodesAndEnds)
{
    const std::string whole = Mp3Writer().tone(Mp3Writer::framesFor(2.0)).bytes();
    const std::size_t cut = 12 * Mp3Writer::kFrameBytes + 200; // in the middle of frame 13
    writeBytes(dir.file("cut.mp3"), whole.substr(0, cut));
    ASSERT_TRUE(player.open(dir.file("cut.mp3")));
    EXPECT_NEAR(player.duration(), 12.5 * kFrame, kFrame);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(ends, 1);
}

TEST_F(SdlMediaPlayerTest, PositionAdvancesAndStandsStillWhilePaused)
{
    ASSERT_TRUE(player.open(toneSong("song.mp3", 3.0)));
    EXPECT_LT(player.currentPosition(), 0.2);
    runtime.runFor(400);
    const double playing = player.currentPosition();
    EXPECT_GT(playing, 0.2);
    EXPECT_LT(playing, 1.2);

    player.pause();
    EXPECT_EQ(player.playState(), MediaPlayer::Paused);
    const double paused = player.currentPosition();
    runtime.runFor(300);
    EXPECT_EQ(player.currentPosition(), paused);
    player.pause(); // pausing again changes nothing
    EXPECT_EQ(player.playState(), MediaPlayer::Paused);

    player.play();
    EXPECT_EQ(player.playState(), MediaPlayer::Playing);
    runtime.runFor(300);
    EXPECT_GT(player.currentPosition(), paused + 0.1);

    player.stop();
    EXPECT_EQ(player.playState(), MediaPlayer::Stopped);
    EXPECT_EQ(player.currentPosition(), 0.0);
    EXPECT_GT(player.duration(), 2.9) << "the file stays open after Stop";
    player.play(); // starts it again from the beginning
    EXPECT_EQ(player.playState(), MediaPlayer::Playing);
    EXPECT_LT(player.currentPosition(), 0.2);
}

TEST_F(SdlMediaPlayerTest, SeekMovesAPlayingOrPausedSongWithinItsLength)
{
    const std::string song = toneSong("song.mp3", 3.0);
    EXPECT_FALSE(player.seek(1.0)) << "nothing open";
    ASSERT_TRUE(player.open(song));
    ASSERT_TRUE(player.seek(2.0));
    EXPECT_NEAR(player.currentPosition(), 2.0, 0.1);
    player.pause();
    ASSERT_TRUE(player.seek(0.5));
    EXPECT_EQ(player.playState(), MediaPlayer::Paused);
    EXPECT_NEAR(player.currentPosition(), 0.5, 0.1);
    for (const double outside : {-0.5, 3.5})
        EXPECT_FALSE(player.seek(outside)) << outside;
    player.stop();
    EXPECT_FALSE(player.seek(1.0)) << "a stopped song does not move";
}

TEST_F(SdlMediaPlayerTest, TheDeviceSleepsThroughSilenceAndWakesForTheNextSongOrSound)
{
    audio.sleepWhenSilent(checks); // the simulated clock: the sound itself plays in real time
    SdlSoundPlayer sounds(audio);
    const std::string song = toneSong("song.mp3", 0.6);
    ASSERT_TRUE(player.open(song));
    checks.advance(20000);
    EXPECT_TRUE(audio.awake()) << "a playing song keeps it open";
    player.pause();
    checks.advance(20000);
    EXPECT_TRUE(audio.awake()) << "so does a paused one";

    player.play();
    ASSERT_TRUE(waitForEnd(1));
    checks.advance(4999);
    EXPECT_TRUE(audio.awake()) << "not at the first check after a start";
    checks.advance(5001);
    EXPECT_FALSE(audio.awake());
    EXPECT_EQ(player.playState(), MediaPlayer::Stopped);
    EXPECT_GT(player.duration(), 0.5);

    player.play(); // the song that stayed loaded starts again from the beginning
    EXPECT_TRUE(audio.awake());
    EXPECT_EQ(player.playState(), MediaPlayer::Playing);
    EXPECT_TRUE(waitUntil(
        runtime, [&] { return player.currentPosition() > 0.2; }, 2000));
    ASSERT_TRUE(waitForEnd(2)) << "and ends as usual";

    checks.advance(10000);
    ASSERT_FALSE(audio.awake());
    sounds.playWave(builtSound("Click.wav"));
    EXPECT_TRUE(audio.awake());
    EXPECT_NE(Mix_Playing(SdlAudio::kSoundChannel), 0);
    EXPECT_TRUE(waitUntil(
        runtime, [] { return Mix_Playing(SdlAudio::kSoundChannel) == 0; }, 1000));

    checks.advance(10000);
    ASSERT_FALSE(audio.awake());
    player.stop();
    sounds.playWave(dir.file("missing.wav")); // nothing to play, harmless while asleep
    ASSERT_TRUE(player.open(toneSong("other.mp3", 0.3)));
    EXPECT_TRUE(audio.awake());
    EXPECT_TRUE(waitForEnd(3));
}

TEST_F(SdlMediaPlayerTest, EndOfStreamOnceForEachSongThatPlaysToItsEnd)
{
    const std::string song = toneSong("short.mp3", 1.0);
    int opened = 0;
    // As the repeat mode does: the handler opens the song again, once.
    player.endOfStream = [&] {
        ++ends;
        EXPECT_EQ(player.playState(), MediaPlayer::Stopped);
        EXPECT_NEAR(player.currentPosition(), player.duration(), 1e-9) << "it stays at the end";
        if (opened++ == 0) {
            EXPECT_TRUE(player.open(song));
        }
    };
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(player.open(song));
    ASSERT_TRUE(waitForEnd(2, 5000));
    EXPECT_GE(clock.elapsed(), 1800) << "each end comes after the song has played";
    runtime.runFor(300);
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(player.playState(), MediaPlayer::Stopped);
}

TEST_F(SdlMediaPlayerTest, NoEndOfStreamAfterStopOrForASongReplacedByAnother)
{
    const std::string first = toneSong("first.mp3", 1.0);
    const std::string second = toneSong("second.mp3", 1.0);

    ASSERT_TRUE(player.open(first));
    runtime.runFor(100);
    player.stop();
    ASSERT_TRUE(player.open(first));
    player.pause();
    player.stop(); // from paused too
    EXPECT_FALSE(waitForEnd(1, 1500));

    ASSERT_TRUE(player.open(first));
    runtime.runFor(300);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(player.open(second));
    ASSERT_TRUE(waitForEnd(1, 3000));
    EXPECT_GE(clock.elapsed(), 900) << "the end reported is the second song's";
    runtime.runFor(300);
    EXPECT_EQ(ends, 1);
}

} // namespace
} // namespace tavu::test

namespace tavu::test {
namespace {

// FLAC, Ogg Vorbis and Opus made by their encoders play as MP3 does: length, position, seek, end.
class SdlFormatTest : public SdlPlayerFixture, public ::testing::WithParamInterface<Encoding> {};

TEST_P(SdlFormatTest, PlaysSeeksAndEndsAsAnMp3Does)
{
    const std::string song = dir.file("song." + extensionOf(GetParam()));
    ASSERT_TRUE(encodeSong(GetParam(), song, {"Title", "Artist", "", "", "", ""}, 1.5));
    ASSERT_TRUE(player.open(song));
    EXPECT_NEAR(player.duration(), 1.5, 0.05);
    ASSERT_TRUE(player.seek(1.2));
    EXPECT_NEAR(player.currentPosition(), 1.2, 0.1);
    EXPECT_FALSE(player.seek(2.0));
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(player.playState(), MediaPlayer::Stopped);
}

INSTANTIATE_TEST_SUITE_P(Encoders, SdlFormatTest, ::testing::Values(Encoding::Flac, Encoding::Vorbis, Encoding::Opus));

TEST_F(SdlMediaPlayerTest, AFlacAfterAnId3v2TagPlaysAndBrokenFilesOfEveryFormatAreRefused)
{
    const std::string flac = dir.file("plain.flac");
    ASSERT_TRUE(encodeSong(Encoding::Flac, flac, {}, 0.5));
    writeBytes(dir.file("tagged.flac"), Mp3Writer().id3v2(3000).bytes() + readBytes(flac));
    ASSERT_TRUE(player.open(dir.file("tagged.flac")));
    EXPECT_NEAR(player.duration(), 0.5, 0.05);

    const std::string ogg = dir.file("plain.ogg");
    ASSERT_TRUE(encodeSong(Encoding::Vorbis, ogg, {}, 0.5));
    writeBytes(dir.file("cut.ogg"), readBytes(ogg).substr(0, 200));
    writeBytes(dir.file("wave.flac"), std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(40, '\0'));
    writeBytes(dir.file("zero.opus"), "");
    writeBytes(dir.file("noise.opus"), std::string(5000, '\x6B'));
    std::string noise(20000, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    writeBytes(dir.file("noise.flac"), noise);
    for (const char* bad : {"cut.ogg", "wave.flac", "zero.opus", "noise.opus", "noise.flac"}) {
        EXPECT_FALSE(player.open(dir.file(bad))) << bad;
        EXPECT_EQ(player.playState(), MediaPlayer::Stopped) << bad;
    }
}

} // namespace
} // namespace tavu::test
