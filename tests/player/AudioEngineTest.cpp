// The audio engine on real files made by real encoders: decoding, lengths, seeking, broken and
// mislabeled files, and the hand-over from one song to the next, rendered without a sound device.

#include "platform/AudioEngine.h"
#include "platform/AudioDecoder.h"
#include "support/EncodedSongs.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

namespace tavu::test {
namespace {

constexpr int kRate = 44100;

std::vector<float> decodeAll(AudioDecoder& decoder)
{
    std::vector<float> all;
    std::vector<float> chunk(4096 * 2);
    while (const std::size_t n = decoder.read(chunk.data(), 4096))
        all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n * 2));
    return all;
}

double rmsDb(const std::vector<float>& samples, std::size_t from = 0)
{
    double sum = 0;
    for (std::size_t i = from; i < samples.size(); ++i)
        sum += double(samples[i]) * samples[i];
    return 10 * std::log10(sum / double(samples.size() - from));
}

// The largest step from one sample of a channel to the next.
double largestStep(const std::vector<float>& s, std::size_t fromFrame, std::size_t toFrame)
{
    double most = 0;
    for (std::size_t f = fromFrame + 1; f < toFrame && f * 2 + 1 < s.size(); ++f)
        for (int c = 0; c < 2; ++c)
            most = std::max(most, double(std::fabs(s[f * 2 + c] - s[(f - 1) * 2 + c])));
    return most;
}

bool lossless(Encoding e)
{
    return e == Encoding::Flac || e == Encoding::Alac || e == Encoding::WavPack;
}

struct Format {
    Encoding encoding;
    const char* codec;
};
const Format kFormats[] = {
    {Encoding::Mp3Cbr, "mp3float"}, {Encoding::Mp3Vbr, "mp3float"}, {Encoding::Flac, "flac"},
    {Encoding::Vorbis, "vorbis"},   {Encoding::Opus, "opus"},       {Encoding::Aac, "aac"},
    {Encoding::Alac, "alac"},       {Encoding::WavPack, "wavpack"},
};

class DecoderFormatTest : public ::testing::TestWithParam<Format> {
protected:
    TestDir dir;
};

TEST_P(DecoderFormatTest, DecodesToTheTrueLengthAndLevelAndSeeksToTheSample)
{
    const Format format = GetParam();
    const std::string path = dir.file("tone." + extensionOf(format.encoding));
    ASSERT_TRUE(encodeSong(format.encoding, path, {}, 1.0));
    auto decoder = AudioDecoder::open(path, kRate);
    ASSERT_TRUE(decoder);
    EXPECT_STREQ(decoder->codecName(), format.codec);
    // Encoder delay and padding are gone: exactly the second that went in.
    const std::vector<float> all = decodeAll(*decoder);
    // FFmpeg drops the first short block of a Vorbis stream.
    EXPECT_NEAR(double(all.size() / 2), 44100.0, format.encoding == Encoding::Vorbis ? 128.0 : 0.0);
    EXPECT_NEAR(double(decoder->lengthFrames()), 44100.0, 1152.0); // an MP3's padding is known late
    // sox made it at 0.3 of full scale: a sine's RMS is 3 dB below its peak (lame's is 0.44 dB lower).
    EXPECT_NEAR(rmsDb(all, 8192), 20 * std::log10(0.3) - 3.01, 0.5);

    constexpr std::int64_t kTarget = 30000;
    ASSERT_TRUE(decoder->seek(kTarget));
    const std::vector<float> rest = decodeAll(*decoder);
    if (format.encoding != Encoding::Vorbis) {
        ASSERT_EQ(rest.size() / 2, all.size() / 2 - kTarget);
    }
    // From its first frame on, the wave after the jump is the wave at that place. FFmpeg places a
    // jump in Vorbis or in VBR MP3 only roughly.
    if (format.encoding == Encoding::Vorbis || format.encoding == Encoding::Mp3Vbr)
        return;
    double worst = 0;
    for (std::size_t i = 0; i < 4000; ++i)
        worst = std::max(worst, double(std::fabs(rest[i] - all[kTarget * 2 + i])));
    EXPECT_LE(worst, lossless(format.encoding) ? 0.0 : 0.02);

    ASSERT_TRUE(decoder->seek(decoder->lengthFrames())); // the very end
    EXPECT_EQ(decodeAll(*decoder).size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, DecoderFormatTest, ::testing::ValuesIn(kFormats));

TEST(AudioDecoderTest, TheContentTellsTheFormatNotTheName)
{
    TestDir dir;
    struct Case {
        Encoding encoding;
        const char* name;
        const char* codec;
    };
    const Case cases[] = {
        {Encoding::Flac, "flac.mp3", "flac"}, {Encoding::Vorbis, "vorbis.mp3", "vorbis"},
        {Encoding::Opus, "opus.ogg", "opus"}, {Encoding::Mp3Cbr, "mp3.flac", "mp3float"},
        {Encoding::Aac, "aac.mp3", "aac"},    {Encoding::Mp3Vbr, "no extension", "mp3float"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string made = dir.file("made." + extensionOf(c.encoding));
        SongTags tags;
        tags.title = "Title";
        ASSERT_TRUE(encodeSong(c.encoding, made, tags, 1.0));
        std::filesystem::rename(made, dir.file(c.name));
        auto decoder = AudioDecoder::open(dir.file(c.name), kRate);
        ASSERT_TRUE(decoder);
        EXPECT_STREQ(decoder->codecName(), c.codec);
        EXPECT_NEAR(double(decodeAll(*decoder).size() / 2), 44100.0, c.encoding == Encoding::Vorbis ? 128 : 0);
    }
}

TEST(AudioDecoderTest, BrokenFilesPlayWhatDecodesAndOthersAreRefusedAtOnce)
{
    TestDir dir;
    ASSERT_TRUE(encodeSong(Encoding::Flac, dir.file("whole.flac"), {}, 3.0));
    std::ifstream in(dir.file("whole.flac"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    writeBytes(dir.file("cut.flac"), bytes.substr(0, bytes.size() / 2));
    std::string noisy = bytes;
    for (std::size_t i = noisy.size() / 3; i < noisy.size() / 3 + 5000; ++i)
        noisy[i] = static_cast<char>((i * 7919) & 0xff);
    writeBytes(dir.file("noisy.flac"), noisy);

    for (const char* name : {"cut.flac", "noisy.flac"}) {
        SCOPED_TRACE(name);
        auto decoder = AudioDecoder::open(dir.file(name), kRate);
        ASSERT_TRUE(decoder);
        const std::vector<float> all = decodeAll(*decoder);
        EXPECT_GT(all.size() / 2, 44100u);
        EXPECT_LE(all.size() / 2, 3 * 44100u);
        for (float v : all)
            ASSERT_TRUE(v >= -1.0f && v <= 1.0f) << "never garbage for the sound card";
    }

    std::string garbage(4096, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 2654435761u) >> 13);
    writeBytes(dir.file("garbage.mp3"), garbage);
    writeBytes(dir.file("empty.mp3"), "");
    writeBytes(dir.file("text.mp3"), "Not music at all.\r\nJust a few lines of text.\r\n");
    std::filesystem::create_directory(dir.file("folder.mp3"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.mp3").c_str(), 0600), 0); // must not block
    for (const char* name : {"garbage.mp3", "empty.mp3", "text.mp3", "folder.mp3", "pipe.mp3", "missing.mp3"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(AudioDecoder::open(dir.file(name), kRate));
    }
}

// The engine rendered by the test itself, as the sound device would, collecting the music and the ends.
class EngineTest : public ::testing::Test {
protected:
    EngineTest()
        : engine(
              kRate,
              [](const std::string& path, unsigned) { return AudioEngine::Track{AudioDecoder::open(path, kRate)}; },
              [this](const AudioEngine::Ended& e) { ended.push_back(e); })
    {
    }

    AudioEngine::Track track(const std::string& path) { return {AudioDecoder::open(path, kRate)}; }

    // Renders until `done` holds (or 20 s pass); keeps the music, drops the silence of a late ring.
    void renderUntil(const std::function<bool()>& done, std::size_t block = 1024)
    {
        std::vector<float> buffer(block * 2);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done() && std::chrono::steady_clock::now() < until) {
            const std::size_t n = engine.render(buffer.data(), block);
            music.insert(music.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n * 2));
            if (n == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    bool endedWithout() const { return !ended.empty() && ended.back().next == 0; }

    TestDir dir;
    std::vector<AudioEngine::Ended> ended;
    std::vector<float> music;
    AudioEngine engine;
};

class GaplessTest : public EngineTest, public ::testing::WithParamInterface<Encoding> {};

// One continuous tone cut into two songs at a frame that is no multiple of any codec's block.
TEST_P(GaplessTest, TheSecondSongsFirstFrameFollowsTheLastFrameOfTheFirst)
{
    const Encoding encoding = GetParam();
    const std::string tone = dir.file("tone.wav"), a = dir.file("a.wav"), b = dir.file("b.wav");
    ASSERT_TRUE(runTool("sox -n -r 44100 -c 2 -b 16 " + shellQuoted(tone) + " synth 2 sine 440 vol 0.3"));
    ASSERT_TRUE(runTool("sox " + shellQuoted(tone) + " " + shellQuoted(a) + " trim 0 30871s"));
    ASSERT_TRUE(runTool("sox " + shellQuoted(tone) + " " + shellQuoted(b) + " trim 30871s"));
    const std::string songA = dir.file("a." + extensionOf(encoding)), songB = dir.file("b." + extensionOf(encoding));
    ASSERT_TRUE(encodeWave(encoding, a, songA));
    ASSERT_TRUE(encodeWave(encoding, b, songB));

    engine.start(track(songA), 1);
    engine.setNext(songB, 2);
    renderUntil([&] { return endedWithout(); });
    ASSERT_EQ(ended.size(), 2u);
    EXPECT_EQ(ended[0].serial, 1u);
    EXPECT_EQ(ended[0].next, 2u);
    EXPECT_EQ(ended[1].serial, 2u);
    // Opus works at 48 kHz: each song's length, resampled to the output's rate, may round by one frame.
    EXPECT_NEAR(double(music.size() / 2), 88200.0, encoding == Encoding::Opus ? 2.0 : 0.0)
        << "no frame missing or added";
    // A sine of 0.3 at 440 Hz moves at most 0.019 from one sample to the next; a gap or a jump at
    // the cut would move ten times as much. A lossy codec blurs the cut a little.
    const double normal = largestStep(music, 4096, 28000);
    EXPECT_LE(largestStep(music, 30871 - 64, 30871 + 64), normal * 3);
}

INSTANTIATE_TEST_SUITE_P(Encoders, GaplessTest,
                         ::testing::Values(Encoding::Mp3Cbr, Encoding::Flac, Encoding::Opus, Encoding::Aac));

TEST_F(EngineTest, ASongSoughtToItsEndEndsAndTheFollowingOneStarts)
{
    ASSERT_TRUE(encodeSong(Encoding::Flac, dir.file("a.flac"), {}, 2.0));
    ASSERT_TRUE(encodeSong(Encoding::Opus, dir.file("b.opus"), {}, 1.0));
    AudioEngine::Track a = track(dir.file("a.flac"));
    const std::int64_t length = a.decoder->lengthFrames();
    engine.start(std::move(a), 1);
    engine.setNext(dir.file("b.opus"), 2);
    renderUntil([&] { return music.size() >= 2 * 4096; });
    engine.seek(length);
    music.clear();
    renderUntil([&] { return endedWithout(); });
    ASSERT_EQ(ended.size(), 2u);
    EXPECT_EQ(ended[0].epoch, engine.epoch());
    EXPECT_EQ(ended[0].next, 2u);
    EXPECT_EQ(music.size() / 2, 44100u) << "the following song, whole";

    // Without a following song the end is an end.
    ended.clear();
    engine.start(track(dir.file("a.flac")), 3);
    renderUntil([&] { return music.size() >= 2 * 4096; });
    engine.seek(length);
    renderUntil([&] { return !ended.empty(); });
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].serial, 3u);
    EXPECT_EQ(ended[0].next, 0u);
}

TEST_F(EngineTest, PauseHoldsStopSilencesAndASeekLandsOnItsFrame)
{
    ASSERT_TRUE(encodeSong(Encoding::Flac, dir.file("a.flac"), {}, 3.0));
    engine.start(track(dir.file("a.flac")), 1);
    renderUntil([&] { return music.size() >= 2 * 10000; });
    engine.setPaused(true);
    const AudioEngine::Position held = engine.position();
    std::vector<float> buffer(2048);
    EXPECT_EQ(engine.render(buffer.data(), 1024), 0u);
    EXPECT_EQ(engine.position().frame, held.frame);
    engine.setPaused(false);

    engine.seek(100000);
    renderUntil([&] { return engine.position().epoch == engine.epoch() && engine.position().frame >= 100000; });
    EXPECT_EQ(engine.position().serial, 1u);
    EXPECT_GE(engine.position().frame, 100000);
    EXPECT_LT(engine.position().frame, 100000 + 4096);

    engine.stop();
    music.clear();
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(engine.render(buffer.data(), 1024), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(engine.render(buffer.data(), 1024), 0u);
    EXPECT_TRUE(ended.empty()) << "a stopped song never ends";
    EXPECT_FALSE(engine.sounding());
}

// A song file replaced while it plays plays on as it was; one cut short ends where it is cut.
TEST_F(EngineTest, FilesChangedWhilePlayingEndAsSongsEnd)
{
    ASSERT_TRUE(encodeSong(Encoding::Flac, dir.file("song.flac"), {}, 8.0));
    ASSERT_TRUE(encodeSong(Encoding::Opus, dir.file("other.opus"), {}, 1.0));
    engine.start(track(dir.file("song.flac")), 1);
    renderUntil([&] { return music.size() >= 2 * 8192; });
    std::filesystem::rename(dir.file("other.opus"), dir.file("song.flac"));
    renderUntil([&] { return !ended.empty(); });
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(music.size() / 2, 8 * 44100u);

    ASSERT_TRUE(encodeSong(Encoding::Flac, dir.file("cut.flac"), {}, 20.0));
    ended.clear();
    music.clear();
    engine.start(track(dir.file("cut.flac")), 2);
    renderUntil([&] { return music.size() >= 2 * 8192; });
    std::filesystem::resize_file(dir.file("cut.flac"), std::filesystem::file_size(dir.file("cut.flac")) / 3);
    renderUntil([&] { return !ended.empty(); });
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].serial, 2u);
    EXPECT_LT(music.size() / 2, 12 * 44100u);
    EXPECT_GT(music.size() / 2, 2 * 44100u);
}

} // namespace
} // namespace tavu::test
