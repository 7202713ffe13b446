#include "platform/SdlMediaPlayer.h"

#include "platform/LoudnessTagReader.h"
#include "util/Runtime.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace tavu {
namespace {

constexpr std::size_t kMixFrames = 8192;
// The clock of a player without a device takes this many frames at a time (23 ms).
constexpr std::size_t kClockFrames = 1024;

// The engine's samples are finite and within [-1, 1]. Rounds to the nearest, halves to even, as
// lrint does, without a library call for every sample: adding 1.5 * 2^23 leaves the rounded whole
// number in the float's mantissa. Only full scale itself reaches past the top.
void toSamples(const float* __restrict from, std::int16_t* __restrict to, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const int rounded = static_cast<int>((from[i] * 32768.0f + 12582912.0f) - 12582912.0f);
        to[i] = static_cast<std::int16_t>(rounded < 32767 ? rounded : 32767);
    }
}

} // namespace

SdlMediaPlayer::SdlMediaPlayer(SdlAudio& audio, Runtime& runtime, Output output)
    : m_audio(audio), m_runtime(runtime), m_output(output), m_mix(kMixFrames * 2)
{
    m_engine = std::make_unique<AudioEngine>(
        SdlAudio::kRate, [this](const std::string& path, unsigned serial) { return openTrack(path, serial); },
        [this, alive = std::weak_ptr<int>(m_alive)](const AudioEngine::Ended& ended) {
            // On the output's thread: only posts.
            m_runtime.post([this, alive, ended] {
                if (alive.lock())
                    songEnded(ended);
            });
        });
    if (m_output == Output::None) {
        m_clockRunning = true;
        m_clock = std::thread([this] { runClock(); });
    } else if (m_audio.ready()) {
        m_audio.setMusicSource(this);
    }
}

SdlMediaPlayer::~SdlMediaPlayer()
{
    if (m_output == Output::None) {
        m_clockRunning = false;
        m_clock.join();
    } else if (m_audio.ready()) {
        m_audio.setMusicSource(nullptr); // no callback of ours runs after it returns
    }
    m_alive.reset();
    m_engine.reset();
}

// The output's thread: the music as 16-bit samples for the mixer.
void SdlMediaPlayer::renderMusic(std::int16_t* samples, std::size_t frames)
{
    while (frames > 0) {
        const std::size_t n = std::min(frames, kMixFrames);
        m_engine->render(m_mix.data(), n);
        toSamples(m_mix.data(), samples, n * 2);
        samples += n * 2;
        frames -= n;
    }
}

// Without a device, the music is taken at its real pace; the clock rests while nothing is open.
void SdlMediaPlayer::runClock()
{
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(kClockFrames) / SdlAudio::kRate));
    auto next = Clock::now();
    while (m_clockRunning) {
        if (!m_engine->sounding()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            next = Clock::now();
            continue;
        }
        m_engine->render(m_mix.data(), kClockFrames);
        next += period;
        std::this_thread::sleep_until(next);
    }
}

bool SdlMediaPlayer::wake()
{
    return m_output == Output::None || m_audio.wake();
}

// Runs on the UI thread for the song it opens, on the decoding thread for a following one.
AudioEngine::Track SdlMediaPlayer::openTrack(const std::string& path, unsigned serial)
{
    AudioEngine::Track track;
    track.decoder = AudioDecoder::open(path, SdlAudio::kRate);
    if (!track.decoder)
        return track;
    ReplayGainOptions options;
    std::string previousAlbum;
    {
        std::lock_guard lock(m_gainMutex);
        options = m_gain;
        if (auto before = m_albums.find(serial - 1); before != m_albums.end())
            previousAlbum = before->second;
    }
    if (options.mode == ReplayGainOptions::Mode::Off)
        return track;
    const LoudnessTags tags = readLoudnessTags(path);
    const bool sameAlbum = !tags.album.empty() && tags.album == previousAlbum;
    std::optional<MeasuredLoudness> measured;
    if (m_loudness && !hasGainTags(tags)) {
        if (const auto known = m_loudness->known(path)) {
            measured = known->loudness;
        } else {
            m_loudness->request(path);
            // A following song is often named minutes before it starts: its measurement may be
            // done by then.
            track.settleGain = [meter = m_loudness, path, options, tags, sameAlbum] {
                const auto settled = meter->known(path);
                return gainFactor(options, tags, sameAlbum, settled ? settled->loudness : std::nullopt);
            };
        }
    }
    track.gain = gainFactor(options, tags, sameAlbum, measured);
    std::lock_guard lock(m_gainMutex);
    m_albums[serial] = tags.album;
    while (m_albums.size() > 4)
        m_albums.erase(m_albums.begin());
    return track;
}

void SdlMediaPlayer::setReplayGain(const ReplayGainOptions& options)
{
    std::lock_guard lock(m_gainMutex);
    m_gain = options;
}

void SdlMediaPlayer::setReplayGainSource(std::function<ReplayGainOptions()> source)
{
    m_gainSource = std::move(source);
    readReplayGain();
}

void SdlMediaPlayer::readReplayGain()
{
    if (m_gainSource)
        setReplayGain(m_gainSource());
}

bool SdlMediaPlayer::startOpen(const std::string& path)
{
    if (!wake())
        return false;
    const unsigned serial = ++m_serials;
    readReplayGain();
    AudioEngine::Track track = openTrack(path, serial);
    if (!track.decoder)
        return false;
    m_path = path;
    m_serial = serial;
    m_lengthFrames = track.decoder->lengthFrames();
    m_startFrame = 0;
    m_stoppedAt = 0.0;
    m_engine->setPaused(false);
    m_engine->start(std::move(track), serial);
    m_state = Playing;
    return true;
}

bool SdlMediaPlayer::open(const std::string& path)
{
    if (m_adoptable.serial != 0 && m_adoptable.serial == m_serial && path == m_adoptable.path && m_state == Playing) {
        // The song that followed without a gap is playing already.
        m_adoptable = {};
        return wake();
    }
    m_adoptable = {};
    m_followingPath.clear();
    m_followingSerial = 0;
    if (m_serial != 0 || !m_path.empty())
        m_engine->stop();
    m_path.clear();
    m_serial = 0;
    m_lengthFrames = 0;
    m_stoppedAt = 0.0;
    m_state = Stopped;
    return startOpen(path);
}

void SdlMediaPlayer::setFollowing(const std::string& path)
{
    if (m_serial == 0 || path == m_followingPath)
        return;
    m_followingPath = path;
    m_followingSerial = path.empty() ? 0 : ++m_serials;
    if (!path.empty())
        readReplayGain();
    m_engine->setNext(path, m_followingSerial);
}

// On the UI thread. An end that belongs to an earlier start, seek or stop is dropped.
void SdlMediaPlayer::songEnded(const AudioEngine::Ended& ended)
{
    if (ended.epoch != m_engine->epoch() || ended.serial != m_serial || m_state == Stopped)
        return;
    if (ended.next != 0 && ended.next == m_followingSerial) {
        m_adoptable = {m_followingPath, ended.next};
        m_path = m_followingPath;
        m_serial = ended.next;
        m_lengthFrames = ended.nextLength;
        m_startFrame = 0;
        m_followingPath.clear();
        m_followingSerial = 0;
    } else {
        m_engine->stop(); // the device may rest
        m_serial = 0;
        m_state = Stopped;
        m_stoppedAt = static_cast<double>(m_lengthFrames) / SdlAudio::kRate;
        m_followingPath.clear();
        m_followingSerial = 0;
    }
    if (endOfStream)
        endOfStream();
}

void SdlMediaPlayer::play()
{
    if (m_path.empty())
        return;
    if (m_state == Paused) {
        if (!wake())
            return;
        m_engine->setPaused(false);
        m_state = Playing;
    } else if (m_state == Stopped) {
        const std::string path = m_path;
        startOpen(path); // from the start, as after Stop the position is 0
    }
}

void SdlMediaPlayer::pause()
{
    if (m_state != Playing)
        return;
    m_engine->setPaused(true);
    m_state = Paused;
}

void SdlMediaPlayer::stop()
{
    if (m_path.empty())
        return;
    m_engine->stop();
    m_adoptable = {};
    m_followingPath.clear();
    m_followingSerial = 0;
    m_serial = 0;
    m_state = Stopped;
    m_stoppedAt = 0.0;
}

bool SdlMediaPlayer::seek(double seconds)
{
    if (m_serial == 0 || m_state == Stopped || !(seconds >= 0.0 && seconds <= duration()))
        return false;
    m_adoptable = {};
    m_startFrame = std::llround(seconds * SdlAudio::kRate);
    m_engine->seek(m_startFrame);
    return true;
}

void SdlMediaPlayer::setVolume(int hundredthsOfDb)
{
    m_audio.musicLevel().setVolume(hundredthsOfDb);
}
void SdlMediaPlayer::setBalance(int balance)
{
    m_audio.musicLevel().setBalance(balance);
}
void SdlMediaPlayer::setMute(bool mute)
{
    m_audio.musicLevel().setMute(mute);
}

double SdlMediaPlayer::duration() const
{
    return m_path.empty() ? 0.0 : static_cast<double>(m_lengthFrames) / SdlAudio::kRate;
}

double SdlMediaPlayer::currentPosition() const
{
    if (m_state == Stopped)
        return m_stoppedAt;
    const AudioEngine::Position at = m_engine->position();
    std::int64_t frame = m_startFrame;
    if (at.epoch == m_engine->epoch() && at.serial == m_serial)
        frame = at.frame;
    return std::clamp(static_cast<double>(frame) / SdlAudio::kRate, 0.0, duration());
}

} // namespace tavu
